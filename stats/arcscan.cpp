#include "stats/arcscan.h"

#include <cmath>

namespace roulette
{

namespace
{

constexpr double Power80 = 0.8416; // standard normal quantile of 0.8

} // namespace

ArcExtremes scanArcs(const std::array<std::int64_t, 37> &byPosition, std::int64_t spins)
{
    const double n = static_cast<double>(spins);
    std::array<double, MaxArcWidth + 1> mean{};
    std::array<double, MaxArcWidth + 1> sigma{};
    for (int w = MinArcWidth; w <= MaxArcWidth; ++w) {
        const double p = w / 37.0;
        mean[w] = n * p;
        sigma[w] = std::sqrt(n * p * (1 - p));
    }
    ArcExtremes result;
    bool first = true;
    for (int start = 0; start < 37; ++start) {
        std::int64_t count = 0;
        for (int w = 1; w <= MaxArcWidth; ++w) {
            count += byPosition[static_cast<std::size_t>((start + w - 1) % 37)];
            if (w < MinArcWidth)
                continue;
            const double z = sigma[w] > 0 ? (static_cast<double>(count) - mean[w]) / sigma[w] : 0;
            const Arc arc{start, w, count, z};
            if (first || z > result.hottest.z)
                result.hottest = arc;
            if (first || z < result.coldest.z)
                result.coldest = arc;
            first = false;
        }
    }
    return result;
}

std::int64_t spinsToDetect(int width, double rate, double criticalZ)
{
    const double p0 = width / 37.0;
    if (rate <= p0)
        return 0;
    const double root =
        (criticalZ * std::sqrt(p0 * (1 - p0)) + Power80 * std::sqrt(rate * (1 - rate))) /
        (rate - p0);
    return static_cast<std::int64_t>(std::ceil(root * root));
}

} // namespace roulette
