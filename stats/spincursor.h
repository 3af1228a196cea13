#pragma once

#include <cstdint>
#include <vector>

namespace roulette
{

/// How the distances are read: the even spins of each session, its odd spins (the wheel turns
/// the other way at each launch), or all spins together. A session's first spin is its spin 1,
/// so its first distance, to spin 2, is an even spin's.
enum DistanceReading { EvenSpins = 0, OddSpins = 1, AllSpins = 2 };

/// Where a spin falls: its wheel position and, unless it opens a session, the distance from the
/// session's spin before, in wheel positions, with the parity of its spin in the session.
struct SpinStep {
    int position = 0;
    int distance = -1;
    int parity = EvenSpins;
};

/// Spins in order, cut into sessions: what the figures that pair a spin with the one before it
/// need, whether spins are added or taken back.
class SpinCursor
{
public:
    SpinStep add(int number);
    /// Takes back the last spin, `number`; `before` is the number of the spin before it in its
    /// session, or −1 when it opened one. Taken back past a session's first spin, the session
    /// gives way to the one before.
    SpinStep removeLast(int number, int before);
    /// The next spin opens another session.
    void breakSequence();
    std::int64_t spins() const { return m_spins; }

private:
    std::int64_t m_spins = 0;
    std::vector<std::int64_t> m_sessionStarts{0}; // spins before each session
    int m_lastPosition = -1;
};

} // namespace roulette
