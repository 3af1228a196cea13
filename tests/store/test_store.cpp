#include <gtest/gtest.h>

#include <SQLiteCpp/Database.h>
#include <locale.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wctype.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>

#include "store/notebook.h"
#include "store/schema.h"
#include "tests/tempdir.h"

using namespace roulette;
using roulette::testing::TempDir;

namespace
{

// The notebook as a plain model: wheels by id, sessions by id with their spins.
struct Model {
    std::map<std::int64_t, WheelInfo> wheels;
    std::map<std::int64_t, DeletedSession> sessions;

    std::vector<DeletedWheel> contents() const
    {
        std::vector<DeletedWheel> result;
        for (const auto &[id, wheel] : wheels) {
            DeletedWheel entry{wheel, {}};
            for (const auto &[sid, session] : sessions)
                if (session.info.wheelId == id) {
                    entry.sessions.push_back(session);
                    entry.sessions.back().info.spins =
                        static_cast<std::int64_t>(session.numbers.size());
                    entry.info.spins += entry.sessions.back().info.spins;
                    ++entry.info.sessions;
                    entry.info.lastSession =
                        std::max(entry.info.lastSession, session.info.startedAt);
                }
            std::stable_sort(entry.sessions.begin(), entry.sessions.end(),
                             [](auto &a, auto &b) { return a.info.startedAt < b.info.startedAt; });
            result.push_back(entry);
        }
        std::sort(result.begin(), result.end(),
                  [](auto &a, auto &b) { return a.info.name < b.info.name; });
        return result;
    }
};

std::vector<DeletedWheel> contents(const Notebook &notebook)
{
    std::vector<DeletedWheel> result;
    for (const WheelInfo &wheel : notebook.wheels()) {
        result.push_back({wheel, {}});
        for (const SessionInfo &session : notebook.sessions(wheel.id))
            result.back().sessions.push_back({session, notebook.spins(session.id)});
    }
    return result;
}

std::vector<std::uint8_t> randomSpins(std::size_t count, std::mt19937 &random)
{
    std::uniform_int_distribution<int> number(0, 36);
    std::vector<std::uint8_t> spins(count);
    for (auto &n : spins)
        n = static_cast<std::uint8_t>(number(random));
    return spins;
}

template <typename T> T pick(const std::map<std::int64_t, T> &map, std::mt19937 &random)
{
    auto it = map.begin();
    std::advance(it, std::uniform_int_distribution<std::size_t>(0, map.size() - 1)(random));
    return it->second;
}

std::string bytesOf(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A notebook of the first schema, as its version wrote it: one wheel, one session.
void writeFirstSchema(const std::filesystem::path &file, const std::vector<std::uint8_t> &spins)
{
    SQLite::Database db(file, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    migrateSchema(db, 1);
    db.exec("INSERT INTO wheels(name, place) VALUES('Roue d''avant', 'Casino')");
    db.exec("INSERT INTO sessions(wheel_id, started_at, origin, label) "
            "VALUES(1, '2026-01-05T21:00', 1, 'ancienne')");
    SQLite::Statement chunk(db, "INSERT INTO chunks VALUES(1, 0, ?)");
    chunk.bind(1, spins.data(), static_cast<int>(spins.size()));
    chunk.exec();
}

// Upper case for the names written here: ASCII and é.
std::string upperCase(std::string name)
{
    for (std::size_t at; (at = name.find("é")) != std::string::npos;)
        name.replace(at, 2, "É");
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return name;
}

template <typename Work> void expectFault(NotebookError::Kind kind, Work work)
{
    try {
        work();
        ADD_FAILURE() << "no fault";
    } catch (const NotebookError &error) {
        EXPECT_EQ(error.kind(), kind) << error.what();
    }
}

// Opening `file` fails for this reason, and leaves it byte for byte as it was.
void expectRefused(const std::filesystem::path &file, NotebookError::Kind kind)
{
    const std::string before = bytesOf(file);
    expectFault(kind, [&] { Notebook notebook(file); });
    EXPECT_EQ(bytesOf(file), before) << file;
}

// A new notebook in `file` with one wheel and one empty session, whose id this returns.
std::int64_t newSession(const std::filesystem::path &file)
{
    Notebook notebook(file);
    return notebook.createSession(notebook.createWheel("Roue"), "2026-03-12T20:00", Origin::Hand);
}

// Runs `work` in a child process: the kind of fault it ended with, 99 for none.
int faultInChild(const std::function<void()> &work)
{
    const pid_t child = fork();
    if (child == 0) {
        try {
            work();
        } catch (const NotebookError &error) {
            _exit(static_cast<int>(error.kind()));
        }
        _exit(99);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

// Random edits on the notebook and on a plain model side by side, from a file of the first
// schema: the notebook holds what the model holds, reopened, read pooled, and in its backup.
TEST(Notebook, HoldsWhatWasWrittenAcrossReopeningMigrationAndBackup)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    std::mt19937 random(22);
    Model model;
    const auto old = randomSpins(5000, random);
    writeFirstSchema(file, old);
    model.wheels[1] = {1, "Roue d'avant", "Casino", "", 0, 0, ""};
    model.sessions[1] = {{1, 1, "2026-01-05T21:00", Origin::DrawFile, "ancienne", "", 0}, old};
    {
        Notebook notebook(file);
        for (int step = 0; step < 300; ++step) {
            const int action = std::uniform_int_distribution<int>(0, 9)(random);
            const DeletedSession session = pick(model.sessions, random);
            const std::int64_t sid = session.info.id;
            const WheelInfo wheel = pick(model.wheels, random);
            if (action == 0) {
                const std::string name = "Roue é" + std::to_string(step);
                const std::int64_t id = notebook.createWheel(name, "Table 3");
                model.wheels[id] = {id, name, "Table 3", "", 0, 0, ""};
            } else if (action == 1) {
                const auto date = "2026-03-" + std::to_string(10 + step % 20) + "T20:00";
                const std::int64_t id =
                    notebook.createSession(wheel.id, date, Origin::Hand, "soir");
                model.sessions[id] = {{id, wheel.id, date, Origin::Hand, "soir", "", 0}, {}};
            } else if (action <= 3) {
                const auto spins = randomSpins(
                    std::uniform_int_distribution<std::size_t>(0, 9000)(random), random);
                notebook.appendSpins(sid, spins);
                auto &numbers = model.sessions[sid].numbers;
                numbers.insert(numbers.end(), spins.begin(), spins.end());
            } else if (action == 4) {
                notebook.appendSpin(sid, step % 37);
                model.sessions[sid].numbers.push_back(static_cast<std::uint8_t>(step % 37));
            } else if (action == 5) {
                EXPECT_EQ(notebook.removeLastSpin(sid), !session.numbers.empty());
                if (!session.numbers.empty())
                    model.sessions[sid].numbers.pop_back();
            } else if (action == 6) {
                const std::string text = "n° « " + std::to_string(step) + " »";
                notebook.renameSession(sid, text);
                notebook.annotateSession(sid, text + " notes");
                notebook.annotateWheel(wheel.id, text, text + " notes");
                model.sessions[sid].info.label = text;
                model.sessions[sid].info.notes = text + " notes";
                model.wheels[wheel.id].place = text;
                model.wheels[wheel.id].notes = text + " notes";
            } else if (action == 7) {
                notebook.moveSession(sid, wheel.id);
                model.sessions[sid].info.wheelId = wheel.id;
                const WheelInfo other = pick(model.wheels, random);
                if (other.id != wheel.id)
                    expectFault(NotebookError::Kind::NameTaken,
                                [&] { notebook.renameWheel(wheel.id, upperCase(other.name)); });
                notebook.renameWheel(wheel.id, wheel.name + "+");
                model.wheels[wheel.id].name += "+";
            } else if (action == 8) {
                const DeletedSession deleted = notebook.deleteSession(sid);
                EXPECT_EQ(deleted.numbers, session.numbers);
                if (model.sessions.size() > 1 && step % 2 == 0)
                    model.sessions.erase(sid);
                else
                    notebook.restoreSession(deleted);
            } else {
                const DeletedWheel deleted = notebook.deleteWheel(wheel.id);
                notebook.restoreWheel(deleted);
            }
        }
        expectFault(NotebookError::Kind::Invalid, [&] { notebook.createWheel(" "); });
        expectFault(NotebookError::Kind::NotFound, [&] { notebook.appendSpin(-1, 7); });
        EXPECT_EQ(contents(notebook), model.contents());
        notebook.backupTo(dir.path() / "copie.sqlite");
    }
    const Notebook reopened(file);
    const auto expected = model.contents();
    EXPECT_EQ(contents(reopened), expected);
    EXPECT_EQ(contents(Notebook(dir.path() / "copie.sqlite")), expected);

    std::vector<std::int64_t> ids;
    PooledSpins pooled;
    for (const DeletedWheel &wheel : expected)
        for (const DeletedSession &session : wheel.sessions) {
            ids.push_back(session.info.id);
            pooled.starts.push_back(pooled.numbers.size());
            pooled.numbers.insert(pooled.numbers.end(), session.numbers.begin(),
                                  session.numbers.end());
        }
    const PooledSpins read = reopened.pooledSpins(ids);
    EXPECT_EQ(read.numbers, pooled.numbers);
    EXPECT_EQ(read.starts, pooled.starts);
}

// Wheel names differing only in case are one name from now on; a notebook written before
// that, holding two of them, still opens with both, and a wheel may change its own case.
TEST(Notebook, WheelNamesAreOneWhateverTheirCase)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    {
        SQLite::Database db(file, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        migrateSchema(db, 1);
        db.exec("INSERT INTO wheels(name) VALUES('Roue Été'), ('roue été')");
    }
    Notebook notebook(file);
    ASSERT_EQ(notebook.wheels().size(), 2U);
    expectFault(NotebookError::Kind::NameTaken, [&] { notebook.createWheel("ROUE ÉTÉ"); });
    const std::int64_t id = notebook.createWheel("Œuvre");
    expectFault(NotebookError::Kind::NameTaken, [&] { notebook.createWheel("œUVRE"); });
    notebook.renameWheel(id, "ŒUVRE");
    EXPECT_EQ(notebook.wheels().back().name, "ŒUVRE"); // after R and r, byte by byte
    EXPECT_EQ(wheelNameKey("ÀÉÎÕÜÇŸŒ Ab"), "àéîõüçÿœ ab");
}

// The same evening entered twice is seen from either end of the new spins; spins that
// merely share a few numbers are not.
TEST(Notebook, FindsARepeatedBlockAtEitherEnd)
{
    TempDir dir;
    const std::int64_t stored = newSession(dir.path() / "carnet.sqlite");
    Notebook notebook(dir.path() / "carnet.sqlite");
    const std::int64_t wheel = notebook.wheels().front().id;
    std::mt19937 random(5);
    const auto spins = randomSpins(3000, random);
    notebook.appendSpins(stored, spins);

    auto fresh = randomSpins(500, random);
    EXPECT_FALSE(notebook.findRepeatedBlock(wheel, fresh));
    auto startsWithOld = fresh;
    startsWithOld.insert(startsWithOld.begin(), spins.begin() + 100, spins.begin() + 160);
    EXPECT_EQ(notebook.findRepeatedBlock(wheel, startsWithOld), (StoredRepeat{stored, true, 60}));
    auto endsWithOld = fresh;
    endsWithOld.insert(endsWithOld.end(), spins.end() - 25, spins.end());
    EXPECT_EQ(notebook.findRepeatedBlock(wheel, endsWithOld), (StoredRepeat{stored, false, 25}));
    EXPECT_FALSE(notebook.findRepeatedBlock(wheel + 1, endsWithOld)); // another wheel
    endsWithOld.erase(endsWithOld.end() - 6, endsWithOld.end());
    EXPECT_FALSE(notebook.findRepeatedBlock(wheel, endsWithOld)); // 19 spins are not a block
}

// A child appends spins by hand and reports each one once written; killed at a random
// moment, it has lost none of those it reported.
TEST(NotebookFaults, HandSpinsSurviveAKill)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    const std::int64_t session = newSession(file);
    int reports[2];
    ASSERT_EQ(pipe(reports), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(reports[0]);
        try {
            Notebook notebook(file);
            for (int i = 0;; ++i) {
                notebook.appendSpin(session, i % 37);
                if (write(reports[1], "x", 1) != 1)
                    _exit(1);
            }
        } catch (...) {
            _exit(2);
        }
    }
    close(reports[1]);
    std::mt19937 random(9);
    const auto killAfter = std::uniform_int_distribution<std::size_t>(1, 500)(random);
    std::size_t reported = 0;
    char byte = 0;
    while (reported < killAfter && read(reports[0], &byte, 1) == 1)
        ++reported;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    while (read(reports[0], &byte, 1) == 1)
        ++reported;
    close(reports[0]);

    const auto spins = Notebook(file).spins(session);
    ASSERT_GE(spins.size(), reported);
    EXPECT_LE(spins.size(), reported + 1);
    for (std::size_t i = 0; i < spins.size(); ++i)
        ASSERT_EQ(spins[i], i % 37) << i;
}

// A file that is not a notebook of this version is refused with its reason, and left
// byte for byte as it was.
TEST(NotebookFaults, RefusesDamagedForeignAndNewerFilesUntouched)
{
    TempDir dir;
    const auto text = dir.write("texte.sqlite", "roue;12;32;15\n");
    const auto foreign = dir.path() / "autre.sqlite";
    SQLite::Database(foreign, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE)
        .exec("CREATE TABLE contacts(nom TEXT)");
    const auto wrong = dir.path() / "faux.sqlite";
    SQLite::Database(wrong, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE)
        .exec("CREATE TABLE wheels(x); PRAGMA user_version = 2");
    const auto newer = dir.path() / "futur.sqlite";
    Notebook(newer).createWheel("Roue");
    SQLite::Database(newer, SQLite::OPEN_READWRITE).exec("PRAGMA user_version = 3");

    for (const auto &file : {text, foreign, wrong})
        expectRefused(file, NotebookError::Kind::NotANotebook);
    expectRefused(newer, NotebookError::Kind::Newer);
}

// Another copy of the program in the middle of a write: this one waits, then says the
// notebook is busy, and can write once the other is done.
TEST(NotebookFaults, ABusyNotebookSaysSoThenWorksAgain)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    const std::int64_t session = newSession(file);
    Notebook notebook(file, std::chrono::milliseconds(50));
    notebook.appendSpin(session, 7);
    SQLite::Database other(file, SQLite::OPEN_READWRITE);
    other.exec("BEGIN IMMEDIATE");
    expectFault(NotebookError::Kind::Busy, [&] { notebook.appendSpin(session, 8); });
    EXPECT_EQ(Notebook(file).spins(session), std::vector<std::uint8_t>{7});
    other.exec("ROLLBACK");
    notebook.appendSpin(session, 8);
    EXPECT_EQ(notebook.spins(session), (std::vector<std::uint8_t>{7, 8}));
}

// A disk that fills in the middle of a long write: the write fails whole, with its reason,
// and the notebook keeps what it held.
TEST(NotebookFaults, AFullDiskLosesNothingStored)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    const std::int64_t session = newSession(file);
    Notebook(file).appendSpins(session, std::vector<std::uint8_t>(5000, 3));
    const auto before = contents(Notebook(file));
    EXPECT_EQ(faultInChild([&] {
                  signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit{rlim_t{64} * 1024, rlim_t{64} * 1024};
                  setrlimit(RLIMIT_FSIZE, &limit);
                  Notebook(file).appendSpins(session, std::vector<std::uint8_t>(1'000'000, 5));
              }),
              static_cast<int>(NotebookError::Kind::WriteFailed));
    EXPECT_EQ(contents(Notebook(file)), before);
}

// Root may write to any file: then the notebook is opened as nobody.
TEST(NotebookFaults, ReadOnlyFileIsRefusedUntouched)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    Notebook(file).createWheel("Roue");
    chmod(file.c_str(), 0444);
    chmod(dir.path().c_str(), 0755);
    const std::string before = bytesOf(file);
    EXPECT_EQ(faultInChild([&] {
                  if (geteuid() == 0 && setuid(65534) != 0)
                      return;
                  Notebook notebook(file);
              }),
              static_cast<int>(NotebookError::Kind::ReadOnly));
    EXPECT_EQ(bytesOf(file), before);
}

// Wheel names fold as the C library lowers the letters of the Latin alphabets (U+0000 to
// U+017F), whatever their bytes; the other alphabets keep their case.
TEST(Notebook, WheelNamesFoldAsTheLatinLowerCase)
{
    const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    ASSERT_NE(utf8, locale_t{});
    const auto encoded = [](char32_t c) {
        return c < 0x80 ? std::string(1, static_cast<char>(c))
                        : std::string{static_cast<char>(0xC0 | (c >> 6)),
                                      static_cast<char>(0x80 | (c & 0x3F))};
    };
    for (char32_t c = 1; c < 0x800; ++c) {
        const auto lower = c < 0x180 ? static_cast<char32_t>(towlower_l(c, utf8)) : c;
        EXPECT_EQ(wheelNameKey("R" + encoded(c) + "x"), "r" + encoded(lower) + "x")
            << std::hex << static_cast<unsigned>(c);
    }
    freelocale(utf8);
}
