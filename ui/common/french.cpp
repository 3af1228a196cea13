#include "ui/common/french.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cmath>

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

QString frenchNumber(double value, int decimals)
{
    static const QLocale french(QLocale::French);
    // A value that rounds to zero is written without a sign.
    if (std::round(std::fabs(value) * std::pow(10.0, decimals)) == 0)
        value = 0;
    return french.toString(value, 'f', decimals);
}
