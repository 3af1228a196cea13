#include "stats/spincursor.h"

#include "stats/pockets.h"

namespace roulette
{

namespace
{

int positionOf(int number)
{
    return WheelPosition[static_cast<std::size_t>(number)];
}

} // namespace

SpinStep SpinCursor::add(int number)
{
    ++m_spins;
    SpinStep step{positionOf(number)};
    if (m_lastPosition >= 0) {
        step.distance = (step.position - m_lastPosition + 37) % 37;
        step.parity = static_cast<int>((m_spins - m_sessionStarts.back()) % 2);
    }
    m_lastPosition = step.position;
    return step;
}

SpinStep SpinCursor::removeLast(int number, int before)
{
    if (m_sessionStarts.size() > 1 && m_sessionStarts.back() == m_spins)
        m_sessionStarts.pop_back();
    SpinStep step{positionOf(number)};
    m_lastPosition = before >= 0 ? positionOf(before) : -1;
    if (m_lastPosition >= 0) {
        step.distance = (step.position - m_lastPosition + 37) % 37;
        step.parity = static_cast<int>((m_spins - m_sessionStarts.back()) % 2);
    }
    --m_spins;
    return step;
}

void SpinCursor::breakSequence()
{
    m_lastPosition = -1;
    if (m_sessionStarts.back() != m_spins)
        m_sessionStarts.push_back(m_spins);
}

} // namespace roulette
