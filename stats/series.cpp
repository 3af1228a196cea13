#include "stats/series.h"

#include <algorithm>
#include <cassert>
#include <limits>

#include "stats/spread.h"

namespace roulette
{

namespace
{

constexpr MinMax Empty{std::numeric_limits<std::int32_t>::max(),
                       std::numeric_limits<std::int32_t>::min()};

int counterOfNumber(int number)
{
    return SeriesZero + (number == 0 ? 0 : (number - 1) / 12 + 1);
}

} // namespace

Tally::Tally()
{
    m_row[SeriesTimes0] = 37;
}

Tally::Tally(const std::array<std::int32_t, 37> &hits) : m_hits(hits)
{
    for (int n = 0; n < 37; ++n) {
        if (hits[n] < SpreadClasses)
            ++m_row[hits[n]];
        m_row[counterOfNumber(n)] += hits[n];
    }
}

// A number out h times moves from class h to class h + 1; past ten it leaves the classes.
void Tally::add(int number)
{
    const std::int32_t h = m_hits[number]++;
    if (h < SpreadClasses)
        --m_row[h];
    if (h + 1 < SpreadClasses)
        ++m_row[h + 1];
    ++m_row[counterOfNumber(number)];
}

void Tally::remove(int number)
{
    const std::int32_t h = m_hits[number]--;
    if (h < SpreadClasses)
        --m_row[h];
    if (h - 1 < SpreadClasses)
        ++m_row[h - 1];
    --m_row[counterOfNumber(number)];
}

std::int32_t Tally::value(int kind) const
{
    return m_row[kind];
}

SeriesRow Tally::row() const
{
    return m_row;
}

Session::Session(std::uint64_t generation) : m_generation(generation)
{
    m_open.fill(Empty);
}

Tally Session::tallyAt(std::int64_t row) const
{
    const std::int64_t block = row / BlockRows;
    Tally tally = block == 0 ? Tally() : Tally(m_checkpoints[block - 1]);
    for (std::int64_t r = block * BlockRows + 1; r <= row; ++r)
        tally.add(outcome(r));
    return tally;
}

SeriesRow Session::row(std::int64_t row) const
{
    assert(row >= 0 && row <= lastRow());
    if (row == 0)
        return {};
    if (row == lastRow())
        return m_last;
    return tallyAt(row).row();
}

void Session::append(int outcome)
{
    m_outcomes.push_back(static_cast<std::uint8_t>(outcome));
    m_tally.add(outcome);
    m_last = m_tally.row();
    for (int k = 0; k < SeriesKinds; ++k)
        m_open[k] = merged(m_open[k], {m_last[k], m_last[k]});
    if (lastRow() % BlockRows == 0) {
        m_checkpoints.push_back(m_tally.hits());
        completeBlocks();
    }
}

// A block of level 0 completes every BlockRows rows and one of level L + 1 every second
// block of level L, so the work per row is constant on average.
void Session::completeBlocks()
{
    for (int k = 0; k < SeriesKinds; ++k) {
        auto &levels = m_levels[k];
        if (levels.empty())
            levels.emplace_back();
        levels[0].push_back(m_open[k]);
        m_open[k] = Empty;
        for (std::size_t L = 0; levels[L].size() % 2 == 0; ++L) {
            const auto &below = levels[L];
            const MinMax pair = merged(below[below.size() - 2], below.back());
            if (L + 1 == levels.size())
                levels.emplace_back();
            levels[L + 1].push_back(pair);
        }
    }
}

void Session::popBack()
{
    if (lastRow() == 0)
        return;
    const std::int64_t dataRows = lastRow();
    if (dataRows % BlockRows == 0) {
        m_checkpoints.pop_back();
        for (auto &levels : m_levels) {
            for (std::size_t L = 0; L < levels.size(); ++L) {
                const std::int64_t size = std::int64_t{BlockRows} << L;
                if (dataRows % size == 0 &&
                    static_cast<std::int64_t>(levels[L].size()) * size == dataRows)
                    levels[L].pop_back();
            }
            while (!levels.empty() && levels.back().empty())
                levels.pop_back();
        }
    }
    m_tally.remove(outcome(dataRows));
    m_outcomes.pop_back();
    m_last = lastRow() == 0 ? SeriesRow{} : m_tally.row();
    ++m_generation;
    reopenBlock();
}

// The open block's minimum and maximum cannot be taken apart again: they are worked out
// anew from its rows, at most BlockRows of them.
void Session::reopenBlock()
{
    m_open.fill(Empty);
    const std::int64_t first = lastRow() / BlockRows * BlockRows + 1;
    forEachRow(first, lastRow(), [this](std::int64_t, const Tally &tally) {
        for (int k = 0; k < SeriesKinds; ++k)
            m_open[k] = merged(m_open[k], {tally.value(k), tally.value(k)});
    });
}

MinMax Session::rangeMinMax(int kind, std::int64_t first, std::int64_t last) const
{
    assert(first >= 1 && first <= last && last <= lastRow());
    const auto &levels = m_levels[kind];
    MinMax result = Empty;
    std::int64_t row = first;
    while (row <= last) {
        // Take the largest complete block that starts here and ends inside the range.
        const std::int64_t offset = row - 1;
        int best = -1;
        for (int L = 0; L < static_cast<int>(levels.size()); ++L) {
            const std::int64_t size = std::int64_t{BlockRows} << L;
            if (offset % size != 0 || offset + size > last ||
                offset / size >= static_cast<std::int64_t>(levels[L].size()))
                break;
            best = L;
        }
        if (best >= 0) {
            const std::int64_t size = std::int64_t{BlockRows} << best;
            result = merged(result, levels[best][static_cast<std::size_t>(offset / size)]);
            row += size;
            continue;
        }
        // Rows up to the next block boundary (or the end), worked out in one pass.
        const std::int64_t end = std::min(last, (offset / BlockRows + 1) * BlockRows);
        forEachRow(row, end, [&](std::int64_t, const Tally &tally) {
            result = merged(result, {tally.value(kind), tally.value(kind)});
        });
        row = end + 1;
    }
    return result;
}

bool Session::operator==(const Session &other) const
{
    if (lastRow() != other.lastRow())
        return false;
    for (std::int64_t s = 1; s <= lastRow(); ++s) {
        if (outcome(s) != other.outcome(s))
            return false;
    }
    return m_levels == other.m_levels && m_last == other.m_last;
}

void Module1::appendRow(int outcome)
{
    m_current.append(outcome);
}

void Module1::popRow()
{
    m_current.popBack();
}

void Module1::clear()
{
    const std::uint64_t next = m_current.generation() + 1;
    if (m_current.lastRow() > 0)
        m_previous = std::move(m_current);
    m_current = Session(next);
}

} // namespace roulette
