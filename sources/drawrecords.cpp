#include "sources/drawrecords.h"

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

std::optional<int> DrawRecords::number(std::int64_t k) const
{
    if (k < 1 || k > size())
        return std::nullopt;
    return m_numbers[static_cast<std::size_t>(k - 1)];
}

} // namespace roulette
