#include "ui/notebook/recorder.h"

#include <numeric>

SpinRecorder::SpinRecorder(roulette::Notebook &notebook, std::int64_t sessionId,
                           const roulette::Module1 &series)
    : m_notebook(notebook), m_sessionId(sessionId),
      m_series(series), m_segments{{series.session().generation(), series.session().lastRow(), 0}}
{
}

std::int64_t SpinRecorder::written() const
{
    return std::accumulate(m_segments.begin(), m_segments.end(), std::int64_t{0},
                           [](std::int64_t sum, const Segment &s) { return sum + s.written; });
}

bool SpinRecorder::holdsCurrentSession() const
{
    const roulette::Session &session = m_series.session();
    const Segment &current = m_segments.back();
    return current.from == 0 && current.generation == session.generation() &&
           current.written == session.lastRow();
}

// Every undo and every reset raise the generation by one; only taking a reset back brings
// an older session, with a lower generation, in again. A reset leaves the session it ended
// in sight until the next spin, which tells it from an undo down to no spin.
void SpinRecorder::follow()
{
    const roulette::Session &session = m_series.session();
    const std::uint64_t generation = session.generation();
    const std::int64_t rows = session.lastRow();
    if (generation < m_segments.back().generation) {
        removeDownTo(m_segments.back().from); // a batch taken back with its reset
        if (m_segments.size() > 1)
            m_segments.pop_back();
        else
            m_segments.back() = {generation, rows, 0};
    } else if (generation > m_segments.back().generation) {
        const roulette::Session &shown = m_series.shown();
        if (rows == 0 && &shown != &session && shown.generation() == m_segments.back().generation)
            m_segments.push_back({generation, 0, 0});
        else
            removeDownTo(rows);
    }
    Segment &current = m_segments.back();
    if (rows < current.from)
        current.from = rows;
    current.generation = generation;
    const std::int64_t first = current.from + current.written + 1;
    if (first > rows)
        return;
    std::vector<std::uint8_t> spins;
    spins.reserve(static_cast<std::size_t>(rows - first + 1));
    for (std::int64_t s = first; s <= rows; ++s)
        spins.push_back(static_cast<std::uint8_t>(session.outcome(s)));
    m_notebook.appendSpins(m_sessionId, spins);
    current.written += static_cast<std::int64_t>(spins.size());
}

void SpinRecorder::removeDownTo(std::int64_t rows)
{
    Segment &current = m_segments.back();
    while (current.written > std::max<std::int64_t>(0, rows - current.from)) {
        m_notebook.removeLastSpin(m_sessionId);
        --current.written;
    }
}
