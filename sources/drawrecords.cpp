#include "sources/drawrecords.h"

#include <algorithm>

#include "sources/textrules.h"

namespace roulette
{

std::optional<int> recordNumber(std::string_view record)
{
    const auto value = wholeNumber(record);
    if (!value)
        return std::nullopt;
    const std::int64_t rounded = roundHalfEven(*value);
    if (rounded < 0 || rounded > 36)
        return std::nullopt;
    return static_cast<int>(rounded);
}

void DrawRecords::append(std::string_view record)
{
    append(recordNumber(record), record);
}

void DrawRecords::append(std::optional<int> number, std::string_view text)
{
    if (!number) {
        m_badTexts += text.substr(0, QuoteBytes);
        m_bad.push_back({size() + 1, m_badTexts.size()});
    }
    m_codes.push_back(number ? static_cast<std::uint8_t>(*number) : NotANumber);
}

std::optional<int> DrawRecords::number(std::int64_t k) const
{
    if (k < 1 || k > size())
        return std::nullopt;
    const std::uint8_t code = m_codes[static_cast<std::size_t>(k - 1)];
    if (code == NotANumber)
        return std::nullopt;
    return code;
}

std::string DrawRecords::text(std::int64_t k) const
{
    const auto bad =
        std::lower_bound(m_bad.begin(), m_bad.end(), k,
                         [](const BadRecord &b, std::int64_t r) { return b.record < r; });
    if (bad != m_bad.end() && bad->record == k) {
        const std::size_t begin = bad == m_bad.begin() ? 0 : std::prev(bad)->end;
        return m_badTexts.substr(begin, bad->end - begin);
    }
    if (const auto n = number(k))
        return decimalText(*n);
    return {};
}

} // namespace roulette
