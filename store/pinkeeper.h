#pragma once

#include <cstdint>
#include <string>

#include "stats/pinbook.h"
#include "stats/series.h"
#include "store/notebook.h"

namespace roulette
{

/// The board's pins, following its spins from start-up whatever window is open, kept with the
/// wheel the board follows in the notebook, or with the board alone while it follows none.
class PinKeeper
{
public:
    explicit PinKeeper(const Module1 &series) : m_series(series) {}

    const PinBook &book() const { return m_book; }
    /// Catches up with the board; true when a pin's reading changed.
    bool follow() { return m_book.follow(m_series.session()); }

    /// From now on the pins are kept with this wheel: the board's own are written to it, and
    /// those it kept come back, tested on the spins made from now on (the board's spins so far
    /// may have been seen when it was followed before). Throws NotebookError, the pins then
    /// kept as they were.
    void keepWith(Notebook &notebook, std::int64_t wheelId);
    /// The wheel is let go: its pins stay with it in the notebook, not on the board; another
    /// wheel's study is not this one's.
    void letGo();

    /// Pins the suspect at the board's spins so far, dated `createdAt`; written to the wheel
    /// followed first. Throws NotebookError, nothing then pinned.
    void pin(const Suspect &suspect, const std::string &createdAt);
    /// Throws NotebookError, the pin then left standing.
    void unpin(std::size_t index);

private:
    const Module1 &m_series;
    PinBook m_book;
    Notebook *m_notebook = nullptr;
    std::int64_t m_wheelId = 0;
};

} // namespace roulette
