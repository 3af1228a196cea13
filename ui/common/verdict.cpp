#include "ui/common/verdict.h"

#include <QLocale>

#include <cmath>

#include "stats/fairness.h"

QString verdictText(double pValue, bool withP)
{
    QString text;
    switch (roulette::verdictOf(pValue)) {
    case roulette::Verdict::VeryRare:
        text = QStringLiteral("Écart très rare sur une roue équilibrée");
        break;
    case roulette::Verdict::Rare:
        text = QStringLiteral("Écart rare sur une roue équilibrée");
        break;
    case roulette::Verdict::Usual:
        text = QStringLiteral("Rien d'inhabituel pour une roue équilibrée");
        break;
    }
    return withP ? QStringLiteral("%1 (%2).").arg(text, pValueText(pValue)) : text + u'.';
}

// Rare figures stand out in brown, not in an alarm's red: only the headline judges.
QColor verdictColour(double pValue)
{
    return roulette::verdictOf(pValue) == roulette::Verdict::Usual ? QColor(0x2e, 0x6b, 0x30)
                                                                   : QColor(0xa0, 0x55, 0x00);
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
