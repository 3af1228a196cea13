#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "stats/evalue.h"
#include "stats/pockets.h"

using namespace roulette;

namespace
{

constexpr std::array<Pattern, PatternCount> Patterns = {Pattern::Pockets, Pattern::PocketArc,
                                                        Pattern::Distances, Pattern::DistanceArc,
                                                        Pattern::MirroredDistances};

std::array<double, PatternCount> evidenceByPattern(const Evidence &e)
{
    std::array<double, PatternCount> values{};
    for (std::size_t p = 0; p < Patterns.size(); ++p)
        values[p] = std::exp(e.logE(Patterns[p]));
    return values;
}

// The mean of E over every next spin, weighted 1/37 each as a fair wheel draws them.
std::array<double, PatternCount> meanAfterOneMore(Evidence &e, int last)
{
    std::array<double, PatternCount> mean{};
    for (int n = 0; n < 37; ++n) {
        e.add(n);
        const auto values = evidenceByPattern(e);
        for (std::size_t p = 0; p < mean.size(); ++p)
            mean[p] += values[p] / 37;
        e.removeLast(n, last);
    }
    return mean;
}

} // namespace

// A fair wheel's E is a martingale of mean 1, kind by kind: over all 37² two-spin sessions its
// mean is 1, and after sampled two-spin sessions the mean over the third spin is E itself
// (the first odd spin's distance). Taking spins back restores E to the bit.
TEST(Evidence, IsAFairMartingaleForEveryKind)
{
    Evidence e;
    const double empty = e.logE();
    std::array<double, PatternCount> mean{};
    for (int a = 0; a < 37; ++a) {
        e.add(a);
        const auto after = meanAfterOneMore(e, a);
        for (std::size_t p = 0; p < mean.size(); ++p)
            mean[p] += after[p] / 37;
        e.removeLast(a, -1);
    }
    for (std::size_t p = 0; p < mean.size(); ++p)
        EXPECT_NEAR(mean[p], 1, 1e-9) << "kind " << p;
    EXPECT_EQ(e.logE(), empty);

    std::mt19937 random(3);
    for (int sample = 0; sample < 12; ++sample) {
        const int a = static_cast<int>(random() % 37), b = static_cast<int>(random() % 37);
        e.add(a);
        e.add(b);
        const auto now = evidenceByPattern(e);
        const auto next = meanAfterOneMore(e, b);
        for (std::size_t p = 0; p < now.size(); ++p)
            EXPECT_NEAR(next[p], now[p], 1e-9 * now[p]) << a << " " << b << " kind " << p;
        e.removeLast(b, a);
        e.removeLast(a, -1);
    }
}

// The closed forms against the product, spin by spin, of each spin's predictive probability
// over the fair wheel's.
TEST(Evidence, ClosedFormsAreProductsOfPredictiveProbabilities)
{
    std::mt19937 random(5);
    std::array<std::int64_t, 37> counts{};
    std::array<double, 3> tilt{};
    for (int spin = 0; spin < 400; ++spin) {
        const int cell = static_cast<int>(random() % (spin < 200 ? 37 : 6));
        for (std::size_t c = 0; c < 3; ++c) {
            const double each = TiltConcentrations[c] / 37;
            tilt[c] += std::log(37 * (each + static_cast<double>(counts[cell])) /
                                (TiltConcentrations[c] + spin));
        }
        ++counts[static_cast<std::size_t>(cell)];
    }
    for (std::size_t c = 0; c < 3; ++c)
        EXPECT_NEAR(logTiltFactor(counts, TiltConcentrations[c]), tilt[c], 1e-8);

    for (int width : {1, 4, 9}) {
        for (double total : DistanceConcentrations) {
            const double p = width / 37.0, a = total * p, b = total - a;
            double product = 0;
            std::int64_t inside = 0;
            for (int spin = 0; spin < 3000; ++spin) {
                const bool in = random() % 37 < static_cast<unsigned>(width + spin % 3);
                product += in ? std::log((a + static_cast<double>(inside)) / (total + spin) / p)
                              : std::log((b + spin - static_cast<double>(inside)) / (total + spin) /
                                         (1 - p));
                inside += in;
            }
            EXPECT_NEAR(logArcFactor(inside, 3000, width, total), product,
                        1e-8 * std::fabs(product));
        }
    }
}

