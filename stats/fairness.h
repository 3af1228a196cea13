#pragma once

#include <cstdint>

#include "stats/spread.h"

namespace roulette
{

/// On a fair wheel, the expected count of numbers that came out exactly k times in
/// `spins` spins: 37 · C(spins, k) · (1/37)^k · (36/37)^(spins − k). Finite for any count.
double expectedSpread(std::int64_t spins, int k);

/// Expected count and standard deviation of outcomes falling in a set of `pockets`
/// numbers (1 for the zero, 12 for a dozen) after `spins` spins.
struct Expectation {
    double mean;
    double sigma;
};
Expectation expectedCount(std::int64_t spins, int pockets);

/// Pearson's statistic of the 37 hit counts against a fair wheel, with its p-value
/// (36 degrees of freedom).
struct FairnessTest {
    double chiSquare;
    double pValue;
};
FairnessTest fairnessTest(const HitCounts &hits);

/// Spins needed before the test means something: five expected per number.
inline constexpr std::int64_t FairnessMinimumSpins = 185;

/// How a p-value reads: usual for a fair wheel, rare (below 5 %), very rare (below 0.1 %).
/// One figure alone; it does not judge the wheel.
enum class Verdict { Usual, Rare, VeryRare };
constexpr Verdict verdictOf(double pValue)
{
    return pValue < 0.001 ? Verdict::VeryRare : pValue < 0.05 ? Verdict::Rare : Verdict::Usual;
}

/// P(X > x) for a chi-square variable with `degrees` degrees of freedom.
double chiSquareSurvival(double x, int degrees);

} // namespace roulette
