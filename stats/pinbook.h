#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "stats/pin.h"
#include "stats/series.h"

namespace roulette
{

/// The place the headline names over fixed spins of several sessions (`starts` as PooledSpins'),
/// as a suspect; none while it finds nothing abnormal.
std::optional<Suspect> namedSuspect(std::span<const std::uint8_t> numbers,
                                    std::span<const std::size_t> starts);

/// The pins standing on a sequence of spins, each with what it says. It follows the board's
/// session as the study does, even while no window shows it: new spins are added, spins taken
/// back leave the pins as they would have been without them, a reset starts every pin over on
/// the spins after it (all new), and taking a reset back puts each pin after the spins it
/// brings back (they were seen before the pin could be made on them). Or it reads fixed spins
/// of several sessions one after the other, no distance joining two sessions.
class PinBook
{
public:
    const std::vector<PinMark> &marks() const { return m_marks; }
    /// The pins, in the order of marks().
    const std::vector<Pin> &pins() const { return m_pins; }
    bool empty() const { return m_marks.empty(); }
    /// Whether this suspect is already pinned.
    bool holds(const Suspect &suspect) const;

    /// Catches up with the session. True when anything changed.
    bool follow(const Session &session);
    /// Reads fixed spins, `starts` holding where each session begins (as PooledSpins).
    void follow(std::span<const std::uint8_t> numbers, std::span<const std::size_t> starts);

    /// A pin more, fed the spins followed so far; its pinnedAt is kept as given.
    void add(const PinMark &mark);
    void remove(std::size_t index);
    /// Sets a pin's notebook id, once it is written there.
    void setId(std::size_t index, std::int64_t id) { m_marks[index].id = id; }

private:
    void rebuild();
    void feed(Pin &pin) const;

    std::vector<PinMark> m_marks;
    std::vector<Pin> m_pins;
    // What was followed: the board's session, or fixed spins.
    const Session *m_session = nullptr;
    std::span<const std::uint8_t> m_numbers;
    std::span<const std::size_t> m_starts;
    std::uint64_t m_generation = 0;
    std::int64_t m_rows = 0;
};

} // namespace roulette
