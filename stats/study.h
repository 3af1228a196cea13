#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <span>

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
    /// At most `limit` spins are added at a call, so that a long rebuild can go in slices.
    /// False when nothing changed.
    bool follow(const Session &session,
                std::int64_t limit = std::numeric_limits<std::int64_t>::max());
    /// Whether the study holds every spin of the session.
    bool caughtUp(const Session &session) const
    {
        return m_started && m_generation == session.generation() && spins() == session.lastRow();
    }

    /// Catches up with fixed spins of several sessions one after the other, `starts` (in
    /// order) holding where each begins: at most `limit` more spins at a call. The study must
    /// hold nothing but the first spins of `numbers`. False when nothing changed.
    bool follow(std::span<const std::uint8_t> numbers, std::span<const std::size_t> starts,
                std::int64_t limit = std::numeric_limits<std::int64_t>::max());

    void add(int number);
    /// Takes back the last spin, within the latest session.
    void removeLast();
    /// The next spin opens another session: écarts, runs and distances restart there, so that
    /// no figure pairs the last spin of a session with the first of the next. Not taken back.
    void startSession();

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
