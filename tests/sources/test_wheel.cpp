#include <gtest/gtest.h>

#include <cmath>

#include "sources/wheel.h"
#include "tests/fakes.h"

using namespace roulette;
using roulette::testing::FixedClock;
using roulette::testing::ScriptedGenerator;

TEST(WheelTable, FourSeamlessTurnsOfTheWheel)
{
    const WheelTable table;
    std::array<int, 37> perNumber{};
    for (int i = 0; i < WheelTable::Size; ++i)
        ++perNumber[static_cast<std::size_t>(table[i])];
    for (int count : perNumber)
        EXPECT_EQ(count, 4);
    for (int turn = 0; turn < WheelTable::Turns; ++turn) {
        std::array<bool, 37> seen{};
        for (int p = 0; p < 37; ++p)
            seen[static_cast<std::size_t>(table[turn * 37 + p])] = true;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 37) << "turn " << turn;
    }
    EXPECT_EQ(table[13], 36);
    EXPECT_EQ(table[50], 36);
    EXPECT_EQ(table[23], 1);
    EXPECT_EQ(table[37], 0);
    EXPECT_EQ(table[147], 26);
}

TEST(WheelDraws, ExtremeValuesOfR)
{
    const WheelTable table;
    FixedClock clock;
    const float largest = std::nextafter(1.0f, 0.0f);
    ScriptedGenerator generator({0.0f, 0.0f, largest, largest, 37.0f / 148.0f});
    RandomDraw draw(generator, clock);
    EXPECT_EQ(NRoulette(table, draw), 0);
    EXPECT_EQ(NRoulette2(table, draw), 0);
    EXPECT_EQ(NRoulette(table, draw), 26);
    EXPECT_EQ(NRoulette2(table, draw), 26);
    EXPECT_EQ(NRoulette2(table, draw), 0) << "index 37 starts the second turn";
    EXPECT_EQ(scaledIndex(largest, 37), 36);
    EXPECT_EQ(scaledIndex(largest, 148), 147);
}
