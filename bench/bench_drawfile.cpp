// Loading a draw file of 10^7 records: the time, and how much memory the load adds at its
// peak, per record (VmHWM against VmRSS before the load; the peak is reset first).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

#include "sources/drawfile.h"

using namespace roulette;

namespace
{

constexpr std::int64_t Records = 10'000'000;

// Numbers 0..36 with CR LF endings, written once per run and removed at its end.
class DrawFile
{
public:
    DrawFile()
        : m_path(std::filesystem::temp_directory_path() /
                 ("bench-drawfile-" + std::to_string(::getpid()) + ".txt"))
    {
        std::ofstream out(m_path, std::ios::binary);
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
    }
    ~DrawFile() { std::filesystem::remove(m_path); }
    const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

long statusKb(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    for (std::string name; status >> name;) {
        long kb = 0;
        if (name == field && status >> kb)
            return kb;
        status.ignore(1 << 10, '\n');
    }
    return -1;
}

void BM_LoadDrawFile(benchmark::State &state)
{
    static const DrawFile file;
    double worstBytes = 0;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
        const long before = statusKb("VmRSS:");
        {
            const DrawFileLoad load = readDrawFile(file.path());
            if (!load.records || load.records->size() != Records)
                state.SkipWithError("the file did not load whole");
            benchmark::DoNotOptimize(load);
            worstBytes =
                std::max(worstBytes, 1024.0 * static_cast<double>(statusKb("VmHWM:") - before));
        }
    }
    state.counters["records"] = static_cast<double>(Records);
    state.counters["peak_bytes_per_record"] = worstBytes / static_cast<double>(Records);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file.path())) / 1e6;
}

} // namespace

BENCHMARK(BM_LoadDrawFile)->Iterations(5)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
