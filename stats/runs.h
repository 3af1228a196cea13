#pragma once

#include <cstdint>
#include <vector>

#include "stats/chunked.h"
#include "stats/pockets.h"

namespace roulette
{

/// Wald–Wolfowitz runs test: the runs in a sequence of `first` and `second` outcomes of two
/// kinds, against their number when the order is random. Exact up to ExactRunsLength
/// outcomes, by the normal law with a continuity correction beyond.
struct RunsTest {
    double expected = 1; ///< runs a random order gives on average
    double pValue = 1;   ///< two-sided
};
RunsTest runsTest(std::int64_t first, std::int64_t second, std::int64_t runs);
/// The same, exact at any length.
RunsTest exactRunsTest(std::int64_t first, std::int64_t second, std::int64_t runs);

inline constexpr std::int64_t ExactRunsLength = 1000;

/// One simple chance and its opposite as a sequence of sides, the zeros left out: how often
/// each side came out, how many runs, the longest one. Kept up to date a spin at a time and
/// taken back exactly.
class ChanceRuns
{
public:
    /// `side` holds one side's numbers; the other side is every other number but the zero.
    explicit ChanceRuns(PocketSet side) : m_side(side) {}

    void add(int number, std::int64_t spin);
    /// Takes back spin `spin`, whose number was `number`; `outcomes` holds the spins before
    /// it (index 0 is spin 1), to find the run it ended.
    void removeLast(int number, std::int64_t spin, const ChunkedArray<std::uint8_t, 16> &outcomes);
    /// Spin `spin` + 1 opens another session: a run ends here, and the runs test adds up each
    /// session's own. Spins before it are not taken back.
    void restart(std::int64_t spin);

    std::int64_t count(int side) const { return m_count[side]; }
    std::int64_t runs() const { return m_runs; }
    std::int64_t longest() const { return m_longest; }
    /// Over several sessions, by the normal law of the sum of their runs.
    RunsTest test() const;
    /// The draws of each session, zeros left out.
    std::vector<std::int64_t> sessionDraws() const;

private:
    int sideOf(int number) const { return contains(m_side, number) ? 0 : 1; }

    PocketSet m_side;
    std::int64_t m_count[2] = {0, 0};
    std::int64_t m_runs = 0;
    int m_lastSide = -1;
    std::int64_t m_runLength = 0;
    std::int64_t m_longest = 0;
    std::vector<std::int64_t> m_longestRises; // the spins where m_longest went up by one
    // The sessions before the latest: their draws, and their runs' mean and variance summed.
    std::vector<std::int64_t> m_closedDraws;
    double m_closedMean = 0, m_closedVariance = 0;
    std::int64_t m_sessionStart = 0; // spins before the latest session
    std::int64_t m_countAtStart[2] = {0, 0};
};

} // namespace roulette
