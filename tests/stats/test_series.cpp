#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "stats/series.h"

using namespace roulette;

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
