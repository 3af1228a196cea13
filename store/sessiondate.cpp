#include "store/sessiondate.h"

#include <cstdio>
#include <vector>

namespace roulette
{

namespace
{

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int valueOf(std::string_view digits)
{
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

int daysIn(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::optional<SessionTime> dateOf(int year, int month, int day)
{
    if (year < 1950 || year > 2099 || month < 1 || month > 12 || day < 1 ||
        day > daysIn(year, month))
        return std::nullopt;
    return SessionTime{year, month, day};
}

// A group of digits and where it starts in the name.
struct Digits {
    std::size_t at = 0;
    std::string_view text;
};

std::vector<Digits> digitGroups(std::string_view name)
{
    std::vector<Digits> groups;
    for (std::size_t i = 0; i < name.size();) {
        if (!isDigit(name[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < name.size() && isDigit(name[end]))
            ++end;
        groups.push_back({i, name.substr(i, end - i)});
        i = end;
    }
    return groups;
}

// « 2019-04-24 »: three groups of 4, 2 and 2 digits joined by single hyphens.
std::optional<SessionTime> hyphenated(std::string_view name, const std::vector<Digits> &groups,
                                      std::size_t i)
{
    if (i + 2 >= groups.size())
        return std::nullopt;
    const Digits &y = groups[i], &m = groups[i + 1], &d = groups[i + 2];
    const auto joined = [&name](const Digits &a, const Digits &b) {
        return b.at == a.at + a.text.size() + 1 && name[b.at - 1] == '-';
    };
    if (y.text.size() != 4 || m.text.size() != 2 || d.text.size() != 2 || !joined(y, m) ||
        !joined(m, d))
        return std::nullopt;
    return dateOf(valueOf(y.text), valueOf(m.text), valueOf(d.text));
}

std::optional<SessionTime> packed(std::string_view digits)
{
    if (digits.size() == 8)
        return dateOf(valueOf(digits.substr(0, 4)), valueOf(digits.substr(4, 2)),
                      valueOf(digits.substr(6, 2)));
    if (digits.size() == 6)
        return dateOf(2000 + valueOf(digits.substr(0, 2)), valueOf(digits.substr(2, 2)),
                      valueOf(digits.substr(4, 2)));
    return std::nullopt;
}

} // namespace

std::optional<SessionTime> dateInFileName(std::string_view name)
{
    const std::vector<Digits> groups = digitGroups(name);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (const auto date = hyphenated(name, groups, i))
            return date;
        if (const auto date = packed(groups[i].text))
            return date;
    }
    return std::nullopt;
}

std::string sessionTimeText(const SessionTime &time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute);
    return text;
}

std::optional<SessionTime> parseSessionTime(std::string_view text)
{
    // "YYYY-MM-DDTHH:MM", then ":SS" at most.
    static constexpr std::string_view shape = "####-##-##T##:##";
    if (text.size() != shape.size() && text.size() != shape.size() + 3)
        return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char want = i < shape.size() ? shape[i] : (i == shape.size() ? ':' : '#');
        if (want == '#' ? !isDigit(text[i]) : text[i] != want)
            return std::nullopt;
    }
    std::optional<SessionTime> time =
        dateOf(valueOf(text.substr(0, 4)), valueOf(text.substr(5, 2)), valueOf(text.substr(8, 2)));
    const int hour = valueOf(text.substr(11, 2)), minute = valueOf(text.substr(14, 2));
    const bool secondsValid = text.size() == shape.size() || valueOf(text.substr(17, 2)) < 60;
    if (!time || hour > 23 || minute > 59 || !secondsValid)
        return std::nullopt;
    time->hour = hour;
    time->minute = minute;
    return time;
}

} // namespace roulette
