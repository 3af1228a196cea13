#include <gtest/gtest.h>

#include <numeric>

#include "stats/spread.h"

using namespace roulette;

namespace
{

using Row = std::array<std::int32_t, SpreadClasses>;

Row spreadAfter(HitCounts &hits, int number)
{
    Row row{};
    EXPECT_TRUE(ComputeSpread(hits, number, row));
    return row;
}

} // namespace

TEST(ComputeSpread, WorkedRows)
{
    HitCounts hits{};
    EXPECT_EQ(spreadAfter(hits, 5), (Row{36, 1}));
    HitCounts same = hits;
    EXPECT_EQ(spreadAfter(same, 5), (Row{36, 0, 1}));
    EXPECT_EQ(spreadAfter(hits, 30), (Row{35, 2}));
    HitCounts zero{};
    EXPECT_EQ(spreadAfter(zero, 0), (Row{36, 1})) << "zero is an ordinary number here";
}

TEST(ComputeSpread, ElevenHitsLeaveEveryClassAndTheRowSumsTo36)
{
    HitCounts hits{};
    Row row{};
    for (int spin = 1; spin <= 10; ++spin)
        row = spreadAfter(hits, 12);
    EXPECT_EQ(row, (Row{36, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    row = spreadAfter(hits, 12);
    EXPECT_EQ(row, (Row{36}));
    EXPECT_EQ(std::accumulate(row.begin(), row.end(), 0), 36);
}

TEST(ComputeSpread, OutOfRangeChangesNothing)
{
    HitCounts hits{};
    Row row{};
    row.fill(-1);
    EXPECT_FALSE(ComputeSpread(hits, 37, row));
    EXPECT_FALSE(ComputeSpread(hits, -1, row));
    EXPECT_EQ(hits, HitCounts{});
    EXPECT_EQ(row[0], -1);
}
