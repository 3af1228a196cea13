// The French words the study's report is written in.
#include <cmath>

#include "stats/pockets.h"
#include "ui/common/verdict.h"
#include "ui/study/reportparts.h"

namespace report
{

namespace
{

QString parityText(int parity)
{
    return parity == roulette::AllSpins   ? QStringLiteral("tous les tirages")
           : parity == roulette::OddSpins ? QStringLiteral("tirages impairs")
                                          : QStringLiteral("tirages pairs");
}

QString distanceText(int distance)
{
    return distance == 0
               ? QStringLiteral("la case même du tirage précédent")
               : QStringLiteral("la case à %1 du tirage précédent")
                     .arg(frenchCount(distance, QStringLiteral("case"), QStringLiteral("cases")));
}

// A distance, or an arc of distances, with the spins it is read on.
QString distancePlace(int start, int width, int parity)
{
    if (width == 1)
        return QStringLiteral("%1, %2").arg(distanceText(start), parityText(parity));
    return QStringLiteral("les cases à %1 à %2 cases du tirage précédent, %3")
        .arg(start)
        .arg((start + width - 1) % 37)
        .arg(parityText(parity));
}

} // namespace

QString count(std::int64_t value)
{
    return frenchNumber(static_cast<double>(value));
}

QString signedPercent(double share)
{
    return QStringLiteral("%1%2 %").arg(share >= 0 ? QStringLiteral("+") : QString(),
                                        frenchNumber(100 * share, 1));
}

QString meanAndSigma(roulette::Expectation e)
{
    return QStringLiteral("%1 ± %2").arg(frenchNumber(e.mean, 1), frenchNumber(e.sigma, 1));
}

Cell pCell(double pValue)
{
    return {pValue < 0.001 ? QStringLiteral("< %1").arg(frenchNumber(0.001, 3))
                           : frenchNumber(pValue, 3)};
}

void addVerdict(std::vector<Row> &rows, const Context &c, double pValue, const QString &note)
{
    rows.push_back({{QStringLiteral("    → %1%2").arg(verdictText(pValue, true), note),
                     verdictColour(pValue)}});
    if (pValue < 0.001 && c.level == roulette::HeadlineLevel::Nothing) {
        rows.push_back({{QStringLiteral("      Le verdict d'ensemble reste « Rien d'anormal » : "
                                        "ce chiffre est un parmi beaucoup,")}});
        rows.push_back({{QStringLiteral("      lu seul ; le verdict les pèse tous, même lus "
                                        "après chaque tirage.")}});
    }
}

Cell simulatedCell(const Context &c, double roulette::SimulatedPValues::*which)
{
    const auto &latest = c.simulation.latest();
    if (!latest)
        return {QStringLiteral("calcul…")};
    Cell cell = pCell((*latest).*which);
    if (!c.simulation.current(c.spins))
        cell.colour = Qt::gray;
    return cell;
}

void addSimulatedVerdict(std::vector<Row> &rows, const Context &c,
                         double roulette::SimulatedPValues::*which)
{
    const auto &latest = c.simulation.latest();
    if (!latest) {
        rows.push_back({{QStringLiteral("    → calcul…")}}); // the table keeps its height
        return;
    }
    addVerdict(rows, c, (*latest).*which,
               c.simulation.current(c.spins)
                   ? QString()
                   : QStringLiteral(" (valeur en cours de mise à jour…)"));
}

QString suspectText(const roulette::Suspect &suspect)
{
    const QString often =
        suspect.hot ? QStringLiteral("plus souvent") : QStringLiteral("moins souvent");
    const auto number = [&] {
        return roulette::WheelOrder[static_cast<std::size_t>(suspect.start)];
    };
    if (!suspect.distances)
        return suspect.width == 1 ? QStringLiteral("le %1, %2").arg(number()).arg(often)
                                  : QStringLiteral("l'arc %1, %2")
                                        .arg(arcPockets(suspect.start, suspect.width), often);
    return QStringLiteral("%1, %2").arg(
        distancePlace(suspect.start, suspect.width, suspect.reading), often);
}

QString arcPockets(int start, int width)
{
    QStringList numbers;
    for (int i = 0; i < width; ++i)
        numbers << QString::number(
            roulette::WheelOrder[static_cast<std::size_t>((start + i) % 37)]);
    return numbers.join(QLatin1Char(' '));
}

QString whereText(const roulette::Lead &lead)
{
    const QString excess = QStringLiteral("%1%2 %").arg(
        lead.excess >= 0 ? QStringLiteral("+") : QString(), frenchNumber(100 * lead.excess));
    const auto number = [&] { return roulette::WheelOrder[static_cast<std::size_t>(lead.start)]; };
    switch (lead.pattern) {
    case roulette::Pattern::Pockets:
        return QStringLiteral("le %1 surtout (%2), parmi tous les numéros")
            .arg(number())
            .arg(excess);
    case roulette::Pattern::PocketArc:
        return lead.width == 1 ? QStringLiteral("le %1 (%2)").arg(number()).arg(excess)
                               : QStringLiteral("l'arc %1 (%2)")
                                     .arg(arcPockets(lead.start, lead.width), excess);
    case roulette::Pattern::Distances:
        return QStringLiteral("%1 surtout, %2 (%3), parmi toutes les distances")
            .arg(distanceText(lead.start), parityText(lead.parity), excess);
    case roulette::Pattern::DistanceArc:
        break;
    case roulette::Pattern::MirroredDistances:
        return lead.start == 0
                   ? QStringLiteral("%1, tous les tirages (%2)").arg(distanceText(0), excess)
                   : QStringLiteral("%1, dans un sens ou dans l'autre, tous les tirages (%2)")
                         .arg(distanceText(lead.start), excess);
    }
    return QStringLiteral("%1 (%2)").arg(distancePlace(lead.start, lead.width, lead.parity),
                                         excess);
}

const QStringList ChanceNames = {
    QStringLiteral("1ʳᵉ douzaine"), QStringLiteral("2ᵉ douzaine"), QStringLiteral("3ᵉ douzaine"),
    QStringLiteral("1ʳᵉ colonne"),  QStringLiteral("2ᵉ colonne"),  QStringLiteral("3ᵉ colonne"),
    QStringLiteral("Rouge"),        QStringLiteral("Noir"),        QStringLiteral("Pair"),
    QStringLiteral("Impair"),       QStringLiteral("Manque"),      QStringLiteral("Passe"),
};
const QStringList ChanceDetails = {
    QStringLiteral(" (1 à 12)"),
    QStringLiteral(" (13 à 24)"),
    QStringLiteral(" (25 à 36)"),
    QStringLiteral(" (1, 4, …, 34)"),
    QStringLiteral(" (2, 5, …, 35)"),
    QStringLiteral(" (3, 6, …, 36)"),
    QString(),
    QString(),
    QString(),
    QString(),
    QStringLiteral(" (1 à 18)"),
    QStringLiteral(" (19 à 36)"),
};

int cellNumber(const Chart &chart, int index)
{
    return chart.cells == Chart::Cells::Pockets
               ? roulette::WheelOrder[static_cast<std::size_t>(index)]
               : index;
}

QStringList chartLines(const Chart &chart)
{
    QStringList cells{chart.cells == Chart::Cells::Pockets ? QStringLiteral("Case")
                                                           : QStringLiteral("Distance")};
    QStringList counts{QStringLiteral("Tirages")};
    for (int i = 0; i < 37; ++i) {
        cells << QString::number(cellNumber(chart, i));
        counts << QString::number(chart.counts[static_cast<std::size_t>(i)]);
    }
    return {cells.join(QLatin1Char('\t')), counts.join(QLatin1Char('\t'))};
}

QString chartDescription(const Chart &chart)
{
    QStringList parts;
    for (int i = 0; i < 37; ++i)
        parts << QStringLiteral("%1 : %2")
                     .arg(cellNumber(chart, i))
                     .arg(chart.counts[static_cast<std::size_t>(i)]);
    const QString what = chart.cells == Chart::Cells::Pockets
                             ? QStringLiteral("Tirages par case, dans l'ordre de la roue")
                             : QStringLiteral("Tirages par distance au tirage précédent");
    QString text =
        QStringLiteral("%1 ; attendu %2 par case, bande ±2σ de %3 à %4. %5.")
            .arg(what, frenchNumber(chart.mean, 1), frenchNumber(chart.mean - 2 * chart.sigma, 1),
                 frenchNumber(chart.mean + 2 * chart.sigma, 1), parts.join(QStringLiteral(" ; ")));
    if (chart.arcs) {
        const auto pockets = [&chart](const roulette::Arc &arc) {
            QStringList numbers;
            for (int i = 0; i < arc.width; ++i)
                numbers << QString::number(cellNumber(chart, (arc.start + i) % 37));
            return numbers.join(QLatin1Char(' '));
        };
        text += QStringLiteral(" Arc le plus chaud : %1 ; arc le plus froid : %2.")
                    .arg(pockets(chart.arcs->hottest), pockets(chart.arcs->coldest));
    }
    return text;
}

} // namespace report
