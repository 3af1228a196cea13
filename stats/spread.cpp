#include "stats/spread.h"

namespace roulette
{

bool ComputeSpread(HitCounts &HitCount, int CurrentNumber,
                   std::span<std::int32_t, SpreadClasses> spread)
{
    if (CurrentNumber < 0 || CurrentNumber >= static_cast<int>(HitCount.size()))
        return false;
    ++HitCount[static_cast<std::size_t>(CurrentNumber)];
    // Recomputed from all 37 counts at every spin: no error can carry over from one row
    // to the next.
    std::array<std::int32_t, SpreadClasses> classes{};
    for (std::int64_t hits : HitCount) {
        if (hits >= 0 && hits < SpreadClasses)
            ++classes[static_cast<std::size_t>(hits)];
    }
    for (int k = 0; k < SpreadClasses; ++k)
        spread[static_cast<std::size_t>(k)] = classes[static_cast<std::size_t>(k)];
    return true;
}

} // namespace roulette
