#include "ui/study/studywindow.h"
#include "ui/common/palette.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "stats/binomial.h"
#include "stats/evalue.h"
#include "stats/fairness.h"
#include "stats/pockets.h"
#include "stats/studyfigures.h"
#include "ui/common/backgroundwork.h"
#include "ui/common/batchprogress.h"
#include "ui/common/verdict.h"
#include "ui/study/studyexport.h"
#include "ui/study/texttable.h"
#include "ui/study/wheelchart.h"

using roulette::ArcExtremes;
using TableRow = TextTable::Row;

namespace
{

constexpr std::int64_t MinimumSpins = 37;
constexpr double PocketShare = 1.0 / 37;

// Below this width the two columns go one under the other: no sideways scrolling.
constexpr int OneColumnBelow = 1200;

QLabel *wrappedLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLabel *explanationLabel(const QString &text)
{
    QLabel *label = wrappedLabel(text);
    markAsExplanation(label);
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

// A p-value in a table whose column is headed "p".
TextTable::Cell pCell(double pValue)
{
    return {pValue < 0.001 ? QStringLiteral("< %1").arg(frenchNumber(0.001, 3))
                           : frenchNumber(pValue, 3)};
}

TableRow verdictRow(double pValue, const QString &note = {})
{
    return {
        {QStringLiteral("    → %1%2").arg(verdictText(pValue, true), note), verdictColour(pValue)}};
}

QString numbers(double count, int decimals = 0)
{
    return QStringLiteral("%1 %2").arg(frenchNumber(count, decimals),
                                       std::round(count) == 1 && decimals == 0
                                           ? QStringLiteral("numéro")
                                           : QStringLiteral("numéros"));
}

// E as a reader weighs it: "4,2", "57", "1 250", or "plus d'un million".
QString evidenceText(double e)
{
    if (e >= 1e6)
        return QStringLiteral("plus d'un million");
    return frenchNumber(e, e < 10 ? 1 : 0);
}

QString parityText(int parity)
{
    return parity == roulette::AllSpins   ? QStringLiteral("tous les tirages")
           : parity == roulette::OddSpins ? QStringLiteral("tirages impairs")
                                          : QStringLiteral("tirages pairs");
}

QString distanceText(int distance)
{
    return distance == 0 ? QStringLiteral("la case même du tirage précédent")
                         : QStringLiteral("la case à %1 case%2 du tirage précédent")
                               .arg(distance)
                               .arg(distance == 1 ? QString() : QStringLiteral("s"));
}

QString arcPockets(int start, int width)
{
    QStringList numbers;
    for (int i = 0; i < width; ++i)
        numbers << QString::number(
            roulette::WheelOrder[static_cast<std::size_t>((start + i) % 37)]);
    return numbers.join(QLatin1Char(' '));
}

QString arcPockets(const roulette::Arc &arc)
{
    return arcPockets(arc.start, arc.width);
}

// Where the headline's evidence lies, in words: « l'arc 16 33 1 20 14 (+21 %) », « le 17 »,
// « la case à 10 cases du tirage précédent, tirages pairs ».
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
    if (lead.width == 1)
        return QStringLiteral("%1, %2 (%3)")
            .arg(distanceText(lead.start), parityText(lead.parity), excess);
    return QStringLiteral("les cases à %1 à %2 cases du tirage précédent, %3 (%4)")
        .arg(lead.start)
        .arg((lead.start + lead.width - 1) % 37)
        .arg(parityText(lead.parity), excess);
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
    : StudyWindow(&series, {}, parent)
{
}

StudyWindow::StudyWindow(roulette::PooledSpins spins, const QString &title, QWidget *parent)
    : StudyWindow(nullptr, std::move(spins), parent)
{
    setWindowTitle(title);
}

StudyWindow::StudyWindow(const roulette::Module1 *series, roulette::PooledSpins pooled,
                         QWidget *parent)
    : QWidget(parent, Qt::Window), m_series(series), m_pooled(std::move(pooled))
{
    setObjectName(QStringLiteral("studyWindow"));
    setWindowTitle(title());

    auto *page = m_page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    addHeadline(pageLayout);
    m_columns = new QBoxLayout(QBoxLayout::LeftToRight);
    pageLayout->addLayout(m_columns, 1);
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    m_columns->addLayout(left, 1);
    m_columns->addLayout(right, 1);

    m_summary = new TextTable;
    m_summary->setAccessibleName(QStringLiteral("Tirages étudiés"));
    left->addWidget(m_summary);
    left->addWidget(explanationLabel(QStringLiteral(
        "Sur une roue équilibrée, aucune analyse ne prédit le prochain numéro : chaque tirage "
        "ignore les précédents. Les sections qui suivent décrivent les tirages passés face à ce "
        "que donne une roue équilibrée. Une valeur p est la part des sessions d'une roue "
        "équilibrée qui s'écartent au moins autant ; les mots changent sous 5 % (écart rare) "
        "et sous 0,1 % (écart très rare).")));

    const QString wheelTitle = QStringLiteral("Le cylindre");
    Section wheel = addSection(
        left, wheelTitle,
        QStringLiteral("Les cases dans l'ordre de la roue, chacune dans sa couleur, avec son "
                       "compte en dessous. Chaque barre part de l'attendu n/37 et monte si la "
                       "case est sortie plus souvent, descend sinon ; la bande grise couvre ±2σ, "
                       "si bien qu'environ une case sur vingt en sort sur une roue équilibrée."));
    m_wheel = new WheelChart;
    m_wheel->setAccessibleName(wheelTitle);
    m_wheelLine = new TextTable;
    m_wheelLine->setAccessibleName(QStringLiteral("%1 : attendu par case").arg(wheelTitle));
    wheel.box->layout()->addWidget(m_wheel);
    wheel.box->layout()->addWidget(m_wheelLine);
    m_sections.push_back({wheel.box, wheel.notYet, nullptr});

    m_arcs = addTableSection(
        left, QStringLiteral("Balayage des arcs"),
        QStringLiteral("Chaque arc de 3 à 9 cases voisines est noté par son écart réduit z, pour "
                       "que les largeurs se comparent. La valeur p corrigée tient compte de tout "
                       "le balayage : c'est la part des sessions d'une roue équilibrée de même "
                       "longueur dont le meilleur arc (le pire, pour l'arc froid) est au moins "
                       "aussi extrême. L'excès de l'arc le plus chaud est gonflé par le choix du "
                       "plus chaud parmi tous : le vrai besoin en tirages est sans doute plus "
                       "grand que celui annoncé."),
        {QString(), QStringLiteral("Cases"), QStringLiteral("Tirages"), QStringLiteral("Attendu"),
         QStringLiteral("Écart"), QStringLiteral("z"), QStringLiteral("p corrigée")});
    m_sectors = addTableSection(
        left, QStringLiteral("Secteurs classiques"),
        QStringLiteral("Les tirages tombés dans chaque secteur face à l'attendu d'une roue "
                       "équilibrée, ± un écart type σ ; la valeur p est celle d'un test binomial "
                       "bilatéral, secteur par secteur. Les secteurs se complètent : un arc "
                       "chaud dans l'un rend les autres froids."),
        {QStringLiteral("Secteur"), QStringLiteral("Cases"), QStringLiteral("Tirages"),
         QStringLiteral("Attendu ± σ"), QStringLiteral("Écart"), QStringLiteral("p")});
    m_numbers = addTableSection(
        left, QStringLiteral("Numéros"),
        QStringLiteral("Il y a toujours un numéro plus sorti que les autres : le plus et le moins "
                       "sorti sont jugés face au maximum et au minimum des 37 comptes d'une roue "
                       "équilibrée, non comme un numéro pris seul. Le khi-deux juge les 37 "
                       "comptes ensemble."),
        {QString(), QStringLiteral("N°"), QStringLiteral("Valeur"), QStringLiteral("Attendu"),
         QStringLiteral("p")});
    left->addStretch(1);

    QStringList overdueHeader;
    for (int block = 0; block < 3; ++block)
        overdueHeader << QStringLiteral("N°") << QStringLiteral("Écart")
                      << QStringLiteral("Plus long");
    m_overdue = addTableSection(
        right, QStringLiteral("Écarts"),
        QStringLiteral("L'écart d'un numéro compte les tirages depuis sa dernière sortie (depuis "
                       "%1 s'il n'est pas sorti) ; le plus long compte aussi "
                       "l'attente avant sa première sortie et l'écart en cours. Le plus en retard "
                       "de chaque groupe est jugé face au plus long des écarts en cours du groupe "
                       "sur une roue équilibrée. Un numéro en retard n'a pas plus de chances "
                       "qu'un autre de sortir au prochain tirage.")
            .arg(m_series ? QStringLiteral("la remise à zéro")
                          : QStringLiteral("le début de la dernière séance")),
        overdueHeader);
    m_groups = new TextTable;
    m_groups->setHeader({QString(), QStringLiteral("Écart"), QStringLiteral("Plus long"),
                         QStringLiteral("Écart attendu"), QStringLiteral("Plus long attendu")});
    m_groups->setAccessibleName(QStringLiteral("Écarts des groupes de numéros"));
    m_sections.back().content->layout()->addWidget(m_groups);
    m_chances = addTableSection(
        right, QStringLiteral("Chances simples"),
        QStringLiteral("Les zéros sont retirés de la suite. Le test des suites (Wald–Wolfowitz) "
                       "compte les changements de côté : trop peu de suites trahissent des séries "
                       "qui collent, trop une alternance. Il est exact jusqu'à 1 000 tirages, "
                       "approché au-delà par la loi normale avec correction de continuité. La "
                       "ligne sous chaque paire prend la plus petite des deux valeurs p, "
                       "doublée."),
        {QString(), QStringLiteral("Tirages"), QStringLiteral("Attendu ± σ"), QStringLiteral("p"),
         QStringLiteral("Plus longue série"), QStringLiteral("Suites"), QStringLiteral("p")});
    m_distanceChart = new WheelChart(WheelChart::Cells::Distances);
    m_sequence = addTableSection(
        right, QStringLiteral("Suite des tirages"),
        QStringLiteral("La distance d'un tirage au suivant, en cases dans l'ordre de la roue "
                       "(0 : la même case). Un croupier régulier fait tomber la bille à une "
                       "distance voisine d'un lancer à l'autre, sans rien changer aux comptes "
                       "des numéros. La roue tourne dans l'autre sens à chaque lancer : les "
                       "tirages pairs et impairs sont aussi comptés à part. Le khi-deux juge les "
                       "37 distances ensemble ; le graphe les montre pour tous les tirages."),
        {QString(), QStringLiteral("Distances"), QStringLiteral("Khi-deux"), QStringLiteral("p"),
         QStringLiteral("La plus fréquente"), QStringLiteral("Excès")},
        m_distanceChart);
    right->addStretch(1);

    auto *scroll = new QScrollArea;
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    addCommands(outer);
}

void StudyWindow::addHeadline(QVBoxLayout *page)
{
    auto *box = new QGroupBox(QStringLiteral("Verdict d'ensemble"));
    auto *layout = new QVBoxLayout(box);
    m_level = new QLabel;
    m_level->setTextFormat(Qt::PlainText);
    m_level->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont large = m_level->font();
    large.setPointSizeF(large.pointSizeF() * 1.4);
    large.setBold(true);
    m_level->setFont(large);
    m_sentence = wrappedLabel({});
    m_figures = new TextTable;
    m_figures->setAccessibleName(box->title());
    for (QWidget *w : std::initializer_list<QWidget *>{m_level, m_sentence, m_figures})
        layout->addWidget(w);
    layout->addWidget(explanationLabel(QStringLiteral(
        "Cette fenêtre montre beaucoup de chiffres ; sur une roue équilibrée, certains "
        "paraissent inhabituels par simple hasard. Seul ce verdict juge la roue : les sections "
        "qui suivent décrivent les tirages.")));
    page->addWidget(box);
}

StudyWindow::~StudyWindow()
{
    delete m_simulation; // waits for its worker
}

StudyWindow::Section StudyWindow::addSection(QVBoxLayout *column, const QString &title,
                                             const QString &explanation)
{
    auto *box = new QGroupBox(title);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(explanationLabel(explanation));
    QLabel *notYet = wrappedLabel({});
    layout->addWidget(notYet);
    auto *content = new QWidget;
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    column->addWidget(box);
    return {box, notYet, content};
}

// A section whose figures are one table, under a chart of them when there is one.
TextTable *StudyWindow::addTableSection(QVBoxLayout *column, const QString &title,
                                        const QString &explanation, const QStringList &header,
                                        WheelChart *chart)
{
    Section section = addSection(column, title, explanation);
    if (chart) {
        chart->setAccessibleName(title);
        section.content->layout()->addWidget(chart);
    }
    auto *table = new TextTable;
    table->setHeader(header);
    table->setAccessibleName(title);
    table->setAccessibleDescription(explanation);
    section.content->layout()->addWidget(table);
    m_sections.push_back(section);
    return table;
}

void StudyWindow::showEvent(QShowEvent *event)
{
    if (!m_study) {
        m_study = std::make_unique<roulette::Study>();
        if (catchUp())
            refresh();
    }
    if (!m_sized && screen()) {
        m_sized = true;
        placeOnScreen();
    }
    QWidget::showEvent(event);
}

// Everything in view when the screen allows: no scrolling to read a section. Otherwise the
// window fills the screen's free area, headline at the top, in one column when narrow.
void StudyWindow::placeOnScreen()
{
    // Room for the window's frame and title bar, which the system adds around it.
    const QRect area = screen()->availableGeometry();
    const QSize room = area.size() - QSize(16, 48);
    // The tables were filled before any layout ran: their sizes go up one level of layout at
    // a time.
    const auto settle = [] {
        for (int level = 0; level < 8; ++level)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    };
    for (TextTable *table : m_page->findChildren<TextTable *>())
        table->fit();
    m_columns->setDirection(QBoxLayout::LeftToRight);
    settle();
    arrangeColumns(room.width()); // measures the columns side by side first
    settle();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize page = m_page->sizeHint().expandedTo(m_page->minimumSizeHint());
    if (m_columns->direction() == QBoxLayout::LeftToRight)
        page.setWidth(std::max(page.width(), OneColumnBelow));
    page.setWidth(std::min(page.width(), room.width() - scrollBar));
    if (m_page->hasHeightForWidth()) // the wrapped explanations
        page.setHeight(std::max(page.height(), m_page->heightForWidth(page.width())));
    const QLayoutItem *commands = layout()->itemAt(1); // the buttons under the page
    const QSize size = (page + QSize(scrollBar, scrollBar) +
                        QSize(0, commands->sizeHint().height() + layout()->spacing()))
                           .boundedTo(room);
    resize(size);
    const QPoint centred = area.center() - QPoint(size.width() / 2, size.height() / 2);
    move(std::max(centred.x(), area.left()), std::max(centred.y(), area.top()));
}

void StudyWindow::resizeEvent(QResizeEvent *event)
{
    arrangeColumns(event->size().width());
    QWidget::resizeEvent(event);
}

// Side by side only when both columns fit whole: never a sideways scroll.
void StudyWindow::arrangeColumns(int width)
{
    if (m_columns->direction() == QBoxLayout::LeftToRight)
        m_sideBySideWidth =
            m_page->minimumSizeHint().width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const auto direction = width < std::max(OneColumnBelow, m_sideBySideWidth)
                               ? QBoxLayout::TopToBottom
                               : QBoxLayout::LeftToRight;
    if (m_columns->direction() != direction)
        m_columns->setDirection(direction);
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
    if (m_study && catchUp())
        refresh();
}

// A long session (a first look at 10^7 spins, the undo of a reset) is studied in slices that
// let the window breathe, with « Annuler » past half a second; cancelling closes the window.
// The board may change meanwhile: the slices follow it to its end.
bool StudyWindow::catchUp()
{
    if (m_catchingUp)
        return false; // the slices under way reach the session as it is now
    constexpr std::int64_t QuickSpins = 100'000;
    if (!followSpins(QuickSpins))
        return false;
    if (caughtUp())
        return true;
    m_catchingUp = true;
    BatchProgress progress(this, QStringLiteral("Étude des tirages…"));
    while (m_study && !caughtUp() && !progress.wasCanceled()) {
        followSpins(progress.slice());
        progress.advance(m_study->spins(), spinsToStudy());
    }
    const bool canceled = progress.wasCanceled(); // closing the dialog would cancel it
    progress.close();
    m_catchingUp = false;
    if (m_study && canceled)
        close();
    return m_study != nullptr;
}

bool StudyWindow::followSpins(std::int64_t limit)
{
    return m_series ? m_study->follow(m_series->session(), limit)
                    : m_study->follow(m_pooled.numbers, m_pooled.starts, limit);
}

bool StudyWindow::caughtUp() const
{
    return m_series ? m_study->caughtUp(m_series->session()) : m_study->spins() == spinsToStudy();
}

std::int64_t StudyWindow::spinsToStudy() const
{
    return m_series ? m_series->session().lastRow()
                    : static_cast<std::int64_t>(m_pooled.numbers.size());
}

bool StudyWindow::simulating() const
{
    return m_study && m_study->spins() >= MinimumSpins && !m_cache.find(m_study->spins());
}

void StudyWindow::refresh()
{
    const std::int64_t n = m_study->spins();
    showHeadline();
    const std::size_t sessions = m_study->ecarts().sessionLengths().size();
    const QString since = m_series        ? QStringLiteral("depuis la dernière remise à zéro")
                          : sessions == 1 ? QStringLiteral("en une séance")
                                          : QStringLiteral("en %1 séances mises bout à bout ; "
                                                           "écarts, séries et distances "
                                                           "repartent à chaque séance")
                                                .arg(sessions);
    m_summary->setRows({{{n == 1 ? QStringLiteral("1 tirage étudié, %1.").arg(since)
                                 : QStringLiteral("%1 tirages étudiés, %2.").arg(count(n), since),
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
        const roulette::CountExtremes extremes = roulette::countExtremes(hits);
        m_simulated =
            Simulated{n,
                      null->pHottestArc(arcs.hottest.z),
                      null->pColdestArc(arcs.coldest.z),
                      null->pHighestCount(hits[static_cast<std::size_t>(extremes.highest)]),
                      null->pLowestCount(hits[static_cast<std::size_t>(extremes.lowest)]),
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
    showSequence();
}

// Only the figures change at a spin; the words change with the level, so that the wrapped
// labels are laid out again only then.
void StudyWindow::showHeadline()
{
    const roulette::Evidence &evidence = m_study->evidence();
    const double e = std::exp(evidence.logE());
    const roulette::HeadlineLevel level = roulette::headlineLevel(e);
    if (level != m_shownLevel) {
        m_shownLevel = level;
        static const std::map<roulette::HeadlineLevel, std::tuple<QString, QColor, QString>> words =
            {{roulette::HeadlineLevel::Nothing,
              {QStringLiteral("Rien d'anormal"), QColor(0x2e, 0x6b, 0x30),
               QStringLiteral("Les tirages ne s'écartent pas assez de ceux d'une roue "
                              "équilibrée pour en douter. Sur une roue équilibrée, E n'atteint "
                              "20 qu'une fois sur vingt au plus, même en regardant après "
                              "chaque tirage.")}},
             {roulette::HeadlineLevel::Hint,
              {QStringLiteral("Indice de déséquilibre"), QColor(0xb2, 0x5e, 0x00),
               QStringLiteral("Sur une roue équilibrée, un indice aussi fort n'apparaît "
                              "qu'une fois sur vingt au plus, même en regardant après chaque "
                              "tirage. C'est un indice, pas une preuve : d'autres tirages le "
                              "confirmeront ou le dissiperont.")}},
             {roulette::HeadlineLevel::Established,
              {QStringLiteral("Déséquilibre établi"), QColor(0xb7, 0x1c, 0x1c),
               QStringLiteral("Sur une roue équilibrée, un écart aussi fort n'apparaît "
                              "qu'une fois sur mille au plus, même en regardant après chaque "
                              "tirage.")}}};
        const auto &[name, colour, sentence] = words.at(level);
        m_level->setText(name);
        QPalette palette = m_level->palette();
        palette.setColor(QPalette::WindowText, colour);
        m_level->setPalette(palette);
        m_sentence->setText(sentence);
    }
    std::vector<TableRow> rows = {
        {{QStringLiteral("Indice E = %1 (doute à partir de 20, preuve à partir de 1 000).")
              .arg(evidenceText(e))}}};
    if (level == roulette::HeadlineLevel::Nothing) {
        rows.push_back({{QStringLiteral("Aucune piste à suivre : un écart rare plus bas peut "
                                        "venir du seul hasard.")}});
    } else {
        const roulette::Lead lead = evidence.lead();
        rows.push_back({{QStringLiteral("Où : %1, qui porte %2 % de l'indice.")
                             .arg(whereText(lead), frenchNumber(100 * lead.share))}});
    }
    m_figures->setRows(std::move(rows));
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
              palette::arcWash(hot)},
             {arcPockets(*arc)},
             {count(arc->count)},
             {frenchNumber(expected, 1)},
             {signedPercent(static_cast<double>(arc->count) / expected - 1)},
             {frenchNumber(arc->z, 2)},
             simulatedCell(which)});
        addSimulatedVerdict(rows, which);
    }
    rows.push_back({{QStringLiteral("Tirages nécessaires en tout si l'excès de l'arc le plus "
                                    "chaud persistait :")}});
    if (!m_simulated) {
        rows.push_back({{QStringLiteral("    calcul…")}});
    } else {
        const std::optional<std::int64_t> needed =
            roulette::spinsNeeded(arcs.hottest, n, m_simulated->hottestArc, m_simulated->criticalZ);
        rows.push_back(
            {{!needed ? QStringLiteral("    sans objet : l'arc le plus chaud n'est pas un "
                                       "écart rare du balayage (p corrigée ≥ 5 %).")
              : *needed == 0
                  ? QStringLiteral("    aucun chiffre sûr : son excès pourrait être nul.")
                  : QStringLiteral("    environ %1 (seuil de 5 % du balayage, puissance "
                                   "80 %, avec l'excès le plus bas plausible).")
                        .arg(count(*needed))}});
    }
    m_arcs->setRows(std::move(rows));
}

void StudyWindow::showSectors()
{
    static const QString names[] = {QStringLiteral("Voisins du zéro"),
                                    QStringLiteral("Tiers du cylindre"),
                                    QStringLiteral("Orphelins"), QStringLiteral("Jeu zéro")};
    const auto sectors = roulette::classicSectors(m_study->hits(), m_study->spins());
    std::vector<TableRow> rows;
    for (std::size_t s = 0; s < sectors.size(); ++s) {
        const roulette::SectorFigures &f = sectors[s];
        rows.push_back({{names[s]},
                        {QString::number(f.pockets)},
                        {count(f.count)},
                        {meanAndSigma(f.expected)},
                        {signedPercent(f.excess)},
                        pCell(f.pValue)});
        rows.push_back(verdictRow(f.pValue));
    }
    m_sectors->setRows(std::move(rows));
}

void StudyWindow::showNumbers()
{
    const std::int64_t n = m_study->spins();
    const auto &hits = m_study->hits();
    const double mean = static_cast<double>(n) * PocketShare;
    const roulette::CountExtremes extremes = roulette::countExtremes(hits);
    const auto times = [](std::int64_t h) { return QStringLiteral("%1 fois").arg(count(h)); };
    std::vector<TableRow> rows;
    const auto add = [&](const QString &what, TableRow row, double Simulated::*which) {
        row.insert(row.begin(), {what});
        row.push_back(simulatedCell(which));
        rows.push_back(std::move(row));
        addSimulatedVerdict(rows, which);
    };
    const auto numberRow = [&](int number) {
        return TableRow{{QString::number(number), Qt::white, palette::pocketColour(number), true},
                        {times(hits[static_cast<std::size_t>(number)])},
                        {QStringLiteral("%1 fois").arg(frenchNumber(mean, 1))}};
    };
    add(QStringLiteral("Le plus sorti"), numberRow(extremes.highest), &Simulated::highest);
    add(QStringLiteral("Le moins sorti"), numberRow(extremes.lowest), &Simulated::lowest);

    const roulette::BandFigures band = roulette::bandFigures(hits, n);
    add(QStringLiteral("Hors de la bande ±2σ"),
        {{}, {numbers(band.outside)}, {numbers(band.expectedOutside, 1)}}, &Simulated::outside);

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
    // Absences restart with each session: the present one is the last session's.
    const std::int64_t current = ecarts.sessionSpins();
    const std::vector<std::int64_t> sessions = ecarts.sessionLengths();
    const std::array<int, 37> order = roulette::byPresentAbsence(ecarts);
    constexpr int Rows = 13;
    std::vector<TableRow> overdue(Rows);
    for (int i = 0; i < 37; ++i) {
        const int number = order[static_cast<std::size_t>(i)];
        TableRow &row = overdue[static_cast<std::size_t>(i % Rows)];
        row.push_back({QString::number(number), Qt::white, palette::pocketColour(number), true});
        row.push_back({count(ecarts.current(number))});
        row.push_back({count(ecarts.longest(number))});
    }
    overdue.back().resize(9); // the last block has two numbers fewer
    m_overdue->setRows(std::move(overdue));

    std::vector<TableRow> rows;
    rows.push_back(
        {{QStringLiteral("Attendu pour un numéro sur une roue équilibrée : écart de %1 "
                         "en moyenne, plus long écart de %2 en moyenne.")
              .arg(frenchNumber(roulette::expectedCurrentAbsence(PocketShare, current), 1),
                   frenchNumber(roulette::expectedLongestRun(sessions, 1 - PocketShare), 1))}});
    const roulette::Overdue number = roulette::mostOverdue(ecarts, roulette::AbsenceGroup::Numbers);
    rows.push_back({{QStringLiteral("Numéro le plus en retard : %1, depuis %2 tirages, %3.")
                         .arg(number.member)
                         .arg(count(number.gap), pValueText(number.pValue))}});
    rows.push_back(verdictRow(number.pValue));
    static const QString groupNames[] = {QStringLiteral("Douzaine la plus en retard"),
                                         QStringLiteral("Colonne la plus en retard"),
                                         QStringLiteral("Chance simple la plus en retard")};
    const roulette::AbsenceGroup groups[] = {roulette::AbsenceGroup::Dozens,
                                             roulette::AbsenceGroup::Columns,
                                             roulette::AbsenceGroup::SimpleChances};
    const int groupStart[] = {roulette::FirstDozen, roulette::FirstColumn,
                              roulette::FirstSimpleChance, roulette::ChanceCount};
    for (int g = 0; g < 3; ++g) {
        for (int c = groupStart[g]; c < groupStart[g + 1]; ++c) {
            const int category = roulette::chanceCategory(c);
            const double p =
                roulette::pocketCount(roulette::Chances[static_cast<std::size_t>(c)]) / 37.0;
            rows.push_back({{ChanceNames[c] + ChanceDetails[c]},
                            {count(ecarts.current(category))},
                            {count(ecarts.longest(category))},
                            {frenchNumber(roulette::expectedCurrentAbsence(p, current), 1)},
                            {frenchNumber(roulette::expectedLongestRun(sessions, 1 - p), 1)}});
        }
        const roulette::Overdue most = roulette::mostOverdue(ecarts, groups[g]);
        rows.push_back({{QStringLiteral("%1 : %2, depuis %3 tirages, %4.")
                             .arg(groupNames[g], ChanceNames[most.member], count(most.gap),
                                  pValueText(most.pValue))}});
        rows.push_back(verdictRow(most.pValue));
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
                       frenchNumber(roulette::expectedLongestSeries(runs.sessionDraws()), 1))},
             {QStringLiteral("%1 (≈ %2)").arg(count(runs.runs()), frenchNumber(test.expected, 1))},
             pCell(test.pValue)});
        rows.push_back(verdictRow(std::min(1.0, 2 * std::min(pCounts, test.pValue))));
    }
    m_chances->setRows(std::move(rows));
}

