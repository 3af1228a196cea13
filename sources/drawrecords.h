#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace roulette
{

/// The numbers of one draw file, in file order, one byte each.
class DrawRecords
{
public:
    std::int64_t size() const { return static_cast<std::int64_t>(m_numbers.size()); }
    /// Adds a roulette number, 0..36.
    void append(int number) { m_numbers.push_back(static_cast<std::uint8_t>(number)); }
    /// Number k (1-based), empty past the end.
    std::optional<int> number(std::int64_t k) const;

    bool operator==(const DrawRecords &) const = default;

private:
    std::vector<std::uint8_t> m_numbers;
};

/// A record's roulette number: the whole record, blanks aside, must be a number that
/// rounds to 0..36.
std::optional<int> recordNumber(std::string_view record);

} // namespace roulette
