// A pin following one spin and giving its e-value, and a full reading with its confidence
// sequence, after n spins.
#include <benchmark/benchmark.h>

#include <random>

#include "stats/pin.h"

using namespace roulette;

namespace
{

void BM_PinSpin(benchmark::State &state)
{
    Pin pin({false, 12, 5, AllSpins, true}, 0);
    std::mt19937 random(7);
    for (std::int64_t i = 0; i < state.range(0); ++i)
        pin.add(static_cast<int>(random() % 37));
    for (auto _ : state) {
        pin.add(static_cast<int>(random() % 37));
        benchmark::DoNotOptimize(pin.logE());
    }
}

void BM_PinReading(benchmark::State &state)
{
    Pin pin({true, 8, 5, OddSpins, true}, 0);
    std::mt19937 random(7);
    for (std::int64_t i = 0; i < state.range(0); ++i)
        pin.add(static_cast<int>(random() % 37));
    for (auto _ : state) {
        pin.add(static_cast<int>(random() % 37));
        benchmark::DoNotOptimize(pin.read());
    }
}

} // namespace

BENCHMARK(BM_PinSpin)->Arg(1000)->Arg(1000000)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PinReading)->Arg(1000)->Arg(1000000)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