void StudyWindow::showSequence()
{
    const roulette::Evidence &evidence = m_study->evidence();
    std::array<std::int64_t, 37> all = evidence.distances(0);
    for (std::size_t d = 0; d < all.size(); ++d)
        all[d] += evidence.distances(1)[d];
    std::vector<TableRow> rows;
    const std::pair<QString, std::array<std::int64_t, 37>> lines[] = {
        {QStringLiteral("Tous les tirages"), all},
        {QStringLiteral("Tirages impairs"), evidence.distances(1)},
        {QStringLiteral("Tirages pairs"), evidence.distances(0)}};
    for (const auto &[name, counts] : lines) {
        const roulette::DistanceFigures f = roulette::distanceFigures(counts);
        rows.push_back({{name},
                        {count(f.total)},
                        {frenchNumber(f.test.chiSquare, 2)},
                        pCell(f.test.pValue),
                        {QStringLiteral("%1 case%2")
                             .arg(f.mostFrequent)
                             .arg(f.mostFrequent > 1 ? QStringLiteral("s") : QString())},
                        {signedPercent(f.excess)}});
        rows.push_back(verdictRow(f.test.pValue));
    }
    m_sequence->setRows(std::move(rows));
    const roulette::DistanceFigures f = roulette::distanceFigures(all);
    const roulette::Expectation e = roulette::expectedCount(f.total, 1);
    m_distanceChart->setData(all, e.mean, e.sigma, std::nullopt);
}

void StudyWindow::simulate(std::int64_t spins)
{
    if (m_simulation)
        return; // when it ends, the window asks for the length it has reached by then
    auto null = std::make_shared<std::shared_ptr<const roulette::NullDistribution>>();
    m_simulation = new BackgroundWork(
        this,
        [null, spins](const BackgroundWork::Progress &) {
            *null = std::make_shared<const roulette::NullDistribution>(spins);
        },
        [this, null](bool) {
            m_simulation->deleteLater();
            m_simulation = nullptr;
            received(*null);
        });
}

void StudyWindow::received(const std::shared_ptr<const roulette::NullDistribution> &null)
{
    m_cache.insert(*null);
    if (m_study)
        refresh();
}
