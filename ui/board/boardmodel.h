#pragma once

#include <QFlags>
#include <QObject>

#include <span>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/typedlines.h"

/// What a board operation changed.
enum class BoardChange {
    Spins = 1,  ///< spins made or taken back
    Reset = 2,  ///< the counts cleared, or the clearing taken back
    Source = 4, ///< where the next spins come from: mode, option, draw file
    Shown = 8,  ///< only what the board shows: the blink, a mark, a refused spin's texts
};
Q_DECLARE_FLAGS(BoardChanges, BoardChange)
Q_DECLARE_OPERATORS_FOR_FLAGS(BoardChanges)

/// The board as the windows share it: every operation goes through here and is announced
/// once, when it is done, by changed(). Whoever shows the board (the board's widgets, the
/// charts, the study, the notebook's recorder) connects to it; nobody has to be told by hand.
class BoardModel : public QObject
{
    Q_OBJECT
public:
    explicit BoardModel(roulette::Board board, QObject *parent = nullptr);

    const roulette::Board &board() const { return m_board; }

    void Form_Load();
    roulette::SpinResult Command1_Click();
    roulette::SpinResult Label1_Click(int index);
    void Label4_Click();
    void Option1_Click(int index);
    void Timer1_Timer();
    void Command3_Click();
    std::string Command4_Click(roulette::DrawFileLoad load);
    roulette::SpinResult Command6_Click();
    bool undo();
    void closeDrawFile();
    roulette::LinesPlayed playLines(std::span<const std::string> lines);
    /// Begins a batch that undo takes back as one step; with resetFirst the board is reset
    /// first, announced at once, and the same undo takes the reset back too.
    void beginBatch(bool resetFirst);
    /// A slice of a batch: its spins are announced once the batch ends (endBatch), so that a
    /// long batch shows the board once.
    roulette::BatchResult spinSlice(std::int64_t count);
    void endBatch();
    /// What the user typed in the last-number box; nothing to show.
    void setLastText(std::string text) { m_board.setLastText(std::move(text)); }
    void markSaved() { m_board.markSaved(); }
    void setMarks(const std::vector<int> &numbers);

signals:
    void changed(BoardChanges what);

private:
    roulette::SpinResult spun(roulette::SpinResult result);

    roulette::Board m_board;
    bool m_batchSpun = false;
};
