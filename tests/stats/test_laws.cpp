#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <random>
#include <span>
#include <vector>

#include "stats/binomial.h"
#include "stats/ecarts.h"
#include "stats/runs.h"
#include "stats/studyfigures.h"

using namespace roulette;

// The chance that some bet is still missing after g spins, walked spin by spin over the
// sets of bets already seen (for the numbers: over how many are seen).
namespace
{

// E[longest run of probability q] at each of `lengths`, by the recursion of the chance of no
// run of g, A(m) = A(m − 1) − (1 − q) q^g A(m − g − 1), run to the longest length; and in the
// last entry, over all the lengths as independent stretches.
std::vector<double> longestRunsByRecursion(std::span<const std::int64_t> lengths, double q)
{
    const auto longest =
        static_cast<std::size_t>(*std::max_element(lengths.begin(), lengths.end()));
    std::vector<double> expected(lengths.size() + 1, 0.0), none(longest + 1);
    double qg = 1;
    for (std::size_t g = 1; g <= longest; ++g) {
        qg *= q;
        for (std::size_t m = 0; m <= longest; ++m)
            none[m] = m < g ? 1 : m == g ? 1 - qg : none[m - 1] - (1 - q) * qg * none[m - g - 1];
        double all = 1;
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            expected[i] += 1 - none[static_cast<std::size_t>(lengths[i])];
            all *= none[static_cast<std::size_t>(lengths[i])];
        }
        expected.back() += 1 - all;
        if (1 - none[longest] < 1e-16)
            break;
    }
    return expected;
}

} // namespace

TEST(Laws, AbsenceLawMatchesAWalkOverWhatWasSeen)
{
    std::array<PocketSet, 37> numbers{};
    for (int n = 0; n < 37; ++n)
        numbers[static_cast<std::size_t>(n)] = PocketSet{1} << n;
    const std::span<const PocketSet> chances(Chances);
    for (const auto group : {chances.subspan(FirstDozen, 3), chances.subspan(FirstColumn, 3),
                             chances.subspan(FirstSimpleChance, 6)}) {
        const AbsenceLaw law(group);
        std::map<unsigned, double> seen{{0U, 1.0}};
        for (int g = 1; g <= 40; ++g) {
            std::map<unsigned, double> next;
            for (const auto &[mask, p] : seen) {
                for (int n = 0; n < 37; ++n) {
                    unsigned m = mask;
                    for (std::size_t i = 0; i < group.size(); ++i)
                        m |= contains(group[i], n) ? 1U << i : 0U;
                    next[m] += p / 37;
                }
            }
            seen = next;
            EXPECT_NEAR(law.someAbsentFor(g), 1 - seen[(1U << group.size()) - 1], 1e-12);
        }
    }
    const AbsenceLaw law(numbers);
    EXPECT_NEAR(law.someAbsentFor(0), 1, 1e-9) << "before the first spin, all are absent";
    std::array<double, 38> count{1.0};
    for (int g = 1; g <= 400; ++g) {
        for (int k = 37; k >= 0; --k)
            count[k] = count[k] * k / 37 + (k > 0 ? count[k - 1] * (38 - k) / 37 : 0);
        EXPECT_NEAR(law.someAbsentFor(g), 1 - count[37], 1e-9) << g;
    }
}

// Against simulated sessions: the longest absence of a number, the longest run of a simple
// chance with the zeros left out, the present absence.
TEST(Laws, ExpectedAbsencesAndRunsMatchSimulation)
{
    std::mt19937 random(11);
    constexpr int Sessions = 2000, Spins = 2000;
    double longestAbsence = 0, longestRun = 0, present = 0;
    for (int s = 0; s < Sessions; ++s) {
        std::int64_t gap = 0, most = 0, run = 0, longest = 0;
        int last = -1;
        for (int i = 0; i < Spins; ++i) {
            const int n = std::uniform_int_distribution<int>(0, 36)(random);
            gap = n == 17 ? 0 : gap + 1;
            most = std::max(most, gap);
            run = n % 2 == last ? run + 1 : 1;
            last = n % 2;
            longest = std::max(longest, run);
        }
        longestAbsence += static_cast<double>(most) / Sessions;
        longestRun += static_cast<double>(longest) / Sessions;
        present += static_cast<double>(gap) / Sessions;
    }
    EXPECT_NEAR(expectedLongestRun(Spins, 36.0 / 37), longestAbsence, 0.02 * longestAbsence);
    EXPECT_NEAR(expectedLongestSeries(Spins), longestRun, 0.03 * longestRun);
    EXPECT_NEAR(expectedCurrentAbsence(1.0 / 37, Spins), present, 0.05 * present);
}

