// Loading a draw file of 10^7 records: the time, and how much memory the load adds at its
// peak, per record (VmHWM against VmRSS before the load; the peak is reset first).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "bench/resident.h"
#include "sources/drawfile.h"
#include "tests/tempdir.h"

using namespace roulette;

namespace
{

constexpr std::int64_t Records = 10'000'000;

// Numbers 0..36 with CR LF endings, written once per run in a folder removed at its end.
std::filesystem::path drawFile()
{
    static const testing::TempDir dir;
    std::ofstream out(dir.path() / "tirages.txt", std::ios::binary);
    std::minstd_rand random(7);
    std::string chunk;
    for (std::int64_t i = 0; i < Records; ++i) {
        chunk += std::to_string(random() % 37) + "\r\n";
        if (chunk.size() >= (1 << 16)) {
            out << chunk;
            chunk.clear();
        }
    }
    out << chunk;
    return dir.path() / "tirages.txt";
}

void BM_LoadDrawFile(benchmark::State &state)
{
    static const std::filesystem::path file = drawFile();
    double worstBytes = 0;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
        const std::int64_t before = residentKilobytes();
        {
            const DrawFileLoad load = readDrawFile(file);
            if (!load.records || load.records->size() != Records)
                state.SkipWithError("the file did not load whole");
            benchmark::DoNotOptimize(load);
            worstBytes =
                std::max(worstBytes, 1024.0 * static_cast<double>(peakKilobytes() - before));
        }
    }
    state.counters["records"] = static_cast<double>(Records);
    state.counters["peak_bytes_per_record"] = worstBytes / static_cast<double>(Records);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
}

} // namespace

BENCHMARK(BM_LoadDrawFile)->Iterations(5)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
