#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <utility>

#include "board/board.h"
#include "store/recorder.h"
#include "tests/fakes.h"
#include "tests/tempdir.h"

using namespace roulette;

namespace
{

struct Spin {
    std::uint8_t number;
    Origin origin;
};
using StoredSessions = std::vector<std::pair<Origin, std::vector<std::uint8_t>>>;

// The board's spins since attaching, one board session after another, cut wherever the
// source changes: a reset alone does not begin a session.
StoredSessions expected(const std::vector<std::vector<Spin>> &boardSessions)
{
    StoredSessions sessions;
    for (const auto &part : boardSessions)
        for (const Spin &spin : part) {
            if (sessions.empty() || sessions.back().first != spin.origin)
                sessions.emplace_back(spin.origin, std::vector<std::uint8_t>{});
            sessions.back().second.push_back(spin.number);
        }
    return sessions;
}

StoredSessions stored(const Notebook &notebook, std::int64_t wheel)
{
    StoredSessions sessions;
    for (const SessionInfo &s : notebook.sessions(wheel))
        sessions.emplace_back(s.origin, notebook.spins(s.id));
    return sessions;
}

} // namespace

// Random spins from every source, undos reaching back past a change of source, resets and
// resets taken back, batches taken back whole with the reset they began with: at every step the
// wheel holds the board's spins since attaching, each session from one source, in order.
TEST(Recorder, EachSessionHoldsTheSpinsOfOneSourceInOrder)
{
    const roulette::testing::TempDir dir;
    Notebook notebook(dir.path() / "c.sqlite");
    const std::int64_t wheel = notebook.createWheel("Roue");
    std::mt19937 random(11);
    std::vector<float> draws(997);
    for (float &d : draws)
        d = static_cast<float>(random() % 1000) / 1000.0f;
    Board board = roulette::testing::loadedBoard(draws);
    board.spinMany(3); // before attaching: not the wheel's
    int minute = 0;
    SpinRecorder recorder(notebook, wheel, board.series(),
                          [&minute] { // in order as text too, however many sessions
                              char at[32];
                              std::snprintf(at, sizeof at, "2026-03-12T%02d:%02d", 10 + minute / 60,
                                            minute % 60);
                              ++minute;
                              return std::string(at);
                          });
    std::vector<std::vector<Spin>> model{{}};
    const auto played = [&](Origin origin) {
        const Session &session = board.series().session();
        model.back().push_back(
            {static_cast<std::uint8_t>(session.outcome(session.lastRow())), origin});
    };
    const auto leaveManual = [&] {
        if (board.state().manualMode())
            board.Label4_Click();
    };
    for (int step = 0; step < 400; ++step) {
        const unsigned op = random() % 7;
        if (op == 0) {
            if (!board.state().manualMode())
                board.Label4_Click();
            recorder.follow(spinOrigin(board.state()));
            ASSERT_TRUE(board.Label1_Click(static_cast<int>(random() % 37)).spun);
            played(Origin::Hand);
        } else if (op <= 2) {
            leaveManual();
            const int option = static_cast<int>(random() % 3);
            board.Option1_Click(option);
            recorder.follow(spinOrigin(board.state()));
            ASSERT_TRUE(board.Command1_Click().spun);
            played(option == 0 ? Origin::Generator : Origin::SimulatedWheel);
        } else if (op == 3 && board.series().session().lastRow() > 0) {
            board.Command3_Click();
            model.emplace_back();
        } else if (op == 4) { // a batch, undone as one step with the reset it may begin with
            leaveManual();
            const bool resets = random() % 2 == 0 && board.series().session().lastRow() > 0;
            board.beginBatch(resets);
            if (resets) {
                recorder.follow(spinOrigin(board.state())); // the window tells the reset first
                model.emplace_back();
            }
            const Origin origin = spinOrigin(board.state());
            for (auto n = board.spinMany(1 + random() % 5).spun; n > 0; --n) {
                const Session &session = board.series().session();
                model.back().push_back(
                    {static_cast<std::uint8_t>(session.outcome(session.lastRow() - n + 1)),
                     origin});
            }
        } else if (board.canUndo()) {
            const std::uint64_t generation = board.series().session().generation();
            for (auto n = board.spinsToUndo(); n > 0 && !model.back().empty(); --n)
                model.back().pop_back(); // else spins from before attaching
            board.undo();
            if (board.series().session().generation() < generation && model.size() > 1)
                model.pop_back(); // the reset came back
        }
        recorder.follow(spinOrigin(board.state()));
        StoredSessions held = stored(notebook, wheel);
        if (!held.empty() && held.back().second.empty())
            held.pop_back(); // the spins going on into it were taken back
        ASSERT_EQ(held, expected(model)) << "step " << step;
        ASSERT_EQ(recorder.holdsCurrentSession(), static_cast<std::int64_t>(model.back().size()) ==
                                                      board.series().session().lastRow())
            << "step " << step;
    }
    leaveManual(); // then a spin by hand taken back, which leaves the hand's session empty
    ASSERT_TRUE(board.Command1_Click().spun);
    played(spinOrigin(board.state()));
    recorder.follow(spinOrigin(board.state()));
    board.Label4_Click();
    board.Label1_Click(5);
    recorder.follow(Origin::Hand);
    board.undo();
    recorder.follow(Origin::Hand);
    recorder.finish();
    EXPECT_EQ(stored(notebook, wheel), expected(model)); // no empty session left
}
