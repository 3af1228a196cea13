#pragma once

#include <array>
#include <cstdint>

namespace roulette
{

inline constexpr int MinArcWidth = 3;
inline constexpr int MaxArcWidth = 9;

/// Neighbouring pockets: `width` of them from wheel position `start`, wrapping past the last
/// pocket to the zero.
struct Arc {
    int start = 0;
    int width = 0;
    std::int64_t count = 0; ///< spins that fell in the arc
    double z = 0;           ///< (count − expected) / σ on a fair wheel
};

struct ArcExtremes {
    Arc hottest;
    Arc coldest;
};

/// Every arc of MinArcWidth to MaxArcWidth pockets, each scored by its z so that widths
/// compare: the highest and the lowest. Counts are by wheel position. Ties go to the arc
/// met first (lowest start, then narrowest).
ArcExtremes scanArcs(const std::array<std::int64_t, 37> &byPosition, std::int64_t spins);

/// Spins in all after which an arc of `width` pockets that keeps coming out at `rate` instead
/// of width/37 would score above `criticalZ` four times out of five. Zero when the rate is
/// no higher than a fair wheel's.
std::int64_t spinsToDetect(int width, double rate, double criticalZ);

} // namespace roulette
