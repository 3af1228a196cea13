#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace roulette
{

struct MinMax {
    std::int32_t min;
    std::int32_t max;
    bool operator==(const MinMax &) const = default;
};

/// One per-spin series: row 0 holds 0 and is never written, row s is the value after spin s.
///
/// Rows live in fixed-size chunks, so growing never copies earlier rows and the memory
/// held stays close to four bytes a row. Beside the rows sits a min/max pyramid: level L
/// holds the minimum and maximum of each complete block of (BlockRows << L) rows, blocks
/// counted from row 1. A chart takes one min/max pair per pixel from it without reading
/// the rows themselves.
class Series
{
public:
    static constexpr int BlockRows = 64;

    Series();
    Series(const Series &other);
    Series &operator=(const Series &other);
    Series(Series &&) noexcept = default;
    Series &operator=(Series &&) noexcept = default;
    ~Series() = default;

    /// The highest row, equal to the number of spins the series holds.
    std::int64_t lastRow() const { return m_rowCount - 1; }
    std::int32_t operator[](std::int64_t row) const;
    void append(std::int32_t value);
    /// Drops the last row (never row 0), with the pyramid blocks that ended on it.
    void popBack();
    /// Back to the single row 0, also once the rows were moved out.
    void clear();
    /// Goes up whenever rows are taken away (a clear, a dropped last row), so that a reader
    /// that kept rows can tell they may have been replaced.
    std::uint64_t generation() const { return m_generation; }

    int levelCount() const { return static_cast<int>(m_levels.size()); }
    /// Complete blocks of level L; block b covers rows 1 + b * (BlockRows << L) onwards.
    const std::vector<MinMax> &level(int L) const { return m_levels[L]; }
    /// Minimum and maximum of rows first..last (inclusive, 1 <= first <= last <= lastRow()).
    MinMax rangeMinMax(std::int64_t first, std::int64_t last) const;

    bool operator==(const Series &other) const;

private:
    static constexpr int ChunkShift = 16;
    static constexpr std::int64_t ChunkRows = std::int64_t{1} << ChunkShift;

    void completeBlocks();

    std::vector<std::unique_ptr<std::int32_t[]>> m_chunks;
    std::int64_t m_rowCount = 0;
    std::vector<std::vector<MinMax>> m_levels;
    std::uint64_t m_generation = 0;
};

/// The fifteen series, always in this order.
enum SeriesIndex : int {
    SeriesTimes0 = 0, // SeriesTimes0 .. SeriesTimes10 are indices 0..10
    SeriesTimes10 = 10,
    SeriesZero = 11,
    SeriesDozen1 = 12,
    SeriesDozen2 = 13,
    SeriesDozen3 = 14,
};
inline constexpr int SeriesKinds = 15;
using SeriesRow = std::array<std::int32_t, SeriesKinds>;

/// The series shared by the spin, the statistics and the charts.
struct Module1 {
    using Rows = std::array<Series, SeriesKinds>;

    /// Rows the charts plot; follows SpinCount at every spin, kept by the reset.
    std::int32_t SeriesCount = 0;
    Rows series;
    /// The series as they were at the last reset. The charts show them until the next spin,
    /// and again once every spin since is taken back.
    std::optional<Rows> previous;

    /// The series the charts show: those from before the last reset while no spin followed.
    const Rows &charted() const
    {
        return series.front().lastRow() == 0 && previous ? *previous : series;
    }
    void appendRow(const SeriesRow &row);
    void popRow();
    /// Re-creates every series with the single row 0; their rows become `previous`.
    void clear();

    bool operator==(const Module1 &) const = default;
};

} // namespace roulette
