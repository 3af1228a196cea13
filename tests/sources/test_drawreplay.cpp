#include <gtest/gtest.h>

#include "board/board.h"
#include "tests/fakes.h"
#include "tests/tempdir.h"

using namespace roulette;
using roulette::testing::FixedClock;
using roulette::testing::ScriptedGenerator;
using roulette::testing::TempDir;
using roulette::testing::valueFor;

namespace
{

Board freshBoard(std::vector<int> drawn = {20})
{
    std::vector<float> values;
    for (int n : drawn)
        values.push_back(valueFor(n, NumberCount));
    Board board(std::make_unique<ScriptedGenerator>(values), std::make_unique<FixedClock>());
    board.Form_Load();
    return board;
}

// The board as it should be after a refused spin that only moves the file position.
BoardState movedOn(BoardState before, const BoardState &after)
{
    before.FileCursor = after.FileCursor;
    before.filePosText = after.filePosText;
    before.spinButtonVisible = after.spinButtonVisible;
    return before;
}

} // namespace

TEST(DrawReplay, ThreeRecordsPlayInOrderThenTheFileIsAtItsEnd)
{
    const TempDir dir;
    Board board = freshBoard();
    ASSERT_EQ(board.Command4_Click(dir.write("tirage.txt", "5\r\n\r\n==\r\n17\r\n*\r\n0\r\n\r\n")),
              "");
    const BoardState &s = board.state();
    EXPECT_EQ(s.FileLineCount, 3);
    EXPECT_EQ(s.fileCountCaption, "3");
    EXPECT_EQ(s.fileNameCaption, "tirage.txt");
    EXPECT_TRUE(s.fileButtonsVisible);
    EXPECT_TRUE(s.spinButtonVisible) << "until Lancer Manuel is first clicked";
    EXPECT_EQ(board.FileNumbers().text(1), "5");

    const int expected[] = {5, 17, 0};
    for (int k = 1; k <= 3; ++k) {
        ASSERT_TRUE(board.Command6_Click().spun);
        EXPECT_EQ(s.CurrentNumber, expected[k - 1]);
        EXPECT_EQ(s.filePosText, std::to_string(k));
        EXPECT_FALSE(s.spinButtonVisible);
    }
    const BoardState before = s;
    const SpinResult end = board.Command6_Click();
    EXPECT_FALSE(end.spun);
    EXPECT_EQ(end.message, "");
    EXPECT_TRUE(s == before) << "no spin, no invented zero";
    const SpinResult pastEnd = board.Command1_Click();
    EXPECT_FALSE(pastEnd.spun) << "nor from Lancer 1 N°";
    EXPECT_NE(pastEnd.message.find("bout"), std::string::npos);
    EXPECT_TRUE(s == before);
}

TEST(DrawReplay, EachLoadStartsItsFileAtRecordOne)
{
    const TempDir dir;
    Board board = freshBoard({20, 30});
    board.Command1_Click();
    board.Command1_Click();
    ASSERT_EQ(board.Command4_Click(dir.write("a.txt", "5\n17\n0\n")), "");
    board.Command6_Click();
    EXPECT_EQ(board.state().CurrentNumber, 5) << "spins before the load skip nothing";
    EXPECT_EQ(board.state().filePosText, "1");
    board.undoLastSpin();
    board.undoLastSpin();
    EXPECT_EQ(board.state().FileCursor, 0) << "nor does a spin made before it and taken back";
    board.Command1_Click();
    board.Command1_Click();
    EXPECT_EQ(board.state().CurrentNumber, 17);

    ASSERT_EQ(board.Command4_Click(dir.write("b.txt", "8\n9")), "");
    EXPECT_EQ(board.state().FileLineCount, 2) << "not the sum of both files";
    EXPECT_EQ(board.state().fileNameCaption, "b.txt");

    board.Command1_Click();
    EXPECT_EQ(board.state().CurrentNumber, 8);
    board.Command6_Click();
    EXPECT_EQ(board.state().CurrentNumber, 9);
    EXPECT_EQ(board.state().SpinCount, 5);
    EXPECT_FALSE(board.Command6_Click().spun);
}

TEST(DrawReplay, BadRecordsArePassedOverAndTheReplayGoesOn)
{
    const TempDir dir;
    Board board = freshBoard();
    const std::string longLine(300, '9');
    ASSERT_EQ(
        board.Command4_Click(dir.write("t.txt", "5\n37\n\xFF\xFE\x01z\n" + longLine + "\n4\n")),
        "");
    board.Command6_Click();

    struct Bad {
        const char *line;
        const char *quote;
    };
    const Bad bad[] = {{"2", "« 37 »"}, {"3", "« ???z »"}, {"4", "« 9999999999"}};
    for (const Bad &b : bad) {
        const BoardState before = board.state();
        const std::int64_t rows = board.series().series(0).lastRow();
        const SpinResult result = board.Command6_Click();
        EXPECT_FALSE(result.spun);
        EXPECT_EQ(result.message.rfind(std::string("Ligne ") + b.line + " ", 0), 0)
            << result.message;
        EXPECT_NE(result.message.find(b.quote), std::string::npos) << result.message;
        EXPECT_EQ(board.state().filePosText, b.line);
        EXPECT_TRUE(board.state() == movedOn(before, board.state()));
        EXPECT_EQ(board.series().series(0).lastRow(), rows);
    }
    EXPECT_TRUE(board.Command6_Click().spun) << "the record after them plays";
    EXPECT_EQ(board.state().CurrentNumber, 4);
    EXPECT_EQ(board.state().SpinCount, 2);
}

TEST(DrawReplay, AFailedLoadChangesNothing)
{
    const TempDir dir;
    const std::filesystem::path failures[] = {dir.path() / "absent.txt", dir.path(),
                                              dir.write("vide.txt", "\n\n")};
    for (const bool loaded : {false, true}) {
        Board board = freshBoard();
        if (loaded) {
            board.Command4_Click(dir.write("t.txt", "5\n17\n"));
            board.Command6_Click();
        }
        const BoardState before = board.state();
        const DrawRecords records = board.FileNumbers();
        for (const auto &path : failures) {
            EXPECT_NE(board.Command4_Click(path), "") << path;
            EXPECT_TRUE(board.state() == before) << path;
            EXPECT_TRUE(board.FileNumbers() == records) << path;
        }
        if (loaded) {
            board.Command6_Click();
            EXPECT_EQ(board.state().CurrentNumber, 17) << "the replay goes on where it was";
        }
    }
}
