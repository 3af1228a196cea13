// The study's report: its headline, the lines above the boxes, the wheel, and the whole
// document in reading order.
#include <cmath>

#include "stats/study.h"
#include "ui/common/palette.h"
#include "ui/common/verdict.h"
#include "ui/study/reportparts.h"

namespace report
{

namespace
{

QString levelSentence(roulette::HeadlineLevel level)
{
    switch (level) {
    case roulette::HeadlineLevel::Nothing:
        return QStringLiteral("Les tirages ne s'écartent pas assez de ceux d'une roue équilibrée "
                              "pour en douter. Sur une roue équilibrée, E n'atteint 20 qu'une "
                              "fois sur vingt au plus, même en regardant après chaque tirage.");
    case roulette::HeadlineLevel::Hint:
        return QStringLiteral("Sur une roue équilibrée, un indice aussi fort n'apparaît qu'une "
                              "fois sur vingt au plus, même en regardant après chaque tirage. "
                              "C'est un indice, pas une preuve : d'autres tirages le "
                              "confirmeront ou le dissiperont.");
    case roulette::HeadlineLevel::Established:
        break;
    }
    return QStringLiteral("Sur une roue équilibrée, un écart aussi fort n'apparaît qu'une fois "
                          "sur mille au plus, même en regardant après chaque tirage.");
}

// Looking after every spin is covered; choosing which evenings to pool after looking is not.
const QString PickedSessions = QStringLiteral(
    " Ces séances ont été choisies parmi celles de la roue : cette promesse ne vaut pas pour des "
    "séances choisies après avoir regardé les tirages (par exemple après « La roue a-t-elle "
    "changé ? »), seulement pour des séances choisies d'avance.");

Headline headline(const Context &c)
{
    const roulette::Evidence &evidence = c.study.evidence();
    const double e = std::exp(evidence.logE());
    std::vector<Row> rows = {
        {{QStringLiteral("Indice E = %1 (doute à partir de 20, preuve à partir de 1 000).")
              .arg(evidenceText(e))}}};
    if (c.level == roulette::HeadlineLevel::Nothing) {
        rows.push_back({{QStringLiteral("Aucune piste à suivre : un écart rare plus bas peut "
                                        "venir du seul hasard.")}});
    } else {
        const roulette::Lead lead = evidence.lead();
        Cell where{QStringLiteral("Où : %1, qui porte %2 % de l'indice.")
                       .arg(whereText(lead), frenchNumber(100 * lead.share))};
        where.suspect = roulette::pinSuspect(lead);
        rows.push_back({where});
    }
    return {levelName(c.level),
            levelColour(c.level),
            levelSentence(c.level) + (c.source.pickedSessions ? PickedSessions : QString()),
            {QStringLiteral("Verdict d'ensemble"), {}, std::move(rows)},
            QStringLiteral("Cette fenêtre montre beaucoup de chiffres ; sur une roue équilibrée, "
                           "certains paraissent inhabituels par simple hasard. Seul ce verdict "
                           "juge la roue : les sections qui suivent décrivent les tirages.")};
}

} // namespace

QString evidenceText(double e)
{
    if (e >= 1e6)
        return QStringLiteral("plus d'un million");
    return frenchNumber(e, e < 10 ? 1 : 0);
}

QString levelName(roulette::HeadlineLevel level)
{
    switch (level) {
    case roulette::HeadlineLevel::Nothing:
        return QStringLiteral("Rien d'anormal");
    case roulette::HeadlineLevel::Hint:
        return QStringLiteral("Indice de déséquilibre");
    case roulette::HeadlineLevel::Established:
        break;
    }
    return QStringLiteral("Déséquilibre établi");
}

QColor levelColour(roulette::HeadlineLevel level)
{
    switch (level) {
    case roulette::HeadlineLevel::Nothing:
        return {0x2e, 0x6b, 0x30};
    case roulette::HeadlineLevel::Hint:
        return {0xb2, 0x5e, 0x00};
    case roulette::HeadlineLevel::Established:
        break;
    }
    return {0xb7, 0x1c, 0x1c};
}

Section introSection(const Context &c)
{
    const std::size_t sessions = c.study.ecarts().sessionLengths().size();
    const QString since = c.source.board ? QStringLiteral("depuis la dernière remise à zéro")
                          : sessions == 1
                              ? QStringLiteral("en une séance")
                              : QStringLiteral("en %1 séances mises bout à bout ; écarts, séries "
                                               "et distances repartent à chaque séance")
                                    .arg(sessions);
    const QString studied =
        frenchCount(c.spins, QStringLiteral("tirage étudié"), QStringLiteral("tirages étudiés"));
    Section s;
    s.explanation = QStringLiteral(
        "Sur une roue équilibrée, aucune analyse ne prédit le prochain numéro : chaque tirage "
        "ignore les précédents. Les sections qui suivent décrivent les tirages passés face à ce "
        "que donne une roue équilibrée. Une valeur p est la part des sessions d'une roue "
        "équilibrée qui s'écartent au moins autant ; les mots changent sous 5 % (écart rare) "
        "et sous 0,1 % (écart très rare).");
    s.tables.push_back({QStringLiteral("Tirages étudiés"),
                        {},
                        {{{QStringLiteral("%1, %2.").arg(studied, since), {}, {}, true}}}});
    return s;
}

Section wheelSection(const Context &c, const std::optional<roulette::ArcExtremes> &arcs)
{
    Section s;
    s.title = QStringLiteral("Le cylindre");
    s.explanation = QStringLiteral(
        "Les cases dans l'ordre de la roue, chacune dans sa couleur, avec son compte en dessous. "
        "Chaque barre part de l'attendu n/37 et monte si la case est sortie plus souvent, "
        "descend sinon ; la bande grise couvre ±2σ, si bien qu'environ une case sur vingt en "
        "sort sur une roue équilibrée.");
    const roulette::Expectation e = roulette::expectedCount(c.spins, 1);
    s.charts.push_back(
        {Chart::Cells::Pockets, s.title, c.study.hitsByPosition(), e.mean, e.sigma, arcs});
    s.tables.push_back(
        {QStringLiteral("%1 : attendu par case").arg(s.title),
         {},
         {{{QStringLiteral("Attendu par case : %1 tirages (n/37), σ = %2 ; bande ±2σ : %3 à %4.")
                .arg(frenchNumber(e.mean, 1), frenchNumber(e.sigma, 1),
                     frenchNumber(e.mean - 2 * e.sigma, 1),
                     frenchNumber(e.mean + 2 * e.sigma, 1))}}}});
    return s;
}

Document build(const roulette::Study &study, const roulette::StudySimulation &simulation,
               Source source, const roulette::PinBook *pins)
{
    const Context c{study, simulation, source,
                    roulette::headlineLevel(std::exp(study.evidence().logE())), study.spins()};
    const bool enough = c.spins >= MinimumSpins;
    std::optional<roulette::ArcExtremes> arcs;
    if (enough)
        arcs = roulette::scanArcs(study.hitsByPosition(), c.spins);
    Document d{headline(c), {}};
    d.columns[0] = {introSection(c), wheelSection(c, arcs), arcSection(c, arcs), sectorSection(c),
                    numberSection(c)};
    d.columns[1] = {ecartSection(c), chanceSection(c), sequenceSection(c)};
    if (!enough) {
        const QString notYet = QStringLiteral("Il n'y a pas encore assez de tirages : %1 sur les "
                                              "%2 nécessaires.")
                                   .arg(c.spins)
                                   .arg(MinimumSpins);
        for (auto &column : d.columns) {
            for (Section &s : column) {
                if (!s.title.isEmpty()) {
                    s.notYet = notYet;
                    s.figures = false;
                }
            }
        }
        d.columns[0][1].figures = true; // the wheel shows its counts from the first spin
    }
    if (pins) // judged on their own spins, with or without enough for the sections
        d.columns[0].insert(d.columns[0].begin(), pinSection(*pins));
    return d;
}

} // namespace report
