#include "ui/board/sessionfiles.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "sources/drawfile.h"
#include "stats/csvexport.h"
#include "stats/series.h"
#include "ui/common/french.h"
#include "ui/common/lastfolder.h"
#include "ui/common/plaintext.h"
#include "ui/common/slicedwrite.h"

namespace
{

// The name offered when the spins are written: in the last folder used, after today's date,
// numbered past the files already there, so that a second save does not offer the first's
// name to overwrite.
QString todaysFile(const QString &extension)
{
    const QDir folder(lastFolder());
    const QString day = QDate::currentDate().toString(Qt::ISODate);
    QString name = QStringLiteral("tirages-%1.%2").arg(day, extension);
    for (int n = 2; folder.exists(name); ++n)
        name = QStringLiteral("tirages-%1-%2.%3").arg(day).arg(n).arg(extension);
    return folder.filePath(name);
}

// What the status bar says of a write: how many spins went into which file.
QString writtenLine(std::int64_t spins, const QString &path, const QString &done)
{
    const QString plural = spins > 1 ? QStringLiteral("s") : QString();
    return QStringLiteral("%1 tirage%2 %3%2 dans %4")
        .arg(frenchNumber(static_cast<double>(spins), 0), plural, done,
             printableText(QFileInfo(path).fileName()));
}

// What a write of the whole session tells the user: a line for the status bar once written,
// the reason when not, nothing when the user gave up before the first byte.
SessionFiles::Written told(const WriteResult &result, std::int64_t spins, const QString &path,
                           const QString &done, const QString &notDone)
{
    if (result.written)
        return {true, writtenLine(spins, path, done), {}};
    if (result.error.isEmpty())
        return {};
    return {false, {}, notDone.arg(printableText(path), result.error)};
}

} // namespace

QString SessionFiles::askSavePath(const QString &title, const QString &suggested,
                                  const QString &filter) const
{
    QString path = m_chooseSavePath
                       ? m_chooseSavePath(m_parent, title, suggested, filter)
                       : QFileDialog::getSaveFileName(m_parent, title, suggested, filter);
    if (!path.isEmpty())
        rememberFolder(path);
    return path;
}

SessionFiles::Written SessionFiles::saveSpins(const roulette::Session &session) const
{
    const QString path =
        askSavePath(QStringLiteral("Enregistrer les tirages"), todaysFile(QStringLiteral("txt")),
                    QStringLiteral("txt (*.txt)"));
    if (path.isEmpty())
        return {};
    const WriteResult result = writeInSlices(
        m_parent, path, {}, session.lastRow(), [&session](auto first, auto last, std::string &out) {
            for (std::int64_t s = first; s <= last; ++s)
                roulette::appendDrawFileLine(out, session.outcome(s));
        });
    return told(result, session.lastRow(), path, QStringLiteral("enregistré"),
                QStringLiteral("Les tirages n'ont pas été enregistrés dans « %1 » : %2."));
}

SessionFiles::Written SessionFiles::exportCsv(const roulette::Session &session) const
{
    const QString path =
        askSavePath(QStringLiteral("Exporter en CSV"), todaysFile(QStringLiteral("csv")),
                    QStringLiteral("csv (*.csv)"));
    if (path.isEmpty())
        return {};
    const WriteResult result =
        writeInSlices(m_parent, path, roulette::CsvHead, session.lastRow(),
                      [&session](auto first, auto last, std::string &out) {
                          session.forEachRow(first, last, [&](std::int64_t s, const auto &tally) {
                              roulette::appendCsvRow(out, s, session.outcome(s), tally);
                          });
                      });
    return told(result, session.lastRow(), path, QStringLiteral("exporté"),
                QStringLiteral("L'export n'a pas été écrit dans « %1 » : %2."));
}

SessionFiles::Leaving SessionFiles::askBeforeLeaving(std::int64_t unsaved) const
{
    const QString spins = frenchCount(unsaved, QStringLiteral("tirage"), QStringLiteral("tirages"));
    QMessageBox box(QMessageBox::Question, m_title,
                    (unsaved > 1 ? QStringLiteral("%1 ne sont pas enregistrés depuis la remise à "
                                                  "zéro.\nLes enregistrer avant de quitter ?")
                                 : QStringLiteral("%1 n'est pas enregistré depuis la remise à "
                                                  "zéro.\nL'enregistrer avant de quitter ?"))
                        .arg(spins),
                    QMessageBox::NoButton, m_parent);
    QPushButton *save = box.addButton(QStringLiteral("Enregistrer"), QMessageBox::AcceptRole);
    QPushButton *quit =
        box.addButton(QStringLiteral("Quitter sans enregistrer"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.exec();
    if (box.clickedButton() == quit)
        return Leaving::Quit;
    return box.clickedButton() == save ? Leaving::Save : Leaving::Stay;
}
