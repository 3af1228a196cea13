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

// A notebook of the schema before pins: the board's pin goes to the wheel once it is followed,
// the next one made on it; a pin goes and comes back with its wheel, survives a restart and is
// tested on the spins after it; one that names no place on the wheel is refused when read.
TEST(NotebookPins, APinSurvivesARestartThroughAnOlderNotebook)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    {
        SQLite::Database db(file, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        migrateSchema(db, 2);
        db.exec("INSERT INTO wheels(name) VALUES('Roue d''avant')");
    }
    {
        Notebook notebook(file);
        Module1 series;
        PinKeeper keeper(series);
        spin(series, keeper, 40);
        keeper.pin(HotArc, "2026-12-07T21:40");
        keeper.keepWith(notebook, 1);
        spin(series, keeper, 60);
        keeper.pin(ColdDistance, "2026-12-07T21:50");
        EXPECT_EQ(keeper.book().pins()[0].read().trials, 60);
        EXPECT_EQ(notebook.pins(1), keeper.book().marks());
        notebook.restoreWheel(notebook.deleteWheel(1));
        EXPECT_EQ(notebook.pins(1), keeper.book().marks());
        keeper.unpin(0);
    }
    Notebook notebook(file);
    Module1 series;
    PinKeeper keeper(series);
    spin(series, keeper, 5); // spins before the wheel is followed again
    keeper.keepWith(notebook, 1);
    ASSERT_EQ(keeper.book().marks().size(), 1U);
    EXPECT_EQ(keeper.book().marks()[0].suspect, ColdDistance);
    EXPECT_EQ(keeper.book().marks()[0].createdAt, "2026-12-07T21:50");
    EXPECT_EQ(keeper.book().marks()[0].pinnedAt, 5);
    spin(series, keeper, 30);
    EXPECT_EQ(keeper.book().pins()[0].read().allTrials - keeper.book().pins()[0].read().trials, 2)
        << "the odd distances among the 5 spins before";
    keeper.letGo();
    EXPECT_TRUE(keeper.book().marks().empty()) << "the wheel's pins stay with it";
    keeper.pin(HotArc, "2026-12-07T22:00"); // with the board: the wheel was let go
    EXPECT_EQ(notebook.pins(1).size(), 1U);
    SQLite::Database(file, SQLite::OPEN_READWRITE).exec("UPDATE pins SET start = 37");
    EXPECT_THROW(notebook.pins(1), NotebookError);
}
