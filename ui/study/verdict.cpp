#include "ui/study/verdict.h"

#include <QLocale>

#include "stats/fairness.h"

QString verdictText(double pValue)
{
    switch (roulette::verdictOf(pValue)) {
    case roulette::Verdict::LikelyBiased:
        return QStringLiteral("La roue est très probablement déséquilibrée.");
    case roulette::Verdict::Unusual:
        return QStringLiteral("Écart inhabituel : la roue est peut-être déséquilibrée.");
    case roulette::Verdict::NoSign:
        break;
    }
    return QStringLiteral("Rien n'indique que la roue soit déséquilibrée.");
}

QColor verdictColour(double pValue)
{
    switch (roulette::verdictOf(pValue)) {
    case roulette::Verdict::LikelyBiased:
        return QColor(0xb7, 0x1c, 0x1c);
    case roulette::Verdict::Unusual:
        return QColor(0xb2, 0x5e, 0x00);
    case roulette::Verdict::NoSign:
        break;
    }
    return QColor(0x2e, 0x6b, 0x30);
}

namespace
{

const QLocale &french()
{
    static const QLocale locale(QLocale::French);
    return locale;
}

} // namespace

QString pValueText(double pValue)
{
    const QLocale &french = ::french();
    return pValue < 0.001 ? QStringLiteral("p < %1").arg(french.toString(0.001))
                          : QStringLiteral("p = %1").arg(french.toString(pValue, 'f', 3));
}

QString frenchNumber(double value, int decimals)
{
    return french().toString(value, 'f', decimals);
}
