#include "ui/studywindow.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "stats/binomial.h"
#include "stats/fairness.h"
#include "stats/pockets.h"
#include "ui/texttable.h"
#include "ui/verdict.h"
#include "ui/wheelchart.h"

using roulette::ArcExtremes;
using TableRow = TextTable::Row;

namespace
{

constexpr std::int64_t MinimumSpins = 37;
constexpr double PocketShare = 1.0 / 37;

QLabel *wrappedLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

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

QColor pocketFill(int number)
{
    if (number == 0)
        return QColor(0x1b, 0x7a, 0x2e);
    return roulette::contains(roulette::RedPockets, number) ? QColor(0xc6, 0x28, 0x28)
                                                            : QColor(0x21, 0x21, 0x21);
}

// A p-value in a table whose column is headed "p".
TextTable::Cell pCell(double pValue)
{
    return {pValue < 0.001 ? QStringLiteral("< %1").arg(frenchNumber(0.001, 3))
                           : frenchNumber(pValue, 3)};
}

TableRow verdictRow(double pValue, const QString &note = {})
{
    return {{QStringLiteral("    → %1%2").arg(verdictText(pValue), note), verdictColour(pValue)}};
}

QString arcPockets(const roulette::Arc &arc)
{
    QStringList numbers;
    for (int i = 0; i < arc.width; ++i)
        numbers << QString::number(
            roulette::WheelOrder[static_cast<std::size_t>((arc.start + i) % 37)]);
    return numbers.join(QLatin1Char(' '));
}

// The outside bets by name, and what each holds.
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

} // namespace

QString StudyWindow::title()
{
    return QStringLiteral("Étude du cylindre");
}

