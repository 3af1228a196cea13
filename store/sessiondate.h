#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace roulette
{

/// When a session began, to the minute, as the notebook stores it.
struct SessionTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    bool operator==(const SessionTime &) const = default;
};

/// The date a file's name gives, at midnight: « permanence_190424.txt » (YYMMDD, years
/// 2000 to 2099), « 20190424 » or « 2019-04-24 » (years 1950 to 2099). A group of digits
/// is read whole, never cut to fit; the first group that is a real date counts. None when
/// the name holds no date.
std::optional<SessionTime> dateInFileName(std::string_view name);

/// The stored text, ISO 8601: "2019-04-24T20:15", which sorts as the times do.
std::string sessionTimeText(const SessionTime &time);

/// The time a stored text gives ("2019-04-24T20:15", seconds allowed and dropped); none
/// when it is no real date and time.
std::optional<SessionTime> parseSessionTime(std::string_view text);

} // namespace roulette
