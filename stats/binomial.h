#pragma once

#include <cstdint>

namespace roulette
{

/// P(X >= k) for X ~ Binomial(trials, p), summed term by term from k outwards, so that it
/// stays exact far in the tail and costs about ten standard deviations of terms at most.
double binomialUpperTail(std::int64_t trials, double p, std::int64_t k);
/// P(X <= k) for X ~ Binomial(trials, p).
double binomialLowerTail(std::int64_t trials, double p, std::int64_t k);
/// Two-sided p-value of k: twice the smaller tail, at most 1.
double binomialTwoSided(std::int64_t trials, double p, std::int64_t k);

/// P(Z >= z) for a standard normal Z.
double normalUpperTail(double z);

} // namespace roulette
