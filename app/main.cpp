#include <QApplication>

#include "ui/board/form1.h"
#include "ui/common/french.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installFrenchTranslations(app);
    Form1 window;
    window.show();
    return QApplication::exec();
}
