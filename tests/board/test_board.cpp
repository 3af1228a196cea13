#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "board/board.h"
#include "board/numberlist.h"
#include "board/typedlines.h"
#include "tests/fakes.h"

using namespace roulette;
using roulette::testing::FixedClock;
using roulette::testing::loadedBoard;
using roulette::testing::records;
using roulette::testing::valueFor;

// After every spin, the whole board and the new series row against a plain tally of the
// outcomes.
TEST(Board, EverySpinShowsATallyOfTheOutcomes)
{
    const Colour byHits[] = {colours::White, 0x00FFC0C0, 0x0000FFFF, 0x0000FF00,    0x00FF00FF,
                             0x00C0C000,     0x000000FF, 0x000040C0, colours::Olive};
    std::mt19937 random(1);
    Board board = loadedBoard();
    EXPECT_EQ(board.state().numberCaption[36], "36");
    EXPECT_FALSE(board.state().marked[5]);
    board.Label4_Click();
    BoardState e = board.state();
    EXPECT_EQ(e.history[0], "-");
    for (int spin = 1; spin <= 1000; ++spin) {
        const int n = static_cast<int>(random() % NumberCount);
        ASSERT_TRUE(board.Label1_Click(n).spun);
        e.CurrentNumber = static_cast<std::int16_t>(n);
        e.SpinCount = spin;
        e.hitCaption[n] = ++e.HitCount[n];
        e.hitColour[n] = byHits[std::min<std::int64_t>(e.HitCount[n], 8)];
        ++e.counters[n == 0 ? 0 : (n + 11) / 12];
        std::shift_left(e.history.begin(), e.history.end(), 1);
        e.history.back() = e.lastText = std::to_string(n);
        e.FileCursor = spin;
        e.spinText = std::to_string(spin);
        e.blinkRunning = true;
        ASSERT_TRUE(board.state() == e) << spin;
        for (int k = 0; k < SeriesKinds; ++k) {
            const HitCounts &hits = e.HitCount;
            ASSERT_EQ(board.series().series(k)[spin], k < SpreadClasses
                                                          ? std::count(hits.begin(), hits.end(), k)
                                                          : e.counters[k - SpreadClasses]);
        }
    }
}

// The options choose the generator's number, the pocket that many places after the zero, or
// the pocket at a place among four turns of the wheel; a typed number goes before them all
// and a draw file before the options, whose position moves at every spin.
TEST(Board, SourcesInTheirOrder)
{
    Board board = loadedBoard({valueFor(23, 37), valueFor(23, 37), valueFor(95, 148)});
    const auto spin = [&board](int option) {
        board.Option1_Click(option);
        board.Command1_Click();
        return board.state().CurrentNumber;
    };
    EXPECT_EQ((std::array{spin(0), spin(1), spin(2)}), (std::array<std::int16_t, 3>{23, 1, 16}));
    board.Label4_Click();
    board.setLastText("2.5");
    EXPECT_EQ(spin(7), 2);
    EXPECT_EQ(board.state().lastText, "2.5");
    EXPECT_EQ(board.state().SourceMode, 2);

    board.loadDrawFile(records({5, 17, 0, 8}), "tirage.txt");
    EXPECT_EQ(spin(0), 2);
    EXPECT_EQ(board.state().FileCursor, 1);
    board.Label4_Click();
    EXPECT_EQ(spin(0), 17);
    EXPECT_EQ(board.state().lastText, "2.5") << "the file leaves Text2";
}

TEST(Board, TypedTextsPlayWhenTheyRoundToANumberAndChangeNothingElse)
{
    const std::pair<const char *, int> played[] = {
        {"17", 17}, {"2.5", 2}, {"3.5", 4},    {" 5", 5},   {"00", 0}, {"36.5", 36}, {"-0.4", 0},
        {"40", -1}, {"-3", -1}, {"99999", -1}, {"abc", -1}, {"", -1},  {"  ", -1},   {"36.6", -1}};
    for (const auto &[text, number] : played) {
        Board board = loadedBoard({valueFor(9, 37)});
        board.Command1_Click();
        board.Label1_Click(9);
        board.Label4_Click();
        board.setLastText(text);
        const BoardState before = board.state();
        const Module1 seriesBefore = board.series();
        const SpinResult result = board.Command1_Click();
        EXPECT_EQ(result.spun, number >= 0) << text;
        if (number >= 0) {
            EXPECT_EQ(board.state().CurrentNumber, number) << text;
            EXPECT_EQ(board.state().lastText, text);
            EXPECT_TRUE(board.state().marked[9]) << text;
            continue;
        }
        EXPECT_NE(result.message.find("0 à 36"), std::string::npos) << result.message;
        EXPECT_TRUE(board.state() == before) << text;
        EXPECT_TRUE(board.series() == seriesBefore) << text;
    }
}

