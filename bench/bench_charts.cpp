// The charts' work per spin at 10^3 .. 10^6 rows since the last reset: this program's way
// (decimated lines updated in place, only the newest points repainted) beside the original
// way (every row of both charts refilled at each spin), measured one spin at a time, so the
// medians are per spin. FullRepaint is this program's spin when a range moves or the tails
// go into the graphs: a whole replot of both charts. ResidentMemory is the whole window with
// a board of 10^6 spins. The Expectation rows are this program's way with the fair-wheel curves
// shown on both charts.
//   QT_QPA_PLATFORM=offscreen build/bench/bench_charts
#include <benchmark/benchmark.h>

#include "bench/qtbenchmain.h"

#include <QApplication>
#include <chrono>
#include <map>
#include <memory>

#include "bench/resident.h"
#include "board/board.h"
#include "ui/board/form1.h"
#include "ui/charts/chartview.h"

using namespace roulette;

namespace
{

constexpr int ChartWidth = 1025;
constexpr int ChartHeight = 409;

enum class Method { Design, Expectation, Original };
enum class Timed { Update, Repaint, FullRepaint };

// A board after `rows` spins and its two charts at their window size, one above the other
// in one offscreen window, both in view.
struct Rig {
    Board board;
    QWidget window;
    ChartView *spread = new ChartView(ChartKind::Spread, board.series(), &window);
    ChartView *dozens = new ChartView(ChartKind::ZeroDozens, board.series(), &window);

    Rig(Method method, std::int64_t rows)
    {
        board.Form_Load();
        for (std::int64_t i = 0; i < rows; ++i)
            board.Command1_Click();
        window.resize(ChartWidth, 2 * ChartHeight);
        spread->setGeometry(0, 0, ChartWidth, ChartHeight);
        dozens->setGeometry(0, ChartHeight, ChartWidth, ChartHeight);
        window.show();
        QCoreApplication::processEvents(); // shown, exposed and laid out
        if (method == Method::Expectation) {
            spread->expectationAction()->trigger();
            dozens->expectationAction()->trigger();
        }
        spread->refresh();
        dozens->refresh();
        QCoreApplication::processEvents();
    }
};

// Emptied before the application goes: widgets must not outlive it.
std::map<std::pair<Method, std::int64_t>, std::unique_ptr<Rig>> rigs;

Rig &rigFor(Method method, std::int64_t rows)
{
    auto &rig = rigs[{method, rows}];
    if (!rig)
        rig = std::make_unique<Rig>(method, rows);
    return *rig;
}

// The original way: a snapshot of every row of the chart's series, then every cell written
// again, and the axes scaled to the data.
void refillEveryRow(ChartView &chart, const Module1 &module)
{
    const std::int64_t rows = module.SeriesCount;
    for (std::size_t c = 0; c < chart.columns().size(); ++c) {
        const Series series = module.series(chart.columns()[c].series);
        QVector<double> keys(rows);
        QVector<double> values(rows);
        for (std::int64_t r = 1; r <= rows; ++r) {
            keys[r - 1] = static_cast<double>(r);
            values[r - 1] = series[r];
        }
        chart.graph(static_cast<int>(c))->setData(keys, values, true);
    }
    chart.rescaleAxes();
    chart.replot(QCustomPlot::rpQueuedReplot);
}

void updateCharts(Method method, Rig &rig)
{
    for (ChartView *chart : {rig.spread, rig.dozens}) {
        if (method == Method::Original)
            refillEveryRow(*chart, rig.board.series());
        else
            chart->refresh();
    }
}

// What the event loop does next: the queued replots, then the paint of what they or the
// update left to draw, into the offscreen windows.
void repaintCharts()
{
    QCoreApplication::processEvents();
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void spinAndTime(benchmark::State &state, Method method, Timed timed)
{
    Rig &rig = rigFor(method, state.range(0));
    for (auto _ : state) {
        rig.board.Command1_Click();
        auto start = std::chrono::steady_clock::now();
        updateCharts(method, rig);
        const double update = secondsSince(start);
        if (timed == Timed::FullRepaint) {
            rig.spread->replot(QCustomPlot::rpQueuedReplot);
            rig.dozens->replot(QCustomPlot::rpQueuedReplot);
        }
        start = std::chrono::steady_clock::now();
        repaintCharts();
        const double repaint = secondsSince(start);
        state.SetIterationTime(timed == Timed::Update ? update : repaint);
    }
}

// Runs first, while the process holds only Qt and this window.
void BM_ResidentMemory(benchmark::State &state)
{
    Board board;
    board.Form_Load();
    for (std::int64_t i = 0; i < state.range(0); ++i)
        board.Command1_Click();
    Form1 form(std::move(board));
    form.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        form.Command1_Click();
        QCoreApplication::processEvents();
    }
    state.counters["rss_MB"] = static_cast<double>(residentKilobytes()) / 1024;
}

constexpr int DesignSpins = 200;
constexpr int OriginalSpins = 30;

} // namespace

BENCHMARK(BM_ResidentMemory)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// One spin per repetition: the aggregates are over single spins.
#define PER_SPIN(label, method, timed, spins)                                                      \
    BENCHMARK_CAPTURE(spinAndTime, label, method, timed)                                           \
        ->Iterations(1)                                                                            \
        ->Repetitions(spins)                                                                       \
        ->ReportAggregatesOnly(true)                                                               \
        ->UseManualTime()                                                                          \
        ->Unit(benchmark::kMicrosecond)

namespace
{

// Refilling every row is measured only up to the largest chart the original could hold.
void comparedRows(benchmark::internal::Benchmark *b)
{
    b->Arg(1000)->Arg(10000)->Arg(32767);
}

void allRows(benchmark::internal::Benchmark *b)
{
    comparedRows(b);
    b->Arg(100000)->Arg(1000000);
}

} // namespace

PER_SPIN(DesignUpdate, Method::Design, Timed::Update, DesignSpins)->Apply(allRows);
PER_SPIN(DesignFullRepaint, Method::Design, Timed::FullRepaint, OriginalSpins)->Apply(allRows);
PER_SPIN(ExpectationUpdate, Method::Expectation, Timed::Update, DesignSpins)->Apply(allRows);
PER_SPIN(ExpectationFullRepaint, Method::Expectation, Timed::FullRepaint, OriginalSpins)
    ->Apply(allRows);
PER_SPIN(OriginalUpdate, Method::Original, Timed::Update, OriginalSpins)->Apply(comparedRows);
PER_SPIN(DesignRepaint, Method::Design, Timed::Repaint, DesignSpins)->Apply(allRows);
PER_SPIN(ExpectationRepaint, Method::Expectation, Timed::Repaint, DesignSpins)->Apply(allRows);
PER_SPIN(OriginalRepaint, Method::Original, Timed::Repaint, OriginalSpins)->Apply(comparedRows);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, [] { rigs.clear(); });
}