// Planted biases: E reaches its levels and says where, in the arc planted or beside it.
TEST(Evidence, FindsPlantedBiasesAndSaysWhere)
{
    std::mt19937_64 random(17);
    std::uniform_int_distribution<int> pocket(0, 36);
    std::uniform_real_distribution<double> unit(0, 1);
    const auto session = [&](int spins, auto draw) {
        Evidence e;
        int position = 0;
        for (int s = 0; s < spins; ++s) {
            position = draw(position);
            e.add(WheelOrder[static_cast<std::size_t>(position)]);
        }
        return e;
    };
    const auto overlap = [](const Lead &lead, int start, int width) {
        int shared = 0;
        for (int i = 0; i < lead.width; ++i)
            shared += (lead.start + i - start + 37) % 37 < width;
        return shared;
    };

    const Evidence fair = session(5000, [&](int) { return pocket(random); });
    EXPECT_EQ(headlineLevel(std::exp(fair.logE())), HeadlineLevel::Nothing);

    const Evidence dealer = session(
        400, [&](int last) { return unit(random) < 0.3 ? (last + 10) % 37 : pocket(random); });
    EXPECT_EQ(headlineLevel(std::exp(dealer.logE())), HeadlineLevel::Established);
    EXPECT_TRUE(dealer.lead().pattern == Pattern::Distances ||
                dealer.lead().pattern == Pattern::DistanceArc);
    EXPECT_GE(overlap(dealer.lead(), 10, 1), 1);
    // The excess told is the named cells' count over their expected share, minus one.
    const auto excessOf = [](const Lead &lead, const std::array<std::int64_t, 37> &counts) {
        std::int64_t in = 0, all = 0;
        for (int i = 0; i < 37; ++i) {
            all += counts[static_cast<std::size_t>(i)];
            in += (i - lead.start + 37) % 37 < lead.width ? counts[static_cast<std::size_t>(i)] : 0;
        }
        return static_cast<double>(in) / (static_cast<double>(all) * lead.width / 37) - 1;
    };
    EXPECT_NEAR(dealer.lead().excess,
                excessOf(dealer.lead(), dealer.distances(dealer.lead().parity)), 1e-9);

    // Positions 0..4, the zero's side, some 40 % more often.
    std::array<std::int64_t, 37> positions{};
    const Evidence arc = session(40000, [&](int) {
        const int at = unit(random) < 0.5 * 5 / 37 ? pocket(random) % 5 : pocket(random);
        ++positions[static_cast<std::size_t>(at)];
        return at;
    });
    EXPECT_EQ(headlineLevel(std::exp(arc.logE())), HeadlineLevel::Established);
    EXPECT_EQ(arc.lead().pattern, Pattern::PocketArc);
    EXPECT_EQ(arc.lead().start, 0);
    EXPECT_GE(overlap(arc.lead(), 0, 5), 3);
    EXPECT_NEAR(arc.lead().excess, excessOf(arc.lead(), positions), 1e-9);
}

