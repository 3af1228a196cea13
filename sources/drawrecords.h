#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace roulette
{

/// The records of one draw file. A record that is a roulette number costs one byte; the
/// text of any other record is kept aside so that a message can quote it.
class DrawRecords
{
public:
    std::int64_t size() const { return static_cast<std::int64_t>(m_codes.size()); }
    void append(std::string_view record);
    /// Record k (1-based) as a roulette number, empty when it is not one.
    std::optional<int> number(std::int64_t k) const;
    /// Record k as it stands in the file.
    std::string text(std::int64_t k) const;

    bool operator==(const DrawRecords &) const = default;

private:
    static constexpr std::uint8_t NotANumber = 0xFF;
    std::vector<std::uint8_t> m_codes;
    std::unordered_map<std::int64_t, std::string> m_badTexts;
};

/// A record's roulette number: the whole record, blanks aside, must be a number that
/// rounds to 0..36.
std::optional<int> recordNumber(std::string_view record);

} // namespace roulette
