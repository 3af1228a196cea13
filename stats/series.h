#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "stats/chunked.h"

namespace roulette
{

struct MinMax {
    std::int32_t min;
    std::int32_t max;
    bool operator==(const MinMax &) const = default;
};

/// The range that covers both.
inline MinMax merged(MinMax a, MinMax b)
{
    return {std::min(a.min, b.min), std::max(a.max, b.max)};
}

/// The fifteen series, always in this order.
enum SeriesIndex : int {
    SeriesTimes0 = 0, // SeriesTimes0 .. SeriesTimes10 are indices 0..10
    SeriesTimes10 = 10,
    SeriesZero = 11,
    SeriesDozen1 = 12,
    SeriesDozen2 = 13,
    SeriesDozen3 = 14,
};
inline constexpr int SeriesKinds = 15;
using SeriesRow = std::array<std::int32_t, SeriesKinds>;

/// The hit counts of a session and the series row they give, kept up to date one outcome
/// at a time in constant time.
class Tally
{
public:
    Tally();
    /// A tally of these hit counts.
    explicit Tally(const std::array<std::int32_t, 37> &hits);

    void add(int number);
    void remove(int number);
    std::int32_t value(int kind) const;
    SeriesRow row() const;
    const std::array<std::int32_t, 37> &hits() const { return m_hits; }

private:
    std::array<std::int32_t, 37> m_hits{};
    std::array<std::int32_t, SeriesKinds> m_row{}; // how many numbers out 0..10 times, counters
};

/// The spins of one session (since a reset): each outcome in one byte, the hit counts every
/// BlockRows spins, and a min/max pyramid per series. A row of any series is worked out
/// again from the nearest stored hit counts and the outcomes after them, so a session keeps
/// a few bytes a spin where fifteen stored rows would take sixty.
///
/// Row 0 holds 0 in every series; row s describes the board after spin s. Level L of the
/// pyramid holds the minimum and maximum of each complete block of (BlockRows << L) rows,
/// blocks counted from row 1.
class Session
{
public:
    static constexpr int BlockRows = 64;

    explicit Session(std::uint64_t generation = 0);

    std::int64_t lastRow() const { return m_outcomes.size(); }
    /// The outcome of spin s, 1 <= s <= lastRow().
    int outcome(std::int64_t spin) const { return m_outcomes[spin - 1]; }
    /// Every series at the last row.
    const SeriesRow &lastValues() const { return m_last; }
    SeriesRow row(std::int64_t row) const;

    /// Adds a spin, and its row of every series: the one place a row is worked out.
    void append(int outcome);
    /// Takes back the last spin, with the pyramid blocks that ended on it.
    void popBack();

    /// Goes up whenever rows are taken away, so that a reader that kept rows can tell they
    /// may have been replaced.
    std::uint64_t generation() const { return m_generation; }

    int levelCount(int kind) const { return static_cast<int>(m_levels[kind].size()); }
    const std::vector<MinMax> &level(int kind, int L) const { return m_levels[kind][L]; }
    /// Minimum and maximum of rows first..last (inclusive, 1 <= first <= last <= lastRow()).
    MinMax rangeMinMax(int kind, std::int64_t first, std::int64_t last) const;

    /// Calls visit(row, tally) for each row first..last in order: the rows are worked out
    /// once each, from the stored hit counts before first.
    template <typename Visit>
    void forEachRow(std::int64_t first, std::int64_t last, Visit &&visit) const
    {
        Tally tally = tallyAt(first - 1);
        for (std::int64_t r = first; r <= last; ++r) {
            tally.add(outcome(r));
            visit(r, tally);
        }
    }

    /// Same spins, same rows.
    bool operator==(const Session &other) const;

private:
    Tally tallyAt(std::int64_t row) const;
    void completeBlocks();
    void reopenBlock();

    ChunkedArray<std::uint8_t, 16> m_outcomes;
    ChunkedArray<std::array<std::int32_t, 37>, 10> m_checkpoints; // hits after each block
    std::array<std::vector<std::vector<MinMax>>, SeriesKinds> m_levels;
    Tally m_tally;
    SeriesRow m_last{};
    std::array<MinMax, SeriesKinds> m_open{}; // of the rows after the last complete block
    std::uint64_t m_generation;
};

/// One series of a session, read in place.
class Series
{
public:
    static constexpr int BlockRows = Session::BlockRows;

    Series(const Session &session, int kind) : m_session(&session), m_kind(kind) {}

    std::int64_t lastRow() const { return m_session->lastRow(); }
    std::int32_t operator[](std::int64_t row) const { return m_session->row(row)[m_kind]; }
    std::int32_t last() const { return m_session->lastValues()[m_kind]; }
    std::uint64_t generation() const { return m_session->generation(); }
    int levelCount() const { return m_session->levelCount(m_kind); }
    const std::vector<MinMax> &level(int L) const { return m_session->level(m_kind, L); }
    MinMax rangeMinMax(std::int64_t first, std::int64_t last) const
    {
        return m_session->rangeMinMax(m_kind, first, last);
    }
    template <typename Visit>
    void forEachRow(std::int64_t first, std::int64_t last, Visit &&visit) const
    {
        m_session->forEachRow(first, last, [&](std::int64_t row, const Tally &tally) {
            visit(row, tally.value(m_kind));
        });
    }

private:
    const Session *m_session;
    int m_kind;
};

/// The series shared by the spin, the statistics and the charts.
///
/// A reset starts a new session and keeps the one before it: the charts show its rows until
/// the next spin, and again once every spin since is taken back.
class Module1
{
public:
    /// Rows the charts plot; follows SpinCount at every spin, kept by the reset.
    std::int32_t SeriesCount = 0;

    /// The spins since the last reset.
    const Session &session() const { return m_current; }
    /// The session the charts show: the one before the last reset while no spin followed.
    const Session &shown() const
    {
        return m_current.lastRow() == 0 && m_previous ? *m_previous : m_current;
    }
    /// A series of the session the charts show.
    Series series(int kind) const { return Series(shown(), kind); }

    /// Adds a spin to the current session.
    void appendRow(int outcome);
    void popRow();
    /// Starts a new session; the last one that had spins stays as the previous one.
    void clear();
    /// Takes the last reset back: the previous session becomes the current one again.
    void restorePrevious()
    {
        m_current = std::move(*m_previous);
        m_previous.reset();
    }

    bool operator==(const Module1 &) const = default;

private:
    Session m_current;
    std::optional<Session> m_previous;
};

} // namespace roulette
