#include "stats/studyfigures.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <span>

#include "stats/binomial.h"
#include "stats/nulldistribution.h"

namespace roulette
{

std::array<SectorFigures, 4> classicSectors(const HitCounts &hits, std::int64_t spins)
{
    std::array<SectorFigures, 4> sectors;
    for (std::size_t s = 0; s < sectors.size(); ++s) {
        SectorFigures &f = sectors[s];
        for (int number = 0; number < 37; ++number)
            f.count +=
                contains(ClassicSectors[s], number) ? hits[static_cast<std::size_t>(number)] : 0;
        f.pockets = pocketCount(ClassicSectors[s]);
        f.expected = expectedCount(spins, f.pockets);
        f.excess = f.expected.mean > 0 ? static_cast<double>(f.count) / f.expected.mean - 1 : 0;
        f.pValue = binomialTwoSided(spins, f.pockets / 37.0, f.count);
    }
    return sectors;
}

CountExtremes countExtremes(const HitCounts &hits)
{
    return {static_cast<int>(std::max_element(hits.begin(), hits.end()) - hits.begin()),
            static_cast<int>(std::min_element(hits.begin(), hits.end()) - hits.begin())};
}

BandFigures bandFigures(const HitCounts &hits, std::int64_t spins)
{
    constexpr double Share = 1.0 / 37;
    const double mean = static_cast<double>(spins) * Share;
    const double band = 2 * std::sqrt(mean * (1 - Share));
    const double outsideShare =
        binomialLowerTail(spins, Share, static_cast<std::int64_t>(std::ceil(mean - band)) - 1) +
        binomialUpperTail(spins, Share, static_cast<std::int64_t>(std::floor(mean + band)) + 1);
    return {mean - band, mean + band, countOutsideBand(hits, spins), 37 * outsideShare};
}

std::array<int, 37> byPresentAbsence(const Ecarts &ecarts)
{
    std::array<int, 37> order{};
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return ecarts.current(a) > ecarts.current(b); });
    return order;
}

namespace
{

struct GroupLaw {
    int first, count; // members: numbers, or indices in Chances
    AbsenceLaw law;
};

const GroupLaw &groupLaw(AbsenceGroup group)
{
    static const std::array<PocketSet, 37> singles = [] {
        std::array<PocketSet, 37> s{};
        for (int i = 0; i < 37; ++i)
            s[static_cast<std::size_t>(i)] = PocketSet{1} << i;
        return s;
    }();
    const std::span<const PocketSet> chances(Chances);
    static const std::array<GroupLaw, 4> laws = {
        GroupLaw{0, 37, AbsenceLaw(singles)},
        GroupLaw{FirstDozen, 3, AbsenceLaw(chances.subspan(FirstDozen, 3))},
        GroupLaw{FirstColumn, 3, AbsenceLaw(chances.subspan(FirstColumn, 3))},
        GroupLaw{FirstSimpleChance, 6, AbsenceLaw(chances.subspan(FirstSimpleChance, 6))}};
    return laws[static_cast<std::size_t>(group)];
}

} // namespace

Overdue mostOverdue(const Ecarts &ecarts, AbsenceGroup group)
{
    const GroupLaw &g = groupLaw(group);
    const auto category = [&](int member) {
        return group == AbsenceGroup::Numbers ? member : chanceCategory(member);
    };
    Overdue most{g.first, ecarts.current(category(g.first)), 1};
    for (int m = g.first + 1; m < g.first + g.count; ++m) {
        if (ecarts.current(category(m)) > most.gap)
            most = {m, ecarts.current(category(m)), 1};
    }
    most.pValue = g.law.someAbsentFor(most.gap);
    return most;
}

DistanceFigures distanceFigures(const std::array<std::int64_t, 37> &counts)
{
    DistanceFigures f;
    f.counts = counts;
    f.total = std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
    f.test = fairnessTest(counts);
    f.mostFrequent =
        static_cast<int>(std::max_element(counts.begin(), counts.end()) - counts.begin());
    const double expected = static_cast<double>(f.total) / 37;
    f.excess =
        expected > 0
            ? static_cast<double>(counts[static_cast<std::size_t>(f.mostFrequent)]) / expected - 1
            : 0;
    return f;
}

std::optional<std::int64_t> spinsNeeded(const Arc &hottest, std::int64_t spins, double correctedP,
                                        double criticalZ)
{
    if (correctedP >= 0.05 || spins <= 0)
        return std::nullopt;
    // Wilson's one-sided 95 % lower bound of the arc's rate.
    constexpr double Z = 1.6449;
    const double n = static_cast<double>(spins);
    const double rate = static_cast<double>(hottest.count) / n;
    const double lower =
        (rate + Z * Z / (2 * n) - Z * std::sqrt(rate * (1 - rate) / n + Z * Z / (4 * n * n))) /
        (1 + Z * Z / n);
    return spinsToDetect(hottest.width, lower, criticalZ);
}

} // namespace roulette
