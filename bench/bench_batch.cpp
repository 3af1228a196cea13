// Many spins at once. CoreLoop is the core's spin in a plain loop; WindowBatch is the
// window's « Lancer plusieurs tirages… »: the same spins, then one redraw of the board and
// both charts; their times per spin compare side by side. SessionBytes is the memory a
// session keeps per spin in each source mode (heap in use before and after); ProgramMemory
// is the whole program's resident memory after a batch of 10^7 spins, and how long a reset
// then takes. WriteSession is « Enregistrer les tirages… » and « Exporter en CSV… » of 10^6
// spins.
//   QT_QPA_PLATFORM=offscreen build/bench/bench_batch
#include <benchmark/benchmark.h>

#include "bench/qtbenchmain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <malloc.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench/resident.h"
#include "board/board.h"
#include "ui/board/form1.h"

using namespace roulette;

namespace
{

std::int64_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

void BM_CoreLoop(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto board = std::make_unique<Board>();
        board->Form_Load();
        state.ResumeTiming();
        for (std::int64_t i = 0; i < state.range(0); ++i)
            benchmark::DoNotOptimize(board->Command1_Click());
        state.PauseTiming();
        board.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WindowBatch(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto form = std::make_unique<Form1>();
        form->show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        form->spinMany(state.range(0));
        QCoreApplication::processEvents(); // the queued repaint of the board and charts
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

enum class Mode { Random, File, ManualClicks, ManualLongText };

void BM_SessionBytes(benchmark::State &state, Mode mode)
{
    constexpr std::int64_t Spins = 1'000'000;
    for (auto _ : state) {
        Board board;
        board.Form_Load();
        if (mode == Mode::File) {
            DrawRecords records;
            for (std::int64_t i = 0; i < Spins; ++i)
                records.append(static_cast<int>(i % 37));
            board.loadDrawFile(std::move(records), "tirages.txt");
        } else if (mode != Mode::Random) {
            board.Label4_Click();
            board.setLastText("17" + std::string(std::size_t{32} * 1024, 'x'));
        }
        const std::int64_t before = heapInUse();
        for (std::int64_t i = 0; i < Spins; ++i) {
            if (mode == Mode::ManualClicks)
                board.Label1_Click(static_cast<int>(i * 7 % 37));
            else
                board.spinMany(1);
        }
        state.counters["bytes_per_spin"] =
            static_cast<double>(heapInUse() - before) / static_cast<double>(Spins);
    }
}

enum class Write { DrawFile, Csv };

// The window's two writes of the session, 10^6 spins, to the temporary folder.
void BM_WriteSession(benchmark::State &state, Write write)
{
    Form1 form;
    form.spinMany(1'000'000);
    QString path = QDir::temp().filePath(QStringLiteral("bench-session.txt"));
    form.sessionFiles().setSaveChooser([&path](QWidget *, auto &, auto &, auto &) { return path; });
    for (auto _ : state) {
        if (write == Write::Csv)
            form.exportCsv();
        else
            form.saveSpins();
    }
    QFile::remove(path);
}

void BM_ProgramMemory(benchmark::State &state)
{
    for (auto _ : state) {
        Form1 form;
        form.show();
        QCoreApplication::processEvents();
        form.spinMany(state.range(0));
        QCoreApplication::processEvents();
        state.counters["rss_MB"] = static_cast<double>(residentKilobytes()) / 1024;
        const auto start = std::chrono::steady_clock::now();
        form.Command3_Click();
        const std::chrono::duration<double, std::milli> reset =
            std::chrono::steady_clock::now() - start;
        state.counters["reset_ms"] = reset.count();
    }
}

} // namespace

BENCHMARK(BM_CoreLoop)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowBatch)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SessionBytes, Random, Mode::Random)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SessionBytes, File, Mode::File)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SessionBytes, ManualClicks, Mode::ManualClicks)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SessionBytes, ManualLongText, Mode::ManualLongText)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteSession, DrawFile, Write::DrawFile)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteSession, Csv, Write::Csv)->Iterations(3)->Unit(benchmark::kMillisecond);
// Last, so that the memory it reads is the program after 10^7 spins and nothing else.
BENCHMARK(BM_ProgramMemory)->Arg(10'000'000)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv);
}
