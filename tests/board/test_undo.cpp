#include <gtest/gtest.h>

#include <random>

#include "board/board.h"
#include "tests/fakes.h"

using namespace roulette;

namespace
{

DrawRecords fileOf(int records, std::mt19937 &random)
{
    DrawRecords r;
    for (int i = 0; i < records; ++i)
        r.append(static_cast<int>(random() % 37));
    return r;
}

// Some user action other than a spin, so that undo meets every kind of state.
void act(Board &board, std::mt19937 &random)
{
    switch (random() % 9) {
    case 0:
        board.Label4_Click();
        break;
    case 1:
        board.Label1_Click(static_cast<int>(random() % 37));
        break;
    case 2:
        board.Option1_Click(static_cast<int>(random() % 3));
        break;
    case 3:
        board.Timer1_Timer();
        break;
    case 4:
        board.setLastText(random() % 2 ? std::to_string(random() % 40) : "abc");
        break;
    default:
        board.Command1_Click();
    }
}

} // namespace

TEST(Undo, SpinThenUndoRestoresTheWholeBoard)
{
    std::mt19937 random(11);
    int undone = 0;
    for (int run = 0; run < 40; ++run) {
        Board board(std::make_unique<SplitMixGenerator>(run),
                    std::make_unique<roulette::testing::FixedClock>());
        board.Form_Load();
        if (run % 2)
            board.loadDrawFile(fileOf(300, random), "f.txt");
        for (int step = 0; step < 200; ++step) {
            if (step > 0) // the first spin is taken back to the state of start-up
                act(board, random);
            if (step == 120)
                board.Command3_Click();
            const BoardState before = board.state();
            const Module1 seriesBefore = board.series();
            const SpinResult result = random() % 2
                                          ? board.Command1_Click()
                                          : board.Label1_Click(static_cast<int>(random() % 37));
            if (!result.spun)
                continue;
            ASSERT_TRUE(board.undoLastSpin());
            ASSERT_TRUE(board.state() == before) << "run " << run << " step " << step;
            ASSERT_TRUE(board.series() == seriesBefore) << "run " << run << " step " << step;
            ++undone;
        }
    }
    EXPECT_GT(undone, 2000) << "spins in every mode were taken back";
}

TEST(Undo, GoesBackToTheLastResetAndNoFurther)
{
    Board board;
    board.Form_Load();
    for (int i = 0; i < 5; ++i)
        board.Command1_Click();
    board.Command3_Click();
    const BoardState afterReset = board.state();
    const Module1 seriesAfterReset = board.series();
    for (int i = 0; i < 70; ++i) // past a pyramid block
        board.Command1_Click();
    for (int i = 0; i < 70; ++i)
        ASSERT_TRUE(board.undoLastSpin());
    EXPECT_FALSE(board.undoLastSpin());
    EXPECT_TRUE(board.state() == afterReset);
    EXPECT_TRUE(board.series() == seriesAfterReset);
    EXPECT_EQ(board.series().SeriesCount, 5);
}
