#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "stats/arcscan.h"
#include "stats/ecarts.h"
#include "stats/fairness.h"

namespace roulette
{

/// One classic sector: the spins that fell in it against a fair wheel's, with a two-sided
/// binomial p-value.
struct SectorFigures {
    int pockets = 0;
    std::int64_t count = 0;
    Expectation expected{0, 0};
    double excess = 0; ///< count over expected, minus one
    double pValue = 1;
};
/// The four sectors of ClassicSectors, in its order.
std::array<SectorFigures, 4> classicSectors(const HitCounts &hits, std::int64_t spins);

/// The most and the least drawn numbers, the lower number on ties.
struct CountExtremes {
    int highest = 0;
    int lowest = 0;
};
CountExtremes countExtremes(const HitCounts &hits);

/// The band n/37 ± 2σ: how many numbers lie outside it, and how many a fair wheel puts
/// there on average.
struct BandFigures {
    double low = 0, high = 0;
    int outside = 0;
    double expectedOutside = 0;
};
BandFigures bandFigures(const HitCounts &hits, std::int64_t spins);

/// The numbers by their present absence, longest first, the lower number on ties.
std::array<int, 37> byPresentAbsence(const Ecarts &ecarts);

/// The groups whose most overdue member is judged against the group's law.
enum class AbsenceGroup { Numbers, Dozens, Columns, SimpleChances };
struct Overdue {
    int member = 0; ///< the number, or the outside bet's index in Chances
    std::int64_t gap = 0;
    double pValue = 1; ///< chance that some member of the group stays out that long
};
Overdue mostOverdue(const Ecarts &ecarts, AbsenceGroup group);

/// « Suite des tirages »: the distances from each spin's pocket to the next one's, in wheel
/// positions, against their uniform law on a fair wheel.
struct DistanceFigures {
    std::array<std::int64_t, 37> counts{};
    std::int64_t total = 0;
    FairnessTest test{0, 1};
    int mostFrequent = 0;
    double excess = 0; ///< the most frequent's count over expected, minus one
};
DistanceFigures distanceFigures(const std::array<std::int64_t, 37> &counts);

/// Spins in all after which the hottest arc, if it kept the lowest rate it plausibly has
/// (95 % lower bound), would be found four times out of five. None unless its corrected
/// p-value is below 5 %; zero when that bound is no higher than a fair wheel's rate.
std::optional<std::int64_t> spinsNeeded(const Arc &hottest, std::int64_t spins, double correctedP,
                                        double criticalZ);

} // namespace roulette
