#include "ui/notebook/notebookchanges.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QPointer>

namespace
{

// Two paths naming one file, through a link or a "..", must meet on one object.
QString fileKey(const QString &file)
{
    const QFileInfo info(file);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

NotebookChanges &NotebookChanges::of(const QString &file)
{
    static QHash<QString, QPointer<NotebookChanges>> byFile;
    QPointer<NotebookChanges> &changes = byFile[fileKey(file)];
    if (!changes)
        changes = new NotebookChanges(QCoreApplication::instance());
    return *changes;
}
