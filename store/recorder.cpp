#include "store/recorder.h"

#include <algorithm>
#include <numeric>

namespace roulette
{

Origin spinOrigin(const BoardState &state)
{
    if (state.manualMode())
        return Origin::Hand;
    if (state.fileMode())
        return Origin::DrawFile;
    return state.SourceMode.value_or(0) == 0 ? Origin::Generator : Origin::SimulatedWheel;
}

SpinRecorder::SpinRecorder(Notebook &notebook, std::int64_t wheelId, const Module1 &series,
                           std::function<std::string()> now)
    : m_notebook(notebook), m_wheelId(wheelId), m_series(series),
      m_now(std::move(now)), m_runs{{series.session().generation(), series.session().lastRow(), 0,
                                     0, Origin::Hand, true}}
{
}

std::int64_t SpinRecorder::spinsIn(std::int64_t session) const
{
    std::int64_t spins = 0;
    for (const Run &run : m_runs)
        spins += run.session == session ? run.written : 0;
    return spins;
}

std::int64_t SpinRecorder::written() const
{
    return std::accumulate(m_runs.begin(), m_runs.end(), std::int64_t{0},
                           [](std::int64_t sum, const Run &r) { return sum + r.written; });
}

bool SpinRecorder::wrote(std::int64_t sessionId) const
{
    return std::any_of(m_runs.begin(), m_runs.end(),
                       [sessionId](const Run &r) { return r.session == sessionId; });
}

bool SpinRecorder::holdsCurrentSession() const
{
    const Session &session = m_series.session();
    const auto start = std::find_if(m_runs.rbegin(), m_runs.rend(),
                                    [](const Run &r) { return r.startsBoardSession; });
    const std::int64_t held =
        std::accumulate(m_runs.rbegin(), std::next(start), std::int64_t{0},
                        [](std::int64_t sum, const Run &r) { return sum + r.written; });
    return start->from == 0 && m_runs.back().generation == session.generation() &&
           held == session.lastRow();
}

// Every undo and every reset raise the generation by one; only taking a reset back brings
// an older session, with a lower generation, in again. A reset leaves the session it ended
// in sight until the next spin, which tells it from an undo down to no spin.
bool SpinRecorder::follow(Origin origin)
{
    const std::int64_t before = written();
    const std::size_t runsBefore = m_runs.size();
    const std::int64_t sessionBefore = m_runs.back().session;
    const Session &session = m_series.session();
    const std::uint64_t generation = session.generation();
    const std::int64_t rows = session.lastRow();
    if (generation < m_runs.back().generation) {
        takeBackReset(rows);
    } else if (generation > m_runs.back().generation) {
        const Session &shown = m_series.shown();
        const Run &last = m_runs.back();
        if (rows == 0 && &shown != &session && shown.generation() == last.generation)
            m_runs.push_back({generation, 0, 0, last.session, last.origin, true});
        else
            removeDownTo(rows);
    }
    Run &current = m_runs.back();
    current.from = std::min(current.from, rows);
    current.generation = generation;
    const std::int64_t first = current.from + current.written + 1;
    if (first <= rows) {
        chooseSession(origin);
        std::vector<std::uint8_t> spins;
        spins.reserve(static_cast<std::size_t>(rows - first + 1));
        for (std::int64_t s = first; s <= rows; ++s)
            spins.push_back(static_cast<std::uint8_t>(session.outcome(s)));
        m_notebook.appendSpins(m_runs.back().session, spins);
        m_runs.back().written += static_cast<std::int64_t>(spins.size());
    }
    return written() != before || m_runs.size() != runsBefore ||
           m_runs.back().session != sessionBefore;
}

// A reset comes back alone once no spin is left since it, or with a batch begun by it: the
// runs since it lose their spins too.
void SpinRecorder::takeBackReset(std::int64_t rows)
{
    while (m_runs.size() > 1) {
        const bool start = m_runs.back().startsBoardSession;
        removeWritten(m_runs.back());
        popRun();
        if (start)
            return;
    }
    removeWritten(m_runs.front());
    m_runs.front().from = rows; // attached after the reset: nothing of before is ours
}

void SpinRecorder::removeWritten(Run &run)
{
    for (; run.written > 0; --run.written)
        m_notebook.removeLastSpin(run.session);
}

// An undo may reach back past a change of source, into the session before.
void SpinRecorder::removeDownTo(std::int64_t rows)
{
    for (;;) {
        Run &run = m_runs.back();
        while (run.written > std::max<std::int64_t>(0, rows - run.from)) {
            m_notebook.removeLastSpin(run.session);
            --run.written;
        }
        if (rows >= run.from || run.startsBoardSession)
            return;
        popRun();
    }
}

void SpinRecorder::popRun()
{
    const std::int64_t session = m_runs.back().session;
    m_runs.pop_back();
    if (session != 0 && !wrote(session))
        m_notebook.deleteSession(session);
}

// The spins go on into the current session when they come from its source. Otherwise a new
// session begins, unless the current one is empty: then it gives way, to the session before
// it when that one is of their source (the spins of another source were all taken back),
// else to a new one.
void SpinRecorder::chooseSession(Origin origin)
{
    const Run current = m_runs.back();
    if (current.session != 0 && current.origin == origin)
        return;
    if (current.session != 0 && spinsIn(current.session) > 0) {
        const std::int64_t id = m_notebook.createSession(m_wheelId, m_now(), origin);
        m_runs.push_back(
            {current.generation, current.from + current.written, 0, id, origin, false});
        return;
    }
    const auto before = std::find_if(m_runs.rbegin(), m_runs.rend(), [&current](const Run &r) {
        return r.session != 0 && r.session != current.session;
    });
    if (current.session != 0)
        m_notebook.deleteSession(current.session);
    const std::int64_t id = before != m_runs.rend() && before->origin == origin
                                ? before->session
                                : m_notebook.createSession(m_wheelId, m_now(), origin);
    for (Run &run : m_runs)
        if (run.session == current.session) {
            run.session = id;
            run.origin = origin;
        }
}

void SpinRecorder::finish()
{
    const std::int64_t session = m_runs.back().session;
    if (session != 0 && spinsIn(session) == 0)
        m_notebook.deleteSession(session);
}

} // namespace roulette
