#include "ui/common/french.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installFrenchTranslations(QCoreApplication &app)
{
    auto *qtTexts = new QTranslator(&app);
    if (!qtTexts->load(QStringLiteral("qtbase_fr"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qtTexts;
        return false;
    }
    return QCoreApplication::installTranslator(qtTexts);
}
