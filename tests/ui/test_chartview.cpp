#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <string>

#include "board/board.h"
#include "board/form1.h"
#include "stats/chartview.h"
#include "tests/fakes.h"

using namespace roulette;

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

void playByHand(Board &board, std::initializer_list<int> numbers)
{
    if (!board.state().manualMode())
        board.Label4_Click();
    for (int n : numbers) {
        board.setLastText(std::to_string(n));
        QVERIFY(board.Command1_Click().spun);
    }
}

struct Charts {
    Board board;
    ChartView spread{ChartKind::Spread, board.series()};
    ChartView dozens{ChartKind::ZeroDozens, board.series()};

    Charts() { board.Form_Load(); }
    void spinAtRandom(int spins)
    {
        for (int i = 0; i < spins; ++i) {
            board.Command1_Click();
            spread.refresh();
            dozens.refresh();
            QCoreApplication::processEvents();
        }
    }
    void spin(std::initializer_list<int> numbers)
    {
        for (int n : numbers) {
            playByHand(board, {n});
            spread.refresh();
            dozens.refresh();
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

void showAtWindowSize(ChartView &chart)
{
    chart.resize(1025, 409);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QCoreApplication::processEvents();
}

QImage onScreen(ChartView &chart)
{
    return chart.screen()
        ->grabWindow(chart.winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
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
    void boundsItsPointsAndRangesForManyRows();
    void windowSwitchShowsTheChartFilledWhileHidden();
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
    showAtWindowSize(charts.spread);
    showAtWindowSize(charts.dozens);
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
    showAtWindowSize(charts.spread);
    showAtWindowSize(charts.dozens);
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

void TestChartView::boundsItsPointsAndRangesForManyRows()
{
    Charts charts;
    showAtWindowSize(charts.dozens);
    for (int spin = 0; spin < 20000; ++spin)
        charts.board.Command1_Click();
    charts.dozens.refresh();
    QCoreApplication::processEvents();
    const Module1 &module = charts.board.series();
    const int plotWidth = charts.dozens.axisRect()->width();
    for (int c = 0; c < 4; ++c) {
        const auto &data = *charts.dozens.graph(c)->data();
        QVERIFY(data.size() <= plotWidth);
        const Series &s = module.series[SeriesZero + c];
        QVERIFY(charts.dozens.yAxis->range().contains(s[s.lastRow()]));
    }
    QVERIFY(charts.dozens.xAxis->range().contains(20000));
}

// Spins made while a chart is hidden are all there when "Voir graphe" / "Fermer" shows it,
// and the window's reset leaves both charts as they were until the next spin.
void TestChartView::windowSwitchShowsTheChartFilledWhileHidden()
{
    using testing::valueFor;
    std::vector<float> draws;
    for (int n : {5, 5, 30, 0, 36})
        draws.push_back(valueFor(n, NumberCount));
    Form1 form(Board(std::make_unique<testing::ScriptedGenerator>(draws),
                     std::make_unique<testing::FixedClock>()));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *spread = form.findChild<ChartView *>(QStringLiteral("MSChart1"));
    auto *dozens = form.findChild<ChartView *>(QStringLiteral("MSChart2"));
    auto *button = form.findChild<QPushButton *>(QStringLiteral("Command2"));
    QCOMPARE(form.childAt(500, 400), spread);  // in front at start
    QCOMPARE(form.childAt(1000, 400), dozens); // the strip to the right of MSChart1
    QCOMPARE(form.childAt(500, 693), spread);  // MSChart1 reaches lower
    const auto click = [&form](const char *name) {
        QTest::mouseClick(form.findChild<QWidget *>(QString::fromLatin1(name)), Qt::LeftButton);
        QCoreApplication::processEvents();
    };
    const Rows spreadAfterFour = {{36, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                  {36, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0},
                                  {35, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0},
                                  {34, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0}};
    const Rows dozensAfterFour = {{0, 1, 0, 0}, {0, 2, 0, 0}, {0, 2, 0, 1}, {1, 2, 0, 1}};

    for (int i = 0; i < 3; ++i)
        click("Command1");
    click("Command2");
    QCOMPARE(button->text(), QStringLiteral("Fermer"));
    QVERIFY(spread->isHidden() && !dozens->isHidden());
    click("Command1");
    QCOMPARE(rowsOf(*dozens), dozensAfterFour);
    click("Command2");
    QCOMPARE(button->text(), QStringLiteral("Voir graphe"));
    QVERIFY(!spread->isHidden() && dozens->isHidden());
    QCOMPARE(rowsOf(*spread), spreadAfterFour);
    click("Command3");
    click("Command2");
    QCOMPARE(button->text(), QStringLiteral("Fermer"));
    QVERIFY(spread->isHidden() && !dozens->isHidden());
    QCOMPARE(rowsOf(*dozens), dozensAfterFour);
    QCOMPARE(rowsOf(*spread), spreadAfterFour);
    click("Command1");
    QCOMPARE(rowsOf(*dozens), Rows({{0, 0, 0, 1}}));
    QCOMPARE(rowsOf(*spread), Rows({{36, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}}));
}

QTEST_MAIN(TestChartView)
#include "test_chartview.moc"
