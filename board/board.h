#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "board/boardstate.h"
#include "sources/drawfile.h"
#include "sources/generator.h"
#include "sources/wheel.h"
#include "stats/series.h"

namespace roulette
{

/// What a spin request came to. A request that is refused changes nothing on the board
/// and carries the French message to show.
struct SpinResult {
    bool spun = false;
    std::string message;
};

/// The board: its state and every operation a window event triggers. The window calls one
/// operation per event and then shows the state; it decides nothing itself.
class Board
{
public:
    explicit Board(std::unique_ptr<UniformGenerator> generator = nullptr,
                   std::unique_ptr<Clock> clock = nullptr);

    const BoardState &state() const { return m_state; }
    const Module1 &series() const { return m_module; }
    const WheelTable &wheelTable() const { return m_wheel; }
    const DrawRecords &FileNumbers() const { return m_fileNumbers; }
    /// How often each text box was written, by TextBox. A box the user typed in shows the
    /// board's text again once its count goes up, even where that text is the same as before.
    const std::array<std::uint64_t, TextBoxCount> &textWrites() const { return m_textWrites; }

    /// Start-up: counts cleared, cells numbered, markers hidden.
    void Form_Load();
    /// One spin: "Lancer 1 N°".
    SpinResult Command1_Click();
    /// A click on number cell n: plays it in manual mode, else toggles its mark.
    SpinResult Label1_Click(int n);
    /// Switches manual mode.
    void Label4_Click();
    /// Chooses the random source.
    void Option1_Click(int index);
    /// One blink of the current number's cell.
    void Timer1_Timer();
    /// "Remettre a  Zero Données": clears counts, marks and series.
    void Command3_Click();
    /// Takes back the last spin exactly, down to the last reset or start-up. False when
    /// there is no spin left to take back.
    bool undoLastSpin();
    /// Whether undoLastSpin has a spin to take back.
    bool canUndoSpin() const { return !m_undo.empty(); }
    /// A draw file's records replace the previous file's; the replay starts at record 1.
    void loadDrawFile(DrawRecords records, std::string fileName);
    /// "Ouvre", once the chosen file is read: loads its numbers, or changes nothing when it
    /// gave none. Returns the French message of the reading (empty when there is none).
    std::string Command4_Click(DrawFileLoad load);
    /// "Lancer Manuel": hides "Lancer 1 N°" for good and plays the next record, if any.
    SpinResult Command6_Click();
    /// The user edited the last-number box.
    void setLastText(std::string text) { m_state.lastText = std::move(text); }

private:
    struct Outcome {
        std::optional<int> number;
        bool drawn = false; // from a random source, so it is shown in Text2
        std::string message;
    };

    // What a spin overwrote and cannot be worked out again: 24 bytes a spin.
    struct SpinRecord {
        std::int64_t fileCursor;
        std::int64_t filePos; // Text3 as a number, -1 while it reads "00"
        std::int16_t number;
        std::int8_t fallenOff; // the history cell that fell off, -1 for "-"
        std::uint8_t flags;
    };
    enum SpinFlag : std::uint8_t {
        CellWasBlack = 1,
        WonWasVisible = 2,
        BlinkWasRunning = 4,
        TextWasPreviousNumber = 8,
    };
    struct UndoBase {
        std::int32_t seriesCount = 0;
        std::string spinText = "00";
    };

    SpinResult spinFrom(const std::string &textBefore);
    SpinRecord recordBeforeSpin(const std::string &textBefore);
    Outcome chooseOutcome();
    Outcome manualOutcome() const;
    Outcome fileOutcome() const;
    Outcome randomOutcome();
    void spin(const Outcome &outcome);
    void writeText(TextBox box, std::string text);

    BoardState m_state;
    Module1 m_module;
    WheelTable m_wheel;
    DrawRecords m_fileNumbers;
    std::unique_ptr<UniformGenerator> m_generator;
    std::unique_ptr<Clock> m_clock;
    std::deque<SpinRecord> m_undo; // grows without copying, unlike a vector
    // Text2 before a spin, where it was not simply the previous outcome; keyed by SpinCount.
    std::unordered_map<std::int32_t, std::string> m_replacedTexts;
    UndoBase m_undoBase;
    std::array<std::uint64_t, TextBoxCount> m_textWrites{};
};

} // namespace roulette
