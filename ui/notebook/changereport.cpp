#include "ui/notebook/changereport.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>

#include "stats/fairness.h"
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

QString poolSummary(const roulette::PooledSpins &spins)
{
    roulette::HitCounts hits{};
    for (const std::uint8_t n : spins.numbers)
        ++hits[n];
    const auto total = static_cast<std::int64_t>(spins.numbers.size());
    QString text = QStringLiteral("%1 tirages en %2 séances.\n")
                       .arg(french().toString(static_cast<qlonglong>(total)))
                       .arg(spins.starts.size());
    if (total < roulette::FairnessMinimumSpins)
        return text + QStringLiteral("Trop peu de tirages pour juger la roue (il en faut %1).\n")
                          .arg(roulette::FairnessMinimumSpins);
    const roulette::FairnessTest fair = roulette::fairnessTest(hits);
    const auto hottest = std::max_element(hits.begin(), hits.end()) - hits.begin();
    const auto coldest = std::min_element(hits.begin(), hits.end()) - hits.begin();
    return text + QStringLiteral("Les 37 numéros contre une roue équilibrée : khi² = %1, %2.\n"
                                 "Le plus sorti : %3 (%4 fois) ; le moins sorti : %5 (%6 fois) ; "
                                 "attendu : %7 fois.\n")
                      .arg(decimal(fair.chiSquare), pText(fair.pValue))
                      .arg(hottest)
                      .arg(hits[static_cast<std::size_t>(hottest)])
                      .arg(coldest)
                      .arg(hits[static_cast<std::size_t>(coldest)])
                      .arg(decimal(static_cast<double>(total) / 37.0));
}
