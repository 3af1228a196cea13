// The notebook of wheels: a spin entered by hand, a long session stored, a permanence
// imported a session a line, a large wheel read back, the bytes a spin takes on disk, and the
// tests of change over many sessions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <numeric>
#include <random>

#include "stats/homogeneity.h"
#include "store/notebook.h"
#include "tests/tempdir.h"

using namespace roulette;
using roulette::testing::TempDir;

namespace
{

std::vector<std::uint8_t> randomSpins(std::size_t count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> number(0, 36);
    std::vector<std::uint8_t> spins(count);
    for (auto &n : spins)
        n = static_cast<std::uint8_t>(number(random));
    return spins;
}

// Committed with a full sync of the log before it returns.
void BM_HandSpinDurable(benchmark::State &state)
{
    TempDir dir;
    Notebook notebook(dir.path() / "carnet.sqlite");
    const std::int64_t session =
        notebook.createSession(notebook.createWheel("Roue"), "2026-03-12T20:00", Origin::Hand);
    notebook.appendSpins(session, randomSpins(100'000, 1));
    int number = 0;
    for (auto _ : state)
        notebook.appendSpin(session, number++ % 37);
}

void BM_StoreMillionSpins(benchmark::State &state)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    const auto spins = randomSpins(1'000'000, 2);
    {
        Notebook notebook(file);
        const std::int64_t wheel = notebook.createWheel("Roue");
        for (auto _ : state)
            notebook.appendSpins(
                notebook.createSession(wheel, "2026-03-12T20:00", Origin::DrawFile), spins);
    }
    // The size of a notebook holding one such session, its log folded in on closing.
    const auto single = dir.path() / "seul.sqlite";
    {
        Notebook notebook(single);
        notebook.appendSpins(notebook.createSession(notebook.createWheel("Roue"),
                                                    "2026-03-12T20:00", Origin::DrawFile),
                             spins);
    }
    state.counters["bytes_per_spin"] =
        static_cast<double>(std::filesystem::file_size(single)) / static_cast<double>(spins.size());
}

// A casino's permanence of 187,630 spins cut a session a line: 11,981 sessions of 16 spins on
// average, imported into a new wheel of a notebook that already holds one, as the import does.
void BM_ImportSessionPerLine(benchmark::State &state)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    const auto spins = randomSpins(187'630, 4);
    std::mt19937 random(5);
    std::vector<std::size_t> cuts(spins.size() - 1);
    std::iota(cuts.begin(), cuts.end(), 1);
    std::vector<std::size_t> starts{0};
    std::sample(cuts.begin(), cuts.end(), std::back_inserter(starts), 11'980, random);
    std::vector<NewSession> sessions;
    for (std::size_t s = 0; s < starts.size(); ++s) {
        const std::size_t end = s + 1 < starts.size() ? starts[s + 1] : spins.size();
        sessions.push_back({"2019-04-24T20:00", Origin::Import,
                            "permanence_190424.txt (" + std::to_string(s + 1) + ")",
                            std::span(spins).subspan(starts[s], end - starts[s])});
    }
    Notebook notebook(file);
    notebook.appendSpins(
        notebook.createSession(notebook.createWheel("Roue"), "2026-03-12T20:00", Origin::Hand),
        randomSpins(100'000, 6));
    int wheel = 0;
    for (auto _ : state)
        notebook.importSessions("Table " + std::to_string(++wheel), sessions,
                                [](double) { return true; });
    state.counters["sessions"] = static_cast<double>(sessions.size());
}

// Opening the notebook, listing its wheels and sessions, reading every spin pooled, and
// whether the wheel changed between its sessions.
void BM_OpenWheelOf10MillionSpins(benchmark::State &state)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    {
        Notebook notebook(file);
        const std::int64_t wheel = notebook.createWheel("Roue");
        for (std::uint32_t s = 0; s < 20; ++s)
            notebook.appendSpins(notebook.createSession(wheel, "2026-03-12T20:00", Origin::Import),
                                 randomSpins(500'000, s));
    }
    for (auto _ : state) {
        Notebook notebook(file);
        const WheelInfo wheel = notebook.wheels().front();
        std::vector<std::int64_t> ids;
        for (const SessionInfo &session : notebook.sessions(wheel.id))
            ids.push_back(session.id);
        const PooledSpins pooled = notebook.pooledSpins(ids);
        const std::vector<HitCounts> counts = sessionCounts(pooled.numbers, pooled.starts);
        benchmark::DoNotOptimize(homogeneityTest(counts));
        benchmark::DoNotOptimize(changePoint(counts));
    }
}

// 50 sessions of `range(0)` spins each: at 100 spins the expected counts are small and
// homogeneity is simulated too.
void BM_HomogeneityAndChangePoint50(benchmark::State &state)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<std::size_t> number(0, 36);
    std::vector<HitCounts> sessions(50);
    for (HitCounts &counts : sessions)
        for (std::int64_t s = 0; s < state.range(0); ++s)
            ++counts[number(random)];
    for (auto _ : state) {
        benchmark::DoNotOptimize(homogeneityTest(sessions));
        benchmark::DoNotOptimize(changePoint(sessions));
    }
}

} // namespace

BENCHMARK(BM_HandSpinDurable)
    ->Iterations(200)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreMillionSpins)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportSessionPerLine)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWheelOf10MillionSpins)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HomogeneityAndChangePoint50)->Arg(2000)->Arg(100)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
