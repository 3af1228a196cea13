#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "stats/chunked.h"
#include "stats/pockets.h"

namespace roulette
{

/// What the écarts follow: the 37 numbers, then the outside bets of Chances.
inline constexpr int EcartCategories = 37 + ChanceCount;
constexpr int chanceCategory(int chance)
{
    return 37 + chance;
}
PocketSet categoryPockets(int category);

/// For each number and outside bet, the spins since it last came out and its longest
/// absence, kept up to date a spin at a time and taken back exactly. Besides a few fixed
/// arrays it keeps four bytes a spin: where that spin's number had come out before.
class Ecarts
{
public:
    void add(int number);
    /// Takes back the last spin, whose number was `number`.
    void removeLast(int number);
    /// The next spin opens another session: every absence ends here, and the next ones count
    /// from there. Spins before it are not taken back.
    void restart();

    std::int64_t spins() const { return m_previousHit.size(); }
    /// Spins since the latest session began.
    std::int64_t sessionSpins() const { return spins() - (m_starts.empty() ? 0 : m_starts.back()); }
    /// The spins of each session, in order: one length until a restart.
    std::vector<std::int64_t> sessionLengths() const;
    /// Spins since the category last came out; all the session's spins when it has not.
    std::int64_t current(int category) const { return spins() - m_lastHit[category]; }
    /// Its longest absence: the stretch before its first hit and the present one included.
    std::int64_t longest(int category) const;

private:
    struct Record {
        std::int64_t spin;
        int category;
        std::int64_t previous;
    };
    std::array<std::int64_t, EcartCategories> m_lastHit{}; // 0: not out since the start
    std::array<std::int64_t, EcartCategories> m_longestEnded{};
    ChunkedArray<std::int32_t, 16> m_previousHit; // of each spin's number
    std::vector<Record> m_records;                // each rise of a longest absence, for undo
    std::vector<std::int64_t> m_starts;           // spins before each restart
};

/// On a fair wheel, the chance that within the last `spins` spins at least one of a group
/// of bets never came out: that the longest of their present absences is at least `spins`.
/// Exact, by inclusion–exclusion over the pockets the bets cover.
class AbsenceLaw
{
public:
    /// Bets that share no pocket, or at most a dozen bets of any kind.
    explicit AbsenceLaw(std::span<const PocketSet> bets);
    double someAbsentFor(std::int64_t spins) const;

private:
    std::array<double, 38> m_weight{}; // signed count of sets of bets covering u pockets
};

/// Expected spins since a bet of probability p last came out, after `spins` spins.
double expectedCurrentAbsence(double p, std::int64_t spins);
/// Sessions up to this length get the exact expected longest run.
inline constexpr std::int64_t ExactLongestRun = 10'000;
/// Expected longest run, over `trials` independent trials, of outcomes that each come with
/// probability `q` (a bet's absence: q = 1 − its share). Exact up to ExactLongestRun trials,
/// beyond by the dominant root of the same recursion, within 10⁻⁹ of exact.
double expectedLongestRun(std::int64_t trials, double q);
/// The same over several independent stretches of trials: the longest run of them all.
double expectedLongestRun(std::span<const std::int64_t> stretches, double q);
/// Expected longest series of one side, over `trials` draws of two equally likely sides.
double expectedLongestSeries(std::int64_t trials);
/// The same over several independent stretches of draws.
double expectedLongestSeries(std::span<const std::int64_t> stretches);

} // namespace roulette
