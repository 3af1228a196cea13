#include "ui/notebook/notebookpath.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>

#include <filesystem>

#include "store/notebook.h"

namespace
{

const QString UnfinishedKey = QStringLiteral("carnet/copiesEnCours");

// A copy still written to is younger: another copy of the program may be making it.
constexpr int UnfinishedAfterSeconds = 60;

void noteUnfinished(const QString &partial, bool underWay)
{
    QSettings settings;
    QStringList partials = settings.value(UnfinishedKey).toStringList();
    partials.removeAll(partial);
    if (underWay)
        partials << partial;
    settings.setValue(UnfinishedKey, partials);
    settings.sync(); // before the copy begins: a crash may come at any moment
}

} // namespace

QString defaultNotebookPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("carnet-des-roues.sqlite"));
}

void showNotebookFault(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Carnet des roues"), text, QMessageBox::Ok,
                    parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void backUpNotebook(const roulette::Notebook &notebook, const QString &target)
{
    const std::filesystem::path file(target.toStdU16String());
    const QString partial =
        QString::fromStdU16String(roulette::Notebook::partialBackup(file).u16string());
    noteUnfinished(partial, true);
    try {
        notebook.backupTo(file);
    } catch (const std::exception &) {
        noteUnfinished(partial, false);
        throw;
    }
    noteUnfinished(partial, false);
}

void removeUnfinishedBackups()
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-UnfinishedAfterSeconds);
    for (const QString &partial : QSettings().value(UnfinishedKey).toStringList()) {
        const QFileInfo file(partial);
        const bool stale = partial.endsWith(QStringLiteral(".partiel")) &&
                           file.lastModified() < before && QFile::remove(partial);
        if (!file.exists() || stale)
            noteUnfinished(partial, false);
    }
}