StudyWindow::StudyWindow(const roulette::Module1 &series, QWidget *parent)
    : QWidget(parent, Qt::Window), m_series(series)
{
    setObjectName(QStringLiteral("studyWindow"));
    setWindowTitle(title());
    m_pool.setMaxThreadCount(1);

    auto *page = m_page = new QWidget;
    auto *columns = new QHBoxLayout(page);
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);

    m_summary = new TextTable;
    left->addWidget(m_summary);
    left->addWidget(wrappedLabel(QStringLiteral(
        "Sur une roue équilibrée, aucune analyse ne prédit le prochain numéro : chaque tirage "
        "ignore les précédents. Cette étude dit seulement si les tirages passés s'écartent de "
        "ce que donne une roue équilibrée, et où. Une valeur p est la part des sessions d'une "
        "roue équilibrée qui s'écartent au moins autant ; le verdict change sous 5 % et sous "
        "0,1 %.")));

    Section wheel = addSection(
        left, QStringLiteral("Le cylindre"),
        QStringLiteral("Les cases dans l'ordre de la roue, de 0 à 26, chacune dans sa couleur, "
                       "avec son compte en dessous. Chaque barre part de l'attendu n/37 et monte "
                       "si la case est sortie plus souvent, descend sinon ; la bande grise couvre "
                       "±2σ, d'où une case sur vingt sort sur une roue équilibrée."));
    m_wheel = new WheelChart;
    m_wheelLine = new TextTable;
    wheel.box->layout()->addWidget(m_wheel);
    wheel.box->layout()->addWidget(m_wheelLine);
    m_sections.push_back({wheel.box, wheel.notYet, nullptr});

    Section arcs = addSection(
        left, QStringLiteral("Balayage des arcs"),
        QStringLiteral("Chaque arc de 3 à 9 cases voisines est noté par son écart réduit z, pour "
                       "que les largeurs se comparent. La valeur p corrigée tient compte de tout "
                       "le balayage : c'est la part des sessions d'une roue équilibrée de même "
                       "longueur dont le meilleur arc (le pire, pour l'arc froid) est au moins "
                       "aussi extrême. L'excès de l'arc le plus chaud est gonflé par le choix du "
                       "plus chaud parmi tous : le vrai besoin en tirages est sans doute plus "
                       "grand que celui annoncé."));
    m_arcs = new TextTable;
    m_arcs->setHeader({QString(), QStringLiteral("Cases"), QStringLiteral("Tirages"),
                       QStringLiteral("Attendu"), QStringLiteral("Écart"), QStringLiteral("z"),
                       QStringLiteral("p corrigée")});
    arcs.content->layout()->addWidget(m_arcs);
    m_sections.push_back(arcs);

    Section sectors = addSection(
        left, QStringLiteral("Secteurs classiques"),
        QStringLiteral("Les tirages tombés dans chaque secteur face à l'attendu d'une roue "
                       "équilibrée, ± un écart type σ ; la valeur p est celle d'un test binomial "
                       "bilatéral, secteur par secteur."));
    m_sectors = new TextTable;
    m_sectors->setHeader({QStringLiteral("Secteur"), QStringLiteral("Cases"),
                          QStringLiteral("Tirages"), QStringLiteral("Attendu ± σ"),
                          QStringLiteral("Écart"), QStringLiteral("p")});
    sectors.content->layout()->addWidget(m_sectors);
    m_sections.push_back(sectors);

    Section numbers = addSection(
        left, QStringLiteral("Numéros"),
        QStringLiteral("Il y a toujours un numéro plus sorti que les autres : le plus et le moins "
                       "sorti sont jugés face au maximum et au minimum des 37 comptes d'une roue "
                       "équilibrée, non comme un numéro pris seul. Le khi-deux juge les 37 "
                       "comptes ensemble."));
    m_numbers = new TextTable;
    m_numbers->setHeader({QString(), QStringLiteral("N°"), QStringLiteral("Valeur"),
                          QStringLiteral("Attendu"), QStringLiteral("p")});
    numbers.content->layout()->addWidget(m_numbers);
    m_sections.push_back(numbers);

    left->addStretch(1);

    Section ecarts = addSection(
        right, QStringLiteral("Écarts"),
        QStringLiteral("L'écart d'un numéro compte les tirages depuis sa dernière sortie (depuis "
                       "la remise à zéro s'il n'est pas sorti) ; le plus long compte aussi "
                       "l'attente avant sa première sortie et l'écart en cours. Le plus en retard "
                       "de chaque groupe est jugé face au plus long des écarts en cours du groupe "
                       "sur une roue équilibrée. Un numéro en retard n'a pas plus de chances "
                       "qu'un autre de sortir au prochain tirage."));
    m_overdue = new TextTable;
    QStringList header;
    for (int block = 0; block < 3; ++block)
        header << QStringLiteral("N°") << QStringLiteral("Écart") << QStringLiteral("Plus long");
    m_overdue->setHeader(header);
    m_groups = new TextTable;
    m_groups->setHeader({QString(), QStringLiteral("Écart"), QStringLiteral("Plus long"),
                         QStringLiteral("Écart attendu"), QStringLiteral("Plus long attendu")});
    for (QWidget *w : std::initializer_list<QWidget *>{m_overdue, m_groups})
        ecarts.content->layout()->addWidget(w);
    m_sections.push_back(ecarts);
    Section chances = addSection(
        right, QStringLiteral("Chances simples"),
        QStringLiteral("Les zéros sont retirés de la suite. Le test des suites (Wald–Wolfowitz) "
                       "compte les changements de côté : trop peu de suites trahissent des séries "
                       "qui collent, trop une alternance. Il est exact jusqu'à 100 tirages, "
                       "approché par la loi normale au-delà. Le verdict prend la plus petite des "
                       "deux valeurs p, doublée."));
    m_chances = new TextTable;
    m_chances->setHeader({QString(), QStringLiteral("Tirages"), QStringLiteral("Attendu ± σ"),
                          QStringLiteral("p"), QStringLiteral("Plus longue série"),
                          QStringLiteral("Suites"), QStringLiteral("p")});
    chances.content->layout()->addWidget(m_chances);
    m_sections.push_back(chances);
    right->addStretch(1);

    auto *scroll = new QScrollArea;
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
}

StudyWindow::~StudyWindow()
{
    m_pool.waitForDone();
}

