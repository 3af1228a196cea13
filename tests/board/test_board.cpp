#include <gtest/gtest.h>

#include "board/board.h"
#include "tests/fakes.h"

using namespace roulette;
using roulette::testing::FixedClock;
using roulette::testing::ScriptedGenerator;
using roulette::testing::valueFor;

namespace
{

// A loaded board whose generator gives the numbers listed, in turn.
Board boardDrawing(std::vector<int> numbers, int *reseeds = nullptr)
{
    std::vector<float> values;
    for (int n : numbers)
        values.push_back(valueFor(n, 37));
    Board board(std::make_unique<ScriptedGenerator>(values, reseeds),
                std::make_unique<FixedClock>());
    board.Form_Load();
    return board;
}

void playByHand(Board &board, const std::string &text)
{
    if (!board.state().manualMode())
        board.Label4_Click();
    board.setLastText(text);
    board.Command1_Click();
}

DrawRecords records(std::initializer_list<int> numbers)
{
    DrawRecords r;
    for (const int n : numbers)
        r.append(n);
    return r;
}

} // namespace

TEST(Board, StartUpNumbersTheCellsAndHidesTheMarkers)
{
    Board board;
    EXPECT_EQ(board.state().numberCaption[5], "00");
    EXPECT_TRUE(board.state().marked[5]);
    board.Form_Load();
    EXPECT_EQ(board.state().numberCaption[0], "0");
    EXPECT_EQ(board.state().numberCaption[36], "36");
    for (bool m : board.state().marked)
        EXPECT_FALSE(m);
}

TEST(Board, FirstSpinDrawsFromTheGeneratorAndFillsRowOne)
{
    int reseeds = 0;
    Board board = boardDrawing({7}, &reseeds);
    ASSERT_TRUE(board.Command1_Click().spun);
    const BoardState &s = board.state();
    EXPECT_EQ(reseeds, 1);
    EXPECT_EQ(s.CurrentNumber, 7);
    EXPECT_EQ(s.spinText, "1");
    EXPECT_EQ(s.lastText, "7");
    EXPECT_EQ(s.FileCursor, 1);
    EXPECT_EQ(s.history[27], "7");
    EXPECT_EQ(s.history[26], "-");
    EXPECT_EQ(s.counters, (std::array<std::int64_t, 4>{0, 1, 0, 0}));
    EXPECT_TRUE(s.blinkRunning);
    const Module1 &m = board.series();
    EXPECT_EQ(m.SeriesCount, 1);
    ASSERT_EQ(m.session().lastRow(), 1);
    EXPECT_EQ(m.session().row(0), SeriesRow{});
    EXPECT_EQ(m.series(SeriesTimes0)[1], 36);
    EXPECT_EQ(m.series(1)[1], 1);
    EXPECT_EQ(m.series(SeriesDozen1)[1], 1);
}

TEST(Board, CountersFollowTheDozenBoundaries)
{
    const std::vector<int> numbers = {0, 1, 12, 13, 24, 25, 36};
    Board board = boardDrawing(numbers);
    const std::array<std::array<std::int64_t, 4>, 7> expected = {{
        {1, 0, 0, 0},
        {1, 1, 0, 0},
        {1, 2, 0, 0},
        {1, 2, 1, 0},
        {1, 2, 2, 0},
        {1, 2, 2, 1},
        {1, 2, 2, 2},
    }};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        board.Command1_Click();
        EXPECT_EQ(board.state().counters, expected[i]) << "after " << numbers[i];
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(board.series().series(SeriesZero + c)[static_cast<std::int64_t>(i) + 1],
                      expected[i][c]);
    }
}

TEST(Board, HitCellColourFollowsTheCountAndStaysOliveAfterEight)
{
    Board board;
    board.Form_Load();
    const Colour expected[] = {0x00FFC0C0, 0x0000FFFF, 0x0000FF00, 0x00FF00FF, 0x00C0C000,
                               0x000000FF, 0x000040C0, 0x00008080, 0x00008080, 0x00008080};
    for (int hit = 1; hit <= 10; ++hit) {
        playByHand(board, "17");
        EXPECT_EQ(board.state().hitCaption[17], hit);
        EXPECT_EQ(board.state().hitColour[17], expected[hit - 1]) << "hit " << hit;
    }
    EXPECT_EQ(board.state().hitColour[16], colours::White);
}

TEST(Board, HistoryShiftsLeftAndDropsTheOldest)
{
    std::vector<int> numbers;
    for (int i = 0; i < 29; ++i)
        numbers.push_back(i % 37);
    Board board = boardDrawing(numbers);
    for (int i = 0; i < 29; ++i)
        board.Command1_Click();
    EXPECT_EQ(board.state().history[0], "1");
    EXPECT_EQ(board.state().history[27], "28");
}

TEST(Board, ManualTextsThatAreRouletteNumbers)
{
    const std::pair<const char *, int> cases[] = {{"17", 17},   {"2.5", 2}, {"3.5", 4},
                                                  {" 5", 5},    {"00", 0},  {"36", 36},
                                                  {"36.5", 36}, {"-0.4", 0}};
    for (const auto &[text, number] : cases) {
        Board board;
        board.Form_Load();
        playByHand(board, text);
        EXPECT_EQ(board.state().CurrentNumber, number) << text;
        EXPECT_EQ(board.state().lastText, text) << "the typed text stays";
        EXPECT_EQ(board.state().SpinCount, 1);
    }
}

