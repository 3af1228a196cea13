#include "ui/charts/chartview.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QLocale>
#include <QMenu>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "stats/fairness.h"
#include "ui/common/french.h"
#include "ui/common/palette.h"

using namespace roulette;

namespace
{

constexpr std::array<ChartView::Column, 11> SpreadColumns{{
    {"N° Pas Sorti", 0x000000FF, SeriesTimes0},
    {"Sorti 1 Fois", 0x00FF0000, SeriesTimes0 + 1},
    {"Sorti 2 Fois", 0x0000FFFF, SeriesTimes0 + 2},
    {"Sorti 3 Fois", 0x0000C000, SeriesTimes0 + 3},
    {"Sorti 4 Fois", 0x00FF00FF, SeriesTimes0 + 4},
    {"Sorti 5 Fois", 0x00FFFF00, SeriesTimes0 + 5},
    {"6", 0x00404040, SeriesTimes0 + 6},
    {"7", 0x00000080, SeriesTimes0 + 7},
    {"8", 0x00008000, SeriesTimes0 + 8},
    {"9", 0x00800000, SeriesTimes0 + 9},
    {"10", 0x00008080, SeriesTimes10},
}};

constexpr std::array<ChartView::Column, 4> ZeroDozenColumns{{
    {"0", 0x000000FF, SeriesZero},
    {"Douzaine 1", 0x0000FF00, SeriesDozen1},
    {"Douzaine 2", 0x00FF0000, SeriesDozen2},
    {"Douzaine 3", 0x0000FFFF, SeriesDozen3},
}};

constexpr int PlaceholderRows = 5;

constexpr std::array<std::array<int, 11>, PlaceholderRows> SpreadSamples{{
    {1, 3, 5, 28, 66, 72, 93, 58, 79, 83, 87},
    {69, 11, 32, 23, 97, 96, 94, 1, 53, 20, 3},
    {62, 22, 29, 72, 20, 32, 53, 24, 33, 57, 65},
    {81, 33, 19, 32, 80, 67, 66, 90, 68, 26, 28},
    {95, 73, 89, 79, 44, 3, 49, 33, 3, 10, 40},
}};

constexpr std::array<std::array<int, 4>, PlaceholderRows> ZeroDozenSamples{{
    {1, 59, 92, 13},
    {69, 39, 53, 74},
    {62, 24, 54, 22},
    {81, 10, 45, 68},
    {95, 49, 86, 18},
}};

constexpr int SampleMax = 97;
// The spread of 37 numbers never exceeds 37.
constexpr double SpreadTop = 40;
// Up to this many rows each row gets a marker, so a single row still shows.
constexpr std::int64_t MarkerRows = 60;
// Longer tails go into the graphs.
constexpr std::size_t TailPoints = 64;

const QString ExpectationLayer = QStringLiteral("expectation");
const QColor DozenExpectation(0x40, 0x40, 0x40);
const QColor ZeroBand(255, 0, 0, 28);
const QColor DozenBand(0, 0, 0, 22);

// "14 numéros sortis 1 fois (attendu 13,8)"
QString spreadReadOut(std::int64_t spins, int k, std::int32_t value)
{
    const bool plural = value > 1;
    const QString numbers = k == 0 ? (plural ? QStringLiteral("numéros pas encore sortis")
                                             : QStringLiteral("numéro pas encore sorti"))
                                   : (plural ? QStringLiteral("numéros sortis %1 fois")
                                             : QStringLiteral("numéro sorti %1 fois"))
                                         .arg(k);
    return QStringLiteral("%1 %2 (attendu %3)")
        .arg(value)
        .arg(numbers, frenchNumber(expectedSpread(spins, k), 1));
}

// "Douzaine 1 = 128 (attendu 120,0 ± 9,0)"
QString countReadOut(std::int64_t spins, const QString &name, int pockets, std::int32_t value)
{
    const Expectation e = expectedCount(spins, pockets);
    return QStringLiteral("%1 = %2 (attendu %3 ± %4)")
        .arg(name)
        .arg(value)
        .arg(frenchNumber(e.mean, 1), frenchNumber(e.sigma, 1));
}

QFont chartFont(double points)
{
    QFont font(palette::boardFontFamily());
    font.setPointSizeF(points);
    return font;
}

// Rounds up by a step of about a tenth of the value, so that a growing series moves the
// axis only now and then and most spins repaint the tails alone.
double roomyTop(std::int64_t value)
{
    std::int64_t step = 1;
    while (step * 100 <= value)
        step *= 10;
    const std::int64_t top = (value / step + 1) * step;
    return static_cast<double>(top);
}

// A line whose legend key stays bold, however thin the line itself is drawn.
class ChartLine : public QCPGraph
{
public:
    using QCPGraph::QCPGraph;

protected:
    void drawLegendIcon(QCPPainter *painter, const QRectF &rect) const override
    {
        QPen key = pen();
        key.setWidth(3);
        painter->setPen(key);
        painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
        if (!scatterStyle().isNone()) {
            scatterStyle().applyTo(painter, pen());
            scatterStyle().drawShape(painter, rect.center());
        }
    }
};

QCPGraphData dataOf(const DrawnPoint &p)
{
    return {static_cast<double>(p.row), static_cast<double>(p.value)};
}

// Makes the graph hold the first `count` points, of which it already holds the first
// `unchanged`: mostly a few points appended, the line rebuilt only when a point it holds
// has changed.
void syncGraph(QCPGraph &graph, const std::vector<DrawnPoint> &points, std::size_t unchanged,
               std::size_t count)
{
    QCPGraphDataContainer &data = *graph.data();
    const auto held = static_cast<std::size_t>(data.size());
    if (unchanged < held || held > count) {
        QVector<QCPGraphData> all;
        all.reserve(static_cast<qsizetype>(count));
        for (std::size_t i = 0; i < count; ++i)
            all.append(dataOf(points[i]));
        data.set(all, true);
        return;
    }
    for (std::size_t i = held; i < count; ++i)
        data.add(dataOf(points[i]));
}

} // namespace

