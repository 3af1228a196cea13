#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "stats/arcscan.h"
#include "stats/runs.h"
#include "stats/study.h"
#include "stats/studyfigures.h"

using namespace roulette;

namespace
{

// Everything the study keeps, worked out again from the whole list of outcomes.
struct Model {
    std::vector<int> outcomes;

    std::int64_t absence(PocketSet bet, bool longest) const
    {
        std::int64_t gap = 0, most = 0;
        for (int n : outcomes) {
            gap = contains(bet, n) ? 0 : gap + 1;
            most = std::max(most, gap);
        }
        return longest ? most : gap;
    }
    std::array<std::int64_t, 3> runs(PocketSet side) const // runs, longest, count of side
    {
        std::array<std::int64_t, 3> r{};
        int last = -1;
        std::int64_t length = 0;
        for (int n : outcomes) {
            if (n == 0)
                continue;
            const int s = contains(side, n);
            r[2] += s;
            length = s == last ? length + 1 : 1;
            r[0] += s != last;
            r[1] = std::max(r[1], length);
            last = s;
        }
        return r;
    }
    std::int64_t arcCount(int start, int width) const
    {
        std::int64_t c = 0;
        for (int i = 0; i < width; ++i)
            c += std::count(outcomes.begin(), outcomes.end(),
                            WheelOrder[static_cast<std::size_t>((start + i) % 37)]);
        return c;
    }
};

void expectMatches(const Study &study, const Model &m)
{
    const auto spins = static_cast<std::int64_t>(m.outcomes.size());
    ASSERT_EQ(study.spins(), spins);
    for (int c = 0; c < EcartCategories; ++c) {
        ASSERT_EQ(study.ecarts().current(c), m.absence(categoryPockets(c), false)) << c;
        ASSERT_EQ(study.ecarts().longest(c), m.absence(categoryPockets(c), true)) << c;
    }
    for (int p = 0; p < SimpleChancePairs; ++p) {
        const int chance = FirstSimpleChance + 2 * p;
        const auto r = m.runs(Chances[static_cast<std::size_t>(chance)]);
        EXPECT_EQ(study.chanceRuns(p).runs(), r[0]);
        EXPECT_EQ(study.chanceRuns(p).longest(), r[1]);
        EXPECT_EQ(study.chanceRuns(p).count(0), r[2]);
    }
    Evidence fresh;
    for (int n : m.outcomes)
        fresh.add(n);
    EXPECT_NEAR(study.evidence().logE(), fresh.logE(), 1e-9);
    std::array<std::int64_t, 37> distances{};
    for (std::size_t i = 1; i < m.outcomes.size(); ++i)
        ++distances[static_cast<std::size_t>(
            (WheelPosition[m.outcomes[i]] - WheelPosition[m.outcomes[i - 1]] + 37) % 37)];
    std::array<std::int64_t, 37> both = study.evidence().distances(0);
    for (std::size_t d = 0; d < 37; ++d)
        both[d] += study.evidence().distances(1)[d];
    EXPECT_EQ(both, distances);
    if (spins == 0)
        return;
    const auto sectors = classicSectors(study.hits(), spins);
    for (std::size_t s = 0; s < sectors.size(); ++s) {
        std::int64_t in = 0;
        for (int n : m.outcomes)
            in += contains(ClassicSectors[s], n);
        int pockets = 0;
        for (int n = 0; n < 37; ++n)
            pockets += contains(ClassicSectors[s], n);
        EXPECT_EQ(sectors[s].count, in);
        EXPECT_NEAR(sectors[s].excess, static_cast<double>(in) / (spins * pockets / 37.0) - 1,
                    1e-12);
    }
    const std::pair<AbsenceGroup, std::pair<int, int>> groups[] = {
        {AbsenceGroup::Numbers, {0, 37}},
        {AbsenceGroup::Dozens, {37 + FirstDozen, 3}},
        {AbsenceGroup::SimpleChances, {37 + FirstSimpleChance, 6}}};
    for (const auto &[group, members] : groups) {
        std::int64_t longest = 0;
        for (int c = members.first; c < members.first + members.second; ++c)
            longest = std::max(longest, m.absence(categoryPockets(c), false));
        EXPECT_EQ(mostOverdue(study.ecarts(), group).gap, longest);
    }
    double highest = -INFINITY, lowest = INFINITY;
    for (int start = 0; start < 37; ++start) {
        for (int w = MinArcWidth; w <= MaxArcWidth; ++w) {
            const double p = w / 37.0;
            const double z = (m.arcCount(start, w) - spins * p) / std::sqrt(spins * p * (1 - p));
            highest = std::max(highest, z);
            lowest = std::min(lowest, z);
        }
    }
    const ArcExtremes arcs = scanArcs(study.hitsByPosition(), spins);
    EXPECT_NEAR(arcs.hottest.z, highest, 1e-9);
    EXPECT_NEAR(arcs.coldest.z, lowest, 1e-9);
    EXPECT_EQ(arcs.hottest.count, m.arcCount(arcs.hottest.start, arcs.hottest.width));
    EXPECT_EQ(arcs.coldest.count, m.arcCount(arcs.coldest.start, arcs.coldest.width));
}

} // namespace

