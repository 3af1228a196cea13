#include <QApplication>
#include <QTimer>

#include "ui/board/form1.h"
#include "ui/common/french.h"
#include "ui/notebook/boardnotebook.h"
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
    // Once the board is in sight, so that the question is asked over it.
    QTimer::singleShot(0, window.notebook(), &BoardNotebook::offerLastWheel);
    return QApplication::exec();
}
