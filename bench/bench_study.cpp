// The study window. Update is what the open window costs at a spin (following the session and
// refreshing every section; the paint comes later, once per frame), Repaint that paint,
// Simulation one session length's simulated null (off the window's thread), Open the
// statistics built from the outcome log when the window opens, with the bytes they keep a spin,
// OpenPause the longest the window goes without handling events while it opens on a long
// session. HeadlineSpin is the headline's cost at a spin (the spin, E and where it lies),
// HeadlineBatch its cost over a batch, read once at the end.
//   QT_QPA_PLATFORM=offscreen build/bench/bench_study
#include <benchmark/benchmark.h>

#include "bench/qtbenchmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <random>

#include "board/board.h"
#include "stats/evalue.h"
#include "stats/nulldistribution.h"
#include "stats/study.h"
#include "ui/study/studywindow.h"

using namespace roulette;

namespace
{

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

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
        // The window thread's own time: on a shared machine, wall time counts other programs.
        const double start = threadSeconds();
        window.follow();
        state.SetIterationTime(threadSeconds() - start);
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

void BM_OpenPause(benchmark::State &state)
{
    const auto board = boardAfter(state.range(0));
    for (auto _ : state) {
        StudyWindow window(board->series());
        QElapsedTimer sinceTick;
        double longest = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
            longest = std::max(longest, static_cast<double>(sinceTick.restart()));
        });
        tick.start(1);
        sinceTick.start();
        window.show();
        QCoreApplication::processEvents();
        longest = std::max(longest, static_cast<double>(sinceTick.elapsed()));
        state.counters["longest_pause_ms"] = longest;
    }
}

std::vector<int> fairNumbers(std::int64_t spins)
{
    std::mt19937 random(1);
    std::vector<int> numbers(static_cast<std::size_t>(spins));
    for (int &n : numbers)
        n = static_cast<int>(random() % 37);
    return numbers;
}

void BM_HeadlineSpin(benchmark::State &state)
{
    Evidence evidence;
    for (int n : fairNumbers(state.range(0)))
        evidence.add(n);
    int number = 0;
    for (auto _ : state) {
        evidence.add(number = (number + 11) % 37);
        benchmark::DoNotOptimize(evidence.logE());
        benchmark::DoNotOptimize(evidence.lead());
    }
}

void BM_HeadlineBatch(benchmark::State &state)
{
    const std::vector<int> numbers = fairNumbers(state.range(0));
    for (auto _ : state) {
        Evidence evidence;
        for (int n : numbers)
            evidence.add(n);
        benchmark::DoNotOptimize(evidence.logE());
    }
}

} // namespace

BENCHMARK(BM_HeadlineSpin)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeadlineBatch)->Arg(10'000'000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPause)->Arg(10'000'000)->Iterations(1)->Unit(benchmark::kMillisecond);
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
