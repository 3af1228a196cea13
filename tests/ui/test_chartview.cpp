#include <QAction>
#include <QScreen>
#include <QtTest>

#include <cmath>
#include <string>

#include "ui/chartview.h"
#include "stats/fairness.h"
#include "tests/ui/window.h"

using namespace roulette;
using namespace Qt::StringLiterals;

namespace
{

using Rows = QList<QList<double>>;

QStringList texts(std::initializer_list<const char *> utf8)
{
    QStringList list;
    for (const char *text : utf8)
        list.append(QString::fromUtf8(text));
    return list;
}

// The rows a chart's graphs hold, keyed 1..n in order.
Rows rowsOf(ChartView &chart)
{
    Rows rows(chart.graph(0)->data()->size());
    for (int c = 0; c < chart.graphCount(); ++c) {
        const auto &data = *chart.graph(c)->data();
        if (data.size() != rows.size())
            return {}; // columns of different lengths: never equal to an expected table
        for (int r = 0; r < data.size(); ++r) {
            if (data.at(r)->key != r + 1)
                return {};
            rows[r].append(data.at(r)->value);
        }
    }
    return rows;
}

void showAtWindowSize(ChartView &chart)
{
    chart.resize(1025, 409);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QCoreApplication::processEvents();
}

struct Charts {
    Board board;
    ChartView spread{ChartKind::Spread, board.series()};
    ChartView dozens{ChartKind::ZeroDozens, board.series()};

    Charts() { board.Form_Load(); }
    void show()
    {
        showAtWindowSize(spread);
        showAtWindowSize(dozens);
    }
    void refresh()
    {
        spread.refresh();
        dozens.refresh();
        QCoreApplication::processEvents();
    }
    void spinAtRandom(int spins, bool refreshEach = true)
    {
        if (board.state().manualMode())
            board.Label4_Click();
        for (int i = 0; i < spins; ++i) {
            board.Command1_Click();
            if (refreshEach)
                refresh();
        }
    }
    void spin(std::initializer_list<int> numbers)
    {
        if (!board.state().manualMode())
            board.Label4_Click();
        for (int n : numbers) {
            board.setLastText(std::to_string(n));
            QVERIFY(board.Command1_Click().spun);
            refresh();
        }
    }
};

QStringList legendOf(ChartView &chart, QList<QColor> *colours)
{
    QStringList labels;
    for (int i = 0; i < chart.legend->itemCount(); ++i) {
        auto *item = qobject_cast<QCPPlottableLegendItem *>(chart.legend->item(i));
        labels.append(item->plottable()->name());
        colours->append(item->plottable()->pen().color());
    }
    return labels;
}

int pixelsOf(const QImage &image, const QRect &area, QColor colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == colour;
    }
    return count;
}

constexpr int RasterNoise = 8;

int differingPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    }
    return count;
}

