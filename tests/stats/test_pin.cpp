#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <tuple>
#include <vector>

#include "stats/pin.h"
#include "stats/pinbook.h"
#include "stats/pockets.h"

using namespace roulette;

namespace
{

const std::vector<Suspect> Suspects = {
    {false, 20, 5, AllSpins, true},
    {false, 3, 1, AllSpins, false},
    {true, 10, 3, OddSpins, true},
    {true, 36, 2, AllSpins, false},
};

// The pin's E from its definition: over all spins that the suspect can catch, the sum over the
// excess sizes and the arcs next to the pinned one (each end at most a cell off, the width at
// most one off) of Π θ/p or (1 − θ)/(1 − p), spin by spin, over that sum before the pin.
double modelE(const Suspect &suspect, const std::vector<int> &numbers, std::size_t pinnedAt,
              std::size_t sessionStart)
{
    const auto at = [&](auto i) { return WheelPosition[static_cast<std::size_t>(numbers[i])]; };
    std::vector<int> cells; // −1 for a spin the suspect cannot catch
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const auto nth = static_cast<int>(i + 1 - (i < sessionStart ? 0 : sessionStart));
        const bool caught = nth > 1 && (suspect.reading == AllSpins || nth % 2 == suspect.reading);
        cells.push_back(!suspect.distances ? at(i) : caught ? (at(i) - at(i - 1) + 37) % 37 : -1);
    }
    double all = 0, before = 0;
    for (int start = suspect.start - 1; start <= suspect.start + 1; ++start) {
        for (int width = suspect.width - 1; width <= suspect.width + 1; ++width) {
            if (width < 1 || std::abs(start + width - suspect.start - suspect.width) > 1)
                continue;
            for (double excess : suspect.hot ? HotExcesses : ColdExcesses) {
                const double p = width / 37.0, in = 1 + (suspect.hot ? 1 : -1) * excess;
                const double out = (1 - p * in) / (1 - p);
                double product = 1, weight = 1;
                for (std::size_t i = 0; i < cells.size(); ++i)
                    if (cells[i] >= 0)
                        (i < pinnedAt ? weight : product) *=
                            (cells[i] - start + 74) % 37 < width ? in : out;
                all += weight * product;
                before += weight;
            }
        }
    }
    return all / before;
}

} // namespace

// Every way three spins can follow the pin, each of weight 1/37³ as a fair wheel draws them:
// E is its definition's mixture at each, and its mean is 1, suspect by suspect (the spins
// before the pin, one in an earlier session, count for nothing).
TEST(Pin, EValueIsTheMixtureAndAFairMartingale)
{
    for (const Suspect &suspect : Suspects) {
        std::vector<int> numbers = {7, 32, 15};
        Pin pin(suspect, 3);
        pin.add(numbers[0]);
        pin.breakSequence();
        pin.add(numbers[1]);
        pin.add(numbers[2]);
        double mean = 0;
        const std::function<void(int)> deeper = [&](int left) {
            if (left == 0) {
                const double e = std::exp(pin.logE());
                ASSERT_NEAR(e, modelE(suspect, numbers, 3, 1), 1e-12 * e);
                mean += e / (37.0 * 37 * 37);
                return;
            }
            for (int n = 0; n < 37; ++n) {
                numbers.push_back(n);
                pin.add(n);
                deeper(left - 1);
                numbers.pop_back();
                pin.removeLast(n, numbers.back());
            }
        };
        deeper(3);
        EXPECT_NEAR(mean, 1, 1e-12) << suspect.start;
    }
}

// The interval holds the measured excess, and what the wheel keeps is the excess's mirror: a
// fair wheel's 1/37 at no excess.
TEST(Pin, IntervalHoldsTheMeasureAndTranslatesToWhatTheWheelKeeps)
{
    Pin pin({false, 0, 5, AllSpins, true}, 0);
    for (int i = 0; i < 3700; ++i)
        pin.add(WheelOrder[static_cast<std::size_t>(i % 37)]);
    const PinReading r = pin.read();
    EXPECT_DOUBLE_EQ(r.excess, 0);
    EXPECT_LT(r.excessLow, 0);
    EXPECT_GT(r.excessHigh, 0);
    EXPECT_LT(r.excessHigh - r.excessLow, 0.5);
    EXPECT_NEAR(r.keptLow, 1 - 36.0 / 37 * (1 + r.excessHigh), 1e-15);
    EXPECT_GT(r.keptHigh, 1 / 37.0);
    EXPECT_LT(r.e, 1);
}

// The board's session under random spins, undos (across a pin too), resets and resets taken
// back, with pins made along the way: each pin reads as one fed the session from scratch at
// the spin a plain model says it stands after (nothing after a reset, everything brought
// back by its undo).
TEST(PinBook, FollowsTheBoardThroughUndoResetAndItsUndo)
{
    std::mt19937 random(43);
    Module1 series;
    PinBook book;
    std::vector<std::int64_t> pinnedAt;
    for (int step = 0; step < 2000; ++step) {
        const Session &session = series.session();
        const bool previous = session.lastRow() == 0 && &series.shown() != &session;
        const auto action = random() % 40;
        if (action == 0) {
            series.clear();
            std::fill(pinnedAt.begin(), pinnedAt.end(), 0);
        } else if (previous && action % 2 == 1) {
            series.restorePrevious();
            std::fill(pinnedAt.begin(), pinnedAt.end(), series.session().lastRow());
        } else if (action < 12 && session.lastRow() > 0) {
            series.popRow();
        } else {
            series.appendRow(static_cast<int>(random() % (step % 2 == 0 ? 6 : 37)));
        }
        book.follow(series.session());
        if (step % 500 == 100) {
            book.add({Suspects[pinnedAt.size()], series.session().lastRow(), "", 0});
            pinnedAt.push_back(series.session().lastRow());
        }
        for (std::size_t i = 0; i < pinnedAt.size(); ++i) {
            ASSERT_EQ(book.marks()[i].pinnedAt, pinnedAt[i]) << step;
            Pin fresh(Suspects[i], pinnedAt[i]);
            for (std::int64_t s = 1; s <= series.session().lastRow(); ++s)
                fresh.add(series.session().outcome(s));
            const PinReading a = book.pins()[i].read(), b = fresh.read();
            ASSERT_EQ(std::tie(a.trials, a.inside, a.allTrials),
                      std::tie(b.trials, b.inside, b.allTrials))
                << step;
            ASSERT_NEAR(a.e, b.e, 1e-12 * b.e) << step;
        }
    }
    EXPECT_EQ(pinnedAt.size(), 4U);
}

// Stored sessions one after the other: no distance joins two sessions, and the pin's E is its
// definition's over the spins after it.
TEST(PinBook, ReadsPooledSessionsAsTheStudyDoes)
{
    std::mt19937 random(44);
    std::vector<int> numbers(100);
    for (int &n : numbers)
        n = static_cast<int>(random() % 9);
    const std::vector<std::uint8_t> bytes(numbers.begin(), numbers.end());
    const std::vector<std::size_t> starts = {0, 40};
    for (const Suspect &suspect : Suspects) {
        PinBook book;
        book.follow(bytes, starts);
        book.add({suspect, 60, "", 0});
        const double e = book.pins()[0].read().e;
        EXPECT_NEAR(e, modelE(suspect, numbers, 60, 40), 1e-12 * e) << suspect.start;
    }
}
