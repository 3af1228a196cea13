#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "stats/series.h"

using namespace roulette;

TEST(Series, RowsSurviveGrowthAcrossChunks)
{
    Series s;
    const std::int64_t rows = 200000; // past several chunks
    for (std::int64_t r = 1; r <= rows; ++r)
        s.append(static_cast<std::int32_t>(r * 7 % 1000));
    ASSERT_EQ(s.lastRow(), rows);
    EXPECT_EQ(s[0], 0);
    for (std::int64_t r = 1; r <= rows; r += 997)
        EXPECT_EQ(s[r], r * 7 % 1000);
    s.clear();
    EXPECT_EQ(s.lastRow(), 0);
    EXPECT_EQ(s.levelCount(), 0);
}

TEST(Series, RangeMinMaxMatchesBruteForce)
{
    std::mt19937 random(5);
    Series s;
    std::vector<std::int32_t> rows{0};
    for (int r = 1; r <= 5000; ++r) {
        rows.push_back(static_cast<std::int32_t>(random() % 2001) - 1000);
        s.append(rows.back());
    }
    for (int trial = 0; trial < 3000; ++trial) {
        std::int64_t a = 1 + random() % 5000;
        std::int64_t b = 1 + random() % 5000;
        if (a > b)
            std::swap(a, b);
        const auto [lo, hi] = std::minmax_element(rows.begin() + a, rows.begin() + b + 1);
        ASSERT_EQ(s.rangeMinMax(a, b), (MinMax{*lo, *hi})) << a << ".." << b;
    }
}

TEST(Series, PyramidLevelsHoldCompleteBlocks)
{
    Series s;
    for (int r = 1; r <= 64 * 5 + 3; ++r)
        s.append(r);
    ASSERT_EQ(s.levelCount(), 3);
    EXPECT_EQ(s.level(0).size(), 5u);
    EXPECT_EQ(s.level(1).size(), 2u);
    EXPECT_EQ(s.level(2).size(), 1u);
    EXPECT_EQ(s.level(0)[4], (MinMax{257, 320}));
    EXPECT_EQ(s.level(2)[0], (MinMax{1, 256}));
}