TEST(Board, RejectedManualTextsLeaveTheBoardUntouched)
{
    for (const char *text : {"40", "-3", "99999", "abc", "", "  ", "36.6", "-1"}) {
        Board board = boardDrawing({3, 14, 0});
        board.Command1_Click();
        board.Label1_Click(9);
        board.Label4_Click();
        board.setLastText(text);
        const BoardState before = board.state();
        const Module1 seriesBefore = board.series();

        const SpinResult result = board.Command1_Click();

        EXPECT_FALSE(result.spun) << text;
        EXPECT_NE(result.message.find("0 à 36"), std::string::npos) << result.message;
        EXPECT_TRUE(board.state() == before) << text;
        EXPECT_TRUE(board.series() == seriesBefore) << text;
        if (std::string(text) == "40") {
            EXPECT_EQ(result.message, "« 40 » n'est pas un numéro de roulette (0 à 36).");
        }
    }
}

TEST(Board, ManualOverFileOverRandomAndTheCursorAlwaysMoves)
{
    int reseeds = 0;
    Board board = boardDrawing({20}, &reseeds);
    board.loadDrawFile(records({5, 17, 0, 8}), "tirage.txt");

    board.Command1_Click();
    EXPECT_EQ(board.state().CurrentNumber, 5);
    EXPECT_EQ(reseeds, 0) << "file mode does not touch the generator";
    EXPECT_EQ(board.state().lastText, "00") << "file mode does not write Text2";

    board.Label4_Click();
    board.setLastText("33");
    board.Command1_Click();
    EXPECT_EQ(board.state().CurrentNumber, 33);
    EXPECT_EQ(board.state().FileCursor, 2) << "a manual spin still moves the file position";

    board.Label4_Click();
    board.Command1_Click();
    EXPECT_EQ(board.state().CurrentNumber, 0) << "record 3";
}

TEST(Board, SourcesFollowTheOptions)
{
    // r = 23.5 / 37: direct draw 23; wheel position 23 holds 1; four turns index 94 -> 5.
    Board board(std::make_unique<ScriptedGenerator>(std::vector<float>{valueFor(23, 37)}),
                std::make_unique<FixedClock>());
    board.Form_Load();
    board.Command1_Click();
    EXPECT_EQ(board.state().CurrentNumber, 23);
    board.Option1_Click(1);
    board.Command1_Click();
    EXPECT_EQ(board.state().CurrentNumber, 1);
    board.Option1_Click(2);
    board.Command1_Click();
    EXPECT_EQ(
        board.state().CurrentNumber,
        WheelOrder[static_cast<std::size_t>(static_cast<double>(valueFor(23, 37)) * 148) % 37]);
    board.Option1_Click(7);
    EXPECT_EQ(board.state().SourceMode, 2);
}

TEST(Board, MarksLightGagneAndAManualClickPlaysWithoutMarking)
{
    Board board = boardDrawing({17, 4});
    board.Label1_Click(17);
    EXPECT_TRUE(board.state().marked[17]);
    EXPECT_EQ(board.state().SpinCount, 0) << "marking is not a spin";
    board.Command1_Click();
    EXPECT_TRUE(board.state().wonVisible);
    board.Command1_Click();
    EXPECT_FALSE(board.state().wonVisible);

    board.Label4_Click();
    EXPECT_EQ(board.state().manualCaption, "Retour");
    board.Label1_Click(17);
    EXPECT_EQ(board.state().lastText, "17");
    EXPECT_EQ(board.state().CurrentNumber, 17);
    EXPECT_TRUE(board.state().marked[17]);
    EXPECT_TRUE(board.state().wonVisible);
    board.Label4_Click();
    EXPECT_EQ(board.state().manualCaption, "Choisr les N°");
    board.Label1_Click(17);
    EXPECT_FALSE(board.state().marked[17]);
}

TEST(Board, BlinkAlternatesAndTheNextSpinRestoresTheCell)
{
    Board board = boardDrawing({9, 30});
    board.Command1_Click();
    board.Timer1_Timer();
    EXPECT_EQ(board.state().numberColour[9], colours::Black);
    board.Timer1_Timer();
    EXPECT_EQ(board.state().numberColour[9], colours::DarkRed);
    board.Timer1_Timer();
    board.Command1_Click();
    EXPECT_EQ(board.state().numberColour[9], colours::DarkRed);
}

TEST(Board, ResetClearsCountsAndKeepsHistoryFileAndBlink)
{
    Board board = boardDrawing({9, 30, 9});
    board.loadDrawFile(records({9, 30, 9, 1}), "f.txt");
    board.Label1_Click(9);
    for (int i = 0; i < 3; ++i)
        board.Command1_Click();
    board.Timer1_Timer();
    const BoardState before = board.state();

    board.Command3_Click();

    const BoardState &s = board.state();
    EXPECT_EQ(s.spinText, "0");
    EXPECT_EQ(s.SpinCount, 0);
    EXPECT_EQ(s.counters, (std::array<std::int64_t, 4>{}));
    EXPECT_EQ(s.hitCaption[9], 0);
    EXPECT_EQ(s.hitColour[9], colours::White);
    EXPECT_EQ(s.HitCount[9], 0);
    EXPECT_FALSE(s.marked[9]);
    EXPECT_EQ(board.series().session().lastRow(), 0);
    EXPECT_EQ(board.series().SeriesCount, 3) << "kept until the next spin";
    EXPECT_EQ(s.history, before.history);
    EXPECT_EQ(s.FileCursor, 3);
    EXPECT_EQ(s.wonVisible, before.wonVisible);
    EXPECT_EQ(s.numberColour, before.numberColour);
    EXPECT_TRUE(s.blinkRunning);

    board.Command1_Click();
    EXPECT_EQ(board.state().CurrentNumber, 1) << "the file goes on where it was";
    EXPECT_EQ(board.series().series(0).lastRow(), 1);
    EXPECT_EQ(board.series().series(0)[1], 36);
}