// Every session of up to 14 trials, each weighted by its probability, whole and cut in two
// stretches whose runs stop at the cut; and where the exact recursion hands over to the
// approximation, the two agree within 0.5 %.
TEST(Laws, ExpectedLongestRunMatchesEveryShortSession)
{
    for (const double q : {36.0 / 37, 19.0 / 37, 0.5}) {
        for (int trials = 0; trials <= 14; ++trials) {
            const int cut = trials / 3;
            double expected = 0, expectedCut = 0;
            for (unsigned session = 0; session < 1U << trials; ++session) {
                int run = 0, longest = 0, runCut = 0, longestCut = 0, in = 0;
                for (int t = 0; t < trials; ++t) {
                    const bool absent = session >> t & 1U;
                    in += absent;
                    run = absent ? run + 1 : 0;
                    runCut = absent ? (t == cut ? 1 : runCut + 1) : 0;
                    longest = std::max(longest, run);
                    longestCut = std::max(longestCut, runCut);
                }
                const double p = std::pow(q, in) * std::pow(1 - q, trials - in);
                expected += longest * p;
                expectedCut += longestCut * p;
            }
            EXPECT_NEAR(expectedLongestRun(trials, q), expected, 1e-9) << q << " " << trials;
            const std::int64_t stretches[] = {cut, 0, trials - cut};
            EXPECT_NEAR(expectedLongestRun(stretches, q), expectedCut, 1e-9) << q << " " << trials;
        }
        // Beyond the exact table, against the recursion run that far: no step at the switch.
        const std::int64_t beyond[] = {ExactLongestRun + 1, 12'000, 20'000, 47'000};
        const std::vector<double> exact = longestRunsByRecursion(beyond, q);
        for (std::size_t i = 0; i < std::size(beyond); ++i)
            EXPECT_NEAR(expectedLongestRun(beyond[i], q), exact[i], 1e-9 * exact[i])
                << q << " " << beyond[i];
        EXPECT_NEAR(expectedLongestRun(beyond, q), exact.back(), 1e-9 * exact.back()) << q;
        for (const std::int64_t t : {ExactLongestRun, 3 * ExactLongestRun})
            EXPECT_NEAR(expectedLongestRun(std::array{t, std::int64_t{0}}, q),
                        expectedLongestRun(t, q), 1e-9 * t);
    }
}

// Every order of a few outcomes of two kinds, counted by runs, against the test.
TEST(Laws, RunsTestMatchesEveryOrderOfShortSequences)
{
    for (const auto &[a, b] : {std::pair{2, 2}, {3, 4}, {5, 5}, {2, 8}, {7, 6}}) {
        std::vector<int> sequence(static_cast<std::size_t>(a), 0);
        sequence.resize(sequence.size() + static_cast<std::size_t>(b), 1);
        std::map<int, double> byRuns;
        double orders = 0;
        do {
            int runs = 1;
            for (std::size_t i = 1; i < sequence.size(); ++i)
                runs += sequence[i] != sequence[i - 1];
            ++byRuns[runs];
            ++orders;
        } while (std::next_permutation(sequence.begin(), sequence.end()));
        for (const auto &[runs, ways] : byRuns) {
            double below = 0, above = 0;
            for (const auto &[r, w] : byRuns) {
                below += r <= runs ? w / orders : 0;
                above += r >= runs ? w / orders : 0;
            }
            EXPECT_NEAR(runsTest(a, b, runs).pValue, std::min(1.0, 2 * std::min(below, above)),
                        1e-12)
                << a << "+" << b << " in " << runs << " runs";
        }
    }
    // Past the exact range, the normal law with its continuity correction stays close.
    for (const int runs : {451, 470, 480, 500, 520, 540})
        EXPECT_NEAR(runsTest(500, 501, runs).pValue, exactRunsTest(500, 501, runs).pValue, 0.002)
            << runs;
    EXPECT_EQ(runsTest(0, 5, 1).pValue, 1) << "one kind";
    EXPECT_EQ(runsTest(300, 0, 1).pValue, 1);
}

// Fair sessions of 20 to 200 spins, a few at a time: the runs test over their sum, which never
// joins two sessions, holds its level.
TEST(Laws, RunsTestOverSessionsHoldsItsLevel)
{
    std::mt19937 random(5);
    constexpr int Replicates = 2000;
    int rare = 0;
    for (int r = 0; r < Replicates; ++r) {
        ChanceRuns runs(RedPockets);
        std::int64_t spin = 0;
        for (int s = 0; s < 5; ++s) {
            runs.restart(spin);
            for (int k = std::uniform_int_distribution<int>(20, 200)(random); k > 0; --k)
                runs.add(std::uniform_int_distribution<int>(0, 36)(random), ++spin);
        }
        rare += runs.test().pValue < 0.05;
    }
    EXPECT_NEAR(static_cast<double>(rare) / Replicates, 0.05, 0.02);
}

namespace
{

// P(X <= k) and P(X >= k), summed term by term from a plain product of the probabilities.
std::pair<double, double> directTails(int n, double p, int k)
{
    double below = 0, above = 0;
    for (int j = 0; j <= n; ++j) {
        double c = 1;
        for (int i = 1; i <= j; ++i)
            c *= static_cast<double>(n - j + i) / i * p;
        const double pmf = c * std::pow(1 - p, n - j);
        below += j <= k ? pmf : 0;
        above += j >= k ? pmf : 0;
    }
    return {below, above};
}

void expectTails(int n, double p, int k)
{
    const auto [below, above] = directTails(n, p, k);
    EXPECT_NEAR(binomialLowerTail(n, p, k), below, 1e-12 + 1e-9 * below) << n << " " << k;
    EXPECT_NEAR(binomialUpperTail(n, p, k), above, 1e-12 + 1e-9 * above) << n << " " << k;
    EXPECT_NEAR(binomialTwoSided(n, p, k), std::min(1.0, 2 * std::min(below, above)),
                1e-12 + 1e-9 * std::min(below, above))
        << n << " " << k;
}

} // namespace

// Asked afresh, and asked a trial at a time as a session's counts grow (the tails then follow
// from the last ones), with the count now and then jumping or going back.
TEST(Laws, BinomialTailsMatchDirectSums)
{
    for (const auto &[n, p] : {std::pair{300, 5.0 / 37}, {12, 1.0 / 37}}) {
        for (const int k : {0, 1, 2, 20, 39, 40, 41, 42, 60, 90, 300})
            if (k <= n)
                expectTails(n, p, k);
        EXPECT_EQ(binomialTwoSided(n, p, n + 1), 0);
        EXPECT_EQ(binomialUpperTail(n, p, n + 1), 0);
    }
    // Two laws asked in turn at the same counts keep their own tails.
    std::mt19937 random(7);
    std::array<int, 2> k{};
    for (int n = 1; n <= 400; ++n) {
        for (std::size_t law = 0; law < 2; ++law) {
            const double p = law == 0 ? 1.0 / 37 : 0.5;
            k[law] += std::uniform_real_distribution<double>(0, 1)(random) < 1.5 * p;
            if (n % 97 == 0)
                k[law] /= 2;
            expectTails(n, p, k[law]);
            expectTails(n, 1.5 / 37, k[law]);
        }
    }
    // Far tails of a long session stay finite and ordered.
    EXPECT_GT(binomialUpperTail(1'000'000, 1.0 / 37, 29'000), 0);
    EXPECT_LT(binomialUpperTail(1'000'000, 1.0 / 37, 29'000), 1e-20);
}

// The band n/37 ± 2σ: the numbers outside it, and how many a fair wheel puts there, summed
// term by term over the counts one number may reach. One number drawn more often than the
// others lies outside once the spins are many.
TEST(Laws, TwoSigmaBandMatchesADirectSum)
{
    std::mt19937 random(11);
    for (const std::int64_t n : {1, 37, 100, 1000, 5000}) {
        HitCounts hits{};
        for (std::int64_t s = 0; s < n; ++s)
            ++hits[std::min<std::size_t>(random() % 40, 36)];
        const double mean = static_cast<double>(n) / 37, band = 2 * std::sqrt(mean * 36 / 37);
        double share = 0;
        for (std::int64_t k = 0; k <= n; ++k)
            if (std::fabs(static_cast<double>(k) - mean) > band)
                share += std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) -
                                  std::lgamma(n - k + 1.0) + k * std::log(1.0 / 37) +
                                  (n - k) * std::log(36.0 / 37));
        const auto outside = std::count_if(hits.begin(), hits.end(), [&](std::int64_t h) {
            return std::fabs(static_cast<double>(h) - mean) > band;
        });
        const BandFigures figures = bandFigures(hits, n);
        EXPECT_NEAR(figures.low, mean - band, 1e-9) << n;
        EXPECT_NEAR(figures.high, mean + band, 1e-9) << n;
        EXPECT_EQ(figures.outside, outside) << n;
        EXPECT_NEAR(figures.expectedOutside, 37 * share, 1e-9) << n;
    }
}
