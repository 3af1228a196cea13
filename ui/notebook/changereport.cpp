#include "ui/notebook/changereport.h"

#include <QDateTime>
#include <QLocale>

#include "ui/common/plaintext.h"
#include "ui/common/verdict.h"

namespace
{

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
    static const QLocale french(QLocale::French, QLocale::France);
    return french.toString(when, shortForm ? QStringLiteral("d MMMM")
                                           : QStringLiteral("d MMMM yyyy HH:mm"));
}

// The two scans weigh about the same: each gets half of the progress.
ChangeFigures changeFigures(const roulette::PooledSpins &spins,
                            const roulette::SampleProgress &progress)
{
    const std::vector<roulette::HitCounts> counts =
        roulette::sessionCounts(spins.numbers, spins.starts);
    const auto half = [&](double from) -> roulette::SampleProgress {
        if (!progress)
            return {};
        return [&progress, from](double fraction) { return progress(from + fraction / 2); };
    };
    ChangeFigures figures;
    figures.same = roulette::homogeneityTest(counts, roulette::HomogeneitySamples, half(0));
    figures.change = roulette::changePoint(counts, roulette::HomogeneitySamples, half(0.5));
    return figures;
}

QString changeReport(const std::vector<roulette::SessionInfo> &sessions,
                     const ChangeFigures &figures)
{
    if (sessions.size() < 2)
        return QStringLiteral("Il faut au moins deux séances pour savoir si la roue a changé.");
    const roulette::Homogeneity &same = figures.same;
    QString text =
        QStringLiteral("Les %1 séances viennent-elles d'une même roue ? khi² = %2 "
                       "(%3 de liberté), %4%5 : %6\n")
            .arg(sessions.size())
            .arg(frenchNumber(same.chiSquare, 1))
            .arg(frenchCount(same.degrees, QStringLiteral("degré"), QStringLiteral("degrés")))
            .arg(pValueText(same.pValue),
                 same.simulated ? QStringLiteral(" (simulé, peu de tirages)") : QString(),
                 same.pValue < 0.05
                     ? QStringLiteral("elles diffèrent plus que le hasard ne le veut.")
                     : QStringLiteral("rien n'indique un changement."));
    for (std::size_t i = 0; i < sessions.size() && i < same.sessionPValues.size(); ++i)
        text += QStringLiteral("  • %1 contre les autres : %2\n")
                    .arg(sessionName(sessions[i]), pValueText(same.sessionPValues[i]));
    const roulette::ChangePoint &change = figures.change;
    if (change.split > 0 && change.split < sessions.size())
        text += QStringLiteral("Coupure la plus marquée : avant et depuis la %1 (khi² = %2, %3 "
                               "une fois tenu compte du choix de la coupure).\n")
                    .arg(sessionName(sessions[change.split]), frenchNumber(change.chiSquare, 1),
                         pValueText(change.pValue));
    const std::string splitSession = change.split < sessions.size()
                                         ? sessionName(sessions[change.split]).toStdString()
                                         : std::string();
    std::vector<std::string> names;
    names.reserve(sessions.size());
    for (const roulette::SessionInfo &session : sessions)
        names.push_back(sessionName(session).toStdString());
    return text + QString::fromStdString(roulette::changeAdvice(same, change, splitSession, names));
}