StudyWindow::Section StudyWindow::addSection(QVBoxLayout *column, const QString &title,
                                             const QString &explanation)
{
    auto *box = new QGroupBox(title);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(wrappedLabel(explanation));
    auto *notYet = new QLabel;
    layout->addWidget(notYet);
    auto *content = new QWidget;
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    column->addWidget(box);
    return {box, notYet, content};
}

void StudyWindow::showEvent(QShowEvent *event)
{
    if (!m_study) {
        m_study = std::make_unique<roulette::Study>();
        m_study->follow(m_series.session());
        refresh();
    }
    if (!m_sized && screen()) {
        // Everything in view when the screen allows: no scrolling to read a section.
        m_sized = true;
        // The tables were filled before any layout ran: their sizes go up one level of
        // layout at a time.
        for (TextTable *table : m_page->findChildren<TextTable *>())
            table->fit();
        for (int level = 0; level < 8; ++level)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        QSize page = m_page->sizeHint().expandedTo(m_page->minimumSizeHint());
        if (m_page->hasHeightForWidth()) // the wrapped explanations
            page.setHeight(std::max(page.height(), m_page->heightForWidth(page.width())));
        resize((page + QSize(scrollBar, scrollBar))
                   .boundedTo(screen()->availableGeometry().size() * 0.95));
    }
    QWidget::showEvent(event);
}

// Closed, the window keeps no statistics and follows nothing. Minimised, it goes on.
void StudyWindow::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous())
        m_study.reset();
    m_simulated.reset();
    QWidget::hideEvent(event);
}

void StudyWindow::follow()
{
    if (m_study && m_study->follow(m_series.session()))
        refresh();
}

bool StudyWindow::simulating() const
{
    return m_study && m_study->spins() >= MinimumSpins && !m_cache.find(m_study->spins());
}

void StudyWindow::refresh()
{
    const std::int64_t n = m_study->spins();
    m_summary->setRows(
        {{{n == 1 ? QStringLiteral("1 tirage étudié, depuis la dernière remise à zéro.")
                  : QStringLiteral("%1 tirages étudiés, depuis la dernière remise à zéro.")
                        .arg(count(n)),
           {},
           {},
           true}}});
    const bool enough = n >= MinimumSpins;
    for (const Section &s : m_sections) {
        s.notYet->setVisible(!enough);
        if (s.content)
            s.content->setVisible(enough);
    }
    const std::array<std::int64_t, 37> byPosition = m_study->hitsByPosition();
    if (!enough) {
        const QString notYet = QStringLiteral("Il n'y a pas encore assez de tirages : %1 sur les "
                                              "%2 nécessaires.")
                                   .arg(n)
                                   .arg(MinimumSpins);
        for (const Section &s : m_sections)
            s.notYet->setText(notYet);
        m_simulated.reset();
        showWheel(byPosition, std::nullopt);
        return;
    }
    const ArcExtremes arcs = roulette::scanArcs(byPosition, n);
    if (const roulette::NullDistribution *null = m_cache.find(n)) {
        const auto &hits = m_study->hits();
        const auto [low, high] = std::minmax_element(hits.begin(), hits.end());
        m_simulated = Simulated{n,
                                null->pHottestArc(arcs.hottest.z),
                                null->pColdestArc(arcs.coldest.z),
                                null->pHighestCount(*high),
                                null->pLowestCount(*low),
                                null->pOutsideBand(roulette::countOutsideBand(hits, n)),
                                null->hottestArcQuantile(0.05)};
    } else {
        simulate(n);
    }
    showWheel(byPosition, arcs);
    showArcs(arcs);
    showSectors();
    showNumbers();
    showEcarts();
    showChances();
}

// The latest simulated value stays, greyed, while the next one is worked out.
TextTable::Cell StudyWindow::simulatedCell(double Simulated::*which) const
{
    if (!m_simulated)
        return {QStringLiteral("calcul…")};
    TextTable::Cell cell = pCell((*m_simulated).*which);
    if (m_simulated->spins != m_study->spins())
        cell.colour = Qt::gray;
    return cell;
}

