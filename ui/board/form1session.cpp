// Form1's actions on the whole session: many spins at once, and what the board does around
// the session's files (marked saved, the status line, the question before closing).
#include "ui/board/form1.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <utility>

#include "ui/common/batchprogress.h"
#include "ui/common/french.h"
#include "ui/common/plaintext.h"
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
    switch (m_files.askBeforeLeaving(board().series().session().lastRow())) {
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
    runBatch(count, false);
}

// One step for undo however many slices the batch takes, with the reset before it if any.
void Form1::runBatch(std::int64_t count, bool resetFirst)
{
    m_timer->stop(); // the board is not shown again before the last spin
    m_batchStopped = false;
    m_batchRunning = true;
    m_model.beginBatch(resetFirst);
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

// A permanence just imported plays whole on a fresh board at once, if the user wants: the
// reset and the batch are one step for Ctrl+Z.
void Form1::offerToPlay(const QString &fileName)
{
    const roulette::BoardState &s = board().state();
    const std::int64_t left = board().FileNumbers().size() - s.FileCursor;
    if (!s.fileMode() || left <= 0)
        return;
    const PlayOffer answer = askToPlay(
        QStringLiteral("« %1 » est chargé : %2.\n\nLes jouer maintenant sur un tableau remis à "
                       "zéro ? Ctrl+Z reprendra la remise à zéro et tous ces tirages ensemble.")
            .arg(printableText(fileName),
                 frenchCount(left, QStringLiteral("tirage"), QStringLiteral("tirages"))));
    if (answer == PlayOffer::Later)
        return;
    if (board().state().manualMode())
        Label4_Click(); // the typed number would play instead of the file's
    runBatch(left, true);
    if (answer == PlayOffer::PlayAndStudy)
        openStudy();
}

Form1::PlayOffer Form1::askToPlay(const QString &text)
{
    if (m_answerOffer)
        return m_answerOffer(text);
    QMessageBox box(QMessageBox::Question, programTitle(), text, QMessageBox::NoButton, this);
    box.setTextFormat(Qt::PlainText); // it quotes a file's name
    QPushButton *study =
        box.addButton(QStringLiteral("Jouer et ouvrir l'étude"), QMessageBox::AcceptRole);
    QPushButton *play = box.addButton(QStringLiteral("Jouer"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Plus tard"), QMessageBox::RejectRole);
    box.setDefaultButton(study);
    box.exec();
    if (box.clickedButton() == study)
        return PlayOffer::PlayAndStudy;
    return box.clickedButton() == play ? PlayOffer::Play : PlayOffer::Later;
}
