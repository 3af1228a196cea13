#pragma once

#include <array>
#include <cstdint>

#include "stats/chunked.h"
#include "stats/ecarts.h"
#include "stats/evalue.h"
#include "stats/runs.h"
#include "stats/series.h"

namespace roulette
{

/// The three simple chances, each against its opposite: rouge/noir, pair/impair, manque/passe.
inline constexpr int SimpleChancePairs = 3;

/// What the study of a session keeps: hit counts, écarts and the runs of the simple chances,
/// built from the session's outcomes and then following it a spin at a time, at most a few
/// dozen steps a spin, undo included. About five bytes a spin.
class Study
{
public:
    /// Catches up with the session: new spins are added, spins taken back are removed, and
    /// anything else (a reset followed by spins) starts over from the session's outcomes.
    /// False when nothing changed.
    bool follow(const Session &session);

    void add(int number);
    void removeLast();

    std::int64_t spins() const { return m_outcomes.size(); }
    const std::array<std::int64_t, 37> &hits() const { return m_hits; }
    std::array<std::int64_t, 37> hitsByPosition() const;
    const Ecarts &ecarts() const { return m_ecarts; }
    const ChanceRuns &chanceRuns(int pair) const { return m_runs[static_cast<std::size_t>(pair)]; }
    const Evidence &evidence() const { return m_evidence; }

private:
    ChunkedArray<std::uint8_t, 16> m_outcomes;
    std::array<std::int64_t, 37> m_hits{};
    Ecarts m_ecarts;
    Evidence m_evidence;
    std::array<ChanceRuns, SimpleChancePairs> m_runs{ChanceRuns(RedPockets), ChanceRuns(Chances[8]),
                                                     ChanceRuns(Chances[10])};
    std::uint64_t m_generation = 0;
    bool m_started = false;
};

} // namespace roulette
