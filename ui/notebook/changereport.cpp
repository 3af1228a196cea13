#include "ui/notebook/changereport.h"

#include <QDateTime>
#include <QLocale>

#include "stats/homogeneity.h"
#include "ui/common/plaintext.h"

namespace
{

QLocale french()
{
    return QLocale(QLocale::French, QLocale::France);
}

QString decimal(double value, int decimals = 1)
{
    return french().toString(value, 'f', decimals);
}

QString pText(double p)
{
    return p < 0.001 ? QStringLiteral("p < 0,001") : QStringLiteral("p = ") + decimal(p, 3);
}

QString sessionName(const roulette::SessionInfo &s)
{
    QString name = QStringLiteral("séance du ") + sessionDate(s.startedAt);
    if (!s.label.empty())
        name += QStringLiteral(" « %1 »").arg(printableText(QString::fromStdString(s.label)));
    return name;
}

} // namespace

QString sessionDate(const std::string &startedAt, bool shortForm)
{
    const QDateTime when = QDateTime::fromString(QString::fromStdString(startedAt), Qt::ISODate);
    if (!when.isValid())
        return printableText(QString::fromStdString(startedAt));
    return french().toString(when, shortForm ? QStringLiteral("d MMMM")
                                             : QStringLiteral("d MMMM yyyy HH:mm"));
}

QString changeReport(const std::vector<roulette::SessionInfo> &sessions,
                     const roulette::PooledSpins &spins)
{
    if (sessions.size() < 2)
        return QStringLiteral("Il faut au moins deux séances pour savoir si la roue a changé.");
    const std::vector<roulette::HitCounts> counts =
        roulette::sessionCounts(spins.numbers, spins.starts);
    const roulette::Homogeneity same = roulette::homogeneityTest(counts);
    QString text =
        QStringLiteral("Les %1 séances viennent-elles d'une même roue ? khi² = %2 "
                       "(%3 degrés de liberté), %4%5 : %6\n")
            .arg(sessions.size())
            .arg(decimal(same.chiSquare))
            .arg(same.degrees)
            .arg(pText(same.pValue),
                 same.simulated ? QStringLiteral(" (simulé, peu de tirages)") : QString(),
                 same.pValue < 0.05
                     ? QStringLiteral("elles diffèrent plus que le hasard ne le veut.")
                     : QStringLiteral("rien n'indique un changement."));
    for (std::size_t i = 0; i < sessions.size() && i < same.sessionPValues.size(); ++i)
        text += QStringLiteral("  • %1 contre les autres : %2\n")
                    .arg(sessionName(sessions[i]), pText(same.sessionPValues[i]));
    const roulette::ChangePoint change = roulette::changePoint(counts);
    if (change.split > 0 && change.split < sessions.size())
        text += QStringLiteral("Coupure la plus marquée : avant et depuis la %1 (khi² = %2, %3 "
                               "une fois tenu compte du choix de la coupure).\n")
                    .arg(sessionName(sessions[change.split]), decimal(change.chiSquare),
                         pText(change.pValue));
    const std::string splitDate =
        change.split < sessions.size()
            ? sessionDate(sessions[change.split].startedAt, true).toStdString()
            : std::string();
    return text + QString::fromStdString(roulette::changeAdvice(change, splitDate));
}
