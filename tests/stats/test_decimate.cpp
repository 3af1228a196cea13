#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "stats/decimate.h"

using namespace roulette;

namespace
{

// A session's series and a plain copy of its rows to check against.
struct Rows {
    int kind = SeriesTimes0 + 2; // rises and falls
    Session session;
    Tally tally;
    std::vector<std::int32_t> plain{0};

    Series series() const { return Series(session, kind); }
    void append(int outcome)
    {
        tally.add(outcome);
        session.append(outcome, tally.row());
        plain.push_back(tally.value(kind));
    }
    void popBack()
    {
        tally.remove(session.outcome(session.lastRow()));
        session.popBack();
        plain.pop_back();
    }
    void clear()
    {
        session = Session(session.generation() + 1);
        tally = Tally();
        plain = {0};
    }
    std::int64_t count() const { return session.lastRow(); }
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
        while (rows.count() < 40000) {
            const int batch = rows.count() < 300 ? 1 : 1 + static_cast<int>(random() % 97);
            for (int i = 0; i < batch; ++i)
                rows.append(static_cast<int>(random() % 37));
            const std::vector<DrawnPoint> before = d.points();
            const std::size_t settled = d.settledPoints();
            const std::int64_t bucketRows = d.bucketRows();
            const std::size_t firstChanged = d.update(rows.series());
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
        rows.append(static_cast<int>(random() % 37));
    for (const int budget : {3, 1000, 299999, 300000}) {
        Decimation d(budget);
        d.update(rows.series());
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
            rows.append(r % 3);
        d.update(rows.series());
        rows.clear();
        for (int r = 1; r <= 20; ++r)
            rows.append(r % 5);
        EXPECT_EQ(d.update(rows.series()), 0u);
        expectDrawnFaithfully(d, rows);
        rows.clear();
        rows.append(7);
        d.update(rows.series());
        // An undone spin and a new one between two updates: same count, another last row.
        rows.append(7);
        d.update(rows.series());
        rows.popBack();
        rows.append(8);
        d.update(rows.series());
        expectDrawnFaithfully(d, rows);
        EXPECT_EQ(d.points(), (std::vector<DrawnPoint>{{1, 0}, {2, 0}}));
    }
}
