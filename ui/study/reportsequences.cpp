// The study's sections on sequences: the écarts, the simple chances' runs, the distances from
// one spin to the next.
#include <algorithm>
#include <numeric>

#include "stats/binomial.h"
#include "stats/pockets.h"
#include "stats/study.h"
#include "stats/studyfigures.h"
#include "ui/common/palette.h"
#include "ui/common/verdict.h"
#include "ui/study/reportparts.h"

namespace report
{

namespace
{

constexpr double PocketShare = 1.0 / 37;

QString since(std::int64_t gap)
{
    return QStringLiteral("depuis %1")
        .arg(frenchCount(gap, QStringLiteral("tirage"), QStringLiteral("tirages")));
}

// The numbers, longest present absence first, in three blocks side by side.
std::vector<Row> overdueRows(const roulette::Ecarts &ecarts)
{
    const std::array<int, 37> order = roulette::byPresentAbsence(ecarts);
    constexpr int Rows = 13;
    std::vector<Row> overdue(Rows);
    for (int i = 0; i < 37; ++i) {
        const int number = order[static_cast<std::size_t>(i)];
        Row &row = overdue[static_cast<std::size_t>(i % Rows)];
        row.push_back({QString::number(number), Qt::white, palette::pocketColour(number), true});
        row.push_back({count(ecarts.current(number))});
        row.push_back({count(ecarts.longest(number))});
    }
    overdue.back().resize(9); // the last block has two numbers fewer
    return overdue;
}

std::vector<Row> groupRows(const Context &c)
{
    const roulette::Ecarts &ecarts = c.study.ecarts();
    // Absences restart with each session: the present one is the last session's.
    const std::int64_t current = ecarts.sessionSpins();
    const std::vector<std::int64_t> sessions = ecarts.sessionLengths();
    std::vector<Row> rows;
    rows.push_back(
        {{QStringLiteral("Attendu pour un numéro sur une roue équilibrée : écart de %1 "
                         "en moyenne, plus long écart de %2 en moyenne.")
              .arg(frenchNumber(roulette::expectedCurrentAbsence(PocketShare, current), 1),
                   frenchNumber(roulette::expectedLongestRun(sessions, 1 - PocketShare), 1))}});
    const roulette::Overdue number = roulette::mostOverdue(ecarts, roulette::AbsenceGroup::Numbers);
    rows.push_back({{QStringLiteral("Numéro le plus en retard : %1, %2, %3.")
                         .arg(number.member)
                         .arg(since(number.gap), pValueText(number.pValue))}});
    addVerdict(rows, c, number.pValue);
    static const QString groupNames[] = {QStringLiteral("Douzaine la plus en retard"),
                                         QStringLiteral("Colonne la plus en retard"),
                                         QStringLiteral("Chance simple la plus en retard")};
    const roulette::AbsenceGroup groups[] = {roulette::AbsenceGroup::Dozens,
                                             roulette::AbsenceGroup::Columns,
                                             roulette::AbsenceGroup::SimpleChances};
    const int groupStart[] = {roulette::FirstDozen, roulette::FirstColumn,
                              roulette::FirstSimpleChance, roulette::ChanceCount};
    for (int g = 0; g < 3; ++g) {
        for (int bet = groupStart[g]; bet < groupStart[g + 1]; ++bet) {
            const int category = roulette::chanceCategory(bet);
            const double p =
                roulette::pocketCount(roulette::Chances[static_cast<std::size_t>(bet)]) / 37.0;
            rows.push_back({{ChanceNames[bet] + ChanceDetails[bet]},
                            {count(ecarts.current(category))},
                            {count(ecarts.longest(category))},
                            {frenchNumber(roulette::expectedCurrentAbsence(p, current), 1)},
                            {frenchNumber(roulette::expectedLongestRun(sessions, 1 - p), 1)}});
        }
        const roulette::Overdue most = roulette::mostOverdue(ecarts, groups[g]);
        rows.push_back({{QStringLiteral("%1 : %2, %3, %4.")
                             .arg(groupNames[g], ChanceNames[most.member], since(most.gap),
                                  pValueText(most.pValue))}});
        addVerdict(rows, c, most.pValue);
    }
    return rows;
}

} // namespace

Section ecartSection(const Context &c)
{
    Section s;
    s.title = QStringLiteral("Écarts");
    s.explanation =
        QStringLiteral(
            "L'écart d'un numéro compte les tirages depuis sa dernière sortie (depuis %1 s'il "
            "n'est pas sorti) ; le plus long compte aussi l'attente avant sa première sortie et "
            "l'écart en cours. Le plus en retard de chaque groupe est jugé face au plus long des "
            "écarts en cours du groupe sur une roue équilibrée. Un numéro en retard n'a pas plus "
            "de chances qu'un autre de sortir au prochain tirage.")
            .arg(c.source.board ? QStringLiteral("la remise à zéro")
                                : QStringLiteral("le début de la dernière séance"));
    QStringList overdueHeader;
    for (int block = 0; block < 3; ++block)
        overdueHeader << QStringLiteral("N°") << QStringLiteral("Écart")
                      << QStringLiteral("Plus long");
    s.tables.push_back({s.title, overdueHeader, {}});
    s.tables.push_back({QStringLiteral("Écarts des groupes de numéros"),
                        {QString(), QStringLiteral("Écart"), QStringLiteral("Plus long"),
                         QStringLiteral("Écart attendu"), QStringLiteral("Plus long attendu")},
                        {}});
    if (c.spins < MinimumSpins)
        return s;
    s.tables[0].rows = overdueRows(c.study.ecarts());
    s.tables[1].rows = groupRows(c);
    return s;
}

Section chanceSection(const Context &c)
{
    Section s;
    s.title = QStringLiteral("Chances simples");
    s.explanation = QStringLiteral(
        "Les zéros sont retirés de la suite. Le test des suites (Wald–Wolfowitz) compte les "
        "changements de côté : trop peu de suites trahissent des séries qui collent, trop une "
        "alternance. Il est exact jusqu'à 1 000 tirages, approché au-delà par la loi normale "
        "avec correction de continuité. La ligne sous chaque paire prend la plus petite des "
        "deux valeurs p, doublée.");
    s.tables.push_back(
        {s.title,
         {QString(), QStringLiteral("Tirages"), QStringLiteral("Attendu ± σ"), QStringLiteral("p"),
          QStringLiteral("Plus longue série"), QStringLiteral("Suites"), QStringLiteral("p")},
         {}});
    if (c.spins < MinimumSpins)
        return s;
    static const QString names[] = {QStringLiteral("Rouge / noir"), QStringLiteral("Pair / impair"),
                                    QStringLiteral("Manque / passe")};
    const roulette::Expectation e = roulette::expectedCount(c.spins, 18);
    std::vector<Row> &rows = s.tables.back().rows;
    for (int pair = 0; pair < roulette::SimpleChancePairs; ++pair) {
        const roulette::ChanceRuns &runs = c.study.chanceRuns(pair);
        const std::int64_t a = runs.count(0), b = runs.count(1);
        const double pCounts = roulette::binomialTwoSided(a + b, 0.5, a);
        const roulette::RunsTest test = runs.test();
        rows.push_back(
            {{names[pair]},
             {QStringLiteral("%1 / %2").arg(count(a), count(b))},
             {meanAndSigma(e)},
             pCell(pCounts),
             {QStringLiteral("%1 (≈ %2)")
                  .arg(count(runs.longest()),
                       frenchNumber(roulette::expectedLongestSeries(runs.sessionDraws()), 1))},
             {QStringLiteral("%1 (≈ %2)").arg(count(runs.runs()), frenchNumber(test.expected, 1))},
             pCell(test.pValue)});
        addVerdict(rows, c, std::min(1.0, 2 * std::min(pCounts, test.pValue)));
    }
    return s;
}

Section sequenceSection(const Context &c)
{
    Section s;
    s.title = QStringLiteral("Suite des tirages");
    s.explanation = QStringLiteral(
        "La distance d'un tirage au suivant, en cases dans l'ordre de la roue (0 : la même "
        "case). Un croupier régulier fait tomber la bille à une distance voisine d'un lancer à "
        "l'autre, sans rien changer aux comptes des numéros. La roue tourne dans l'autre sens à "
        "chaque lancer : les tirages pairs et impairs sont aussi comptés à part. Le khi-deux "
        "juge les 37 distances ensemble ; le graphe les montre pour tous les tirages.");
    const roulette::Evidence &evidence = c.study.evidence();
    std::array<std::int64_t, 37> all = evidence.distances(0);
    for (std::size_t d = 0; d < all.size(); ++d)
        all[d] += evidence.distances(1)[d];
    const roulette::Expectation e =
        roulette::expectedCount(std::accumulate(all.begin(), all.end(), std::int64_t{0}), 1);
    s.charts.push_back({Chart::Cells::Distances, s.title, all, e.mean, e.sigma, std::nullopt});
    s.tables.push_back(
        {s.title,
         {QString(), QStringLiteral("Distances"), QStringLiteral("Khi-deux"), QStringLiteral("p"),
          QStringLiteral("La plus fréquente"), QStringLiteral("Excès")},
         {}});
    if (c.spins < MinimumSpins)
        return s;
    std::vector<Row> &rows = s.tables.back().rows;
    const std::pair<QString, std::array<std::int64_t, 37>> lines[] = {
        {QStringLiteral("Tous les tirages"), all},
        {QStringLiteral("Tirages impairs"), evidence.distances(1)},
        {QStringLiteral("Tirages pairs"), evidence.distances(0)}};
    for (const auto &[name, counts] : lines) {
        const roulette::DistanceFigures f = roulette::distanceFigures(counts);
        rows.push_back(
            {{name},
             {count(f.total)},
             {frenchNumber(f.test.chiSquare, 2)},
             pCell(f.test.pValue),
             {frenchCount(f.mostFrequent, QStringLiteral("case"), QStringLiteral("cases"))},
             {signedPercent(f.excess)}});
        addVerdict(rows, c, f.test.pValue);
    }
    return s;
}

} // namespace report