void StudyWindow::addSimulatedVerdict(std::vector<TableRow> &rows, double Simulated::*which) const
{
    if (!m_simulated) {
        rows.push_back({{QStringLiteral("    → calcul…")}}); // the table keeps its height
        return;
    }
    rows.push_back(verdictRow((*m_simulated).*which,
                              m_simulated->spins == m_study->spins()
                                  ? QString()
                                  : QStringLiteral(" (valeur en cours de mise à jour…)")));
}

void StudyWindow::showWheel(const std::array<std::int64_t, 37> &byPosition,
                            const std::optional<ArcExtremes> &arcs)
{
    const roulette::Expectation e = roulette::expectedCount(m_study->spins(), 1);
    m_wheel->setData(byPosition, e.mean, e.sigma, arcs);
    m_wheelLine->setRows({{{QStringLiteral("Attendu par case : %1 tirages (n/37), σ = %2 ; "
                                           "bande ±2σ : %3 à %4.")
                                .arg(frenchNumber(e.mean, 1), frenchNumber(e.sigma, 1),
                                     frenchNumber(e.mean - 2 * e.sigma, 1),
                                     frenchNumber(e.mean + 2 * e.sigma, 1))}}});
}

void StudyWindow::showArcs(const ArcExtremes &arcs)
{
    const std::int64_t n = m_study->spins();
    std::vector<TableRow> rows;
    const std::pair<const roulette::Arc *, double Simulated::*> lines[] = {
        {&arcs.hottest, &Simulated::hottestArc}, {&arcs.coldest, &Simulated::coldestArc}};
    for (const auto &[arc, which] : lines) {
        const double expected = static_cast<double>(n) * arc->width / 37;
        const bool hot = arc == &arcs.hottest;
        rows.push_back(
            {{hot ? QStringLiteral("Arc le plus chaud") : QStringLiteral("Arc le plus froid"),
              {},
              hot ? QColor(255, 152, 0, 110) : QColor(66, 133, 244, 70)},
             {arcPockets(*arc)},
             {count(arc->count)},
             {frenchNumber(expected, 1)},
             {signedPercent(static_cast<double>(arc->count) / expected - 1)},
             {frenchNumber(arc->z, 2)},
             simulatedCell(which)});
        addSimulatedVerdict(rows, which);
    }
    const roulette::Arc &hot = arcs.hottest;
    const double rate = static_cast<double>(hot.count) / static_cast<double>(n);
    const std::int64_t needed =
        m_simulated ? roulette::spinsToDetect(hot.width, rate, m_simulated->criticalZ) : -1;
    rows.push_back({{QStringLiteral("Tirages nécessaires en tout si l'excès de l'arc le plus "
                                    "chaud persistait :")}});
    rows.push_back({{needed < 0    ? QStringLiteral("    calcul…")
                     : needed == 0 ? QStringLiteral("    aucun, il ne sort pas plus que l'attendu.")
                                   : QStringLiteral("    environ %1 (seuil de 5 % du balayage, "
                                                    "puissance 80 %).")
                                         .arg(count(needed))}});
    m_arcs->setRows(std::move(rows));
}

void StudyWindow::showSectors()
{
    static const QString names[] = {QStringLiteral("Voisins du zéro"),
                                    QStringLiteral("Tiers du cylindre"),
                                    QStringLiteral("Orphelins"), QStringLiteral("Jeu zéro")};
    const std::int64_t n = m_study->spins();
    const auto &hits = m_study->hits();
    std::vector<TableRow> rows;
    for (int s = 0; s < 4; ++s) {
        const roulette::PocketSet set = roulette::ClassicSectors[static_cast<std::size_t>(s)];
        std::int64_t in = 0;
        for (int number = 0; number < 37; ++number)
            in += roulette::contains(set, number) ? hits[static_cast<std::size_t>(number)] : 0;
        const int size = roulette::pocketCount(set);
        const roulette::Expectation e = roulette::expectedCount(n, size);
        const double p = roulette::binomialTwoSided(n, size / 37.0, in);
        rows.push_back({{names[s]},
                        {QString::number(size)},
                        {count(in)},
                        {meanAndSigma(e)},
                        {signedPercent(static_cast<double>(in) / e.mean - 1)},
                        pCell(p)});
        rows.push_back(verdictRow(p));
    }
    m_sectors->setRows(std::move(rows));
}

