#include "stats/fairness.h"

#include <cmath>
#include <numeric>

namespace roulette
{

namespace
{

constexpr double Pockets = 37.0;

// Regularised lower incomplete gamma P(a, x) by its series, for x < a + 1.
double lowerGammaSeries(double a, double x)
{
    double term = 1.0 / a;
    double sum = term;
    for (int n = 1; n < 1000 && std::fabs(term) > std::fabs(sum) * 1e-16; ++n) {
        term *= x / (a + n);
        sum += term;
    }
    return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// Regularised upper incomplete gamma Q(a, x) by Lentz's continued fraction, for x >= a + 1.
double upperGammaFraction(double a, double x)
{
    constexpr double tiny = 1e-300;
    double b = x + 1.0 - a;
    double c = 1.0 / tiny;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i < 1000; ++i) {
        const double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        d = std::fabs(d) < tiny ? tiny : d;
        c = b + an / c;
        c = std::fabs(c) < tiny ? tiny : c;
        d = 1.0 / d;
        const double delta = d * c;
        h *= delta;
        if (std::fabs(delta - 1.0) < 1e-16)
            break;
    }
    return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

} // namespace

double expectedSpread(std::int64_t spins, int k)
{
    if (k < 0 || spins < 0 || k > spins)
        return 0.0;
    const double s = static_cast<double>(spins);
    // In logarithms: the binomial coefficient alone overflows a double from s ≈ 1030.
    const double logTerm = std::lgamma(s + 1) - std::lgamma(k + 1.0) - std::lgamma(s - k + 1) +
                           k * std::log(1.0 / Pockets) + (s - k) * std::log1p(-1.0 / Pockets);
    return Pockets * std::exp(logTerm);
}

Expectation expectedCount(std::int64_t spins, int pockets)
{
    const double p = pockets / Pockets;
    const double s = static_cast<double>(spins);
    return {s * p, std::sqrt(s * p * (1.0 - p))};
}

double chiSquareSurvival(double x, int degrees)
{
    if (x <= 0.0)
        return 1.0;
    const double a = degrees / 2.0;
    const double half = x / 2.0;
    return half < a + 1.0 ? 1.0 - lowerGammaSeries(a, half) : upperGammaFraction(a, half);
}

FairnessTest fairnessTest(const HitCounts &hits)
{
    const double spins =
        static_cast<double>(std::accumulate(hits.begin(), hits.end(), std::int64_t{0}));
    if (spins <= 0.0)
        return {0.0, 1.0};
    const double expected = spins / Pockets;
    double chi2 = 0.0;
    for (std::int64_t h : hits) {
        const double diff = static_cast<double>(h) - expected;
        chi2 += diff * diff / expected;
    }
    return {chi2, chiSquareSurvival(chi2, 36)};
}

} // namespace roulette
