// Form1's actions on the whole session: many spins at once, and what the board does around
// the session's files (marked saved, the status line, the question before closing).
#include "ui/board/form1.h"

#include <QInputDialog>
#include <QTimer>

#include <utility>

#include "ui/common/batchprogress.h"
#include "ui/notebook/boardnotebook.h"

namespace
{

constexpr int MaxBatch = 10'000'000;

} // namespace

void Form1::showWritten(const SessionFiles::Written &written)
{
    if (written.written)
        confirm(written.status);
    else if (!written.error.isEmpty())
        message(written.error);
}

bool Form1::saveSpins()
{
    const SessionFiles::Written written = m_files.saveSpins(board().series().session());
    if (written.written)
        m_model.markSaved();
    showWritten(written);
    return written.written;
}

void Form1::exportCsv()
{
    showWritten(m_files.exportCsv(board().series().session()));
}

// Hand-entered spins are the ones nothing else can give back, unless the notebook holds them.
bool Form1::closeAllowed()
{
    if (!board().hasUnsavedHandSpins() || m_notebook->holdsCurrentSession())
        return true;
    switch (m_files.askBeforeLeaving()) {
    case SessionFiles::Leaving::Quit:
        return true;
    case SessionFiles::Leaving::Save:
        return saveSpins();
    case SessionFiles::Leaving::Stay:
        break;
    }
    return false;
}

void Form1::askSpinMany()
{
    // A draw file offers what is left of it; otherwise the last count asked.
    const roulette::BoardState &s = board().state();
    const std::int64_t left = board().FileNumbers().size() - s.FileCursor;
    const int offered = s.fileMode() && left > 0
                            ? static_cast<int>(std::min<std::int64_t>(left, MaxBatch))
                            : m_batchCount;
    bool ok = false;
    const int count = QInputDialog::getInt(this, QStringLiteral("Lancer plusieurs tirages"),
                                           QStringLiteral("Nombre de tirages :"), offered, 1,
                                           MaxBatch, 1000, &ok);
    if (!ok)
        return;
    m_batchCount = count;
    spinMany(count);
}

void Form1::spinMany(std::int64_t count)
{
    m_timer->stop(); // the board is not shown again before the last spin
    m_batchStopped = false;
    m_batchRunning = true;
    BatchProgress progress(this);
    std::int64_t done = 0;
    roulette::BatchResult last;
    while (done < count && last.message.empty() && !m_batchStopped && !progress.wasCanceled()) {
        last = m_model.spinSlice(std::min(progress.slice(), count - done));
        done += last.spun;
        progress.advance(done, count);
    }
    progress.close();
    m_batchRunning = false;
    m_model.endBatch();
    showRefusal(last.message);
    if (m_loadAfterBatch)
        takeDrawFile(*std::exchange(m_loadAfterBatch, std::nullopt));
}
