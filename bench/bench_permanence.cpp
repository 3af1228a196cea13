// A permanence of 10^6 spins in comma-separated lines of 1 to 600 numbers (about 3 MB): the
// preview (layout and a whole reading with every warning), the reading an import makes, and
// the memory each adds at its peak beyond the spins it keeps, per spin (VmHWM against VmRSS
// before; the peak is reset first). Then the check of such a file against a wheel's spins.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string>

#include "bench/resident.h"
#include "sources/permanencefile.h"
#include "tests/tempdir.h"

using namespace roulette;

namespace
{

constexpr std::size_t Spins = 1'000'000;

// Written once per run in a folder removed at its end.
const std::filesystem::path &permanence()
{
    static const testing::TempDir dir;
    static const std::filesystem::path path = [] {
        std::ofstream out(dir.path() / "permanence.txt", std::ios::binary);
        std::minstd_rand random(23);
        out << "Permanence, table 1\r\n";
        for (std::size_t written = 0; written < Spins;) {
            const std::size_t line = std::min<std::size_t>(Spins - written, 1 + random() % 600);
            std::string text;
            for (std::size_t i = 0; i < line; ++i)
                text += (i == 0 ? "" : ", ") + std::to_string(random() % 37);
            out << text << "\r\n";
            written += line;
        }
        return dir.path() / "permanence.txt";
    }();
    return path;
}

// Runs read in each iteration and reports the bytes a spin costs at the peak beyond the spins.
template <typename Read> void measure(benchmark::State &state, Read read)
{
    double worstBytes = 0;
    for (auto _ : state) {
        ::malloc_trim(0); // what an earlier reading freed would hide this one's growth
        std::ofstream("/proc/self/clear_refs") << "5";
        const auto before = residentKilobytes();
        {
            const PermanenceFile file = read();
            if (!file.analysis || file.analysis->spins.size() != Spins)
                state.SkipWithError("the permanence did not read whole");
            benchmark::DoNotOptimize(file);
            const double added = 1024.0 * static_cast<double>(peakKilobytes() - before);
            worstBytes = std::max(worstBytes, added);
        }
    }
    state.counters["spins"] = static_cast<double>(Spins);
    state.counters["peak_bytes_per_spin"] = worstBytes / Spins;
    state.counters["beyond_kept_per_spin"] = (worstBytes - Spins) / Spins;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(permanence())) / 1e6;
}

void BM_PreviewPermanence(benchmark::State &state)
{
    measure(state, [] { return previewPermanence(permanence(), {}); });
}

void BM_ReadPermanenceForImport(benchmark::State &state)
{
    const PermanenceLayout layout = previewPermanence(permanence(), {}).layout;
    measure(state, [&layout] { return readPermanence(permanence(), layout, {}); });
}

// The overlap check of an import against a wheel of 10^7 stored spins, by the file's shape:
// random and new, random and already stored whole, a period of 37 (against random spins and
// against the same period stored), 10^5 times one number.
enum Shape { RandomNew, RandomStored, Period37, Period37Stored, Identical };

std::vector<std::uint8_t> randomSpins(std::size_t count, unsigned seed)
{
    std::minstd_rand random(seed);
    std::vector<std::uint8_t> spins(count);
    for (std::uint8_t &spin : spins)
        spin = static_cast<std::uint8_t>(random() % 37);
    return spins;
}

std::vector<std::uint8_t> periodic(std::size_t count)
{
    std::vector<std::uint8_t> spins(count);
    for (std::size_t i = 0; i < count; ++i)
        spins[i] = static_cast<std::uint8_t>(i % 37);
    return spins;
}

void BM_FindInStored(benchmark::State &state)
{
    constexpr std::size_t Stored = 10'000'000;
    const auto shape = static_cast<Shape>(state.range(0));
    std::vector<std::uint8_t> stored =
        shape == Period37Stored ? periodic(Stored) : randomSpins(Stored, 5);
    std::vector<std::uint8_t> spins;
    if (shape == RandomNew)
        spins = randomSpins(Spins, 9);
    else if (shape == RandomStored)
        spins.assign(stored.begin() + 4'000'000, stored.begin() + 4'000'000 + Spins);
    else if (shape == Identical)
        spins.assign(100'000, 17);
    else
        spins = periodic(Spins);
    std::int64_t found = 0;
    for (auto _ : state) {
        const auto overlap = findInStored(spins, stored);
        found = overlap ? overlap->spinsFound : -1;
        benchmark::DoNotOptimize(found);
    }
    state.counters["input_spins"] = static_cast<double>(spins.size());
    state.counters["stored_spins"] = static_cast<double>(stored.size());
    state.counters["found"] = static_cast<double>(found);
}

} // namespace

BENCHMARK(BM_FindInStored)
    ->ArgName("shape")
    ->DenseRange(RandomNew, Identical)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewPermanence)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPermanenceForImport)->Iterations(5)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
