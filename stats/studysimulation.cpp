#include "stats/studysimulation.h"

#include <utility>

#include "stats/studyfigures.h"

namespace roulette
{

SimulatedPValues simulatedPValues(const NullDistribution &null, const HitCounts &hits,
                                  const ArcExtremes &arcs)
{
    const CountExtremes extremes = countExtremes(hits);
    return {null.spins(),
            null.pHottestArc(arcs.hottest.z),
            null.pColdestArc(arcs.coldest.z),
            null.pHighestCount(hits[static_cast<std::size_t>(extremes.highest)]),
            null.pLowestCount(hits[static_cast<std::size_t>(extremes.lowest)]),
            null.pOutsideBand(countOutsideBand(hits, null.spins())),
            null.hottestArcQuantile(0.05)};
}

void StudySimulation::update(std::int64_t spins, const HitCounts &hits, const ArcExtremes &arcs)
{
    if (const NullDistribution *null = m_cache.find(spins)) {
        m_latest = simulatedPValues(*null, hits, arcs);
        m_wanted.reset();
    } else {
        m_wanted = spins;
    }
}

std::optional<std::int64_t> StudySimulation::start()
{
    if (m_running || !m_wanted)
        return std::nullopt;
    m_running = true;
    return std::exchange(m_wanted, std::nullopt);
}

void StudySimulation::finished(NullDistribution null)
{
    m_running = false;
    m_cache.insert(std::move(null));
}

} // namespace roulette
