#include <gtest/gtest.h>

#include <cmath>

#include "stats/fairness.h"

using namespace roulette;

TEST(Fairness, ExpectedSpreadMatchesIndependentValues)
{
    const double at37[] = {13.4, 13.8, 6.9, 2.2, 0.5};
    for (int k = 0; k < 5; ++k)
        EXPECT_NEAR(expectedSpread(37, k), at37[k], 0.06) << "k " << k;
    const double at111[] = {1.8, 5.5, 8.3, 8.4, 6.3, 3.8, 1.8};
    for (int k = 0; k < 7; ++k)
        EXPECT_NEAR(expectedSpread(111, k), at111[k], 0.06) << "k " << k;
    EXPECT_EQ(expectedSpread(3, 4), 0.0);
    EXPECT_NEAR(expectedSpread(0, 0), 37.0, 1e-9);
}

TEST(Fairness, ExpectedSpreadStaysFiniteAtAMillionSpins)
{
    double total = 0.0;
    for (int k = 0; k <= 10; ++k) {
        const double e = expectedSpread(1'000'000, k);
        ASSERT_TRUE(std::isfinite(e));
        EXPECT_GE(e, 0.0);
        total += e;
    }
    EXPECT_LT(total, 1e-100) << "no number is out only ten times after a million spins";
}

TEST(Fairness, ChiSquareOfAHandComputedBoard)
{
    // 74 spins, 2 expected per number.
    HitCounts hits{};
    hits[0] = 10;
    for (int n = 1; n <= 4; ++n)
        hits[n] = 4;
    for (int n = 5; n <= 36; ++n)
        hits[n] = n <= 20 ? 3 : 0; // 16 numbers out 3 times, 16 never
    // (10-2)^2/2 + 4*(4-2)^2/2 + 16*(3-2)^2/2 + 16*(0-2)^2/2 = 32 + 8 + 8 + 32 = 80
    const FairnessTest t = fairnessTest(hits);
    EXPECT_NEAR(t.chiSquare, 80.0, 1e-9);
    EXPECT_NEAR(t.pValue, 3.47e-5, 0.01e-5);
}

TEST(Fairness, ChiSquareSurvivalKnownQuantiles)
{
    EXPECT_NEAR(chiSquareSurvival(50.998, 36), 0.05, 1e-4);
    EXPECT_NEAR(chiSquareSurvival(35.336, 36), 0.5, 1e-4);
    EXPECT_NEAR(chiSquareSurvival(67.985, 36), 0.001, 1e-5);
    EXPECT_EQ(chiSquareSurvival(0.0, 36), 1.0);
}
