#pragma once

#include <cstdint>
#include <optional>

#include "stats/arcscan.h"
#include "stats/nulldistribution.h"
#include "stats/spread.h"

namespace roulette
{

/// The study's figures that only a simulation of fair sessions can judge, for the session
/// length the simulation was run at.
struct SimulatedPValues {
    std::int64_t spins = 0;
    double hottestArc = 1, coldestArc = 1, highest = 1, lowest = 1, outside = 1;
    double criticalZ = 0; ///< the hottest arc's score fair sessions pass one time in twenty
};

/// The simulated p-values of the study's extremes against fair sessions of `null`'s length.
SimulatedPValues simulatedPValues(const NullDistribution &null, const HitCounts &hits,
                                  const ArcExtremes &arcs);

/// Which simulation a study waits for, and what it shows meanwhile: the p-values of its
/// present length once fair sessions of that length are simulated, until then the latest
/// ones, of an earlier length. One length is simulated at a time, on whatever thread the
/// caller runs it; the last few lengths stay known, so that an undo and the spin after it
/// need no new simulation.
class StudySimulation
{
public:
    /// The study now holds `spins` spins with these counts and extreme arcs.
    void update(std::int64_t spins, const HitCounts &hits, const ArcExtremes &arcs);
    /// Nothing to show any more: too few spins, or nobody looking.
    void forget() { m_latest.reset(); }
    /// The length to simulate now, handed out once: none while a simulation runs, nor when
    /// the present length is known.
    std::optional<std::int64_t> start();
    /// The simulation handed out last has ended; `update` again to use it.
    void finished(NullDistribution null);

    /// Whether fair sessions of this length are still to be simulated.
    bool waiting(std::int64_t spins) const { return m_cache.find(spins) == nullptr; }
    const std::optional<SimulatedPValues> &latest() const { return m_latest; }
    /// Whether the latest p-values are those of this length, not an earlier one's.
    bool current(std::int64_t spins) const { return m_latest && m_latest->spins == spins; }

private:
    NullCache m_cache;
    std::optional<SimulatedPValues> m_latest;
    std::optional<std::int64_t> m_wanted;
    bool m_running = false;
};

} // namespace roulette
