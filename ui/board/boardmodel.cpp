#include "ui/board/boardmodel.h"

BoardModel::BoardModel(roulette::Board board, QObject *parent)
    : QObject(parent), m_board(std::move(board))
{
}

// No spin yet: the charts keep their sample rows until the first.
void BoardModel::Form_Load()
{
    m_board.Form_Load();
    emit changed(BoardChange::Reset | BoardChange::Source | BoardChange::Shown);
}

// A refused spin changes nothing but may write a text box.
roulette::SpinResult BoardModel::spun(roulette::SpinResult result)
{
    emit changed(result.spun ? BoardChanges(BoardChange::Spins) : BoardChange::Shown);
    return result;
}

roulette::SpinResult BoardModel::Command1_Click()
{
    return spun(m_board.Command1_Click());
}

roulette::SpinResult BoardModel::Label1_Click(int index)
{
    return spun(m_board.Label1_Click(index));
}

roulette::SpinResult BoardModel::Command6_Click()
{
    return spun(m_board.Command6_Click());
}

void BoardModel::Label4_Click()
{
    m_board.Label4_Click();
    emit changed(BoardChange::Source);
}

void BoardModel::Option1_Click(int index)
{
    m_board.Option1_Click(index);
    emit changed(BoardChange::Source);
}

void BoardModel::Timer1_Timer()
{
    m_board.Timer1_Timer();
    emit changed(BoardChange::Shown);
}

void BoardModel::Command3_Click()
{
    m_board.Command3_Click();
    emit changed(BoardChange::Reset);
}

std::string BoardModel::Command4_Click(roulette::DrawFileLoad load)
{
    std::string message = m_board.Command4_Click(std::move(load));
    emit changed(BoardChange::Source);
    return message;
}

void BoardModel::closeDrawFile()
{
    m_board.closeDrawFile();
    emit changed(BoardChange::Source);
}

// Whether a spin or a reset came back, the charts show the session in sight again.
bool BoardModel::undo()
{
    if (!m_board.undo())
        return false;
    emit changed(BoardChange::Spins | BoardChange::Reset);
    return true;
}

roulette::LinesPlayed BoardModel::playLines(std::span<const std::string> lines)
{
    roulette::LinesPlayed played = roulette::playLines(m_board, lines);
    emit changed(played.played > 0 ? BoardChanges(BoardChange::Spins) : BoardChange::Shown);
    return played;
}

// The reset is told before the spins, as a reset of its own: the notebook's recorder tells a
// reset from an undo by the board's session it finds.
void BoardModel::beginBatch(bool resetFirst)
{
    m_board.beginBatch(resetFirst);
    if (resetFirst)
        emit changed(BoardChange::Reset);
}

void BoardModel::setMarks(const std::vector<int> &numbers)
{
    m_board.setMarks(numbers);
    emit changed(BoardChange::Shown);
}

roulette::BatchResult BoardModel::spinSlice(std::int64_t count)
{
    roulette::BatchResult result = m_board.spinMany(count);
    m_batchSpun = m_batchSpun || result.spun > 0;
    return result;
}

void BoardModel::endBatch()
{
    emit changed(std::exchange(m_batchSpun, false) ? BoardChanges(BoardChange::Spins)
                                                   : BoardChange::Shown);
}
