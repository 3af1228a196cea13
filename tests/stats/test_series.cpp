#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "stats/series.h"

using namespace roulette;

// Rows are worked out again from the outcomes and the stored hit counts: they must be the
// rows the spins gave, after growing, undoing and growing again.
TEST(Session, RowsAndRangesMatchTheRowsAppended)
{
    std::mt19937 random(5);
    Session session;
    Tally tally;
    std::vector<SeriesRow> rows{SeriesRow{}};
    for (int step = 0; step < 6000; ++step) {
        if (step % 1000 > 800 && session.lastRow() > 0) {
            tally.remove(session.outcome(session.lastRow()));
            session.popBack();
            rows.pop_back();
        } else {
            const int n = static_cast<int>(random() % 37);
            tally.add(n);
            session.append(n, tally.row());
            rows.push_back(tally.row());
        }
    }
    const std::int64_t last = session.lastRow();
    for (std::int64_t r = 0; r <= last; ++r)
        ASSERT_EQ(session.row(r), rows[r]) << r;
    for (int trial = 0; trial < 3000; ++trial) {
        std::int64_t a = 1 + random() % last;
        std::int64_t b = 1 + random() % last;
        if (a > b)
            std::swap(a, b);
        const int kind = static_cast<int>(random() % SeriesKinds);
        MinMax expected{rows[a][kind], rows[a][kind]};
        for (std::int64_t r = a; r <= b; ++r)
            expected = {std::min(expected.min, rows[r][kind]),
                        std::max(expected.max, rows[r][kind])};
        ASSERT_EQ(session.rangeMinMax(kind, a, b), expected) << a << ".." << b;
    }
}