// A reset clears the counts and the marks and keeps the rest, the blinking cell and the
// draw file's position included; the charts keep their rows until the next spin.
TEST(Board, ResetClearsTheCountsAndKeepsTheRest)
{
    Board board = loadedBoard({valueFor(17, 37), valueFor(4, 37)});
    board.loadDrawFile(records({17, 4, 17, 1}), "f.txt");
    board.Label1_Click(17);
    board.Command1_Click();
    board.Timer1_Timer();
    EXPECT_TRUE(board.state().wonVisible);
    EXPECT_EQ(board.state().numberColour[17], colours::Black);
    board.Command1_Click();
    EXPECT_FALSE(board.state().wonVisible);
    EXPECT_EQ(board.state().numberColour[17], colours::DarkRed);
    board.Timer1_Timer();
    board.Timer1_Timer();
    EXPECT_EQ(board.state().numberColour[4], colours::DarkRed);
    BoardState expected = board.state();
    board.Command3_Click();
    expected.SpinCount = 0;
    expected.spinText = "0";
    expected.HitCount = expected.hitCaption = {};
    expected.counters = {};
    expected.hitColour.fill(colours::White);
    expected.marked.fill(false);
    EXPECT_TRUE(board.state() == expected);
    EXPECT_EQ(board.series().session().lastRow(), 0);
    EXPECT_EQ(board.series().SeriesCount, 2);
    EXPECT_EQ(board.series().series(SeriesZero).lastRow(), 2);
    board.Command1_Click();
    EXPECT_EQ(board.state().CurrentNumber, 17);
    EXPECT_EQ(board.series().SeriesCount, 1);
    EXPECT_EQ(board.series().series(SeriesDozen1)[1], 0);
}

// Whatever came before, in every mode, a spin taken back leaves the board and its series as
// they were.
TEST(Board, UndoRestoresTheWholeBoard)
{
    std::mt19937 random(11);
    const auto any = [&random](int n) { return static_cast<int>(random() % n); };
    DrawRecords file;
    for (int i = 0; i < 300; ++i)
        file.append(any(37));
    int undone = 0;
    for (int run = 0; run < 40; ++run) {
        Board board(std::make_unique<SplitMixGenerator>(run), std::make_unique<FixedClock>());
        board.Form_Load();
        const std::function<void()> actions[] = {
            [&] { board.Label4_Click(); },
            [&] { board.Label1_Click(any(37)); },
            [&] { board.Option1_Click(any(3)); },
            [&] { board.Timer1_Timer(); },
            [&] { board.setLastText(any(2) ? std::to_string(any(40)) : "abc"); },
            [&] { board.Command6_Click(); },
            [&] { board.spinMany(any(5)); },
            [&] { board.loadDrawFile(file, "f.txt"); },
            [&] { board.Command1_Click(); }};
        for (int step = 0; step < 200; ++step) {
            if (step > 0) // the first spin is taken back to the state of start-up
                actions[any(run % 2 ? 9 : 7)]();
            const int how = any(3);
            BoardState before = board.state();
            before.spinButtonVisible &= how != 1; // "Lancer Manuel" hides it for good
            const Module1 seriesBefore = board.series();
            const SpinResult result = how == 0   ? board.Command1_Click()
                                      : how == 1 ? board.Command6_Click()
                                                 : board.Label1_Click(any(37));
            if (result.spun) {
                ASSERT_TRUE(board.undo());
                ASSERT_TRUE(board.state() == before) << "run " << run << " step " << step;
                ASSERT_TRUE(board.series() == seriesBefore);
                ++undone;
            }
        }
        while (board.undo()) {
        }
        EXPECT_FALSE(board.canUndo());
        EXPECT_FALSE(board.canUndoSpin());
        EXPECT_EQ(board.state().SpinCount, 0);
    }
    EXPECT_GT(undone, 2000) << "spins in every mode were taken back";
}

