// One spin of the core after n spins since the last reset: must stay flat in n.
#include <benchmark/benchmark.h>

#include "board/board.h"

using namespace roulette;

namespace
{

// Each repetition fills n rows untimed, then times a fixed batch of spins, so the row
// count stays within n .. n + SpinsTimed.
constexpr int SpinsTimed = 2000;

void BM_SpinAfterRows(benchmark::State &state)
{
    Board board;
    board.Form_Load();
    for (std::int64_t i = 0; i < state.range(0); ++i)
        board.Command1_Click();
    for (auto _ : state)
        benchmark::DoNotOptimize(board.Command1_Click());
}

} // namespace

BENCHMARK(BM_SpinAfterRows)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(SpinsTimed)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
