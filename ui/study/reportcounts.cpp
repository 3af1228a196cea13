// The study's sections on counts: the arc scan, the classic sectors, the numbers.
#include <cmath>

#include "stats/binomial.h"
#include "stats/study.h"
#include "stats/studyfigures.h"
#include "ui/common/palette.h"
#include "ui/common/verdict.h"
#include "ui/study/reportparts.h"

using roulette::SimulatedPValues;

namespace report
{

namespace
{

QString numbers(double count, int decimals = 0)
{
    return QStringLiteral("%1 %2").arg(frenchNumber(count, decimals),
                                       std::round(count) == 1 && decimals == 0
                                           ? QStringLiteral("numéro")
                                           : QStringLiteral("numéros"));
}

// How long a session must be for the scan to see the hottest arc's excess, if it lasted. The
// rows stay short: a table is as wide as its longest row.
void addSpinsNeeded(std::vector<Row> &rows, const Context &c, const roulette::Arc &hottest)
{
    rows.push_back({{QStringLiteral("Longueur où le balayage verrait cet excès 4 fois sur 5 (seuil "
                                    "de 5 %), s'il persistait :")}});
    const auto &simulated = c.simulation.latest();
    if (!simulated) {
        rows.push_back({{QStringLiteral("    calcul…")}});
        return;
    }
    const std::optional<std::int64_t> needed =
        roulette::spinsNeeded(hottest, c.spins, simulated->hottestArc, simulated->criticalZ);
    if (!needed) {
        rows.push_back({{QStringLiteral("    sans objet : l'arc le plus chaud n'est pas un écart "
                                        "rare du balayage (p corrigée ≥ 5 %).")}});
    } else if (*needed == 0) {
        rows.push_back({{QStringLiteral("    aucun chiffre sûr : son excès pourrait être nul.")}});
    } else {
        rows.push_back(
            {{QStringLiteral("    environ %1 en tout, avec l'excès le plus bas plausible ;")
                  .arg(
                      frenchCount(*needed, QStringLiteral("tirage"), QStringLiteral("tirages")))}});
        rows.push_back({{QStringLiteral("    le verdict d'ensemble n'en est souvent alors qu'à "
                                        "l'indice.")}});
    }
}

} // namespace

Section arcSection(const Context &c, const std::optional<roulette::ArcExtremes> &arcs)
{
    Section s;
    s.title = QStringLiteral("Balayage des arcs");
    s.explanation = QStringLiteral(
        "Chaque arc de 3 à 9 cases voisines est noté par son écart réduit z, pour que les "
        "largeurs se comparent. La valeur p corrigée tient compte de tout le balayage : c'est la "
        "part des sessions d'une roue équilibrée de même longueur dont le meilleur arc (le pire, "
        "pour l'arc froid) est au moins aussi extrême. L'excès de l'arc le plus chaud est gonflé "
        "par le choix du plus chaud parmi tous : le vrai besoin en tirages est sans doute plus "
        "grand que celui annoncé.");
    s.tables.push_back(
        {s.title,
         {QString(), QStringLiteral("Cases"), QStringLiteral("Tirages"), QStringLiteral("Attendu"),
          QStringLiteral("Écart"), QStringLiteral("z"), QStringLiteral("p corrigée")},
         {}});
    if (!arcs)
        return s;
    std::vector<Row> &rows = s.tables.back().rows;
    const std::pair<const roulette::Arc *, double SimulatedPValues::*> lines[] = {
        {&arcs->hottest, &SimulatedPValues::hottestArc},
        {&arcs->coldest, &SimulatedPValues::coldestArc}};
    for (const auto &[arc, which] : lines) {
        const double expected = static_cast<double>(c.spins) * arc->width / 37;
        const bool hot = arc == &arcs->hottest;
        rows.push_back(
            {{hot ? QStringLiteral("Arc le plus chaud") : QStringLiteral("Arc le plus froid"),
              {},
              palette::arcWash(hot),
              false,
              roulette::Suspect{false, arc->start, arc->width, roulette::AllSpins, hot}},
             {arcPockets(arc->start, arc->width)},
             {count(arc->count)},
             {frenchNumber(expected, 1)},
             {signedPercent(static_cast<double>(arc->count) / expected - 1)},
             {frenchNumber(arc->z, 2)},
             simulatedCell(c, which)});
        addSimulatedVerdict(rows, c, which);
    }
    addSpinsNeeded(rows, c, arcs->hottest);
    return s;
}

Section sectorSection(const Context &c)
{
    Section s;
    s.title = QStringLiteral("Secteurs classiques");
    s.explanation = QStringLiteral(
        "Les tirages tombés dans chaque secteur face à l'attendu d'une roue équilibrée, ± un "
        "écart type σ ; la valeur p est celle d'un test binomial bilatéral, secteur par secteur. "
        "Les secteurs se complètent : un arc chaud dans l'un rend les autres froids.");
    s.tables.push_back(
        {s.title,
         {QStringLiteral("Secteur"), QStringLiteral("Cases"), QStringLiteral("Tirages"),
          QStringLiteral("Attendu ± σ"), QStringLiteral("Écart"), QStringLiteral("p")},
         {}});
    if (c.spins < MinimumSpins)
        return s;
    static const QString names[] = {QStringLiteral("Voisins du zéro"),
                                    QStringLiteral("Tiers du cylindre"),
                                    QStringLiteral("Orphelins"), QStringLiteral("Jeu zéro")};
    const auto sectors = roulette::classicSectors(c.study.hits(), c.spins);
    std::vector<Row> &rows = s.tables.back().rows;
    for (std::size_t i = 0; i < sectors.size(); ++i) {
        const roulette::SectorFigures &f = sectors[i];
        rows.push_back({{names[i]},
                        {QString::number(f.pockets)},
                        {count(f.count)},
                        {meanAndSigma(f.expected)},
                        {signedPercent(f.excess)},
                        pCell(f.pValue)});
        addVerdict(rows, c, f.pValue);
    }
    return s;
}

Section numberSection(const Context &c)
{
    Section s;
    s.title = QStringLiteral("Numéros");
    s.explanation = QStringLiteral(
        "Il y a toujours un numéro plus sorti que les autres : le plus et le moins sorti sont "
        "jugés face au maximum et au minimum des 37 comptes d'une roue équilibrée, non comme un "
        "numéro pris seul. Le khi-deux juge les 37 comptes ensemble.");
    s.tables.push_back({s.title,
                        {QString(), QStringLiteral("N°"), QStringLiteral("Valeur"),
                         QStringLiteral("Attendu"), QStringLiteral("p")},
                        {}});
    if (c.spins < MinimumSpins)
        return s;
    const auto &hits = c.study.hits();
    const double mean = static_cast<double>(c.spins) / 37;
    const roulette::CountExtremes extremes = roulette::countExtremes(hits);
    const auto times = [](std::int64_t h) { return QStringLiteral("%1 fois").arg(count(h)); };
    std::vector<Row> &rows = s.tables.back().rows;
    const auto add = [&](const QString &what, Row row, double SimulatedPValues::*which) {
        row.insert(row.begin(), {what});
        row.push_back(simulatedCell(c, which));
        rows.push_back(std::move(row));
        addSimulatedVerdict(rows, c, which);
    };
    const auto numberRow = [&](int number, bool hot) {
        const int position = roulette::WheelPosition[static_cast<std::size_t>(number)];
        return Row{{QString::number(number), Qt::white, palette::pocketColour(number), true,
                    roulette::Suspect{false, position, 1, roulette::AllSpins, hot}},
                   {times(hits[static_cast<std::size_t>(number)])},
                   {QStringLiteral("%1 fois").arg(frenchNumber(mean, 1))}};
    };
    add(QStringLiteral("Le plus sorti"), numberRow(extremes.highest, true),
        &SimulatedPValues::highest);
    add(QStringLiteral("Le moins sorti"), numberRow(extremes.lowest, false),
        &SimulatedPValues::lowest);
    const roulette::BandFigures band = roulette::bandFigures(hits, c.spins);
    add(QStringLiteral("Hors de la bande ±2σ"),
        {{}, {numbers(band.outside)}, {numbers(band.expectedOutside, 1)}},
        &SimulatedPValues::outside);
    const roulette::FairnessTest chi = roulette::fairnessTest(hits);
    rows.push_back({{QStringLiteral("Khi-deux, 36 degrés de liberté")},
                    {},
                    {frenchNumber(chi.chiSquare, 2)},
                    {QStringLiteral("36")},
                    pCell(chi.pValue)});
    addVerdict(rows, c, chi.pValue);
    return s;
}

} // namespace report
