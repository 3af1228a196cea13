#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "board/board.h"
#include "sources/textrules.h"
#include "tests/fakes.h"

using namespace roulette;
using roulette::testing::FixedClock;

namespace
{

constexpr int FileMode = 3; // after the three random sources
constexpr int FileRecords = 100;

Board boardIn(int mode)
{
    Board board(std::make_unique<SplitMixGenerator>(7), std::make_unique<FixedClock>());
    board.Form_Load();
    if (mode == FileMode) {
        DrawRecords records;
        for (int i = 0; i < FileRecords; ++i)
            records.append(i * 11 % 37);
        board.loadDrawFile(std::move(records), "tirages.txt");
    } else {
        board.Option1_Click(mode);
    }
    return board;
}

} // namespace

// A batch leaves what as many clicks on "Lancer 1 N°" leave (in file mode with the position
// reached in Text3), stops at the end of a draw file with its message, and undoing after it
// takes back one spin at a time.
TEST(Batch, IsAsManySingleSpinsAndUndoesOneAtATime)
{
    for (int mode = 0; mode <= FileMode; ++mode) {
        SCOPED_TRACE(mode);
        Board batch = boardIn(mode);
        Board single = boardIn(mode);
        const BatchResult result = batch.spinMany(150);
        std::string lastMessage;
        for (int i = 0; i < 150; ++i) {
            if (SpinResult spin = single.Command1_Click(); !spin.spun)
                lastMessage = spin.message;
        }
        BoardState expected = single.state();
        if (mode == FileMode) {
            EXPECT_EQ(result.spun, FileRecords);
            EXPECT_EQ(result.message, lastMessage);
            EXPECT_FALSE(lastMessage.empty());
            expected.filePosText = decimalText(expected.FileCursor);
        } else {
            EXPECT_EQ(result.spun, 150);
            EXPECT_TRUE(result.message.empty());
        }
        EXPECT_EQ(batch.state(), expected);
        EXPECT_EQ(batch.series(), single.series());

        for (int k = 1; k <= 3; ++k) {
            ASSERT_TRUE(batch.undoLastSpin());
            Board shorter = boardIn(mode);
            shorter.spinMany(result.spun - k);
            EXPECT_EQ(batch.state(), shorter.state()) << k;
            EXPECT_EQ(batch.series(), shorter.series()) << k;
        }
    }
}