ChartView::ChartView(ChartKind kind, const roulette::Module1 &series, QWidget *parent)
    : QCustomPlot(parent), m_kind(kind), m_module(series)
{
    if (kind == ChartKind::Spread)
        m_columns = SpreadColumns;
    else
        m_columns = ZeroDozenColumns;
    setUpLooks();
    placeLegend();
    showPlaceholder();
    setAutoAddPlottableToLegend(false);
    m_expectationAction =
        new QAction(QStringLiteral("Afficher la loi d'une roue équilibrée"), this);
    m_expectationAction->setCheckable(true);
    connect(m_expectationAction, &QAction::toggled, this, &ChartView::showExpectation);
}

void ChartView::setUpLooks()
{
    for (const Column &column : m_columns) {
        auto *line = new ChartLine(xAxis, yAxis);
        line->setName(QString::fromUtf8(column.label));
        line->setLineStyle(QCPGraph::lsLine);
        line->setPen(QPen(palette::fromBgr(column.colour), 2));
    }
    setTextZoom(1.0);
    auto counts = QSharedPointer<QCPAxisTickerFixed>::create();
    counts->setTickStep(1);
    counts->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
    yAxis->setTicker(counts);
    addLayer(ExpectationLayer, layer(QStringLiteral("main")), limBelow);
}

void ChartView::setTextZoom(double zoom)
{
    xAxis->setTickLabelFont(chartFont(8 * zoom));
    yAxis->setTickLabelFont(chartFont(8.25 * zoom));
    legend->setFont(chartFont(10 * zoom));
    for (int i = 0; i < legend->itemCount(); ++i)
        legend->item(i)->setFont(legend->font()); // items take their font when added
    replot(QCustomPlot::rpQueuedReplot);
}

// Right of the plot, vertically centred, as a column of its own so it never hides a line.
void ChartView::placeLegend()
{
    legend->setVisible(true);
    axisRect()->insetLayout()->take(legend);
    auto *side = new QCPLayoutGrid;
    plotLayout()->addElement(0, 1, side);
    plotLayout()->setColumnStretchFactor(1, 0.001);
    side->addElement(0, 0, new QCPLayoutElement(this));
    side->addElement(1, 0, legend);
    side->addElement(2, 0, new QCPLayoutElement(this));
    side->setRowStretchFactors({1, 0.001, 1});
    side->setMargins(QMargins(4, 0, 6, 0));
}

