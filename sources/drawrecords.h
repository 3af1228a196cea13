#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace roulette
{

/// The records of one draw file. A record that is a roulette number costs one byte; of any
/// other record the start of its text is kept aside, enough for a message to quote it.
class DrawRecords
{
public:
    std::int64_t size() const { return static_cast<std::int64_t>(m_codes.size()); }
    /// Adds a record as it stands in the file.
    void append(std::string_view record);
    /// Adds a record whose number is already known (empty when it is not a roulette
    /// number); text is the record or, for a long one, at least its first QuoteBytes bytes.
    void append(std::optional<int> number, std::string_view text);
    /// Record k (1-based) as a roulette number, empty when it is not one.
    std::optional<int> number(std::int64_t k) const;
    /// Record k's text: the decimal text of its number, or the record as it stands in the
    /// file, cut after QuoteBytes bytes (which quote it as the whole text would).
    std::string text(std::int64_t k) const;

    bool operator==(const DrawRecords &) const = default;

private:
    static constexpr std::uint8_t NotANumber = 0xFF;

    struct BadRecord {
        std::int64_t record;
        std::size_t end; // of its text in m_badTexts
        bool operator==(const BadRecord &) const = default;
    };

    std::vector<std::uint8_t> m_codes;
    std::vector<BadRecord> m_bad; // in record order
    std::string m_badTexts;
};

/// A record's roulette number: the whole record, blanks aside, must be a number that
/// rounds to 0..36.
std::optional<int> recordNumber(std::string_view record);

} // namespace roulette
