#include "sources/drawrecords.h"

#include "board/textrules.h"

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
    const auto number = recordNumber(record);
    if (!number)
        m_badTexts.emplace(size() + 1, std::string(record));
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
    if (const auto bad = m_badTexts.find(k); bad != m_badTexts.end())
        return bad->second;
    if (const auto n = number(k))
        return decimalText(*n);
    return {};
}

} // namespace roulette