void ChartView::showPlaceholder()
{
    auto rowLabels = QSharedPointer<QCPAxisTickerText>::create();
    for (int r = 1; r <= PlaceholderRows; ++r)
        rowLabels->addTick(r, QStringLiteral("R%1").arg(r));
    xAxis->setTicker(rowLabels);
    for (int c = 0; c < static_cast<int>(m_columns.size()); ++c) {
        QVector<double> rows;
        QVector<double> values;
        for (int r = 0; r < PlaceholderRows; ++r) {
            rows.append(r + 1);
            values.append(m_kind == ChartKind::Spread ? SpreadSamples[r][c]
                                                      : ZeroDozenSamples[r][c]);
        }
        graph(c)->setData(rows, values, true);
    }
    setDensity(PlaceholderRows);
    xAxis->setRange(0, PlaceholderRows + 1);
    yAxis->setRange(-1, roomyTop(SampleMax));
}

void ChartView::leavePlaceholder()
{
    auto spins = QSharedPointer<QCPAxisTickerFixed>::create();
    spins->setTickStep(1);
    spins->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
    xAxis->setTicker(spins);
    m_decimations.assign(m_columns.size(), Decimation(plotWidth()));
    m_held.assign(m_columns.size(), 0);
}

void ChartView::refresh()
{
    bool replotAll = m_decimations.empty();
    if (replotAll)
        leavePlaceholder();
    const int budget = plotWidth();
    std::vector<std::size_t> firstChanged(m_columns.size());
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        Decimation &d = m_decimations[c];
        if (d.budget() != budget)
            d = Decimation(budget);
        firstChanged[c] = d.update(shown(m_columns[c]));
        replotAll =
            replotAll || firstChanged[c] < m_held[c] || d.points().size() - m_held[c] > TailPoints;
    }
    const std::int64_t rows = shown(m_columns.front()).lastRow();
    replotAll = setDensity(rows) || replotAll;
    replotAll = setRanges(rows) || replotAll;
    replotAll = sampleExpectation() || replotAll;
    if (replotAll || *m_sparse || !isVisible()) {
        takeInTails(firstChanged);
        if (isVisible())
            replot(rpQueuedReplot);
        else
            m_stale = true;
        return;
    }
    update(changedRect(firstChanged));
}

void ChartView::takeInTails(const std::vector<std::size_t> &firstChanged)
{
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        const Decimation &d = m_decimations[c];
        const std::size_t unchanged = std::min(firstChanged[c], m_held[c]);
        m_held[c] = d.settledPoints();
        syncGraph(*graph(static_cast<int>(c)), d.points(), unchanged, m_held[c]);
    }
}

// Few rows: markers and smooth lines. Many: thin aliased lines, which draw far faster.
bool ChartView::setDensity(std::int64_t rows)
{
    const bool sparse = rows <= MarkerRows;
    if (m_sparse == sparse)
        return false;
    m_sparse = sparse;
    for (int c = 0; c < static_cast<int>(m_columns.size()); ++c) {
        QCPGraph *line = graph(c);
        QPen pen = line->pen();
        pen.setWidth(sparse ? 2 : 1);
        line->setPen(pen);
        line->setAntialiased(sparse);
        line->setScatterStyle(sparse ? QCPScatterStyle(QCPScatterStyle::ssDisc, 6)
                                     : QCPScatterStyle(QCPScatterStyle::ssNone));
    }
    return true;
}

// From what the series already say: no scan of the rows.
bool ChartView::setRanges(std::int64_t rows)
{
    const QCPRange x(0, roomyTop(std::max<std::int64_t>(rows, 1)));
    QCPRange y(-1, SpreadTop);
    if (m_kind == ChartKind::ZeroDozens) {
        std::int32_t largest = 0; // the counts only grow, so the last row holds the largest
        for (const Column &column : m_columns) {
            largest = std::max(largest, shown(column).last());
        }
        y.upper = roomyTop(largest);
    }
    if (x == xAxis->range() && y == yAxis->range())
        return false;
    xAxis->setRange(x);
    yAxis->setRange(y);
    return true;
}

