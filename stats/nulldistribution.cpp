#include "stats/nulldistribution.h"

#include <algorithm>
#include <cmath>

#include "stats/arcscan.h"

namespace roulette
{

namespace
{

template <typename T> double shareAtLeast(const std::vector<T> &sorted, T value)
{
    const auto atLeast = sorted.end() - std::lower_bound(sorted.begin(), sorted.end(), value);
    return static_cast<double>(1 + atLeast) / static_cast<double>(sorted.size() + 1);
}

template <typename T> double shareAtMost(const std::vector<T> &sorted, T value)
{
    const auto atMost = std::upper_bound(sorted.begin(), sorted.end(), value) - sorted.begin();
    return static_cast<double>(1 + atMost) / static_cast<double>(sorted.size() + 1);
}

} // namespace

std::array<std::int64_t, 37> drawFairCounts(std::int64_t spins, std::mt19937_64 &random)
{
    std::array<std::int64_t, 37> counts{};
    std::int64_t left = spins;
    for (int i = 0; i < 36; ++i) {
        std::binomial_distribution<std::int64_t> draw(left, 1.0 / (37 - i));
        counts[static_cast<std::size_t>(i)] = draw(random);
        left -= counts[static_cast<std::size_t>(i)];
    }
    counts[36] = left;
    return counts;
}

int countOutsideBand(const std::array<std::int64_t, 37> &hits, std::int64_t spins)
{
    const double mean = static_cast<double>(spins) / 37;
    const double band = 2 * std::sqrt(mean * 36 / 37);
    return static_cast<int>(std::count_if(hits.begin(), hits.end(), [&](std::int64_t h) {
        return std::fabs(static_cast<double>(h) - mean) > band;
    }));
}

// On a fair wheel every pocket plays the same part, so counts drawn in any order serve as
// counts by wheel position.
NullDistribution::NullDistribution(std::int64_t spins, int samples) : m_spins(spins)
{
    std::mt19937_64 random(0x5eed'0000'0000ULL ^ static_cast<std::uint64_t>(spins));
    for (int i = 0; i < samples; ++i) {
        const auto counts = drawFairCounts(spins, random);
        const ArcExtremes arcs = scanArcs(counts, spins);
        m_hottest.push_back(arcs.hottest.z);
        m_coldest.push_back(arcs.coldest.z);
        const auto [low, high] = std::minmax_element(counts.begin(), counts.end());
        m_highest.push_back(*high);
        m_lowest.push_back(*low);
        m_outside.push_back(countOutsideBand(counts, spins));
    }
    for (auto *v : {&m_hottest, &m_coldest})
        std::sort(v->begin(), v->end());
    for (auto *v : {&m_highest, &m_lowest, &m_outside})
        std::sort(v->begin(), v->end());
}

double NullDistribution::pHottestArc(double z) const
{
    return shareAtLeast(m_hottest, z);
}

double NullDistribution::pColdestArc(double z) const
{
    return shareAtMost(m_coldest, z);
}

double NullDistribution::pHighestCount(std::int64_t count) const
{
    return shareAtLeast(m_highest, count);
}

double NullDistribution::pLowestCount(std::int64_t count) const
{
    return shareAtMost(m_lowest, count);
}

double NullDistribution::pOutsideBand(int numbers) const
{
    return shareAtLeast(m_outside, std::int64_t{numbers});
}

double NullDistribution::hottestArcQuantile(double level) const
{
    // The lowest score whose p-value is at most level.
    const std::size_t size = m_hottest.size();
    const auto above = static_cast<std::size_t>(level * static_cast<double>(size + 1));
    return m_hottest[std::min(size - 1, size + 1 - std::max<std::size_t>(above, 1))];
}

const NullDistribution *NullCache::find(std::int64_t spins) const
{
    for (const NullDistribution &d : m_entries) {
        if (d.spins() == spins)
            return &d;
    }
    return nullptr;
}

void NullCache::insert(NullDistribution distribution)
{
    m_entries.push_front(std::move(distribution));
    if (m_entries.size() > Capacity)
        m_entries.pop_back();
}

} // namespace roulette
