#include <gtest/gtest.h>

#include "sources/wheel.h"
#include "stats/studysimulation.h"

using namespace roulette;

namespace
{

ArcExtremes arcsOf(const HitCounts &hits, std::int64_t spins)
{
    HitCounts byPosition{};
    for (std::size_t i = 0; i < 37; ++i)
        byPosition[i] = hits[static_cast<std::size_t>(WheelOrder[i])];
    return scanArcs(byPosition, spins);
}

} // namespace

// Each p-value judges its own extreme: a pocket far above the others makes the highest count
// and the hottest arc rare, not the lowest count nor the coldest arc; a pocket never drawn the
// reverse; many numbers far from the mean put them outside the band.
TEST(StudySimulation, EachPValueJudgesItsOwnExtreme)
{
    constexpr std::int64_t Spins = std::int64_t{37} * 200;
    const NullDistribution null(Spins);
    HitCounts hot;
    hot.fill(200);
    hot[17] += 120;
    for (std::size_t i = 0; i < 30; ++i) // taken evenly from the others
        hot[i < 17 ? i : i + 1] -= 4;
    const SimulatedPValues h = simulatedPValues(null, hot, arcsOf(hot, Spins));
    EXPECT_LT(h.highest, 0.01);
    EXPECT_LT(h.hottestArc, 0.05);
    EXPECT_GT(h.coldestArc, 0.05); // 120 below among thousands in an arc: no cold arc
    HitCounts cold;
    cold.fill(200);
    cold[17] = 0;
    for (std::size_t i = 0; i < 37; ++i) // given evenly to the others
        cold[i] += i == 17 ? 0 : i == 8 ? 20 : 5;
    const SimulatedPValues c = simulatedPValues(null, cold, arcsOf(cold, Spins));
    EXPECT_LT(c.lowest, 0.01);
    EXPECT_LT(c.coldestArc, 0.05);
    EXPECT_GT(h.lowest, 0.1);
    HitCounts spread; // half the numbers 3σ above, half 3σ below
    spread.fill(200);
    for (std::size_t i = 0; i < 36; ++i)
        spread[i] += i % 2 ? 42 : -42;
    EXPECT_LT(simulatedPValues(null, spread, arcsOf(spread, Spins)).outside, 0.01);
    HitCounts flat;
    flat.fill(200);
    EXPECT_EQ(simulatedPValues(null, flat, arcsOf(flat, Spins)).outside, 1);
    EXPECT_EQ(h.spins, Spins);
    EXPECT_EQ(h.criticalZ, null.hottestArcQuantile(0.05));
}

// Spins come while lengths are simulated one at a time: the latest p-values stay, marked as an
// earlier length's, until the present length's are in; a length seen lately needs none again.
TEST(StudySimulation, SimulatesOneLengthAtATimeAndKeepsTheLatest)
{
    HitCounts hits;
    hits.fill(3);
    hits[0] = 4; // 112 spins; the counts matter not here
    StudySimulation s;
    const auto at = [&](std::int64_t spins) {
        s.update(spins, hits, arcsOf(hits, spins));
        return s.latest() ? s.latest()->spins : 0;
    };
    EXPECT_EQ(at(112), 0);
    EXPECT_EQ(s.start(), 112);
    EXPECT_EQ(s.start(), std::nullopt); // handed out once
    EXPECT_EQ(at(113), 0);
    EXPECT_EQ(s.start(), std::nullopt); // one at a time
    s.finished(NullDistribution(112, 99));
    EXPECT_EQ(at(113), 0); // 112's distribution says nothing of 113
    EXPECT_TRUE(s.waiting(113));
    EXPECT_EQ(s.start(), 113);
    s.finished(NullDistribution(113, 99));
    EXPECT_EQ(at(113), 113);
    EXPECT_TRUE(s.current(113));
    EXPECT_EQ(at(114), 113); // kept, for an earlier length
    EXPECT_FALSE(s.current(114));
    EXPECT_EQ(s.start(), 114);
    EXPECT_EQ(at(112), 112); // an undo back to a known length: at once
    EXPECT_FALSE(s.waiting(112));
    s.finished(NullDistribution(114, 99));
    EXPECT_EQ(s.start(), std::nullopt); // 114 is no longer wanted
    s.forget();
    EXPECT_EQ(s.latest(), std::nullopt);
}
