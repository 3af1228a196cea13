#include "ui/notebook/notebookpath.h"

#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>

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
