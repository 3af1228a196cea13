#include "stats/study.h"

#include <algorithm>

namespace roulette
{

bool Study::follow(const Session &session, std::int64_t limit)
{
    const std::uint64_t taken = session.generation() - m_generation;
    const std::int64_t rows = session.lastRow();
    if (m_started && taken == 0 && rows == spins())
        return false;
    if (!m_started || session.generation() < m_generation ||
        (taken == 0 ? rows < spins() : rows != spins() - static_cast<std::int64_t>(taken))) {
        *this = Study();
        m_started = true;
    }
    // Each undo bumps the generation once; appends leave it.
    while (spins() > rows)
        removeLast();
    const std::int64_t last = rows - spins() > limit ? spins() + limit : rows;
    for (std::int64_t s = spins() + 1; s <= last; ++s)
        add(session.outcome(s));
    m_generation = session.generation();
    return true;
}

bool Study::follow(std::span<const std::uint8_t> numbers, std::span<const std::size_t> starts,
                   std::int64_t limit)
{
    const auto total = static_cast<std::int64_t>(numbers.size());
    const std::int64_t last = total - spins() > limit ? spins() + limit : total;
    if (spins() >= last)
        return false;
    auto start = std::lower_bound(starts.begin(), starts.end(), static_cast<std::size_t>(spins()));
    for (std::int64_t s = spins(); s < last; ++s) {
        for (; start != starts.end() && *start == static_cast<std::size_t>(s); ++start)
            startSession();
        add(numbers[static_cast<std::size_t>(s)]);
    }
    return true;
}

void Study::add(int number)
{
    m_outcomes.push_back(static_cast<std::uint8_t>(number));
    ++m_hits[number];
    m_ecarts.add(number);
    m_evidence.add(number);
    for (ChanceRuns &r : m_runs)
        r.add(number, spins());
}

void Study::removeLast()
{
    const int number = m_outcomes.back();
    const std::int64_t spin = spins();
    const bool opened = m_ecarts.sessionSpins() == 1;
    m_outcomes.pop_back();
    --m_hits[number];
    m_ecarts.removeLast(number);
    m_evidence.removeLast(number, opened ? -1 : m_outcomes.back());
    for (ChanceRuns &r : m_runs)
        r.removeLast(number, spin, m_outcomes);
}

void Study::startSession()
{
    if (m_ecarts.sessionSpins() == 0)
        return; // nothing since the last start: no boundary to keep
    m_ecarts.restart();
    m_evidence.breakSequence();
    for (ChanceRuns &r : m_runs)
        r.restart(spins());
}

std::array<std::int64_t, 37> Study::hitsByPosition() const
{
    std::array<std::int64_t, 37> byPosition{};
    for (int n = 0; n < 37; ++n)
        byPosition[static_cast<std::size_t>(WheelPosition[n])] = m_hits[n];
    return byPosition;
}

} // namespace roulette
