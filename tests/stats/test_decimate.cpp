#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "stats/decimate.h"

using namespace roulette;

namespace
{

// A series and a plain copy of its rows to check against.
struct Rows {
    Series series;
    std::vector<std::int32_t> plain{0};

    void append(std::int32_t value)
    {
        series.append(value);
        plain.push_back(value);
    }
    std::int64_t count() const { return series.lastRow(); }
};

void expectDrawnFaithfully(const Decimation &d, const Rows &rows)
{
    const std::int64_t n = rows.count();
    const auto &points = d.points();
    if (n <= d.budget()) {
        ASSERT_EQ(d.bucketRows(), 1);
        ASSERT_EQ(points.size(), static_cast<std::size_t>(n));
        for (std::int64_t r = 1; r <= n; ++r)
            ASSERT_EQ(points[r - 1], (DrawnPoint{r, rows.plain[r]})) << "row " << r;
        return;
    }
    const std::int64_t size = d.bucketRows();
    const std::int64_t buckets = (n + size - 1) / size;
    ASSERT_TRUE(size >= 2 && (size & (size - 1)) == 0) << size;
    ASSERT_LE(2 * buckets, d.budget());
    if (size > 2) { // the smallest size that fits
        ASSERT_GT(2 * ((n + size / 2 - 1) / (size / 2)), d.budget());
    }
    ASSERT_EQ(points.size(), static_cast<std::size_t>(2 * buckets));
    for (std::int64_t b = 0; b < buckets; ++b) {
        const std::int64_t first = 1 + b * size;
        const std::int64_t last = std::min(first + size - 1, n);
        const auto [lo, hi] =
            std::minmax_element(rows.plain.begin() + first, rows.plain.begin() + last + 1);
        const DrawnPoint &a = points[2 * b];
        const DrawnPoint &z = points[2 * b + 1];
        ASSERT_EQ(a.row, first) << "bucket " << b;
        ASSERT_EQ(z.row, last) << "bucket " << b;
        ASSERT_EQ(std::min(a.value, z.value), *lo) << "bucket " << b << " of " << n << " rows";
        ASSERT_EQ(std::max(a.value, z.value), *hi) << "bucket " << b << " of " << n << " rows";
    }
}

} // namespace

// Rows arrive a few at a time, as spins between two refreshes, through every bucket size
// from single rows up to several pyramid levels.
TEST(Decimation, EveryBucketHoldsTheMinimumAndMaximumOfItsRows)
{
    std::mt19937 random(11);
    for (const int budget : {2, 7, 100, 640}) {
        Rows rows;
        Decimation d(budget);
        std::int32_t walk = 0;
        while (rows.count() < 40000) {
            const int batch = rows.count() < 300 ? 1 : 1 + static_cast<int>(random() % 97);
            for (int i = 0; i < batch; ++i) {
                walk += static_cast<std::int32_t>(random() % 5) - 2;
                rows.append(random() % 8 == 0 ? static_cast<std::int32_t>(random() % 100) : walk);
            }
            const std::vector<DrawnPoint> before = d.points();
            const std::size_t settled = d.settledPoints();
            const std::int64_t bucketRows = d.bucketRows();
            const std::size_t firstChanged = d.update(rows.series);
            ASSERT_LE(firstChanged, before.size());
            if (d.bucketRows() == bucketRows) {
                ASSERT_GE(firstChanged, settled) << "at " << rows.count() << " rows";
            }
            ASSERT_TRUE(
                std::equal(before.begin(), before.begin() + firstChanged, d.points().begin()))
                << "a point before " << firstChanged << " changed at " << rows.count() << " rows";
            expectDrawnFaithfully(d, rows);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(Decimation, AFreshDecimationOfALongSeriesMatchesBruteForce)
{
    std::mt19937 random(3);
    Rows rows;
    for (int n = 1; n <= 300000; ++n)
        rows.append(static_cast<std::int32_t>(random() % 1000));
    for (const int budget : {3, 1000, 299999, 300000}) {
        Decimation d(budget);
        d.update(rows.series);
        expectDrawnFaithfully(d, rows);
    }
}

// A reset or an undo replaces rows; the next refresh must not keep any point of the old
// ones, even when the series has as many rows as were drawn.
TEST(Decimation, StartsAgainWhenTheSeriesIsCleared)
{
    for (const int budget : {1000, 8}) {
        Rows rows;
        Decimation d(budget);
        for (int r = 1; r <= 20; ++r)
            rows.append(r);
        d.update(rows.series);
        rows.series.clear();
        rows.plain = {0};
        for (int r = 1; r <= 20; ++r)
            rows.append(100 - r);
        EXPECT_EQ(d.update(rows.series), 0u);
        expectDrawnFaithfully(d, rows);
        rows.series.clear();
        rows.plain = {0};
        rows.append(7);
        d.update(rows.series);
        EXPECT_EQ(d.points(), (std::vector<DrawnPoint>{{1, 7}}));
        // An undone spin and a new one between two updates: same count, another last row.
        rows.append(8);
        d.update(rows.series);
        rows.series.popBack();
        rows.plain.pop_back();
        rows.append(9);
        d.update(rows.series);
        EXPECT_EQ(d.points(), (std::vector<DrawnPoint>{{1, 7}, {2, 9}}));
    }
}
