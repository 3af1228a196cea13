#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/boardstate.h"
#include "board/spintexts.h"
#include "sources/drawfile.h"
#include "sources/generator.h"
#include "sources/wheel.h"
#include "stats/chunked.h"
#include "stats/series.h"

namespace roulette
{

/// What a spin request came to. A request that is refused changes nothing on the board
/// and carries the French message to show.
struct SpinResult {
    bool spun = false;
    std::string message;
};

/// How far a run of spins went.
struct BatchResult {
    std::int64_t spun = 0;
    std::string message; ///< why it stopped early, empty when every spin was made
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
    bool canUndoSpin() const { return !m_memory.spinFlags.empty(); }
    /// Takes back the last step: a batch whole (with the reset it began with, if any), else
    /// the last spin or, with none left since it, the last reset.
    bool undo();
    bool canUndo() const { return canUndoSpin() || m_beforeReset.has_value(); }
    /// How many spins undo takes back next: a batch's count, 1 for a single spin, 0 when it
    /// takes back a reset or nothing.
    std::int64_t spinsToUndo() const;
    /// Starts a batch that undo takes back as one step. With resetFirst the board is reset
    /// first, and the same undo takes the reset back too.
    void beginBatch(bool resetFirst = false);
    /// Marks exactly the numbers given (0 to 36), in either mode; the others are unmarked.
    void setMarks(const std::vector<int> &numbers);
    /// "Fermer le fichier de tirage": spins come from the random sources again; the counts,
    /// the charts and the history stay.
    void closeDrawFile();
    /// Whether the spins since the reset hold one entered by hand and are not saved as they
    /// stand now.
    bool hasUnsavedHandSpins() const;
    /// The spins since the reset were saved as they stand now.
    void markSaved();
    /// A draw file's records replace the previous file's; the replay starts at record 1. The
    /// file name shows as printable text.
    void loadDrawFile(DrawRecords records, std::string_view fileName);
    /// "Ouvre", once the chosen file is read: loads its numbers, or changes nothing when it
    /// gave none. Returns the French message of the reading (empty when there is none).
    std::string Command4_Click(DrawFileLoad load);
    /// "Lancer plusieurs tirages…": up to count spins, each as "Lancer 1 N°" makes it; in
    /// file mode each also shows the position reached in Text3, as "Lancer Manuel" does.
    /// Stops at the first spin refused; the result carries its message. The spins join the
    /// batch begun last while they follow it, else they are a batch of their own.
    BatchResult spinMany(std::int64_t count);
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

    // What a spin overwrote and cannot be worked out from the session's outcomes.
    enum SpinFlag : std::uint8_t {
        CellWasBlack = 1,
        WonWasVisible = 2,
        BlinkWasRunning = 4,
        TextWasThisNumber = 8,   // Text2 before the spin: this spin's number, else
        TextWasReplaced = 16,    // one of replacedTexts, else the previous number
        WroteFilePos = 32,       // Text3 before the spin: the file position, else
        FilePosWasReplaced = 64, // one of replacedFilePos
        HandEntered = 128,
    };
    using SavedMark = std::pair<std::uint64_t, std::int64_t>; // generation, spins
    // Spins first + 1 to last of the session came from one command; kept per batch, not per
    // spin.
    struct Batch {
        std::int64_t first = 0;
        std::int64_t last = 0;
        bool afterReset = false; // its undo also takes back the reset before it
    };
    // The board as the session's first spin found it.
    struct SessionStart {
        std::int16_t number;
        std::array<std::string, HistoryLength> history;
        std::int32_t seriesCount;
        std::string spinText;
    };
    // What the board keeps of the session since the last reset besides its outcomes: a reset
    // sets it aside whole, and taking the reset back brings it back whole.
    struct SessionMemory {
        ChunkedArray<std::uint8_t, 16> spinFlags; // one per spin
        SpinTexts replacedTexts;
        SpinTexts replacedFilePos;
        SessionStart start;
        std::int64_t spinsBeforeLoad = 0; // before the last draw file's load
        std::int64_t handSpins = 0;
        std::optional<SavedMark> saved; // the session as last saved
        std::vector<Batch> batches;
    };
    // What a reset changed, to take it back.
    struct BeforeReset {
        BoardState state;
        SessionMemory memory;
    };

    SpinResult spinFrom(const std::string &textBefore, bool writesFilePos = false);
    std::uint8_t flagsBeforeSpin(const std::string &textBefore, int number, bool writesFilePos);
    void startSession();
    void undoReset();
    std::int64_t sessionSpins() const { return m_memory.spinFlags.size(); }
    const Batch *lastBatch() const;
    SavedMark savedMark() const;
    int numberBefore(std::int64_t spin) const;
    std::string historyCellBefore(std::int64_t spin) const;
    Outcome chooseOutcome();
    Outcome manualOutcome() const;
    Outcome fileOutcome() const;
    Outcome randomOutcome();
    void spin(const Outcome &outcome);
    void ComputeSpread();
    void writeText(TextBox box, std::string text);

    BoardState m_state;
    Module1 m_module;
    WheelTable m_wheel;
    DrawRecords m_fileNumbers;
    std::unique_ptr<UniformGenerator> m_generator;
    std::unique_ptr<Clock> m_clock;
    SessionMemory m_memory;
    std::optional<BeforeReset> m_beforeReset;
    std::array<std::uint64_t, TextBoxCount> m_textWrites{};
};

} // namespace roulette