int ChartView::plotWidth() const
{
    // QCustomPlot::axisRect() searches the whole layout; the axis knows its rectangle.
    const int laidOut = xAxis->axisRect()->width();
    return laidOut > 0 ? laidOut : width();
}

// The last point the graph holds, then the points it does not hold yet.
QPolygonF ChartView::tail(std::size_t column) const
{
    const auto &points = m_decimations[column].points();
    QPolygonF line;
    for (std::size_t i = std::max<std::size_t>(m_held[column], 1) - 1; i < points.size(); ++i) {
        line.append({xAxis->coordToPixel(static_cast<double>(points[i].row)),
                     yAxis->coordToPixel(points[i].value)});
    }
    return line;
}

// Where the segments from the point before each line's first changed one lie. A bucket's
// extremes only widen as its rows come in, so what they replace lies inside too. Bounds are
// taken in rows and values, so only the corners are mapped to pixels.
QRect ChartView::changedRect(const std::vector<std::size_t> &firstChanged) const
{
    std::int64_t first = std::numeric_limits<std::int64_t>::max();
    std::int64_t last = 0;
    std::int32_t low = std::numeric_limits<std::int32_t>::max();
    std::int32_t high = std::numeric_limits<std::int32_t>::min();
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        const auto &points = m_decimations[c].points();
        const std::size_t from = std::max<std::size_t>(firstChanged[c], 1) - 1;
        if (points.size() < from + 2)
            continue;
        first = std::min(first, points[from].row);
        last = std::max(last, points.back().row);
        for (std::size_t i = from; i < points.size(); ++i) {
            low = std::min(low, points[i].value);
            high = std::max(high, points[i].value);
        }
    }
    if (first > last)
        return {};
    const QRectF bounds(
        QPointF(xAxis->coordToPixel(static_cast<double>(first)), yAxis->coordToPixel(high)),
        QPointF(xAxis->coordToPixel(static_cast<double>(last)), yAxis->coordToPixel(low)));
    return bounds.normalized().toAlignedRect().adjusted(-2, -2, 2, 2) & xAxis->axisRect()->rect();
}

void ChartView::paintEvent(QPaintEvent *event)
{
    QCustomPlot::paintEvent(event);
    if (m_decimations.empty())
        return;
    QPainter painter(this);
    painter.setClipRect(xAxis->axisRect()->rect());
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        if (const QPolygonF line = tail(c); line.size() > 1) {
            QPen pen = graph(static_cast<int>(c))->pen();
            if (pen.width() == 1)
                pen.setWidth(0); // cosmetic, as the graph draws it, so the pixels match
            painter.setPen(pen);
            painter.drawPolyline(line);
        }
    }
}

// Placed partly left of its window, the chart keeps its axis and labels in the part that
// shows.
void ChartView::moveEvent(QMoveEvent *event)
{
    QCustomPlot::moveEvent(event);
    const int cutOff = parentWidget() ? std::max(0, -x()) : 0;
    if (plotLayout()->margins().left() == cutOff)
        return;
    plotLayout()->setMargins(QMargins(cutOff, 0, 0, 0));
    if (isVisible())
        replot(rpQueuedReplot);
    else
        m_stale = true;
}

void ChartView::showEvent(QShowEvent *event)
{
    QCustomPlot::showEvent(event);
    if (m_stale) {
        m_stale = false;
        replot();
    }
}

QCPGraph *ChartView::addExpectationGraph(const QPen &pen)
{
    QCPGraph *curve = addGraph();
    curve->setLayer(ExpectationLayer);
    curve->setPen(pen);
    curve->setAntialiased(false);
    m_expectation.push_back(curve);
    return curve;
}