// The pockets' arcs from the Beta-binomial's closed form, checked above against its product:
// the mean over every arc of 1 to 9 pockets and every concentration.
TEST(Evidence, PocketArcsAreTheBetaBinomialMixture)
{
    std::mt19937 random(29);
    Evidence e;
    std::array<std::int64_t, 37> positions{};
    constexpr int Spins = 3000;
    for (int spin = 0; spin < Spins; ++spin) {
        const auto position = random() % 8 == 0 ? 7 + random() % 3 : random() % 37;
        ++positions[position];
        e.add(WheelOrder[position]);
    }
    double mean = 0;
    for (std::size_t c = 0; c < ArcConcentrations.size(); ++c) {
        for (int width = 1; width <= MaxEvidenceArc; ++width) {
            for (int start = 0; start < 37; ++start) {
                std::int64_t inside = 0;
                for (int i = 0; i < width; ++i)
                    inside += positions[static_cast<std::size_t>((start + i) % 37)];
                mean += std::exp(logArcFactor(inside, Spins, width, ArcConcentrations[c])) /
                        (ArcConcentrations.size() * 37 * MaxEvidenceArc);
            }
        }
    }
    EXPECT_NEAR(e.logE(Pattern::PocketArc), std::log(mean), 1e-9);
}

// The doubled entries' family from the Beta-binomial's own formula: over the distances of all
// spins folded d ↔ −d, each of its 19 cells against its fair share (1/37 for the same pocket,
// 2/37 for d or −d), averaged over the cells and concentrations. Read after every spin, after
// undos and after unread spins, every kind stays the closed form of the counts, even once the
// wheel is so biased that its factors leave any fixed range.
TEST(Evidence, MirroredDistancesAreTheBetaBinomialMixture)
{
    const auto model = [](const std::vector<int> &numbers) {
        std::array<std::int64_t, 19> counts{};
        for (std::size_t i = 1; i < numbers.size(); ++i) {
            const int d = (WheelPosition[static_cast<std::size_t>(numbers[i])] -
                           WheelPosition[static_cast<std::size_t>(numbers[i - 1])] + 37) %
                          37;
            ++counts[static_cast<std::size_t>(std::min(d, 37 - d))];
        }
        const double n = numbers.empty() ? 0 : static_cast<double>(numbers.size() - 1);
        double mean = 0;
        for (double total : DistanceConcentrations) {
            for (std::size_t cell = 0; cell < counts.size(); ++cell) {
                const double p = (cell == 0 ? 1 : 2) / 37.0, a = total * p, b = total - a;
                const double k = static_cast<double>(counts[cell]);
                const double logBeta = std::lgamma(a + k) + std::lgamma(b + n - k) -
                                       std::lgamma(total + n) - std::lgamma(a) - std::lgamma(b) +
                                       std::lgamma(total);
                mean += std::exp(logBeta - k * std::log(p) - (n - k) * std::log(1 - p)) /
                        (counts.size() * DistanceConcentrations.size());
            }
        }
        return mean;
    };
    std::mt19937 random(23);
    Evidence e;
    std::vector<int> numbers;
    for (int step = 0; step < 600; ++step) {
        if (!numbers.empty() && random() % 5 == 0) {
            const int last = numbers.back();
            numbers.pop_back();
            e.removeLast(last, numbers.empty() ? -1 : numbers.back());
        } else {
            // Doubled entries and a wheel turned either way by 5 pockets, now and then.
            const int kind = static_cast<int>(random() % 4);
            const int position = numbers.empty() || kind == 3
                                     ? static_cast<int>(random() % 37)
                                     : (WheelPosition[static_cast<std::size_t>(numbers.back())] +
                                        (kind == 0   ? 0
                                         : kind == 1 ? 5
                                                     : 32)) %
                                           37;
            numbers.push_back(WheelOrder[static_cast<std::size_t>(position)]);
            e.add(numbers.back());
        }
        if (random() % 3 == 0)
            continue;
        const double expected = model(numbers);
        ASSERT_NEAR(std::exp(e.logE(Pattern::MirroredDistances)), expected, 1e-9 * expected)
            << step;
        Evidence closed;
        for (int n : numbers)
            closed.add(n);
        for (Pattern p : Patterns)
            ASSERT_NEAR(e.logE(p), closed.logE(p), 1e-9) << step;
        ASSERT_NEAR(e.lead().share, closed.lead().share, 1e-9) << step;
    }
    EXPECT_GT(e.logE(Pattern::MirroredDistances), std::log(EstablishedLevel));
}