// A batch leaves what as many clicks on "Lancer 1 N°" leave (in file mode with the position
// reached in Text3), stops at the end of a draw file with its message, and undoing after it
// takes back one spin at a time.
TEST(Board, ABatchIsAsManySingleSpins)
{
    constexpr int FileMode = 3, FileRecords = 100;
    const auto boardIn = [](int mode) {
        Board board(std::make_unique<SplitMixGenerator>(7), std::make_unique<FixedClock>());
        board.Form_Load();
        DrawRecords file;
        for (int i = 0; i < FileRecords; ++i)
            file.append(i * 11 % 37);
        if (mode == FileMode)
            board.loadDrawFile(std::move(file), "tirages.txt");
        else
            board.Option1_Click(mode);
        return board;
    };
    for (int mode = 0; mode <= FileMode; ++mode) {
        Board batch = boardIn(mode);
        Board single = boardIn(mode);
        const BatchResult result = batch.spinMany(150);
        std::string lastMessage;
        for (int i = 0; i < 150; ++i) {
            if (SpinResult spin = single.Command1_Click(); !spin.spun)
                lastMessage = spin.message;
        }
        BoardState expected = single.state();
        if (mode == FileMode)
            expected.filePosText = decimalText(expected.FileCursor);
        EXPECT_EQ(result.spun, mode == FileMode ? FileRecords : 150) << mode;
        EXPECT_EQ(result.message, lastMessage);
        EXPECT_EQ(lastMessage.empty(), mode != FileMode);
        EXPECT_TRUE(batch.state() == expected) << mode;
        EXPECT_TRUE(batch.series() == single.series()) << mode;
        for (int k = 1; k <= 2; ++k) {
            ASSERT_TRUE(batch.undoLastSpin());
            Board shorter = boardIn(mode);
            shorter.spinMany(result.spun - k);
            EXPECT_TRUE(batch.state() == shorter.state()) << mode << ' ' << k;
            EXPECT_TRUE(batch.series() == shorter.series());
        }
    }
}

// A pasted column plays line after line as Enter after each would, up to the first line that
// is not a roulette number; that line and those after it stay in the box, one a line.
TEST(Board, APastedColumnIsAsManyEntersUpToTheFirstRefusedLine)
{
    EXPECT_EQ(typedLines("\r\n5\r\n\r\n 17\n\nabc\r"),
              (std::vector<std::string>{"5", " 17", "abc"}));
    const std::vector<std::string> pool = {"5", " 17", "36", "0", "2.5", "abc", "40", "-3", "8 "};
    std::mt19937 random(3);
    for (int column = 0; column < 200; ++column) {
        std::vector<std::string> lines(1 + random() % 6);
        for (std::string &line : lines)
            line = pool[random() % pool.size()];
        Board pasted = loadedBoard();
        Board entered = loadedBoard();
        pasted.Label4_Click();
        entered.Label4_Click();
        const LinesPlayed result = playLines(pasted, lines);
        std::size_t played = 0;
        std::string message;
        for (; played < lines.size(); ++played) {
            entered.setLastText(lines[played]);
            if (SpinResult spin = entered.Command1_Click(); !spin.spun) {
                message = spin.message;
                break;
            }
        }
        std::string left;
        for (std::size_t i = played; i < lines.size(); ++i)
            left += lines[i] + (i + 1 < lines.size() ? "\n" : "");
        if (!left.empty())
            entered.setLastText(left);
        EXPECT_EQ(result.played, played);
        EXPECT_EQ(result.left, left);
        EXPECT_EQ(result.message, message);
        EXPECT_FALSE(played < lines.size() && message.empty());
        ASSERT_TRUE(pasted.state() == entered.state()) << column;
    }
}

