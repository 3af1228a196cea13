#include "board/board.h"

#include <algorithm>
#include <utility>

#include "sources/textrules.h"

namespace roulette
{

std::optional<Colour> hitColourFor(std::int64_t count)
{
    static constexpr std::array<Colour, 9> byCount = {
        0x00FFFFFF, 0x00FFC0C0, 0x0000FFFF, 0x0000FF00,     0x00FF00FF,
        0x00C0C000, 0x000000FF, 0x000040C0, colours::Olive,
    };
    if (count < 0 || count >= static_cast<std::int64_t>(byCount.size()))
        return std::nullopt;
    return byCount[static_cast<std::size_t>(count)];
}

int counterOf(int number)
{
    return number == 0 ? 0 : (number - 1) / 12 + 1;
}

namespace
{

constexpr const char *FilePlayedMessage =
    "Le fichier de tirage a été joué jusqu'au bout : il ne reste aucun numéro.";

bool isRouletteNumber(std::int64_t n)
{
    return n >= 0 && n < NumberCount;
}

std::string notARouletteNumber(std::string_view text)
{
    return quoteText(text) + " n'est pas un numéro de roulette (0 à 36).";
}

} // namespace

Board::Board(std::unique_ptr<UniformGenerator> generator, std::unique_ptr<Clock> clock)
    : m_generator(generator ? std::move(generator) : std::make_unique<SplitMixGenerator>()),
      m_clock(clock ? std::move(clock) : std::make_unique<SystemClock>())
{
    startSession();
}

void Board::Form_Load()
{
    for (int n = 0; n < NumberCount; ++n) {
        m_state.HitCount[n] = 0;
        m_state.numberCaption[n] = decimalText(n);
        m_state.marked[n] = false;
    }
}

SpinResult Board::Command1_Click()
{
    return spinFrom(m_state.lastText);
}

SpinResult Board::spinFrom(const std::string &textBefore, bool writesFilePos)
{
    const Outcome outcome = chooseOutcome();
    if (!outcome.number)
        return {false, outcome.message};
    m_memory.spinFlags.push_back(flagsBeforeSpin(textBefore, *outcome.number, writesFilePos));
    spin(outcome);
    if (writesFilePos)
        writeText(Text3, decimalText(m_state.FileCursor));
    return {true, {}};
}

std::uint8_t Board::flagsBeforeSpin(const std::string &textBefore, int number, bool writesFilePos)
{
    const BoardState &s = m_state;
    const std::int64_t spin = s.SpinCount + 1;
    std::uint8_t flags = 0;
    if (s.numberColour[s.CurrentNumber] == colours::Black)
        flags |= CellWasBlack;
    if (s.wonVisible)
        flags |= WonWasVisible;
    if (s.blinkRunning)
        flags |= BlinkWasRunning;
    if (s.manualMode()) {
        flags |= HandEntered;
        ++m_memory.handSpins;
    }
    if (textBefore == decimalText(number)) {
        flags |= TextWasThisNumber;
    } else if (textBefore != decimalText(s.CurrentNumber)) {
        flags |= TextWasReplaced;
        m_memory.replacedTexts.remember(spin, textBefore);
    }
    if (writesFilePos) {
        flags |= WroteFilePos;
        if (s.filePosText != decimalText(s.FileCursor)) {
            flags |= FilePosWasReplaced;
            m_memory.replacedFilePos.remember(spin, s.filePosText);
        }
    }
    return flags;
}

int Board::numberBefore(std::int64_t spin) const
{
    return spin > 1 ? m_module.session().outcome(spin - 1) : m_memory.start.number;
}

// The strip before spin s held the session's first s - 1 outcomes after what it showed at
// the session's start.
std::string Board::historyCellBefore(std::int64_t spin) const
{
    if (spin <= HistoryLength)
        return m_memory.start.history[static_cast<std::size_t>(spin - 1)];
    return decimalText(m_module.session().outcome(spin - HistoryLength));
}

bool Board::undoLastSpin()
{
    if (m_memory.spinFlags.empty())
        return false;
    const std::uint8_t flags = m_memory.spinFlags.back();
    m_memory.spinFlags.pop_back();
    // A batch cut short by a spin taken back alone keeps only the spins left of it.
    if (auto &batches = m_memory.batches;
        !batches.empty() && batches.back().last > sessionSpins()) {
        batches.back().last = sessionSpins();
        if (batches.back().last <= batches.back().first && !batches.back().afterReset)
            batches.pop_back();
    }
    if (flags & HandEntered)
        --m_memory.handSpins;
    BoardState &s = m_state;
    const std::int64_t spin = s.SpinCount;
    const int n = s.CurrentNumber;

    --s.HitCount[n];
    --s.hitCaption[n];
    s.hitColour[n] = hitColourFor(s.hitCaption[n]).value_or(colours::Olive);
    std::move_backward(s.history.begin(), s.history.end() - 1, s.history.end());
    s.history.front() = historyCellBefore(spin);
    --s.counters[counterOf(n)];

    --s.SpinCount;
    // A spin made before the last load leaves the new file's replay at its first record.
    s.FileCursor = std::max<std::int64_t>(s.FileCursor - 1, 0);
    if (spin > m_memory.spinsBeforeLoad && (flags & WroteFilePos)) {
        writeText(Text3, flags & FilePosWasReplaced ? m_memory.replacedFilePos.take(spin)
                                                    : decimalText(s.FileCursor));
    } else {
        writeText(Text3, s.filePosText);
    }
    m_memory.spinsBeforeLoad = std::min(m_memory.spinsBeforeLoad, spin - 1);
    s.numberColour[n] = colours::DarkRed;
    s.CurrentNumber = static_cast<std::int16_t>(numberBefore(spin));
    m_module.popRow();
    s.numberColour[s.CurrentNumber] = flags & CellWasBlack ? colours::Black : colours::DarkRed;
    s.wonVisible = flags & WonWasVisible;
    s.blinkRunning = flags & BlinkWasRunning;
    if (flags & TextWasThisNumber)
        writeText(Text2, decimalText(n));
    else if (flags & TextWasReplaced)
        writeText(Text2, m_memory.replacedTexts.take(spin));
    else
        writeText(Text2, decimalText(s.CurrentNumber));
    const bool atStart = m_memory.spinFlags.empty();
    writeText(Text1, atStart ? m_memory.start.spinText : decimalText(s.SpinCount));
    m_module.SeriesCount = atStart ? m_memory.start.seriesCount : s.SpinCount;
    return true;
}

Board::Outcome Board::chooseOutcome()
{
    if (m_state.manualMode())
        return manualOutcome();
    if (m_state.fileMode())
        return fileOutcome();
    return randomOutcome();
}

Board::Outcome Board::manualOutcome() const
{
    const std::string &text = m_state.lastText;
    if (const auto value = leadingNumber(text)) {
        const std::int64_t n = roundHalfEven(*value);
        if (isRouletteNumber(n))
            return {static_cast<int>(n), false, {}};
    }
    if (text.find_first_not_of(" \t") == std::string::npos)
        return {std::nullopt, false, "Aucun numéro à jouer : tapez un numéro de 0 à 36."};
    return {std::nullopt, false, notARouletteNumber(text)};
}

Board::Outcome Board::fileOutcome() const
{
    if (const auto n = m_fileNumbers.number(m_state.FileCursor + 1))
        return {*n, false, {}};
    return {std::nullopt, false, FilePlayedMessage};
}

Board::Outcome Board::randomOutcome()
{
    RandomDraw draw(*m_generator, *m_clock);
    switch (m_state.SourceMode.value_or(0)) {
    case 1:
        return {NRoulette(m_wheel, draw), true, {}};
    case 2:
        return {NRoulette2(m_wheel, draw), true, {}};
    default:
        return {draw.index(NumberCount), true, {}};
    }
}

void Board::spin(const Outcome &outcome)
{
    const int n = *outcome.number;
    BoardState &s = m_state;

    s.blinkRunning = false;
    s.numberColour[s.CurrentNumber] = colours::DarkRed; // the blink may have left it black
    s.wonVisible = false;
    ++s.SpinCount;
    ++s.FileCursor;
    writeText(Text1, decimalText(s.SpinCount));
    m_module.SeriesCount = s.SpinCount;

    s.CurrentNumber = static_cast<std::int16_t>(n);
    if (outcome.drawn)
        writeText(Text2, decimalText(n));
    s.blinkRunning = true;

    ++s.counters[counterOf(n)];

    std::move(s.history.begin() + 1, s.history.end(), s.history.begin());
    s.history.back() = decimalText(n);

    ++s.hitCaption[n];
    if (const auto colour = hitColourFor(s.hitCaption[n]))
        s.hitColour[n] = *colour;

    ComputeSpread();

    s.wonVisible = s.marked[n];
}

// The series take their row from their own tally of the session: the board keeps only the
// hit counts it shows.
void Board::ComputeSpread()
{
    ++m_state.HitCount[m_state.CurrentNumber];
    m_module.appendRow(m_state.CurrentNumber);
}

SpinResult Board::Label1_Click(int n)
{
    if (!isRouletteNumber(n))
        return {};
    if (m_state.manualMode()) {
        // The click's own write to Text2 belongs to its spin, and is taken back with it.
        std::string before = std::exchange(m_state.lastText, m_state.numberCaption[n]);
        SpinResult result = spinFrom(before);
        if (result.spun)
            ++m_textWrites[Text2];
        else
            m_state.lastText = std::move(before);
        return result;
    }
    m_state.marked[n] = !m_state.marked[n];
    return {};
}

void Board::Label4_Click()
{
    m_state.manualCaption = m_state.manualMode() ? NormalCaption : ManualCaption;
}

void Board::Option1_Click(int index)
{
    if (index >= 0 && index <= 2)
        m_state.SourceMode = index;
}

void Board::Timer1_Timer()
{
    Colour &cell = m_state.numberColour[m_state.CurrentNumber];
    cell = cell == colours::Black ? colours::DarkRed : colours::Black;
}

void Board::Command3_Click()
{
    BoardState &s = m_state;
    // A reset with no spin since the last one leaves that one to take back.
    if (m_module.session().lastRow() > 0)
        m_beforeReset = BeforeReset{s, std::move(m_memory)};
    m_memory = {};
    writeText(Text1, "0");
    s.SpinCount = 0;
    m_module.clear();
    s.counters = {};
    s.hitCaption = {};
    s.hitColour.fill(colours::White);
    s.HitCount = {};
    for (int n = 0; n < NumberCount; ++n)
        s.numberCaption[n] = decimalText(n);
    s.marked.fill(false);
    startSession();
}

const Board::Batch *Board::lastBatch() const
{
    const auto &batches = m_memory.batches;
    if (batches.empty() || batches.back().last != sessionSpins())
        return nullptr;
    return &batches.back();
}

std::int64_t Board::spinsToUndo() const
{
    if (const Batch *batch = lastBatch(); batch && batch->last > batch->first)
        return batch->last - batch->first;
    return canUndoSpin() ? 1 : 0;
}

bool Board::undo()
{
    if (const Batch *batch = lastBatch()) {
        const Batch taken = *batch;
        m_memory.batches.pop_back();
        for (std::int64_t s = taken.last; s > taken.first; --s)
            undoLastSpin();
        if (taken.afterReset && m_beforeReset) // a later reset may have let it go
            undoReset();
        if (taken.last > taken.first || taken.afterReset)
            return true;
        return undo(); // an empty batch is no step of its own
    }
    if (undoLastSpin())
        return true;
    if (!m_beforeReset)
        return false;
    undoReset();
    return true;
}

// Brings back what the reset cleared; the session before it becomes the current one.
void Board::undoReset()
{
    BeforeReset before = std::move(*m_beforeReset);
    m_beforeReset.reset();
    BoardState &s = m_state;
    const BoardState &was = before.state;
    s.SpinCount = was.SpinCount;
    s.HitCount = was.HitCount;
    s.numberCaption = was.numberCaption;
    s.hitCaption = was.hitCaption;
    s.hitColour = was.hitColour;
    s.marked = was.marked;
    s.counters = was.counters;
    writeText(Text1, was.spinText);
    m_memory = std::move(before.memory);
    m_module.restorePrevious();
    m_module.SeriesCount = s.SpinCount;
}

void Board::closeDrawFile()
{
    BoardState &s = m_state;
    s.FileLineCount = 0;
    s.fileCountCaption = "00000";
    s.fileNameCaption = "Nom du fichier !";
    writeText(Text3, "00");
    s.spinButtonVisible = true;
    s.fileButtonsVisible = false;
    m_fileNumbers = DrawRecords();
    // Taking back a replay spin must not bring back the closed file's position.
    m_memory.spinsBeforeLoad = s.SpinCount;
}

// A spin taken back moves the session's generation, so the same count of spins after an
// undo is not taken for what was saved.
Board::SavedMark Board::savedMark() const
{
    return {m_module.session().generation(), m_module.session().lastRow()};
}

bool Board::hasUnsavedHandSpins() const
{
    return m_memory.handSpins > 0 && m_memory.saved != savedMark();
}

void Board::markSaved()
{
    m_memory.saved = savedMark();
}

void Board::startSession()
{
    m_memory.start = {m_state.CurrentNumber, m_state.history, m_module.SeriesCount,
                      m_state.spinText};
}

void Board::loadDrawFile(DrawRecords records, std::string_view fileName)
{
    m_state.FileLineCount = static_cast<std::int32_t>(records.size());
    m_state.fileCountCaption = decimalText(m_state.FileLineCount);
    m_state.fileNameCaption = printable(fileName);
    m_state.FileCursor = 0;
    writeText(Text3, "0");
    m_state.fileButtonsVisible = true;
    m_fileNumbers = std::move(records);
    m_memory.spinsBeforeLoad = m_state.SpinCount;
}

std::string Board::Command4_Click(DrawFileLoad load)
{
    if (load.records)
        loadDrawFile(std::move(*load.records), load.fileName);
    return std::move(load.message);
}

void Board::beginBatch(bool resetFirst)
{
    bool afterReset = false;
    if (resetFirst) {
        afterReset = m_module.session().lastRow() > 0; // else the reset keeps nothing to undo
        Command3_Click();
    }
    m_memory.batches.push_back({sessionSpins(), sessionSpins(), afterReset});
}

void Board::setMarks(const std::vector<int> &numbers)
{
    m_state.marked.fill(false);
    for (const int n : numbers)
        if (isRouletteNumber(n))
            m_state.marked[static_cast<std::size_t>(n)] = true;
}

BatchResult Board::spinMany(std::int64_t count)
{
    if (!lastBatch())
        m_memory.batches.push_back({sessionSpins(), sessionSpins(), false});
    const bool fileMode = !m_state.manualMode() && m_state.fileMode();
    BatchResult result;
    for (; result.spun < count; ++result.spun) {
        SpinResult spin = spinFrom(m_state.lastText, fileMode);
        if (!spin.spun) {
            result.message = std::move(spin.message);
            break;
        }
    }
    m_memory.batches.back().last = sessionSpins();
    return result;
}

SpinResult Board::Command6_Click()
{
    m_state.spinButtonVisible = false;
    // The button stays silent at the end: the position shown in Text3 already says so.
    if (m_state.FileCursor >= numericValue(m_state.fileCountCaption))
        return {};
    SpinResult result = spinFrom(m_state.lastText, true);
    if (!result.spun)
        writeText(Text3, decimalText(m_state.FileCursor));
    return result;
}

void Board::writeText(TextBox box, std::string text)
{
    static constexpr std::array<std::string BoardState::*, TextBoxCount> boxes = {
        &BoardState::spinText, &BoardState::lastText, &BoardState::filePosText};
    m_state.*boxes[box] = std::move(text);
    ++m_textWrites[box];
}

} // namespace roulette
