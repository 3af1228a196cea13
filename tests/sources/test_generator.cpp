#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "board/board.h"
#include "sources/generator.h"
#include "sources/wheel.h"
#include "tests/fakes.h"

using namespace roulette;
using roulette::testing::FixedClock;

namespace
{

constexpr int Draws = 37 * 2000;

// Pearson's statistic of Draws numbers against a uniform spread.
double chiSquareOf(const std::function<int()> &draw)
{
    std::array<int, 37> counts{};
    for (int i = 0; i < Draws; ++i)
        ++counts[static_cast<std::size_t>(draw())];
    const double expected = Draws / 37.0;
    double sum = 0;
    for (int c : counts)
        sum += (c - expected) * (c - expected) / expected;
    return sum;
}

// 36 degrees of freedom: the 99.9 % quantile is 67.98; a fair source sits near 36.
constexpr double Threshold = 67.98;

} // namespace

TEST(Generator, ValuesAreTwentyFourBitFractionsBelowOne)
{
    SplitMixGenerator generator(1);
    for (int i = 0; i < 100000; ++i) {
        const float r = generator.next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        ASSERT_EQ(r * 16777216.0f, std::floor(r * 16777216.0f));
    }
}

TEST(Generator, ReseedsWithOneClockReadingStillDiffer)
{
    SplitMixGenerator generator(7);
    FixedClock clock(123456);
    RandomDraw draw(generator, clock);
    EXPECT_LT(chiSquareOf([&draw] { return draw.index(37); }), Threshold);
}

TEST(Generator, EverySourceIsUniformOverTheThirtySevenNumbers)
{
    for (int mode = 0; mode <= 2; ++mode) {
        Board board(std::make_unique<SplitMixGenerator>(2024), std::make_unique<FixedClock>(99));
        board.Form_Load();
        board.Option1_Click(mode);
        const double chi2 = chiSquareOf([&board] {
            board.Command1_Click();
            return board.state().CurrentNumber;
        });
        EXPECT_LT(chi2, Threshold) << "source " << mode;
    }
}