// Undo goes back one command at a time: each step taken back leaves the board and its series
// as they stood before that command, a batch (with the reset it began with) counting as one.
// Only the last reset is kept: one before it is out of reach.
TEST(Board, UndoTakesBackOneCommandAtATime)
{
    std::mt19937 random(5);
    const auto any = [&random](int n) { return static_cast<int>(random() % n); };
    Board board(std::make_unique<SplitMixGenerator>(3), std::make_unique<FixedClock>());
    board.Form_Load();
    struct Step {
        BoardState state;
        Module1 series;
        std::int64_t spins; // what spinsToUndo announces for it
        bool resets;
        std::optional<std::pair<BoardState, Module1>> afterReset; // a batch's reset
        bool batch = false;
    };
    std::vector<Step> steps;
    std::size_t reachable = 0; // steps below it are out of reach
    // A reset lets the one before it go: undo stops there, or at its batch's first spin.
    const auto letGoOfLastReset = [&steps, &reachable] {
        const auto r = std::find_if(steps.rbegin(), steps.rend(), [](auto &s) { return s.resets; });
        if (r == steps.rend() || static_cast<std::size_t>(steps.rend() - r) <= reachable)
            return; // out of reach already
        reachable = static_cast<std::size_t>(steps.rend() - r);
        if (r->afterReset) {
            std::tie(r->state, r->series) = *r->afterReset;
            r->resets = false;
            --reachable;
        }
    };
    for (int command = 0; command < 400; ++command) {
        if (any(3) == 0) {
            ASSERT_EQ(board.canUndo(), steps.size() > reachable) << command;
            if (steps.size() == reachable)
                continue;
            ASSERT_EQ(board.spinsToUndo(), steps.back().spins) << command;
            ASSERT_TRUE(board.undo());
            ASSERT_TRUE(board.state() == steps.back().state) << command;
            // The session before a reset is kept only for the last reset.
            ASSERT_TRUE(board.series().session() == steps.back().series.session()) << command;
            ASSERT_EQ(board.series().SeriesCount, steps.back().series.SeriesCount);
            steps.pop_back();
            continue;
        }
        const bool spinsToClear = board.series().session().lastRow() > 0;
        const int how = any(4);
        if (how == 1 && !spinsToClear) {
            board.Command3_Click(); // a reset of nothing is no step: the last one stays
            continue;
        }
        const bool resets = how == 1 || (how == 3 && spinsToClear);
        if (resets)
            letGoOfLastReset();
        Step before{board.state(), board.series(), 1 + any(40), resets, std::nullopt};
        if (how == 0) {
            before.spins = 1;
            board.Command1_Click();
        } else if (how == 1) {
            before.spins = 0;
            board.Command3_Click();
        } else {
            // Unless a batch ends here, which its slices would go on, the first slice may begin it.
            if (resets || any(2) == 0 || (!steps.empty() && steps.back().batch))
                board.beginBatch(resets);
            before.batch = true;
            if (resets)
                before.afterReset.emplace(board.state(), board.series());
            board.spinMany(before.spins / 2); // the window spins a batch in slices
            board.spinMany(before.spins - before.spins / 2);
        }
        steps.push_back(std::move(before));
    }
    while (board.undo())
        steps.pop_back();
    EXPECT_EQ(steps.size(), reachable);
}

TEST(Board, MarksFromATypedList)
{
    const NumberList list = parseNumberList(" 7 17,32;7\t0 ");
    EXPECT_EQ(list.numbers, (std::vector<int>{7, 17, 32, 0}));
    EXPECT_TRUE(list.error.empty());
    for (const char *refused : {"7 37", "7 -3", "7.5", "7 abc", "1e1", "123"})
        EXPECT_FALSE(parseNumberList(refused).error.empty()) << refused;
    EXPECT_EQ(parseNumberList("3 40").error, "« 40 » n'est pas un numéro de roulette (0 à 36).");
    EXPECT_TRUE(parseNumberList("  ").numbers.empty());

    Board board = loadedBoard();
    board.Label4_Click(); // marks are set in manual mode too
    board.setMarks(list.numbers);
    for (int n = 0; n < NumberCount; ++n)
        EXPECT_EQ(board.state().marked[n], n == 0 || n == 7 || n == 17 || n == 32) << n;
    board.setLastText("17");
    board.Command1_Click();
    EXPECT_TRUE(board.state().wonVisible);
}
