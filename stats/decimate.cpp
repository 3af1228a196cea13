#include "stats/decimate.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdlib>

namespace roulette
{

Decimation::Decimation(int budget) : m_budget(std::max(budget, 2)) {}

std::int64_t Decimation::bucketRowsFor(std::int64_t rows) const
{
    if (rows <= m_budget)
        return 1;
    // Rows only grow between restarts, and so does the size.
    std::int64_t size = std::max<std::int64_t>(m_bucketRows, 2);
    while (rows > size * (m_budget / 2)) // more than budget / 2 buckets
        size *= 2;
    return size;
}

void Decimation::restart(std::int64_t bucketRows)
{
    m_bucketRows = bucketRows;
    m_rows = 0;
    m_points.clear();
}

std::size_t Decimation::update(const Series &series)
{
    const std::int64_t rows = series.lastRow();
    if (series.generation() != m_generation || rows < m_rows) {
        m_generation = series.generation();
        restart(1);
    }
    if (const std::int64_t size = bucketRowsFor(rows); size != m_bucketRows)
        restart(size);

    std::size_t firstChanged;
    if (m_bucketRows == 1) {
        firstChanged = m_points.size();
        if (rows > m_rows) {
            series.forEachRow(m_rows + 1, rows, [this](std::int64_t row, std::int32_t value) {
                m_points.push_back({row, value});
            });
        }
    } else {
        // The bucket that holds row m_rows + 1 may have been drawn partly filled.
        const std::int64_t firstBucket = m_rows / m_bucketRows;
        firstChanged = static_cast<std::size_t>(2 * firstBucket);
        m_points.resize(firstChanged);
        for (std::int64_t bucket = firstBucket; bucket * m_bucketRows < rows; ++bucket)
            appendBucket(series, bucket);
    }
    m_rows = rows;
    return firstChanged;
}

void Decimation::appendBucket(const Series &series, std::int64_t bucket)
{
    const std::int64_t first = 1 + bucket * m_bucketRows;
    const std::int64_t last = std::min(first + m_bucketRows - 1, series.lastRow());
    const MinMax range = bucketMinMax(series, first, last);
    if (last - first + 1 < m_bucketRows)
        m_open = range;
    bool maxFirst = false;
    if (!m_points.empty()) {
        const std::int64_t previous = m_points.back().value;
        maxFirst = std::abs(range.max - previous) < std::abs(range.min - previous);
    }
    m_points.push_back({first, maxFirst ? range.max : range.min});
    m_points.push_back({last, maxFirst ? range.min : range.max});
}

MinMax Decimation::bucketMinMax(const Series &series, std::int64_t first, std::int64_t last) const
{
    if (last - first + 1 == m_bucketRows && m_bucketRows >= Series::BlockRows) {
        const int level =
            std::countr_zero(static_cast<std::uint64_t>(m_bucketRows / Series::BlockRows));
        const auto &nodes = series.level(level);
        const auto index = static_cast<std::size_t>((first - 1) / m_bucketRows);
        assert(index < nodes.size());
        return nodes[index];
    }
    if (first > m_rows)
        return series.rangeMinMax(first, last);
    // The bucket drawn partly filled last time: only its new rows are read, each once.
    MinMax range = m_open;
    if (last > m_rows) {
        series.forEachRow(m_rows + 1, last, [&range](std::int64_t, std::int32_t value) {
            range = merged(range, {value, value});
        });
    }
    return range;
}

} // namespace roulette