void ChartView::showExpectation(bool shown)
{
    for (QCPGraph *curve : m_expectation)
        removeGraph(curve);
    m_expectation.clear();
    m_sampledWidth = 0;
    if (shown && m_kind == ChartKind::Spread) {
        for (const Column &column : m_columns)
            addExpectationGraph(QPen(palette::fromBgr(column.colour), 1, Qt::DashLine));
    } else if (shown) {
        // Bands first, so that the dashed means are drawn over them.
        for (const QColor &band : {ZeroBand, DozenBand}) {
            QCPGraph *low = addExpectationGraph(Qt::NoPen);
            QCPGraph *high = addExpectationGraph(Qt::NoPen);
            high->setBrush(band);
            high->setChannelFillGraph(low);
        }
        addExpectationGraph(QPen(palette::fromBgr(m_columns.front().colour), 1, Qt::DashLine));
        addExpectationGraph(QPen(DozenExpectation, 1, Qt::DashLine));
    }
    sampleExpectation();
    if (isVisible())
        replot(rpQueuedReplot);
    else
        m_stale = true;
}

// Sampled over the whole x range, at most once per pixel, so that the curves change only
// when the range or the width does, never at an ordinary spin.
bool ChartView::sampleExpectation()
{
    const int width = plotWidth();
    if (m_expectation.empty() || m_decimations.empty() ||
        (xAxis->range() == m_sampledRange && width == m_sampledWidth))
        return false;
    m_sampledRange = xAxis->range();
    m_sampledWidth = width;
    const auto last = static_cast<std::int64_t>(m_sampledRange.upper);
    const std::int64_t intervals = std::max<std::int64_t>(1, std::min<std::int64_t>(last, width));
    QVector<double> spins;
    for (std::int64_t i = 0; i <= intervals; ++i) {
        const std::int64_t spin = i * last / intervals; // whole spins only
        spins.append(static_cast<double>(spin));
    }
    const auto sample = [&spins](QCPGraph *curve, auto valueAt) {
        QVector<double> values;
        values.reserve(spins.size());
        for (double s : spins)
            values.append(valueAt(static_cast<std::int64_t>(s)));
        curve->setData(spins, values, true);
    };
    if (m_kind == ChartKind::Spread) {
        for (int k = 0; k < static_cast<int>(m_expectation.size()); ++k)
            sample(m_expectation[k], [k](std::int64_t s) { return expectedSpread(s, k); });
        return true;
    }
    for (std::size_t i = 0; i < 2; ++i) {
        const int pockets = i == 0 ? 1 : 12;
        sample(m_expectation[2 * i], [pockets](std::int64_t s) {
            const Expectation e = expectedCount(s, pockets);
            return std::max(0.0, e.mean - 2 * e.sigma);
        });
        sample(m_expectation[2 * i + 1], [pockets](std::int64_t s) {
            const Expectation e = expectedCount(s, pockets);
            return e.mean + 2 * e.sigma;
        });
        sample(m_expectation[4 + i],
               [pockets](std::int64_t s) { return expectedCount(s, pockets).mean; });
    }
    return true;
}

void ChartView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    menu.addAction(m_expectationAction);
    menu.exec(event->globalPos());
}

bool ChartView::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QCustomPlot::event(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QString text = readOut(help->pos());
    if (text.isEmpty())
        return QCustomPlot::event(event); // away from the rows: what the chart shows
    QToolTip::showText(help->globalPos(), text, this);
    return true;
}

// The column whose value at the spin under the cursor lies nearest the cursor's height.
QString ChartView::readOut(QPoint pos) const
{
    if (m_decimations.empty() || !xAxis->axisRect()->rect().contains(pos))
        return {};
    const std::int64_t row = std::llround(xAxis->pixelToCoord(pos.x()));
    if (row < 1 || row > shown(m_columns.front()).lastRow())
        return {};
    const double height = yAxis->pixelToCoord(pos.y());
    std::size_t nearest = 0;
    for (std::size_t c = 1; c < m_columns.size(); ++c) {
        const auto distance = [&](std::size_t i) {
            return std::abs(shown(m_columns[i])[row] - height);
        };
        if (distance(c) < distance(nearest))
            nearest = c;
    }
    const std::int32_t value = shown(m_columns[nearest])[row];
    const QString spin = QStringLiteral("Tirage %1 : ").arg(row);
    if (m_kind == ChartKind::Spread)
        return spin + spreadReadOut(row, static_cast<int>(nearest), value);
    const QString name =
        nearest == 0 ? QStringLiteral("Zéro") : QString::fromUtf8(m_columns[nearest].label);
    return spin + countReadOut(row, name, nearest == 0 ? 1 : 12, value);
}