void StudyWindow::showNumbers()
{
    const std::int64_t n = m_study->spins();
    const auto &hits = m_study->hits();
    const double mean = static_cast<double>(n) * PocketShare;
    const auto high = std::max_element(hits.begin(), hits.end());
    const auto low = std::min_element(hits.begin(), hits.end());
    const auto times = [](std::int64_t h) { return QStringLiteral("%1 fois").arg(count(h)); };
    std::vector<TableRow> rows;
    const auto add = [&](const QString &what, TableRow row, double Simulated::*which) {
        row.insert(row.begin(), {what});
        row.push_back(simulatedCell(which));
        rows.push_back(std::move(row));
        addSimulatedVerdict(rows, which);
    };
    const auto numberCell = [&](auto it) {
        const int number = static_cast<int>(it - hits.begin());
        return TextTable::Cell{QString::number(number), Qt::white, pocketFill(number), true};
    };
    add(QStringLiteral("Le plus sorti"),
        {numberCell(high), {times(*high)}, {QStringLiteral("%1 fois").arg(frenchNumber(mean, 1))}},
        &Simulated::highest);
    add(QStringLiteral("Le moins sorti"),
        {numberCell(low), {times(*low)}, {QStringLiteral("%1 fois").arg(frenchNumber(mean, 1))}},
        &Simulated::lowest);

    const double band = 2 * std::sqrt(mean * (1 - PocketShare));
    const double outsideShare =
        roulette::binomialLowerTail(n, PocketShare,
                                    static_cast<std::int64_t>(std::ceil(mean - band)) - 1) +
        roulette::binomialUpperTail(n, PocketShare,
                                    static_cast<std::int64_t>(std::floor(mean + band)) + 1);
    add(QStringLiteral("Hors de la bande ±2σ"),
        {{},
         {QStringLiteral("%1 numéros").arg(roulette::countOutsideBand(hits, n))},
         {QStringLiteral("%1 numéros").arg(frenchNumber(37 * outsideShare, 1))}},
        &Simulated::outside);

    const roulette::FairnessTest chi = roulette::fairnessTest(hits);
    rows.push_back({{QStringLiteral("Khi-deux, 36 degrés de liberté")},
                    {},
                    {frenchNumber(chi.chiSquare, 2)},
                    {QStringLiteral("36")},
                    pCell(chi.pValue)});
    rows.push_back(verdictRow(chi.pValue));
    m_numbers->setRows(std::move(rows));
}

