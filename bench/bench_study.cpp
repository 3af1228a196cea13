// The study window. Update is what the open window costs at a spin (following the session and
// refreshing every section; the paint comes later, once per frame), Repaint that paint,
// Simulation one session length's simulated null (off the window's thread), Open the
// statistics built from the outcome log when the window opens, with the bytes they keep a spin.
//   QT_QPA_PLATFORM=offscreen build/bench/bench_study
#include <benchmark/benchmark.h>

#include "bench/qtbenchmain.h"

#include <QApplication>
#include <QPixmap>
#include <malloc.h>

#include <chrono>

#include "board/board.h"
#include "stats/nulldistribution.h"
#include "stats/study.h"
#include "ui/study/studywindow.h"

using namespace roulette;

namespace
{

std::unique_ptr<Board> boardAfter(std::int64_t spins)
{
    auto board = std::make_unique<Board>();
    board->Form_Load();
    board->spinMany(spins);
    return board;
}

void BM_Update(benchmark::State &state)
{
    const auto board = boardAfter(state.range(0));
    StudyWindow window(board->series());
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        board->Command1_Click();
        const auto start = std::chrono::steady_clock::now();
        window.follow();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        QCoreApplication::processEvents(); // what arrived from the simulation thread
    }
}

void BM_Repaint(benchmark::State &state)
{
    const auto board = boardAfter(state.range(0));
    StudyWindow window(board->series());
    window.resize(1480, 1235);
    window.show();
    while (window.simulating())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    for (auto _ : state)
        benchmark::DoNotOptimize(window.grab());
}

void BM_Simulation(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(NullDistribution(state.range(0)));
}

std::int64_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

void BM_Open(benchmark::State &state)
{
    const auto board = boardAfter(state.range(0));
    for (auto _ : state) {
        const std::int64_t before = heapInUse();
        Study study;
        study.follow(board->series().session());
        state.PauseTiming();
        state.counters["bytes_per_spin"] =
            static_cast<double>(heapInUse() - before) / static_cast<double>(state.range(0));
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_Update)
    ->Arg(1'000)
    ->Arg(1'000'000)
    ->UseManualTime()
    ->Iterations(2000)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Repaint)->Arg(1'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Simulation)
    ->Arg(1'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open)->Arg(1'000'000)->Arg(10'000'000)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
