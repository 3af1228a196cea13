// A click on « Lancer 1 N° » as the user makes it, with 10^5 and 10^6 spins already since
// the reset: Click is the button's signal, the spin and everything that shows it (the board's
// widgets, both charts, the actions' state), up to the repaint the event loop then does;
// ClickAndRepaint adds that repaint (offscreen). The events left between two clicks are
// handled off the clock, so that the CPU time too is the click's alone. Per click, on a
// loaded machine CPU time rather than wall time, as the medians of
//   QT_QPA_PLATFORM=offscreen build/bench/bench_click
//       --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include "bench/qtbenchmain.h"

#include <QApplication>
#include <QPushButton>

#include <map>
#include <memory>

#include "board/board.h"
#include "ui/board/form1.h"

using namespace roulette;

namespace
{

constexpr int ClicksPerRepetition = 500;

// Emptied before the application goes: widgets must not outlive it.
std::map<std::int64_t, std::unique_ptr<Form1>> windows;

Form1 &windowAfter(std::int64_t spins)
{
    auto &form = windows[spins];
    if (!form) {
        Board board;
        board.Form_Load();
        for (std::int64_t i = 0; i < spins; ++i)
            board.Command1_Click();
        form = std::make_unique<Form1>(std::move(board));
        form->show();
        QCoreApplication::processEvents();
    }
    return *form;
}

void clicks(benchmark::State &state, bool withRepaint)
{
    Form1 &form = windowAfter(state.range(0));
    auto *button = form.findChild<QPushButton *>(QStringLiteral("Command1"));
    for (auto _ : state) {
        button->click();
        if (withRepaint)
            QCoreApplication::processEvents();
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

#define CLICKS(label, withRepaint)                                                                 \
    BENCHMARK_CAPTURE(clicks, label, withRepaint)                                                  \
        ->Arg(100'000)                                                                             \
        ->Arg(1'000'000)                                                                           \
        ->Iterations(ClicksPerRepetition)                                                          \
        ->Unit(benchmark::kMicrosecond)

CLICKS(Click, false);
CLICKS(ClickAndRepaint, true);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, [] { windows.clear(); });
}
