#include <cmath>

#include "tests/ui/shown.h"
#include "tests/ui/window.h"

using namespace roulette;
using namespace roulette::testing;

namespace
{

using Rows = QList<QList<double>>;

// The rows a chart's graphs hold or, given the module, the rows of its columns' series.
Rows rowsOf(const ChartView *chart, const Module1 *module = nullptr)
{
    const int first = chart->columns().front().series;
    Rows rows(module ? module->series(first).lastRow() : chart->graph(0)->data()->size());
    for (int c = 0; c < static_cast<int>(chart->columns().size()); ++c) {
        const auto &data = *chart->graph(c)->data();
        for (int r = 0; r < rows.size(); ++r) {
            const bool held = r < data.size() && data.at(r)->key == r + 1;
            rows[r] << (module ? module->series(first + c)[r + 1] : held ? data.at(r)->value : -1);
        }
    }
    return rows;
}

// Every point a chart draws lies inside its axes, and the ticks are whole numbers, at least
// three and few enough to read.
void expectWithinAxes(ChartView *chart)
{
    chart->replot();
    for (int c = 0; c < static_cast<int>(chart->columns().size()); ++c) {
        for (const DrawnPoint &p : chart->drawnPoints(c)) {
            QVERIFY(chart->xAxis->range().contains(p.row));
            QVERIFY(chart->yAxis->range().contains(p.value));
        }
    }
    QVERIFY(chart->yAxis->range().lower < 0);
    for (const QCPAxis *axis : {chart->xAxis, chart->yAxis}) {
        QVERIFY(axis->tickVector().size() > 2 && axis->tickVector().size() <= 12);
        for (double tick : axis->tickVector())
            QCOMPARE(tick, std::round(tick));
    }
}

QImage rgb(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestCharts : public QObject
{
    Q_OBJECT
private slots:
    void chartsDrawTheirRows();
    void chartsRepaintWhatASpinChanges();
};

// The sample rows first, then the spins 5, 30 and 30 with the curves of a fair wheel, its ±2σ
// bands, and the legend right of the plot, halfway down, as kept; the read-out of the spin under
// the cursor. A reset leaves the rows as they are until the next spin; a hidden chart takes
// every row into its graphs.
void TestCharts::chartsDrawTheirRows()
{
    Window w({0.1f, 0.7f, 0.4f});
    w.form.show();
    auto *spread = w.get<ChartView>(u"MSChart1"_s);
    auto *dozens = w.get<ChartView>(u"MSChart2"_s);
    QCOMPARE(differsFromKept(plotOf(*spread) + plotOf(*dozens), u"ui/shown/courbes-exemple"_s),
             QString());
    w.form.Label4_Click();
    for (int n : {-1, 5, 30, 30}) {
        if (n >= 0)
            w.form.Label1_Click(n);
        expectWithinAxes(spread);
        expectWithinAxes(dozens);
    }
    for (ChartView *chart : {spread, dozens}) {
        for (int i = 0; i < 3; ++i) // on, off and on again
            chart->expectationAction()->trigger();
        QCOMPARE(chart->legend->itemCount(), int(chart->columns().size()));
    }
    QCOMPARE(differsFromKept(plotOf(*spread) + plotOf(*dozens), u"ui/shown/courbes"_s), QString());
    // Rows of the spread: (36, 1, 0, ...), (35, 2, 0, ...), (35, 1, 1, 0, ...); of the
    // dozens (0, 1, 0, 2) at spin 3.
    const std::tuple<ChartView *, double, double, QString> readOuts[] = {
        {spread, 3, 33, u"Tirage 3 : 35 numéros pas encore sortis (attendu 34,1)"_s},
        {spread, 2, 1.2, u"Tirage 2 : 2 numéros sortis 1 fois (attendu 1,9)"_s},
        {dozens, 3, 2, u"Tirage 3 : Douzaine 3 = 2 (attendu 1,0 ± 0,8)"_s},
        {dozens, 3, 0.2, u"Tirage 3 : Zéro = 0 (attendu 0,1 ± 0,3)"_s},
        {dozens, 3.6, 2, dozens->toolTip()}}; // past the last spin: what the chart shows
    for (const auto &[chart, row, value, text] : readOuts) {
        const QPoint at(chart->xAxis->coordToPixel(row), chart->yAxis->coordToPixel(value));
        QHelpEvent help(QEvent::ToolTip, at, chart->mapToGlobal(at));
        QApplication::sendEvent(chart, &help);
        QCOMPARE(help.isAccepted() ? QToolTip::text() : QString(), text);
    }

    w.form.Command3_Click();
    QCOMPARE(rowsOf(dozens), Rows({{0, 1, 0, 0}, {0, 1, 0, 1}, {0, 1, 0, 2}}));
    w.form.Label1_Click(0);
    QCOMPARE(rowsOf(dozens), Rows({{1, 0, 0, 0}}));
    w.form.Label4_Click();
    for (ChartView *hidden : {spread, dozens}) {
        w.form.Command2_Click();
        for (int spin = 0; spin < 150; ++spin)
            w.form.Command1_Click();
        w.form.Command2_Click();
        QCOMPARE(rowsOf(hidden), rowsOf(hidden, &w.form.board().series()));
        expectWithinAxes(hidden);
        w.form.Command2_Click();
    }
}

// Most spins repaint only a small rectangle around the newest points: now and then, through
// bucket sizes up to four rows, the screen must show what painting the whole chart shows, and
// at the end what a chart drawn at once from the same rows shows, give or take the pixels a
// line drawn in pieces may step elsewhere.
void TestCharts::chartsRepaintWhatASpinChanges()
{
    Window w({0.1f, 0.7f, 0.4f, 0.9f, 0.2f, 0.03f, 0.5f});
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    auto *dozens = w.get<ChartView>(u"MSChart2"_s);
    w.click(u"Command2"_s);
    const QRect part = dozens->geometry() & w.form.boardArea()->rect();
    const auto onScreen = [&w, &part] {
        const QPoint board = w.form.boardArea()->mapTo(&w.form, QPoint(0, 0));
        return rgb(w.form.screen()->grabWindow(w.form.winId()).copy(part.translated(board)));
    };
    for (int spin = 1; spin <= 2048; ++spin) {
        w.form.Command1_Click();
        QCoreApplication::processEvents();
        if (spin % 50 < 48)
            continue;
        const QImage whole = rgb(dozens->grab(part.translated(-dozens->pos())));
        QVERIFY2(onScreen() == whole, qPrintable(QString::number(spin)));
        expectWithinAxes(dozens);
    }
    ChartView fresh(ChartKind::ZeroDozens, w.form.board().series(), w.form.boardArea());
    fresh.setGeometry(dozens->geometry());
    fresh.show();
    fresh.refresh();
    QCoreApplication::processEvents();
    const QImage drawnAtOnce = onScreen();
    fresh.hide();
    QCoreApplication::processEvents();
    const QImage drawnSpinBySpin = onScreen();
    int differing = 0;
    for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x)
            differing += drawnAtOnce.pixel(x, y) != drawnSpinBySpin.pixel(x, y);
    QVERIFY2(differing <= 8, qPrintable(QString::number(differing)));
    // The newest points painted over the graph as thin as it draws them: a cosmetic pen.
    QCOMPARE(paintedBy(*dozens).filter(u"forme"_s).value(0).section(u' ', 5), u"0 px 1"_s);
    const QRect key = dozens->legend->item(1)->rect(); // the first dozen's, bold on thin lines
    QCOMPARE(dozens->grab().toImage().pixelColor(key.left() + 16, key.center().y()),
             QColor(0, 255, 0));
    dozens->hide(); // what changes while hidden is drawn as it shows again
    dozens->expectationAction()->toggle();
    const QSignalSpy replotted(dozens, &QCustomPlot::afterReplot);
    dozens->show();
    QCOMPARE(replotted.count(), 1);
}

QTEST_MAIN(TestCharts)
#include "test_charts.moc"