void StudyWindow::showEcarts()
{
    const roulette::Ecarts &ecarts = m_study->ecarts();
    const std::int64_t n = m_study->spins();
    std::array<int, 37> order{};
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return ecarts.current(a) > ecarts.current(b); });
    constexpr int Rows = 13;
    std::vector<TableRow> overdue(Rows);
    for (int i = 0; i < 37; ++i) {
        const int number = order[static_cast<std::size_t>(i)];
        TableRow &row = overdue[static_cast<std::size_t>(i % Rows)];
        row.push_back({QString::number(number), Qt::white, pocketFill(number), true});
        row.push_back({count(ecarts.current(number))});
        row.push_back({count(ecarts.longest(number))});
    }
    overdue.back().resize(9); // the last block has two numbers fewer
    m_overdue->setRows(std::move(overdue));

    static const std::array<roulette::PocketSet, 37> singles = [] {
        std::array<roulette::PocketSet, 37> s{};
        for (int i = 0; i < 37; ++i)
            s[static_cast<std::size_t>(i)] = roulette::PocketSet{1} << i;
        return s;
    }();
    static const roulette::AbsenceLaw numberLaw(singles);
    const std::span<const roulette::PocketSet> chances(roulette::Chances);
    static const roulette::AbsenceLaw groupLaws[] = {
        roulette::AbsenceLaw(chances.subspan(roulette::FirstDozen, 3)),
        roulette::AbsenceLaw(chances.subspan(roulette::FirstColumn, 3)),
        roulette::AbsenceLaw(chances.subspan(roulette::FirstSimpleChance, 6))};

    std::vector<TableRow> rows;
    rows.push_back({{QStringLiteral("Attendu pour un numéro sur une roue équilibrée : écart de %1 "
                                    "en moyenne, plus long écart d'environ %2.")
                         .arg(frenchNumber(roulette::expectedCurrentAbsence(PocketShare, n), 1),
                              frenchNumber(roulette::expectedLongestRun(n, 1 - PocketShare)))}});
    const int first = order.front();
    const double pNumber = numberLaw.someAbsentFor(ecarts.current(first));
    rows.push_back({{QStringLiteral("Numéro le plus en retard : %1, depuis %2 tirages, %3.")
                         .arg(first)
                         .arg(count(ecarts.current(first)), pValueText(pNumber))}});
    rows.push_back(verdictRow(pNumber));
    static const QString groupNames[] = {QStringLiteral("Douzaine la plus en retard"),
                                         QStringLiteral("Colonne la plus en retard"),
                                         QStringLiteral("Chance simple la plus en retard")};
    const int groupStart[] = {roulette::FirstDozen, roulette::FirstColumn,
                              roulette::FirstSimpleChance, roulette::ChanceCount};
    for (int g = 0; g < 3; ++g) {
        int most = groupStart[g];
        for (int c = groupStart[g]; c < groupStart[g + 1]; ++c) {
            const int category = roulette::chanceCategory(c);
            const double p =
                roulette::pocketCount(roulette::Chances[static_cast<std::size_t>(c)]) / 37.0;
            rows.push_back({{ChanceNames[c] + ChanceDetails[c]},
                            {count(ecarts.current(category))},
                            {count(ecarts.longest(category))},
                            {frenchNumber(roulette::expectedCurrentAbsence(p, n), 1)},
                            {frenchNumber(roulette::expectedLongestRun(n, 1 - p))}});
            if (ecarts.current(category) > ecarts.current(roulette::chanceCategory(most)))
                most = c;
        }
        const std::int64_t gap = ecarts.current(roulette::chanceCategory(most));
        const double p = groupLaws[g].someAbsentFor(gap);
        rows.push_back({{QStringLiteral("%1 : %2, depuis %3 tirages, %4.")
                             .arg(groupNames[g], ChanceNames[most], count(gap), pValueText(p))}});
        rows.push_back(verdictRow(p));
    }
    m_groups->setRows(std::move(rows));
}

void StudyWindow::showChances()
{
    static const QString names[] = {QStringLiteral("Rouge / noir"), QStringLiteral("Pair / impair"),
                                    QStringLiteral("Manque / passe")};
    const roulette::Expectation e = roulette::expectedCount(m_study->spins(), 18);
    std::vector<TableRow> rows;
    for (int pair = 0; pair < roulette::SimpleChancePairs; ++pair) {
        const roulette::ChanceRuns &runs = m_study->chanceRuns(pair);
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
                       frenchNumber(roulette::expectedLongestSeries(a + b), 1))},
             {QStringLiteral("%1 (≈ %2)").arg(count(runs.runs()), frenchNumber(test.expected, 1))},
             pCell(test.pValue)});
        rows.push_back(verdictRow(std::min(1.0, 2 * std::min(pCounts, test.pValue))));
    }
    m_chances->setRows(std::move(rows));
}

void StudyWindow::simulate(std::int64_t spins)
{
    if (m_running >= 0)
        return; // when it ends, the window asks for the length it has reached by then
    m_running = spins;
    m_pool.start([this, spins] {
        auto null = std::make_shared<const roulette::NullDistribution>(spins);
        QMetaObject::invokeMethod(
            this, [this, null] { received(null); }, Qt::QueuedConnection);
    });
}

void StudyWindow::received(const std::shared_ptr<const roulette::NullDistribution> &null)
{
    m_running = -1;
    m_cache.insert(*null);
    if (m_study)
        refresh();
}
