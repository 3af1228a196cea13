#include "board/board.h"

#include <algorithm>
#include <utility>

#include "sources/textrules.h"
#include "stats/spread.h"

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

SpinResult Board::spinFrom(const std::string &textBefore)
{
    const Outcome outcome = chooseOutcome();
    if (!outcome.number)
        return {false, outcome.message};
    m_undo.push_back(recordBeforeSpin(textBefore));
    spin(outcome);
    return {true, {}};
}

Board::SpinRecord Board::recordBeforeSpin(const std::string &textBefore)
{
    const BoardState &s = m_state;
    const std::string &fallen = s.history.front();
    SpinRecord record{
        s.FileCursor,
        s.filePosText == "00" ? -1 : roundHalfEven(numericValue(s.filePosText)),
        s.CurrentNumber,
        static_cast<std::int8_t>(fallen == "-" ? -1 : roundHalfEven(numericValue(fallen))),
        0,
    };
    if (s.numberColour[s.CurrentNumber] == colours::Black)
        record.flags |= CellWasBlack;
    if (s.wonVisible)
        record.flags |= WonWasVisible;
    if (s.blinkRunning)
        record.flags |= BlinkWasRunning;
    if (textBefore == decimalText(s.CurrentNumber))
        record.flags |= TextWasPreviousNumber;
    else
        m_replacedTexts[s.SpinCount] = textBefore;
    return record;
}

bool Board::undoLastSpin()
{
    if (m_undo.empty())
        return false;
    const SpinRecord record = m_undo.back();
    m_undo.pop_back();
    BoardState &s = m_state;
    const int n = s.CurrentNumber;

    m_module.popRow();
    --s.HitCount[n];
    --s.hitCaption[n];
    s.hitColour[n] = hitColourFor(s.hitCaption[n]).value_or(colours::Olive);
    std::move_backward(s.history.begin(), s.history.end() - 1, s.history.end());
    s.history.front() = record.fallenOff < 0 ? "-" : decimalText(record.fallenOff);
    --s.counters[counterOf(n)];

    --s.SpinCount;
    s.FileCursor = record.fileCursor;
    writeText(Text3, record.filePos < 0 ? "00" : decimalText(record.filePos));
    s.numberColour[n] = colours::DarkRed;
    s.CurrentNumber = record.number;
    s.numberColour[s.CurrentNumber] =
        record.flags & CellWasBlack ? colours::Black : colours::DarkRed;
    s.wonVisible = record.flags & WonWasVisible;
    s.blinkRunning = record.flags & BlinkWasRunning;
    if (record.flags & TextWasPreviousNumber) {
        writeText(Text2, decimalText(s.CurrentNumber));
    } else {
        auto kept = m_replacedTexts.extract(s.SpinCount);
        writeText(Text2, std::move(kept.mapped()));
    }
    const bool atBase = m_undo.empty();
    writeText(Text1, atBase ? m_undoBase.spinText : decimalText(s.SpinCount));
    m_module.SeriesCount = atBase ? m_undoBase.seriesCount : s.SpinCount;
    return true;
}

Board::Outcome Board::chooseOutcome()
{
    if (m_state.manualMode())
        return manualOutcome();
    if (numericValue(m_state.fileCountCaption) != 0)
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

    SeriesRow row{};
    ++s.counters[counterOf(n)];
    for (int i = 0; i < 4; ++i)
        row[SeriesZero + i] = static_cast<std::int32_t>(s.counters[i]);

    std::move(s.history.begin() + 1, s.history.end(), s.history.begin());
    s.history.back() = decimalText(n);

    ++s.hitCaption[n];
    if (const auto colour = hitColourFor(s.hitCaption[n]))
        s.hitColour[n] = *colour;

    ComputeSpread(s.HitCount, n, std::span<std::int32_t, SpreadClasses>(row.data(), SpreadClasses));
    m_module.appendRow(row);

    s.wonVisible = s.marked[n];
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
    m_undo.clear();
    m_replacedTexts.clear();
    m_undoBase = {m_module.SeriesCount, "0"};
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
}

void Board::loadDrawFile(DrawRecords records, std::string fileName)
{
    m_state.FileLineCount = static_cast<std::int32_t>(records.size());
    m_state.fileCountCaption = decimalText(m_state.FileLineCount);
    m_state.fileNameCaption = std::move(fileName);
    m_state.FileCursor = 0;
    writeText(Text3, "0");
    m_state.fileButtonsVisible = true;
    m_fileNumbers = std::move(records);
    // Taking back a spin made before this file must not move its replay off record 1.
    for (SpinRecord &record : m_undo) {
        record.fileCursor = 0;
        record.filePos = 0;
    }
}

std::string Board::Command4_Click(DrawFileLoad load)
{
    if (load.records)
        loadDrawFile(std::move(*load.records), std::move(load.fileName));
    return std::move(load.message);
}

SpinResult Board::Command6_Click()
{
    m_state.spinButtonVisible = false;
    // The button stays silent at the end: the position shown in Text3 already says so.
    if (m_state.FileCursor >= numericValue(m_state.fileCountCaption))
        return {};
    SpinResult result = Command1_Click();
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
