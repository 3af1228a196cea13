#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "stats/decimate.h"
#include "stats/fairness.h"
#include "stats/spread.h"

using namespace roulette;

namespace
{

// A session and a plain copy of all its rows to check against, each row recounted from the
// hit counts.
struct Rows {
    Session session;
    std::array<int, 37> hits{};
    std::vector<SeriesRow> plain{SeriesRow{}};

    void append(int outcome)
    {
        session.append(outcome);
        ++hits[outcome];
        SeriesRow row{};
        for (int n = 0; n < 37; ++n) {
            row[SeriesZero + (n + 11) / 12] += hits[n];
            for (int k = 0; k < SpreadClasses; ++k)
                row[k] += hits[n] == k;
        }
        plain.push_back(row);
    }
    void popBack()
    {
        --hits[session.outcome(session.lastRow())];
        session.popBack();
        plain.pop_back();
    }
    void clear()
    {
        session = Session(session.generation() + 1);
        hits = {};
        plain = {SeriesRow{}};
    }
    std::int32_t at(std::int64_t row, int kind) const { return plain[row][kind]; }
};

// The points worked out from the rows themselves: every row while they fit the budget, else
// buckets of the smallest power-of-two size that fits, each drawn as its minimum and maximum,
// the one nearer the previous point first.
void expectDrawnFaithfully(const Decimation &d, const Rows &rows, int kind)
{
    const std::int64_t n = rows.session.lastRow();
    std::int64_t size = n > d.budget() ? 2 : 1;
    while (size > 1 && 2 * ((n + size - 1) / size) > d.budget())
        size *= 2;
    ASSERT_EQ(d.bucketRows(), size) << n << " rows";
    std::vector<DrawnPoint> expected;
    for (std::int64_t first = 1; first <= n; first += size) {
        const std::int64_t last = std::min(first + size - 1, n);
        std::int32_t lo = rows.at(first, kind), hi = lo;
        for (std::int64_t r = first; r <= last; ++r)
            lo = std::min(lo, rows.at(r, kind)), hi = std::max(hi, rows.at(r, kind));
        const bool maxFirst = !expected.empty() && std::abs(hi - expected.back().value) <
                                                       std::abs(lo - expected.back().value);
        expected.push_back({first, maxFirst ? hi : lo});
        if (size > 1)
            expected.push_back({last, maxFirst ? lo : hi});
    }
    ASSERT_EQ(d.points(), expected) << n << " rows";
}

} // namespace

// Rows arrive a few at a time, as spins between two refreshes, through every bucket size from
// single rows up to several pyramid levels; now and then rows are taken back or all cleared,
// as an undo or a reset does, and as many come in before the next update. Any row and the
// minimum and maximum over any range of rows are checked on the way.
TEST(Session, RowsRangesAndDecimationMatchTheRowsAppended)
{
    std::mt19937 random(11);
    for (const int budget : {2, 7, 100, 640}) {
        Rows rows;
        const int kind = SeriesTimes0 + 2; // rises and falls
        Decimation d(budget);
        for (int update = 0; update < 1400; ++update) {
            const bool cleared = update == 1 || update == 700;
            const bool undone = !cleared && random() % 20 == 0 && rows.session.lastRow() > 3;
            for (int pops = undone ? 3 : 0; pops > 0; --pops)
                rows.popBack();
            if (cleared)
                rows.clear();
            const int batch = rows.plain.size() < 300 ? 1 : 4 + static_cast<int>(random() % 97);
            const int range = update % 200 < 100 ? 37 : 3; // runs that stay put, too
            for (int i = 0; i < batch; ++i)
                rows.append(static_cast<int>(random() % range) * 5 % 37);
            const std::vector<DrawnPoint> before = d.points();
            const std::size_t settled = d.settledPoints();
            const std::int64_t bucketRows = d.bucketRows();
            const std::size_t firstChanged = d.update(Series(rows.session, kind));
            ASSERT_TRUE(
                std::equal(before.begin(), before.begin() + firstChanged, d.points().begin()));
            // While the bucket size holds, the complete buckets stay as they are.
            if (!cleared && !undone && d.bucketRows() == bucketRows) {
                ASSERT_GE(firstChanged, settled);
            }
            expectDrawnFaithfully(d, rows, kind);
            const std::int64_t last = rows.session.lastRow();
            const std::int64_t a = 1 + random() % last;
            const std::int64_t b = a + random() % (last - a + 1);
            const int k = static_cast<int>(random() % SeriesKinds);
            MinMax expected{rows.at(a, k), rows.at(a, k)};
            for (std::int64_t r = a; r <= b; ++r)
                expected = {std::min(expected.min, rows.at(r, k)),
                            std::max(expected.max, rows.at(r, k))};
            ASSERT_EQ(rows.session.rangeMinMax(k, a, b), expected) << a << ".." << b;
            ASSERT_EQ(rows.session.row(a), rows.plain[a]) << a;
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(Stats, TheLawsOfAFairWheel)
{
    HitCounts hits{};
    const double at37[] = {13.4, 13.8, 6.9, 2.2, 0.5};
    const double at111[] = {1.8, 5.5, 8.3, 8.4, 6.3, 3.8, 1.8};
    for (int k = 0; k < 7; ++k) {
        EXPECT_NEAR(expectedSpread(111, k), at111[k], 0.06) << k;
        EXPECT_NEAR(expectedSpread(37, k), k < 5 ? at37[k] : 0.0, k < 5 ? 0.06 : 0.12) << k;
    }
    EXPECT_EQ(expectedSpread(3, 4), 0.0);
    EXPECT_EQ(expectedSpread(0, 0), 37.0);
    EXPECT_LT(expectedSpread(1'000'000, 10), 1e-100) << "and finite, far past what a double holds";
    for (const auto &[x, p] : {std::pair{0.0, 1.0}, {35.336, 0.5}, {50.998, 0.05}, {67.985, 0.001}})
        EXPECT_NEAR(chiSquareSurvival(x, 36), p, p * 1e-3) << x;
    hits.fill(5); // 185 spins: the zero 20 times, 1 to 3 never; (15² + 3 · 5²) / 5 = 60
    hits[0] = 20;
    hits[1] = hits[2] = hits[3] = 0;
    EXPECT_NEAR(fairnessTest(hits).chiSquare, 60, 1e-9);
    EXPECT_NEAR(fairnessTest(hits).pValue, 0.0073, 0.0001);
}
