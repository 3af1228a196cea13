#pragma once

#include <cstdint>
#include <vector>

#include "stats/series.h"
#include "store/notebook.h"

/// Keeps a notebook session equal to the board's spins since it was attached: new spins are
/// appended, spins taken back are removed. A reset is not an undo: the spins after it go on
/// into the same session, and taking the reset back writes nothing twice.
class SpinRecorder
{
public:
    SpinRecorder(roulette::Notebook &notebook, std::int64_t sessionId,
                 const roulette::Module1 &series);

    /// Catches up with the board; throws NotebookError when the notebook fails, having
    /// written a whole spin or nothing.
    void follow();
    std::int64_t sessionId() const { return m_sessionId; }
    std::int64_t written() const;
    /// Whether every spin since the board's last reset is in the notebook.
    bool holdsCurrentSession() const;

private:
    // The part of one board session written: its rows after `from`, `written` of them.
    struct Segment {
        std::uint64_t generation;
        std::int64_t from;
        std::int64_t written;
    };

    void removeDownTo(std::int64_t rows);

    roulette::Notebook &m_notebook;
    std::int64_t m_sessionId;
    const roulette::Module1 &m_series;
    std::vector<Segment> m_segments; // one per board session since attaching, the last current
};
