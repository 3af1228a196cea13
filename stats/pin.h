#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "stats/evalue.h"
#include "stats/spincursor.h"

namespace roulette
{

/// What a pin follows: an arc of neighbouring pockets (a pocket is an arc of one), or an arc of
/// distances from one spin's pocket to the next as a DistanceReading reads them; hot or cold as
/// it looked when pinned.
struct Suspect {
    bool distances = false;
    int start = 0; ///< wheel position of the first pocket, or the first distance
    int width = 1;
    int reading = AllSpins; ///< distances only
    bool hot = true;
    /// Its cells' share of a fair wheel's spins.
    double fairShare() const { return width / 37.0; }
    bool operator==(const Suspect &) const = default;
};

/// Where the headline's evidence lies, as a suspect: the arc, pocket or distances it names,
/// hot or cold as it looks. Of mirrored distances, d alone (−d is another suspect).
Suspect pinSuspect(const Lead &lead);

/// A pin as it is kept: what it follows, the spins there were when it was pinned, when it was
/// made ("2026-03-12T20:15"), and its id in the notebook (0 while kept with the board alone).
struct PinMark {
    Suspect suspect;
    std::int64_t pinnedAt = 0;
    std::string createdAt;
    std::int64_t id = 0;
    bool operator==(const PinMark &) const = default;
};

/// The excess sizes a pin's test weighs, as fractions of the fair share: the mixture over the
/// size of the excess, hot ones above the fair share, cold ones below.
inline constexpr std::array<double, 8> HotExcesses = {0.1, 0.15, 0.2, 0.3, 0.45, 0.7, 1, 2};
inline constexpr std::array<double, 8> ColdExcesses = {0.1, 0.15, 0.2, 0.3, 0.45, 0.6, 0.8, 0.95};
/// A confidence sequence covers the true share at every spin at once but in this share of
/// sessions.
inline constexpr double PinMiss = 0.05;

/// With `pins` pins standing, each is judged at `pins` times the headline's levels, so that a
/// false alarm among them all stays as rare as the headline's (Bonferroni's bound: the chance
/// that any of K e-values reaches K·20 is at most K · 1/(K·20)).
HeadlineLevel pinLevel(double e, int pins);

/// What a pin says when read.
struct PinReading {
    std::int64_t trials = 0; ///< spins since the pin that the suspect could catch
    std::int64_t inside = 0;
    double e = 1;               ///< its own e-value, over those spins only
    double excess = 0;          ///< observed over expected since the pin, minus one
    double excessLow = -1;      ///< the confidence sequence's interval for the true excess
    double excessHigh = 36;     ///< (valid at every spin at once)
    std::int64_t allTrials = 0; ///< every spin, those that chose the suspect included
    double allExcess = 0;
    /// Of what is staked on the suspect's pockets, what the wheel keeps: 1/37 on a fair wheel,
    /// and the interval for it at the rate measured since the pin (negative: the bets gain).
    double keptLow = 0, keptHigh = 0;
};

/// A suspect pinned at a spin, tested on the spins after it only: its choice used earlier spins
/// alone, so its e-value (a mixture of likelihood ratios about the place pinned, a function of
/// the counts, its weights fixed by the spins before the pin) stays valid however the suspect
/// was chosen and however often it is read. Follows spins as the study does, undo and sessions
/// included. O(1) a spin.
class Pin
{
public:
    /// `pinnedAt`: the spins there were when it was pinned; later spins only are tested. It is
    /// then fed every spin from the first, as the study is.
    Pin(const Suspect &suspect, std::int64_t pinnedAt);

    void add(int number);
    /// As Evidence::removeLast; a spin at or before the pin leaves the test as it was.
    void removeLast(int number, int before);
    void breakSequence() { m_cursor.breakSequence(); }

    const Suspect &suspect() const { return m_suspect; }
    std::int64_t pinnedAt() const { return m_pinnedAt; }
    std::int64_t spins() const { return m_cursor.spins(); }
    double logE() const;
    PinReading read() const;

private:
    // The arc pinned, moved one cell either way, and with one cell more or less at either end.
    static constexpr std::size_t MaxArcs = 7;
    // Spins the suspect could catch, by cell (its pocket's wheel position, or the distance).
    struct Counts {
        std::array<std::int64_t, 37> cells{};
        std::int64_t trials = 0;
        void add(int cell, int by);
    };
    // An arc of the test with, for each excess size, the log ratio of its share to the fair
    // share for a spin inside and for one outside.
    struct Alternative {
        int start = 0, width = 1;
        std::array<double, HotExcesses.size()> inside{}, outside{};
    };
    int cellOf(const SpinStep &step) const;
    void count(const SpinStep &step, std::int64_t spin, int by);

    Suspect m_suspect;
    std::int64_t m_pinnedAt = 0;
    SpinCursor m_cursor;
    std::array<Alternative, MaxArcs> m_arcs{};
    std::size_t m_arcCount = 0;
    Counts m_since, m_all; // since the pin; every spin
};

} // namespace roulette
