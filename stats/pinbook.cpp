#include "stats/pinbook.h"

#include <algorithm>
#include <cmath>

namespace roulette
{

std::optional<Suspect> namedSuspect(std::span<const std::uint8_t> numbers,
                                    std::span<const std::size_t> starts)
{
    Evidence evidence;
    auto start = starts.begin();
    for (std::size_t s = 0; s < numbers.size(); ++s) {
        for (; start != starts.end() && *start == s; ++start)
            if (s > 0)
                evidence.breakSequence();
        evidence.add(numbers[s]);
    }
    if (headlineLevel(std::exp(evidence.logE())) == HeadlineLevel::Nothing)
        return std::nullopt;
    return pinSuspect(evidence.lead());
}

bool PinBook::holds(const Suspect &suspect) const
{
    return std::any_of(m_marks.begin(), m_marks.end(),
                       [&](const PinMark &m) { return m.suspect == suspect; });
}

bool PinBook::follow(const Session &session)
{
    const std::uint64_t generation = session.generation();
    const std::int64_t rows = session.lastRow();
    const bool same = m_session == &session;
    m_numbers = {};
    m_starts = {};
    if (same && generation == m_generation && rows == m_rows)
        return false;
    const std::uint64_t taken = generation - m_generation;
    const bool appended = same && generation == m_generation && rows > m_rows;
    const bool undone =
        same && generation > m_generation && rows == m_rows - static_cast<std::int64_t>(taken);
    // Module1 gives a new session a higher generation, and brings the one before a reset back
    // with its own, lower.
    if (same && generation < m_generation) {
        for (PinMark &m : m_marks)
            m.pinnedAt = rows;
    } else if (same && !appended && !undone) {
        for (PinMark &m : m_marks)
            m.pinnedAt = 0;
    }
    m_session = &session;
    if (appended) {
        for (Pin &pin : m_pins)
            for (std::int64_t s = m_rows + 1; s <= rows; ++s)
                pin.add(session.outcome(s));
    }
    m_generation = generation;
    m_rows = rows;
    if (!appended)
        rebuild();
    return true;
}

void PinBook::follow(std::span<const std::uint8_t> numbers, std::span<const std::size_t> starts)
{
    m_session = nullptr;
    m_numbers = numbers;
    m_starts = starts;
    rebuild();
}

void PinBook::add(const PinMark &mark)
{
    m_marks.push_back(mark);
    m_pins.emplace_back(mark.suspect, mark.pinnedAt);
    feed(m_pins.back());
}

void PinBook::remove(std::size_t index)
{
    m_marks.erase(m_marks.begin() + static_cast<std::ptrdiff_t>(index));
    m_pins.erase(m_pins.begin() + static_cast<std::ptrdiff_t>(index));
}

void PinBook::rebuild()
{
    m_pins.clear();
    for (const PinMark &m : m_marks) {
        m_pins.emplace_back(m.suspect, m.pinnedAt);
        feed(m_pins.back());
    }
}

void PinBook::feed(Pin &pin) const
{
    if (m_session) {
        for (std::int64_t s = 1; s <= m_rows; ++s)
            pin.add(m_session->outcome(s));
        return;
    }
    auto start = m_starts.begin();
    for (std::size_t s = 0; s < m_numbers.size(); ++s) {
        for (; start != m_starts.end() && *start == s; ++start)
            pin.breakSequence();
        pin.add(m_numbers[s]);
    }
}

} // namespace roulette
