#include "stats/binomial.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace roulette
{

namespace
{

double logPmf(std::int64_t trials, double p, std::int64_t k)
{
    const double n = static_cast<double>(trials);
    const double x = static_cast<double>(k);
    return std::lgamma(n + 1) - std::lgamma(x + 1) - std::lgamma(n - x + 1) + x * std::log(p) +
           (n - x) * std::log1p(-p);
}

// The terms shrink away from the mode, so the sum stops once they no longer count.
double sumFrom(std::int64_t trials, double p, std::int64_t k, int step)
{
    const double odds = p / (1 - p);
    double term = std::exp(logPmf(trials, p, k));
    double sum = 0;
    for (std::int64_t j = k; j >= 0 && j <= trials && term > sum * 1e-15; j += step) {
        sum += term;
        const double x = static_cast<double>(j);
        const double n = static_cast<double>(trials);
        term *= step > 0 ? (n - x) / (x + 1) * odds : x / (n - x + 1) / odds;
    }
    return sum;
}

std::int64_t mode(std::int64_t trials, double p)
{
    return static_cast<std::int64_t>(std::floor(static_cast<double>(trials + 1) * p));
}

// Both tails at k, with the terms at k − 1 and k that carry them to the next trial:
// P_{n+1}(X ≥ j) = P_n(X ≥ j) + p·P_n(X = j − 1), P_{n+1}(X ≤ j) = P_n(X ≤ j) − p·P_n(X = j).
struct Tails {
    std::int64_t trials = -1, k = 0;
    double p = 0;
    double upper = 0, lower = 0, below = 0, at = 0;
    int steps = 0;
    std::uint64_t used = 0;
};

Tails sumTails(std::int64_t trials, double p, std::int64_t k)
{
    Tails t{trials, k, p};
    t.at = std::exp(logPmf(trials, p, k));
    t.below = k > 0 ? std::exp(logPmf(trials, p, k - 1)) : 0;
    if (k > mode(trials, p)) {
        t.upper = sumFrom(trials, p, k, +1);
        t.lower = 1 - t.upper + t.at;
    } else {
        t.lower = sumFrom(trials, p, k, -1);
        t.upper = 1 - t.lower + t.at;
    }
    return t;
}

// To the next trial, which fell in (k + 1) or out (k).
void step(Tails &t, bool in)
{
    const double n = static_cast<double>(t.trials), k = static_cast<double>(t.k);
    const double p = t.p, q = 1 - p;
    if (in) {
        const double above = t.at * (n - k) / (k + 1) * p / q;
        t.upper -= q * t.at;
        t.lower += q * above;
        t.below = p * t.below + q * t.at;
        t.at = p * t.at + q * above;
        ++t.k;
    } else {
        t.upper += p * t.below;
        t.lower -= p * t.at;
        t.at = p * t.below + q * t.at;
        t.below = t.at * k / (n + 2 - k) * q / p;
    }
    ++t.trials;
    ++t.steps;
}

// A session's figures ask for the tails of counts that gain a trial at a time, where summing
// them afresh walks some eight standard deviations of terms: the last few are kept, per
// thread, and stepped. Summed afresh every so often, and far in the tails, rounding stays
// near 1e-13.
const Tails &tails(std::int64_t trials, double p, std::int64_t k)
{
    constexpr int MaxSteps = 64;
    thread_local std::array<Tails, 16> kept;
    thread_local std::uint64_t clock = 0;
    ++clock;
    for (Tails &t : kept) {
        if (t.p != p || t.trials < 0)
            continue;
        if (t.trials == trials && t.k == k) {
            t.used = clock;
            return t;
        }
        if (t.trials + 1 == trials && (k == t.k || k == t.k + 1) && t.steps < MaxSteps &&
            std::min(t.upper, t.lower) > 1e-200 && t.at > 1e-200) {
            step(t, k > t.k);
            t.used = clock;
            return t;
        }
    }
    Tails &oldest = *std::min_element(
        kept.begin(), kept.end(), [](const Tails &a, const Tails &b) { return a.used < b.used; });
    oldest = sumTails(trials, p, k);
    oldest.used = clock;
    return oldest;
}

} // namespace

double binomialUpperTail(std::int64_t trials, double p, std::int64_t k)
{
    if (k <= 0)
        return 1;
    if (k > trials)
        return 0;
    return std::clamp(tails(trials, p, k).upper, 0.0, 1.0);
}

double binomialLowerTail(std::int64_t trials, double p, std::int64_t k)
{
    if (k < 0)
        return 0;
    if (k >= trials)
        return 1;
    return std::clamp(tails(trials, p, k).lower, 0.0, 1.0);
}

double binomialTwoSided(std::int64_t trials, double p, std::int64_t k)
{
    if (k < 0 || k > trials)
        return 0;
    const Tails &t = tails(trials, p, k);
    return std::clamp(2 * std::min(t.upper, t.lower), 0.0, 1.0);
}

double normalUpperTail(double z)
{
    return 0.5 * std::erfc(z / std::sqrt(2.0));
}

} // namespace roulette
