#include "stats/series.h"

#include <algorithm>
#include <cassert>
#include <limits>

namespace roulette
{

namespace
{

MinMax merged(MinMax a, MinMax b)
{
    return {std::min(a.min, b.min), std::max(a.max, b.max)};
}

} // namespace

Series::Series()
{
    append(0);
}

Series::Series(const Series &other) : m_rowCount(other.m_rowCount), m_levels(other.m_levels)
{
    std::int64_t rowsLeft = m_rowCount;
    for (const auto &chunk : other.m_chunks) {
        const std::int64_t rows = std::min(rowsLeft, ChunkRows);
        m_chunks.push_back(std::make_unique_for_overwrite<std::int32_t[]>(ChunkRows));
        std::copy_n(chunk.get(), rows, m_chunks.back().get());
        rowsLeft -= rows;
    }
}

Series &Series::operator=(const Series &other)
{
    if (this != &other)
        *this = Series(other);
    return *this;
}

std::int32_t Series::operator[](std::int64_t row) const
{
    assert(row >= 0 && row < m_rowCount);
    return m_chunks[static_cast<std::size_t>(row >> ChunkShift)][row & (ChunkRows - 1)];
}

void Series::append(std::int32_t value)
{
    // Zeroing the chunk touches its pages once here, so later spins take no page faults.
    if ((m_rowCount & (ChunkRows - 1)) == 0)
        m_chunks.push_back(std::make_unique<std::int32_t[]>(ChunkRows));
    m_chunks.back()[m_rowCount & (ChunkRows - 1)] = value;
    ++m_rowCount;
    completeBlocks();
}

void Series::popBack()
{
    if (m_rowCount <= 1)
        return;
    const std::int64_t dataRows = m_rowCount - 1;
    for (std::size_t L = 0; L < m_levels.size(); ++L) {
        const std::int64_t size = std::int64_t{BlockRows} << L;
        if (dataRows % size == 0 &&
            static_cast<std::int64_t>(m_levels[L].size()) * size == dataRows)
            m_levels[L].pop_back();
    }
    while (!m_levels.empty() && m_levels.back().empty())
        m_levels.pop_back();
    --m_rowCount;
    ++m_generation;
    if ((m_rowCount & (ChunkRows - 1)) == 0)
        m_chunks.pop_back();
}

void Series::clear()
{
    m_chunks.clear();
    m_levels.clear();
    m_rowCount = 0;
    ++m_generation;
    append(0);
}

// A block of level 0 completes every BlockRows rows and one of level L + 1 every second
// block of level L, so the work per row is constant on average.
void Series::completeBlocks()
{
    const std::int64_t dataRows = m_rowCount - 1; // row 0 is not plotted
    if (dataRows == 0 || dataRows % BlockRows != 0)
        return;
    MinMax block{std::numeric_limits<std::int32_t>::max(),
                 std::numeric_limits<std::int32_t>::min()};
    for (std::int64_t row = dataRows - BlockRows + 1; row <= dataRows; ++row)
        block = merged(block, {(*this)[row], (*this)[row]});
    if (m_levels.empty())
        m_levels.emplace_back();
    m_levels[0].push_back(block);
    for (std::size_t L = 0; m_levels[L].size() % 2 == 0; ++L) {
        const auto &below = m_levels[L];
        const MinMax pair = merged(below[below.size() - 2], below.back());
        if (L + 1 == m_levels.size())
            m_levels.emplace_back();
        m_levels[L + 1].push_back(pair);
    }
}

MinMax Series::rangeMinMax(std::int64_t first, std::int64_t last) const
{
    assert(first >= 1 && first <= last && last <= lastRow());
    MinMax result{std::numeric_limits<std::int32_t>::max(),
                  std::numeric_limits<std::int32_t>::min()};
    std::int64_t row = first;
    while (row <= last) {
        // Take the largest complete block that starts here and ends inside the range.
        const std::int64_t offset = row - 1;
        int best = -1;
        for (int L = 0; L < levelCount(); ++L) {
            const std::int64_t size = std::int64_t{BlockRows} << L;
            if (offset % size != 0 || offset + size > last ||
                offset / size >= static_cast<std::int64_t>(m_levels[L].size()))
                break;
            best = L;
        }
        if (best < 0) {
            result = merged(result, {(*this)[row], (*this)[row]});
            ++row;
        } else {
            const std::int64_t size = std::int64_t{BlockRows} << best;
            result = merged(result, m_levels[best][static_cast<std::size_t>(offset / size)]);
            row += size;
        }
    }
    return result;
}

bool Series::operator==(const Series &other) const
{
    if (m_rowCount != other.m_rowCount)
        return false;
    for (std::int64_t row = 0; row < m_rowCount; ++row) {
        if ((*this)[row] != other[row])
            return false;
    }
    return m_levels == other.m_levels;
}

void Module1::appendRow(const SeriesRow &row)
{
    for (int k = 0; k < SeriesKinds; ++k)
        series[k].append(row[k]);
}

void Module1::popRow()
{
    for (auto &s : series)
        s.popBack();
}

void Module1::clear()
{
    if (series.front().lastRow() == 0)
        return; // no spin since the last reset: the rows on the charts stay those before it
    previous = std::move(series); // moved, not copied: a reset takes no time however long
    for (auto &s : series)
        s.clear(); // a moved-from series keeps its generation: the new rows get one of their own
}

} // namespace roulette
