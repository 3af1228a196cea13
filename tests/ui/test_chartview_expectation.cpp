#include <QAction>
#include <QtTest>

#include <cmath>
#include <string>

#include "board/board.h"
#include "stats/chartview.h"
#include "stats/fairness.h"

using namespace roulette;
using namespace Qt::StringLiterals;

namespace
{

struct Charts {
    Board board;
    ChartView spread{ChartKind::Spread, board.series()};
    ChartView dozens{ChartKind::ZeroDozens, board.series()};

    Charts()
    {
        board.Form_Load();
        board.Label4_Click();
        for (ChartView *chart : {&spread, &dozens}) {
            chart->resize(1025, 409);
            chart->show();
        }
    }
    void spin(int n)
    {
        board.setLastText(std::to_string(n));
        QVERIFY(board.Command1_Click().spun);
    }
    void refresh()
    {
        spread.refresh();
        dozens.refresh();
        QCoreApplication::processEvents();
    }
};

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

class TestChartExpectation : public QObject
{
    Q_OBJECT
private slots:
    void expectationComesAndGoesOutsideTheLegend();
    void expectationStaysFiniteAndWithinThePixelBudget();
    void readOutOfTheSpinUnderTheCursor();
};

void TestChartExpectation::expectationComesAndGoesOutsideTheLegend()
{
    Charts c;
    for (int n = 0; n < 37; ++n) // each number once
        c.spin(n);
    c.refresh();
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

void TestChartExpectation::expectationStaysFiniteAndWithinThePixelBudget()
{
    Charts c;
    c.spread.expectationAction()->trigger(); // before any spin: nothing to show yet
    c.dozens.expectationAction()->trigger();
    QVERIFY(c.spread.expectationGraphs()[0]->data()->isEmpty());
    c.board.Label4_Click();
    for (int i = 0; i < 100'000; ++i)
        c.board.Command1_Click();
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
}

void TestChartExpectation::readOutOfTheSpinUnderTheCursor()
{
    Charts c;
    c.refresh();
    QVERIFY(c.spread.readOut(pixelOf(c.spread, 3, 50)).isEmpty()); // placeholder rows

    for (int n : {5, 5, 30})
        c.spin(n);
    c.refresh();
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
        c.spin(n);
    c.refresh();
    // After 40 spins: 5 and 30 twice, every other number once.
    QCOMPARE(c.spread.readOut(pixelOf(c.spread, 40, 30)),
             u"Tirage 40 : 35 numéros sortis 1 fois (attendu 13,7)"_s);
    QCOMPARE(c.dozens.readOut(pixelOf(c.dozens, 40, 1)),
             u"Tirage 40 : Zéro = 1 (attendu 1,1 ± 1,0)"_s);
}

QTEST_MAIN(TestChartExpectation)
#include "test_chartview_expectation.moc"
