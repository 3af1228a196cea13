#include "ui/common/lastfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace
{

const QString Key = QStringLiteral("dialogues/dernierDossier");

} // namespace

QString lastFolder()
{
    QString remembered = QSettings().value(Key).toString();
    if (!remembered.isEmpty() && QDir(remembered).exists())
        return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

void rememberFolder(const QString &path)
{
    QSettings().setValue(Key, QFileInfo(path).absolutePath());
}
