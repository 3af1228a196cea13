#include "ui/common/french.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

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

// QLocale's own formatting costs about a microsecond a number, and the study window writes a
// few hundred at each spin, most of them counts: whole numbers are grouped here, with the
// locale's marks. Others go to QLocale, which rounds ties away from zero where printf would
// round them to even.
QString frenchNumber(double value, int decimals)
{
    static const QLocale french(QLocale::French);
    static const QString group = french.groupSeparator(), point = french.decimalPoint(),
                         minus = french.negativeSign();
    // A value that rounds to zero is written without a sign.
    if (std::round(std::fabs(value) * std::pow(10.0, decimals)) == 0)
        value = 0;
    if (!(std::fabs(value) < 1e15) || value != std::floor(value))
        return french.toString(value, 'f', decimals);
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(),
                                   static_cast<std::int64_t>(std::fabs(value)))
                         .ptr;
    const int whole = static_cast<int>(end - digits.data());
    QString text;
    text.reserve(whole + whole / 3 + decimals + 2);
    if (value < 0)
        text += minus;
    for (int i = 0; i < whole; ++i) {
        if (i > 0 && (whole - i) % 3 == 0)
            text += group;
        text += QLatin1Char(digits[static_cast<std::size_t>(i)]);
    }
    if (decimals > 0)
        text += point + QString(decimals, u'0');
    return text;
}

QString frenchCount(std::int64_t n, const QString &one, const QString &many)
{
    return frenchNumber(static_cast<double>(n)) + u' ' + (n > 1 ? many : one);
}
