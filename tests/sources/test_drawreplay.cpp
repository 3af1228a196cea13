#include <gtest/gtest.h>

#include "board/board.h"
#include "board/boardstate.h"
#include "tests/fakes.h"
#include "tests/tempdir.h"

using namespace roulette;
using roulette::testing::TempDir;

TEST(DrawReplay, NumbersPlayInOrderWithoutAWordUntilTheEndAndAFailedLoadChangesNothing)
{
    const TempDir dir;
    Board board = roulette::testing::loadedBoard({0.5f});
    board.Command1_Click();
    board.Command1_Click();
    const auto path = dir.write("tirage.txt", "5\r\n\r\nx\r\n17\r\n*\r\n0\r\n\r\n");
    EXPECT_EQ(board.Command4_Click(readDrawFile(path)),
              "1 ligne n'est pas un numéro de roulette et ne sera pas jouée : ligne 3 « x ».");
    const BoardState &s = board.state();
    EXPECT_TRUE(s.FileLineCount == 3 && s.fileCountCaption == "3");
    EXPECT_TRUE(s.fileButtonsVisible);
    EXPECT_EQ(s.fileNameCaption, "tirage.txt");
    board.Command6_Click();
    board.undoLastSpin();
    board.undoLastSpin();
    EXPECT_EQ(s.FileCursor, 0) << "a spin before the load, even taken back, shifts nothing";
    for (const int expected : {5, 17, 0}) {
        const SpinResult result = board.Command6_Click();
        EXPECT_TRUE(result.spun);
        EXPECT_EQ(result.message, "");
        EXPECT_EQ(s.CurrentNumber, expected);
        EXPECT_EQ(s.filePosText, std::to_string(s.FileCursor));
    }
    const BoardState before = s;
    EXPECT_EQ(board.Command6_Click().message, "");
    EXPECT_NE(board.Command1_Click().message.find("jusqu'au bout"), std::string::npos);
    EXPECT_TRUE(s == before) << "no spin, no invented zero";
    const DrawRecords records = board.FileNumbers();
    for (const DrawFileLoad &failure :
         {readDrawFile(dir.path() / "absent.txt"), readDrawFile(dir.write("mots.txt", "x\n40\n")),
          readDrawFile(dir.write("u.txt", "1\n"), [](double) { return false; })}) {
        board.Command4_Click(failure);
        EXPECT_TRUE(s == before) << failure.message;
        EXPECT_TRUE(board.FileNumbers() == records) << failure.message;
    }

    EXPECT_EQ(board.Command4_Click(readDrawFile(dir.write("b.txt", "8\n9"))), "");
    EXPECT_EQ(s.FileLineCount, 2) << "not the sum of both files";
    board.Command1_Click();
    EXPECT_EQ(s.CurrentNumber, 8) << "each file starts at its first number";
}
