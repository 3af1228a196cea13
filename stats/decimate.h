#pragma once

#include <cstdint>
#include <vector>

#include "stats/series.h"

namespace roulette
{

/// One point of a drawn line: the row (spin number) and its value.
struct DrawnPoint {
    std::int64_t row;
    std::int32_t value;
    bool operator==(const DrawnPoint &) const = default;
};

/// The points a chart draws for one series within a budget of points (the plot's width in
/// pixels), kept up to date as the series grows.
///
/// While the rows fit the budget, every row is one point. Beyond it the rows fall into
/// buckets of a power-of-two size, the smallest that keeps two points per bucket within the
/// budget, and each bucket gives its minimum and maximum: at its first row the one nearer
/// the previous point, at its last row the other. Buckets of 64 rows or more are single
/// nodes of the series' min/max pyramid, so no row is read for them.
class Decimation
{
public:
    /// budget: the most points to draw; at least 2.
    explicit Decimation(int budget);

    int budget() const { return m_budget; }
    /// Rows per bucket; 1 while every row is drawn.
    std::int64_t bucketRows() const { return m_bucketRows; }
    const std::vector<DrawnPoint> &points() const { return m_points; }
    /// How many of the points stay as they are at the next updates, while the bucket size
    /// holds and the series is not cleared: all of them while every row is drawn, else those
    /// of the complete buckets.
    std::size_t settledPoints() const
    {
        return m_bucketRows == 1 ? m_points.size()
                                 : static_cast<std::size_t>(2 * (m_rows / m_bucketRows));
    }

    /// Brings the points up to date with the series and returns the index of the first point
    /// that may have changed; the points before it are as they were. Only the last bucket and
    /// the new ones are computed, until the bucket size doubles or the series is cleared.
    std::size_t update(const Series &series);

private:
    std::int64_t bucketRowsFor(std::int64_t rows) const;
    void appendBucket(const Series &series, std::int64_t bucket);
    MinMax bucketMinMax(const Series &series, std::int64_t first, std::int64_t last) const;
    void restart(std::int64_t bucketRows);

    int m_budget;
    std::int64_t m_bucketRows = 1;
    std::int64_t m_rows = 0; // rows the points stand for
    std::uint64_t m_generation = 0;
    std::vector<DrawnPoint> m_points;
    MinMax m_open{}; // of the last bucket's rows, while it is not complete
};

} // namespace roulette
