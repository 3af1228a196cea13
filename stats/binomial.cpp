#include "stats/binomial.h"

#include <algorithm>
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

} // namespace

double binomialUpperTail(std::int64_t trials, double p, std::int64_t k)
{
    if (k <= 0)
        return 1;
    if (k > trials)
        return 0;
    if (k > mode(trials, p))
        return sumFrom(trials, p, k, +1);
    return std::clamp(1 - sumFrom(trials, p, k - 1, -1), 0.0, 1.0);
}

double binomialLowerTail(std::int64_t trials, double p, std::int64_t k)
{
    if (k < 0)
        return 0;
    if (k >= trials)
        return 1;
    if (k < mode(trials, p))
        return sumFrom(trials, p, k, -1);
    return std::clamp(1 - sumFrom(trials, p, k + 1, +1), 0.0, 1.0);
}

// One walk outwards from k gives the tail away from the mode; the other tail is one minus
// it, plus the term at k that both hold.
double binomialTwoSided(std::int64_t trials, double p, std::int64_t k)
{
    if (k < 0 || k > trials)
        return 0;
    const double far = sumFrom(trials, p, k, k > mode(trials, p) ? +1 : -1);
    const double near = 1 - far + std::exp(logPmf(trials, p, k));
    return std::min(1.0, 2 * std::min(far, near));
}

double normalUpperTail(double z)
{
    return 0.5 * std::erfc(z / std::sqrt(2.0));
}

} // namespace roulette
