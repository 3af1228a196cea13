#include <QApplication>

#include "ui/board/form1.h"
#include "ui/common/french.h"
#include "ui/notebook/notebookpath.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Where the program's settings are kept (the dialogs' last folder).
    QCoreApplication::setOrganizationName(QStringLiteral("etude-roulette"));
    QCoreApplication::setApplicationName(QStringLiteral("etude-roulette"));
    installFrenchTranslations(app);
    removeUnfinishedBackups();
    Form1 window;
    window.show();
    return QApplication::exec();
}