QImage onScreen(ChartView &chart)
{
    return chart.screen()
        ->grabWindow(chart.winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

double valueAt(const QCPGraph &curve, double key)
{
    const auto it = curve.data()->findBegin(key, false);
    return it != curve.data()->constEnd() && it->key == key ? it->value : std::nan("");
}

QPoint pixelOf(const ChartView &chart, double row, double value)
{
    return QPointF(chart.xAxis->coordToPixel(row), chart.yAxis->coordToPixel(value)).toPoint();
}

} // namespace

class TestChartView : public QObject
{
    Q_OBJECT
private slots:
    void startsWithTheSampleRowsAndItsLegend();
    void showsTheWorkedExamplesThroughAReset();
    void showsTheLegendAndASingleRow();
    void repaintsAllThatASpinChanges();
    void spinBySpinDrawsWhatAFreshChartDraws();
    void windowSwitchShowsTheChartFilledWhileHidden();
    void expectationComesAndGoesOutsideTheLegend();
    void expectationStaysFiniteAndWithinThePixelBudget();
    void readOutOfTheSpinUnderTheCursor();
};

void TestChartView::startsWithTheSampleRowsAndItsLegend()
{
    Charts charts;
    QList<QColor> colours;
    QCOMPARE(legendOf(charts.spread, &colours),
             texts({"N° Pas Sorti", "Sorti 1 Fois", "Sorti 2 Fois", "Sorti 3 Fois", "Sorti 4 Fois",
                    "Sorti 5 Fois", "6", "7", "8", "9", "10"}));
    QCOMPARE(colours,
             QList<QColor>({"#ff0000", "#0000ff", "#ffff00", "#00c000", "#ff00ff", "#00ffff",
                            "#404040", "#800000", "#008000", "#000080", "#808000"}));
    colours.clear();
    QCOMPARE(legendOf(charts.dozens, &colours),
             texts({"0", "Douzaine 1", "Douzaine 2", "Douzaine 3"}));
    QCOMPARE(colours, QList<QColor>({"#ff0000", "#00ff00", "#0000ff", "#ffff00"}));

    QCOMPARE(rowsOf(charts.spread), Rows({{1, 3, 5, 28, 66, 72, 93, 58, 79, 83, 87},
                                          {69, 11, 32, 23, 97, 96, 94, 1, 53, 20, 3},
                                          {62, 22, 29, 72, 20, 32, 53, 24, 33, 57, 65},
                                          {81, 33, 19, 32, 80, 67, 66, 90, 68, 26, 28},
                                          {95, 73, 89, 79, 44, 3, 49, 33, 3, 10, 40}}));
    QCOMPARE(rowsOf(charts.dozens), Rows({{1, 59, 92, 13},
                                          {69, 39, 53, 74},
                                          {62, 24, 54, 22},
                                          {81, 10, 45, 68},
                                          {95, 49, 86, 18}}));
    for (ChartView *chart : {&charts.spread, &charts.dozens}) {
        auto rowLabels = chart->xAxis->ticker().dynamicCast<QCPAxisTickerText>();
        QVERIFY(rowLabels);
        QCOMPARE(rowLabels->ticks().keys(), QList<double>({1, 2, 3, 4, 5}));
        QCOMPARE(rowLabels->ticks().values(), texts({"R1", "R2", "R3", "R4", "R5"}));
        QVERIFY(chart->yAxis->range().contains(97));
    }
}

// The first spin 7, then 5, 5, 30; a reset keeps the rows drawn until the next spin, and
// the next first spin, 0, replaces them all.
void TestChartView::showsTheWorkedExamplesThroughAReset()
{
    const Rows firstSpin = {{36, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
    Charts seven;
    seven.spin({7});
    QCOMPARE(rowsOf(seven.spread), firstSpin);
    QCOMPARE(rowsOf(seven.dozens), Rows({{0, 1, 0, 0}}));
    QVERIFY(!seven.spread.xAxis->ticker().dynamicCast<QCPAxisTickerText>()); // no "R1"

    Charts charts;
    charts.spin({5, 5, 30});
    const Rows spread = {
        firstSpin[0], {36, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, {35, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}};
    const Rows dozens = {{0, 1, 0, 0}, {0, 2, 0, 0}, {0, 2, 0, 1}};
    QCOMPARE(rowsOf(charts.spread), spread);
    QCOMPARE(rowsOf(charts.dozens), dozens);
    for (ChartView *chart : {&charts.spread, &charts.dozens}) {
        QVERIFY(chart->xAxis->range().contains(1) && chart->xAxis->range().contains(3));
        QVERIFY(chart->yAxis->range().contains(0));
    }
    QVERIFY(charts.spread.yAxis->range().contains(37));
    QVERIFY(charts.dozens.yAxis->range().contains(2));

    charts.board.Command3_Click();
    QCOMPARE(rowsOf(charts.spread), spread);
    QCOMPARE(rowsOf(charts.dozens), dozens);
    charts.spin({0});
    QCOMPARE(rowsOf(charts.spread), firstSpin);
    QCOMPARE(rowsOf(charts.dozens), Rows({{1, 0, 0, 0}}));
    // As many rows as before the reset, but other values.
    charts.board.Command3_Click();
    charts.spin({36});
    QCOMPARE(rowsOf(charts.dozens), Rows({{0, 0, 0, 1}}));
}

void TestChartView::showsTheLegendAndASingleRow()
{
    Charts charts;
    showAtWindowSize(charts.dozens);
    const QRect legend = charts.dozens.legend->outerRect();
    const QRect plot = charts.dozens.axisRect()->rect();
    QVERIFY(legend.left() >= plot.right());
    QVERIFY(legend.right() <= charts.dozens.width() &&
            legend.right() >= charts.dozens.width() - 20);
    QVERIFY(qAbs(legend.center().y() - charts.dozens.height() / 2) <= 3);

    charts.spin({7});
    QCoreApplication::processEvents();
    QVERIFY2(pixelsOf(onScreen(charts.dozens), plot, QColor("#00ff00")) >= 9,
             "the one row of \"Douzaine 1\" is not to be seen");
}

// Most spins repaint only a small rectangle around the newest points: after each, the
// screen must show what painting the whole chart shows.
void TestChartView::repaintsAllThatASpinChanges()
{
    Charts charts;
    charts.show();
    for (int spin = 1; spin <= 1500; ++spin) {
        charts.spinAtRandom(1);
        if (spin % 50 < 48)
            continue;
        for (ChartView *chart : {&charts.spread, &charts.dozens}) {
            const QImage whole = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QVERIFY2(onScreen(*chart) == whole, qPrintable(QString::number(spin)));
        }
    }
}

// The lines drawn spin by spin must be those a chart drawn at once from the same rows shows.
// With a power of two of rows every bucket is complete, so the fresh chart's graphs hold
// every point. A line drawn in two pieces may step a pixel elsewhere than drawn in one,
// hence a few pixels of slack; a lost or stale piece of line costs many more.
void TestChartView::spinBySpinDrawsWhatAFreshChartDraws()
{
    Charts charts;
    charts.show();
    charts.spinAtRandom(4096);
    for (ChartKind kind : {ChartKind::Spread, ChartKind::ZeroDozens}) {
        ChartView fresh(kind, charts.board.series());
        showAtWindowSize(fresh);
        fresh.refresh();
        QCoreApplication::processEvents();
        ChartView &drawn = kind == ChartKind::Spread ? charts.spread : charts.dozens;
        const int differing = differingPixels(onScreen(drawn), onScreen(fresh));
        QVERIFY2(differing <= RasterNoise, qPrintable(QString::number(differing)));
    }
}

// Spins made while a chart is hidden are all there when "Voir graphe" / "Fermer" shows it,
// and the window's reset leaves both charts as they were until the next spin.
void TestChartView::windowSwitchShowsTheChartFilledWhileHidden()
{
    std::vector<float> draws;
    for (int n : {5, 5, 30, 0, 36})
        draws.push_back(testing::valueFor(n, NumberCount));
    testing::Window w(draws);
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    auto *spread = w.get<ChartView>(u"MSChart1"_s);
    auto *dozens = w.get<ChartView>(u"MSChart2"_s);
    QCOMPARE(w.form.childAt(500, 400), spread);  // in front at start
    QCOMPARE(w.form.childAt(1000, 400), dozens); // the strip to the right of MSChart1
    QCOMPARE(w.form.childAt(500, 693), spread);  // MSChart1 reaches lower
    const auto click = [&w](const QString &name) {
        w.click(name);
        QCoreApplication::processEvents();
    };
    const Rows spreadAfterFour = {{36, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                  {36, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0},
                                  {35, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0},
                                  {34, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0}};
    const Rows dozensAfterFour = {{0, 1, 0, 0}, {0, 2, 0, 0}, {0, 2, 0, 1}, {1, 2, 0, 1}};
    // Each click of "Voir graphe" / "Fermer": its caption, then whether the dozens show.
    const auto switchCharts = [&](const QString &caption, bool dozensShown) {
        click(u"Command2"_s);
        QCOMPARE(w.text(u"Command2"_s), caption);
        QVERIFY(spread->isHidden() == dozensShown && dozens->isHidden() != dozensShown);
    };

    for (int i = 0; i < 3; ++i)
        click(u"Command1"_s);
    switchCharts(u"Fermer"_s, true);
    click(u"Command1"_s);
    QCOMPARE(rowsOf(*dozens), dozensAfterFour);
    switchCharts(u"Voir graphe"_s, false);
    QCOMPARE(rowsOf(*spread), spreadAfterFour);
    click(u"Command3"_s);
    switchCharts(u"Fermer"_s, true);
    QCOMPARE(rowsOf(*dozens), dozensAfterFour);
    QCOMPARE(rowsOf(*spread), spreadAfterFour);
    click(u"Command1"_s);
    QCOMPARE(rowsOf(*dozens), Rows({{0, 0, 0, 1}}));
    QCOMPARE(rowsOf(*spread), Rows({{36, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}}));
}

void TestChartView::expectationComesAndGoesOutsideTheLegend()
{
    Charts c;
    c.show();
    for (int n = 0; n < 37; ++n) // each number once
        c.spin({n});
    struct Case {
        ChartView *chart;
        int dashed;
        int banded;
    };
    for (const Case &k : {Case{&c.spread, 11, 0}, Case{&c.dozens, 2, 2}}) {
        ChartView &chart = *k.chart;
        const int lines = chart.graphCount();
        const int legend = chart.legend->itemCount();
        QVERIFY(!chart.expectationAction()->isChecked());
        QCOMPARE(chart.expectationAction()->text(), u"Afficher la loi d'une roue équilibrée"_s);

        chart.expectationAction()->trigger();
        const auto &curves = chart.expectationGraphs();
        int dashed = 0;
        int banded = 0;
        for (const QCPGraph *curve : curves) {
            QVERIFY(!curve->data()->isEmpty());
            for (const QCPGraphData &p : *curve->data())
                QVERIFY(std::isfinite(p.value) && p.value >= 0);
            dashed += curve->pen().style() == Qt::DashLine;
            banded += curve->channelFillGraph() != nullptr && curve->brush().color().alpha() < 64;
        }
        QCOMPARE(dashed, k.dashed);
        QCOMPARE(banded, k.banded);
        QCOMPARE(chart.graphCount(), lines + static_cast<int>(curves.size()));
        QCOMPARE(chart.legend->itemCount(), legend);

        chart.expectationAction()->trigger();
        QVERIFY(chart.expectationGraphs().empty());
        QCOMPARE(chart.graphCount(), lines);
    }

    // At 37 spins; the dozens' band worked out by hand.
    c.spread.expectationAction()->trigger();
    c.dozens.expectationAction()->trigger();
    for (int k = 0; k < 11; ++k)
        QVERIFY(std::abs(valueAt(*c.spread.expectationGraphs()[k], 37) - expectedSpread(37, k)) <
                1e-6);
    const auto &dozens = c.dozens.expectationGraphs();
    const double twoSigma = 2 * std::sqrt(37 * 12.0 / 37 * 25.0 / 37);
    QVERIFY(std::abs(valueAt(*dozens[4], 37) - 1) < 1e-9);  // zero
    QVERIFY(std::abs(valueAt(*dozens[5], 37) - 12) < 1e-9); // a dozen
    QVERIFY(std::abs(valueAt(*dozens[3], 37) - (12 + twoSigma)) < 1e-9);
    QVERIFY(std::abs(valueAt(*dozens[2], 37) - (12 - twoSigma)) < 1e-9);
}

void TestChartView::expectationStaysFiniteAndWithinThePixelBudget()
{
    Charts c;
    c.spread.expectationAction()->trigger(); // before any spin: nothing to show yet
    c.dozens.expectationAction()->trigger();
    QVERIFY(c.spread.expectationGraphs()[0]->data()->isEmpty());
    c.show();
    c.spinAtRandom(100'000, false);
    c.refresh();
    c.refresh(); // the plot's width as wider tick labels leave it
    for (ChartView *chart : {&c.spread, &c.dozens}) {
        const int width = chart->xAxis->axisRect()->width();
        for (const QCPGraph *curve : chart->expectationGraphs()) {
            QVERIFY(curve->data()->size() > width / 2);
            QVERIFY(curve->data()->size() <= width + 1);
            QCOMPARE(curve->data()->at(curve->data()->size() - 1)->key,
                     chart->xAxis->range().upper);
            for (const QCPGraphData &p : *curve->data())
                QVERIFY(std::isfinite(p.value));
        }
    }
    const int width = c.dozens.axisRect()->width();
    for (int col = 0; col < 4; ++col) {
        QVERIFY(c.dozens.graph(col)->data()->size() <= width);
        const Series s = c.board.series().series(SeriesZero + col);
        QVERIFY(c.dozens.yAxis->range().contains(s[s.lastRow()]));
    }
    QVERIFY(c.dozens.xAxis->range().contains(100'000));
}

void TestChartView::readOutOfTheSpinUnderTheCursor()
{
    Charts c;
    c.show();
    QVERIFY(c.spread.readOut(pixelOf(c.spread, 3, 50)).isEmpty()); // placeholder rows

    c.spin({5, 5, 30});
    // Rows of the spread: (36, 1, 0, ...), (36, 0, 1, 0, ...), (35, 1, 1, 0, ...).
    QCOMPARE(c.spread.readOut(pixelOf(c.spread, 3, 33)),
             u"Tirage 3 : 35 numéros pas encore sortis (attendu 34,1)"_s);
    QCOMPARE(c.spread.readOut(pixelOf(c.spread, 2, 1.2)),
             u"Tirage 2 : 1 numéro sorti 2 fois (attendu 0,0)"_s);
    // Dozens: (0, 2, 0, 1) at spin 3.
    QCOMPARE(c.dozens.readOut(pixelOf(c.dozens, 3, 2)),
             u"Tirage 3 : Douzaine 1 = 2 (attendu 1,0 ± 0,8)"_s);
    QVERIFY(c.dozens.readOut(pixelOf(c.dozens, 3.6, 2)).isEmpty()); // past the last spin

    for (int n = 0; n < 37; ++n)
        c.spin({n});
    // After 40 spins: 5 and 30 twice, every other number once.
    const QString fortieth = u"Tirage 40 : 35 numéros sortis 1 fois (attendu 13,7)"_s;
    QCOMPARE(c.spread.readOut(pixelOf(c.spread, 40, 30)), fortieth);
    QCOMPARE(c.dozens.readOut(pixelOf(c.dozens, 40, 1)),
             u"Tirage 40 : Zéro = 1 (attendu 1,1 ± 1,0)"_s);
    for (int reset = 0; reset < 2; ++reset) // the rows drawn stay until the next spin
        c.board.Command3_Click();
    QCOMPARE(c.spread.readOut(pixelOf(c.spread, 40, 30)), fortieth);
}

QTEST_MAIN(TestChartView)
#include "test_chartview.moc"
