#include <gtest/gtest.h>

#include <SQLiteCpp/Database.h>

#include "store/notebook.h"
#include "store/pinkeeper.h"
#include "store/schema.h"
#include "tests/tempdir.h"

using namespace roulette;
using roulette::testing::TempDir;

namespace
{

const Suspect HotArc{false, 20, 5, AllSpins, true};
const Suspect ColdDistance{true, 10, 1, OddSpins, false};

void spin(Module1 &series, PinKeeper &keeper, int count)
{
    for (int i = 0; i < count; ++i)
        series.appendRow((i * 7) % 37);
    keeper.follow();
}

} // namespace

// A notebook of the schema before pins takes them; they read back as written, go with their
// wheel and come back with it; a pin that names no place on the wheel is refused when read.
TEST(NotebookPins, AnOlderNotebookKeepsPinsWithItsWheels)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    {
        SQLite::Database db(file, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        migrateSchema(db, 2);
        db.exec("INSERT INTO wheels(name) VALUES('Roue d''avant')");
    }
    const PinMark arc{HotArc, 120, "2026-12-07T21:40", 0};
    const PinMark distance{ColdDistance, 0, "2026-12-07T22:00", 0};
    {
        Notebook notebook(file);
        PinMark stored = arc;
        stored.id = notebook.addPin(1, arc);
        EXPECT_EQ(notebook.pins(1), std::vector<PinMark>{stored});
        notebook.addPin(1, distance);
        EXPECT_THROW(notebook.addPin(99, arc), NotebookError);
        const DeletedWheel deleted = notebook.deleteWheel(1);
        EXPECT_EQ(deleted.pins.size(), 2U);
        EXPECT_TRUE(notebook.pins(1).empty());
        notebook.restoreWheel(deleted);
        EXPECT_EQ(notebook.pins(1), deleted.pins);
        notebook.removePin(stored.id);
        EXPECT_THROW(notebook.removePin(stored.id), NotebookError);
    }
    Notebook reopened(file);
    ASSERT_EQ(reopened.pins(1).size(), 1U);
    EXPECT_EQ(reopened.pins(1)[0].suspect, ColdDistance);
    EXPECT_EQ(reopened.pins(1)[0].createdAt, distance.createdAt);
    SQLite::Database(file, SQLite::OPEN_READWRITE).exec("UPDATE pins SET start = 37");
    try {
        reopened.pins(1);
        ADD_FAILURE() << "a pin off the wheel was read";
    } catch (const NotebookError &error) {
        EXPECT_EQ(error.kind(), NotebookError::Kind::NotANotebook);
    }
}

// Pins made with the board alone go to the wheel once it is followed; those made on the wheel
// survive a restart and are tested on the spins after it; letting the wheel go leaves them
// with the board.
TEST(NotebookPins, APinSurvivesARestartThroughTheNotebook)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    {
        Notebook notebook(file);
        const std::int64_t wheel = notebook.createWheel("Roue");
        Module1 series;
        PinKeeper keeper(series);
        spin(series, keeper, 40);
        keeper.pin(HotArc, "2026-12-07T21:40");
        EXPECT_EQ(keeper.book().marks()[0].id, 0);
        keeper.keepWith(notebook, wheel);
        spin(series, keeper, 60);
        keeper.pin(ColdDistance, "2026-12-07T21:50");
        EXPECT_EQ(keeper.book().pins()[0].read().trials, 60);
        EXPECT_EQ(keeper.book().marks()[1].pinnedAt, 100);
        EXPECT_EQ(notebook.pins(wheel).size(), 2U);
        keeper.unpin(0);
        EXPECT_EQ(notebook.pins(wheel).size(), 1U);
    }
    Notebook notebook(file);
    Module1 series;
    PinKeeper keeper(series);
    spin(series, keeper, 5); // spins before the wheel is followed again
    keeper.keepWith(notebook, notebook.wheels().front().id);
    ASSERT_EQ(keeper.book().marks().size(), 1U);
    EXPECT_EQ(keeper.book().marks()[0].suspect, ColdDistance);
    EXPECT_EQ(keeper.book().marks()[0].pinnedAt, 5);
    spin(series, keeper, 30);
    EXPECT_EQ(keeper.book().pins()[0].read().allTrials - keeper.book().pins()[0].read().trials, 2)
        << "the odd distances among the 5 spins before";
    keeper.letGo();
    keeper.unpin(0); // the board's own now: the notebook keeps it
    EXPECT_EQ(notebook.pins(notebook.wheels().front().id).size(), 1U);
}