// Spins, undos and resets in random order, on a session as the board keeps it; numbers
// drawn from a few pockets at times, so that long absences and long runs occur.
TEST(Study, FollowsSpinsUndosAndResetsAsAFullRecountDoes)
{
    std::mt19937 random(7);
    Module1 module;
    Model model;
    Study study;
    for (int step = 0; step < 3000; ++step) {
        const int action = std::uniform_int_distribution<int>(0, 99)(random);
        const int batch = action < 2 ? 40 : 1;
        if (action == 99) {
            module.clear();
            model.outcomes.clear();
        } else if (action >= 75 && !model.outcomes.empty()) {
            module.popRow();
            model.outcomes.pop_back();
        } else {
            const int range = step % 600 < 300 ? 37 : 4;
            for (int i = 0; i < batch; ++i) {
                const int n = std::uniform_int_distribution<int>(0, range - 1)(random) * 9 % 37;
                module.appendRow(n);
                model.outcomes.push_back(n);
            }
        }
        if (random() % 2 == 0)
            continue; // not looked at: the study catches up with several commands at once
        study.follow(module.session());
        ASSERT_NO_FATAL_FAILURE(expectMatches(study, model)) << "step " << step;
        EXPECT_FALSE(study.follow(module.session())) << "nothing new";
    }
}

namespace
{

// The pooled study against each session's own model, combined by hand: sums of counts, runs
// and distances, the longest of the longest absences and series, the present absence of the
// last session alone. Nothing pairs a session's last spin with the next one's first, and the
// parity of a distance is its spin's in its own session.
void expectCombines(const Study &pooled, const std::vector<Model> &sessions)
{
    std::int64_t spins = 0;
    std::vector<std::int64_t> lengths;
    std::array<std::array<std::int64_t, 37>, 2> distances{};
    const auto kept = [&](const Model &m) { // a start with no spin since the last one is none
        return !m.outcomes.empty() || &m == &sessions.back();
    };
    for (const Model &m : sessions) {
        if (!kept(m))
            continue;
        for (std::size_t i = 1; i < m.outcomes.size(); ++i)
            ++distances[(i + 1) % 2][static_cast<std::size_t>(
                (WheelPosition[m.outcomes[i]] - WheelPosition[m.outcomes[i - 1]] + 37) % 37)];
        spins += static_cast<std::int64_t>(m.outcomes.size());
        lengths.push_back(static_cast<std::int64_t>(m.outcomes.size()));
    }
    ASSERT_EQ(pooled.spins(), spins);
    EXPECT_EQ(pooled.ecarts().sessionLengths(), lengths);
    for (int parity = 0; parity < 2; ++parity)
        EXPECT_EQ(pooled.evidence().distances(parity), distances[static_cast<std::size_t>(parity)]);
    for (int c = 0; c < EcartCategories; ++c) {
        std::int64_t longest = 0;
        for (const Model &m : sessions)
            longest = std::max(longest, m.absence(categoryPockets(c), true));
        ASSERT_EQ(pooled.ecarts().longest(c), longest) << c;
        ASSERT_EQ(pooled.ecarts().current(c), sessions.back().absence(categoryPockets(c), false));
    }
    for (int p = 0; p < SimpleChancePairs; ++p) {
        const PocketSet side =
            Chances[static_cast<std::size_t>(FirstSimpleChance) + 2 * static_cast<std::size_t>(p)];
        std::array<std::int64_t, 3> sum{};
        std::vector<std::int64_t> draws;
        double mean = 0;
        for (const Model &m : sessions) {
            if (!kept(m))
                continue;
            const auto r = m.runs(side);
            const auto nonZero = static_cast<std::int64_t>(m.outcomes.size()) -
                                 std::count(m.outcomes.begin(), m.outcomes.end(), 0);
            sum = {sum[0] + r[0], std::max(sum[1], r[1]), sum[2] + r[2]};
            draws.push_back(nonZero);
            mean += exactRunsTest(r[2], nonZero - r[2], r[0]).expected * (nonZero > 0);
        }
        const ChanceRuns &runs = pooled.chanceRuns(p);
        EXPECT_EQ((std::array{runs.runs(), runs.longest(), runs.count(0)}), sum);
        EXPECT_EQ(runs.sessionDraws(), draws);
        EXPECT_NEAR(runs.test().expected, mean, 1e-9);
    }
}

} // namespace

// Sessions of random lengths (one empty) pooled and studied in slices, then the last one
// taken back a spin at a time: always each session's own figures, combined.
TEST(Study, PooledSessionsRestartEverySequenceAtEachStart)
{
    std::mt19937 random(11);
    std::vector<Model> sessions(5);
    std::vector<std::uint8_t> numbers;
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < sessions.size(); ++i) {
        starts.push_back(numbers.size());
        const int length = i == 2 ? 0 : std::uniform_int_distribution<int>(1, 200)(random);
        const int range = i % 2 ? 37 : 4; // few pockets: long absences and series
        for (int k = 0; k < length; ++k) {
            const int n = std::uniform_int_distribution<int>(0, range - 1)(random) * 9 % 37;
            sessions[i].outcomes.push_back(n);
            numbers.push_back(static_cast<std::uint8_t>(n));
        }
    }
    Study pooled;
    while (pooled.follow(numbers, starts, 37))
        ;
    ASSERT_NO_FATAL_FAILURE(expectCombines(pooled, sessions));
    while (!sessions.back().outcomes.empty()) {
        pooled.removeLast();
        sessions.back().outcomes.pop_back();
        ASSERT_NO_FATAL_FAILURE(expectCombines(pooled, sessions));
    }
}
