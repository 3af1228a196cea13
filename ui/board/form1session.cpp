// Form1's actions on the whole session: many spins at once, saving and exporting the spins
// since the reset, and the question asked before closing over unsaved hand-entered spins.
#include "ui/board/form1.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <utility>

#include "sources/drawfile.h"
#include "stats/csvexport.h"
#include "ui/common/batchprogress.h"
#include "ui/common/lastfolder.h"
#include "ui/common/plaintext.h"
#include "ui/common/slicedwrite.h"
#include "ui/notebook/boardnotebook.h"

namespace
{

constexpr int MaxBatch = 10'000'000;

// The name offered when the spins are written: in the last folder used, after today's date.
QString todaysFile(const QString &extension)
{
    return QDir(lastFolder())
        .filePath(QStringLiteral("tirages-%1.%2")
                      .arg(QDate::currentDate().toString(Qt::ISODate), extension));
}

} // namespace

QString Form1::askSavePath(const QString &title, const QString &suggested, const QString &filter)
{
    QString path = m_chooseSavePath ? m_chooseSavePath(this, title, suggested, filter)
                                    : QFileDialog::getSaveFileName(this, title, suggested, filter);
    if (!path.isEmpty())
        rememberFolder(path);
    return path;
}

bool Form1::saveSpins()
{
    const QString path =
        askSavePath(QStringLiteral("Enregistrer les tirages"), todaysFile(QStringLiteral("txt")),
                    QStringLiteral("txt (*.txt)"));
    if (path.isEmpty())
        return false;
    const roulette::Session &session = m_board.series().session();
    const WriteResult result = writeInSlices(
        this, path, {}, session.lastRow(), [&session](auto first, auto last, std::string &out) {
            for (std::int64_t s = first; s <= last; ++s)
                roulette::appendDrawFileLine(out, session.outcome(s));
        });
    if (result.written) {
        m_board.markSaved();
        confirmWritten(session.lastRow(), path, QStringLiteral("enregistré"));
    } else if (!result.error.isEmpty())
        message(QStringLiteral("Les tirages n'ont pas été enregistrés dans « %1 » : %2.")
                    .arg(printableText(path), result.error));
    return result.written;
}

void Form1::exportCsv()
{
    const QString path =
        askSavePath(QStringLiteral("Exporter en CSV"), todaysFile(QStringLiteral("csv")),
                    QStringLiteral("csv (*.csv)"));
    if (path.isEmpty())
        return;
    const roulette::Session &session = m_board.series().session();
    const WriteResult result =
        writeInSlices(this, path, roulette::CsvHead, session.lastRow(),
                      [&session](auto first, auto last, std::string &out) {
                          session.forEachRow(first, last, [&](std::int64_t s, const auto &tally) {
                              roulette::appendCsvRow(out, s, session.outcome(s), tally);
                          });
                      });
    if (result.written)
        confirmWritten(session.lastRow(), path, QStringLiteral("exporté"));
    else if (!result.error.isEmpty())
        message(QStringLiteral("L'export n'a pas été écrit dans « %1 » : %2.")
                    .arg(printableText(path), result.error));
}

// Hand-entered spins are the ones nothing else can give back, unless the notebook holds them.
bool Form1::closeAllowed()
{
    if (!m_board.hasUnsavedHandSpins() || m_notebook->holdsCurrentSession())
        return true;
    QMessageBox box(QMessageBox::Question, programTitle(),
                    QStringLiteral("Enregistrer les tirages avant de quitter ?"),
                    QMessageBox::NoButton, this);
    QPushButton *save = box.addButton(QStringLiteral("Enregistrer"), QMessageBox::AcceptRole);
    QPushButton *quit =
        box.addButton(QStringLiteral("Quitter sans enregistrer"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.exec();
    if (box.clickedButton() == quit)
        return true;
    return box.clickedButton() == save && saveSpins();
}

void Form1::askSpinMany()
{
    // A draw file offers what is left of it; otherwise the last count asked.
    const roulette::BoardState &s = m_board.state();
    const std::int64_t left = m_board.FileNumbers().size() - s.FileCursor;
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
        last = m_board.spinMany(std::min(progress.slice(), count - done));
        done += last.spun;
        progress.advance(done, count);
    }
    progress.close();
    m_batchRunning = false;
    render();
    DrawCharts();
    if (!last.message.empty())
        message(QString::fromStdString(last.message));
    if (m_loadAfterBatch)
        takeDrawFile(*std::exchange(m_loadAfterBatch, std::nullopt));
}
