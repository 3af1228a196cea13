#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "board/boardstate.h"
#include "stats/series.h"
#include "store/notebook.h"

namespace roulette
{

/// What produces the board's spins in this state: the hand in manual mode, else the draw
/// file when one is loaded, else the generator or the simulated wheel of the option chosen.
Origin spinOrigin(const BoardState &state);

/// Keeps a wheel of the notebook equal to the board's spins since it was attached: new spins
/// are appended, spins taken back are removed. A session of the wheel holds spins of one
/// origin: spins from another source begin a session of their own, dated when they come. A
/// reset is not an undo: the spins after it go on into the same session, and taking the
/// reset back writes nothing twice. A session left without spins is not kept.
class SpinRecorder
{
public:
    /// `now` dates the sessions begun ("2026-03-12T20:15").
    SpinRecorder(Notebook &notebook, std::int64_t wheelId, const Module1 &series,
                 std::function<std::string()> now);

    /// Catches up with the board, the spins made since the last call coming from `origin`.
    /// True when the notebook changed. Throws NotebookError when the notebook fails, having
    /// written a whole spin or nothing.
    bool follow(Origin origin);
    /// Deletes the last session begun when it was left without spins; when letting go.
    void finish();
    /// Whether `sessionId` is a session this recorder wrote into.
    bool wrote(std::int64_t sessionId) const;
    /// Spins written since attaching and still in the notebook.
    std::int64_t written() const;
    /// Whether every spin since the board's last reset is in the notebook.
    bool holdsCurrentSession() const;

private:
    // A stretch of one board session written to one notebook session: the board's rows
    // after `from`, `written` of them. A new run begins at a reset (same notebook session)
    // and at a change of origin (a new one).
    struct Run {
        std::uint64_t generation;
        std::int64_t from;
        std::int64_t written;
        std::int64_t session; // 0 until its first spin
        Origin origin;
        bool startsBoardSession;
    };

    void takeBackReset(std::int64_t rows);
    void removeDownTo(std::int64_t rows);
    void removeWritten(Run &run);
    void popRun();
    void chooseSession(Origin origin);
    std::int64_t spinsIn(std::int64_t session) const;

    Notebook &m_notebook;
    std::int64_t m_wheelId;
    const Module1 &m_series;
    std::function<std::string()> m_now;
    std::vector<Run> m_runs; // the last is the current one
};

} // namespace roulette
