#include "ui/common/helpwindow.h"

#include <QTextDocument>
#include <QUrl>

#include "ui/common/ownwindow.h"

HelpWindow::HelpWindow(QWidget *parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowFlag(Qt::Window); // its own window, gone with the board
    setWindowTitle(QStringLiteral("Comment lire ce tableau ?"));
    if (parent)
        setWindowIcon(parent->windowIcon());
    document()->setDocumentMargin(12);
    setSource(QUrl(QStringLiteral("qrc:/help/aide.html")));
    fitOnScreen(*this, {720, 640});
    addCloseKeys(*this);
}
