#include <gtest/gtest.h>

#include <SQLiteCpp/Database.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <thread>

#include "store/notebook.h"
#include "store/schema.h"
#include "store/sessiondate.h"
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
                const auto date = "2025-0" + std::to_string(1 + step % 9) + "-01T09:00";
                notebook.redateSession(sid, date); // moves it among its wheel's sessions
                model.sessions[sid].info.startedAt = date;
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
        expectFault(NotebookError::Kind::Invalid, [&] { notebook.redateSession(1, "hier soir"); });
        expectFault(NotebookError::Kind::NotFound,
                    [&] { notebook.redateSession(-1, "2019-04-24T21:30"); });
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
    // Upper case, é as e and its accent, blanks doubled (the window's test tries every letter).
    expectFault(NotebookError::Kind::NameTaken, [&] { notebook.createWheel(" ROUE  e\u0301TÉ"); });
    const std::int64_t id = notebook.createWheel("Œuvre");
    expectFault(NotebookError::Kind::NameTaken, [&] { notebook.createWheel("œUVRE"); });
    notebook.renameWheel(id, "ŒUVRE");
    EXPECT_EQ(notebook.wheels().back().name, "ŒUVRE"); // after R and r, byte by byte
    expectFault(NotebookError::Kind::Invalid, [&] { notebook.createWheel("\u00A0\u200B"); });

    // Texts are capped, counted in characters rather than bytes.
    const std::string longest(NameLengthLimit, 'x');
    std::string accented;
    for (std::size_t i = 0; i < NameLengthLimit; ++i)
        accented += "é";
    notebook.renameWheel(id, accented);
    const std::int64_t session =
        notebook.createSession(id, "2026-03-12T20:00", Origin::Hand, longest);
    expectFault(NotebookError::Kind::Invalid, [&] { notebook.createWheel(longest + "x"); });
    expectFault(NotebookError::Kind::Invalid, [&] { notebook.createWheel("l", longest + "x"); });
    expectFault(NotebookError::Kind::Invalid,
                [&] { notebook.renameSession(session, longest + "é"); });
    const std::string tooLong(NotesLengthLimit + 1, 'n');
    expectFault(NotebookError::Kind::Invalid, [&] { notebook.annotateSession(session, tooLong); });
    expectFault(NotebookError::Kind::Invalid, [&] { notebook.annotateWheel(id, "", tooLong); });
    EXPECT_EQ(notebook.sessions(id).front().label, longest);
}

// A date in a file's name, as casinos and trackers write it; digits that are no date, or a
// date cut out of a longer number, give none.
TEST(SessionDate, ReadsTheDateAFileNameGives)
{
    const std::pair<const char *, std::optional<SessionTime>> names[] = {
        {"Permanence_Table2_190424.txt", SessionTime{2019, 4, 24}},
        {"casino-19500424.csv", SessionTime{1950, 4, 24}},
        {"table 3 2019-04-24.txt", SessionTime{2019, 4, 24}},
        {"t1_240229.txt", SessionTime{2024, 2, 29}},
        {"t1_230229.txt", std::nullopt}, // 2023 has no 29 February
        {"t1_191324.txt", std::nullopt}, // month 13
        {"2019-4-24.txt", std::nullopt},
        {"2019_04_24.txt", std::nullopt},
        {"1190424.txt", std::nullopt}, // seven digits: not a date cut out of them
        {"table 12, page 3, 190424.txt", SessionTime{2019, 4, 24}},
        {"19042412 ou 190424.txt", SessionTime{2019, 4, 24}}, // 1904-24-12: not a date
        {"permanence.txt", std::nullopt},
    };
    for (const auto &[name, date] : names)
        EXPECT_EQ(dateInFileName(name), date) << name;
    EXPECT_EQ(sessionTimeText({2019, 4, 24, 9, 5}), "2019-04-24T09:05");
    EXPECT_EQ(parseSessionTime("2019-04-24T09:05:59"), (SessionTime{2019, 4, 24, 9, 5}));
    for (const char *bad :
         {"2019-04-24", "2019-04-24T24:00", "2019-00-01T10:00", "24/04/2019 10:00"})
        EXPECT_FALSE(parseSessionTime(bad)) << bad;
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

// A raw connection to a notebook, past the checks of the program.
void tamper(const std::filesystem::path &file, const std::string &sql)
{
    SQLite::Database(file, SQLite::OPEN_READWRITE).exec(sql);
}

// Damaged and crafted files: each refused with its reason in French, and left byte for byte
// as it was. Opening refuses what the tables show; spins are refused when read.
TEST(NotebookFaults, RefusesDamagedForeignAndCraftedFilesUntouched)
{
    using Kind = NotebookError::Kind;
    TempDir dir;
    const auto make = [&](const std::string &name, const std::string &sql) {
        auto file = dir.path() / name;
        SQLite::Database(file, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE).exec(sql);
        return file;
    };
    const auto notebook = [&](const std::string &name, const std::string &sql) {
        auto file = dir.path() / name;
        Notebook(file).appendSpins(newSession(file), std::vector<std::uint8_t>(9000, 36));
        tamper(file, sql);
        return file;
    };
    const std::string huge = "'" + std::string(1'000'000, 'x') + "'";
    const struct {
        std::filesystem::path file;
        Kind kind;
    } refused[] = {
        {dir.write("texte.sqlite", "roue;12;32;15\n"), Kind::NotANotebook},
        {dir.write("octet.sqlite", "7"), Kind::NotANotebook}, // SQLite would write over it
        {make("autre.sqlite", "CREATE TABLE contacts(nom TEXT)"), Kind::NotANotebook},
        {make("v1.sqlite", "CREATE TABLE wheels(x); PRAGMA user_version = 1"), Kind::NotANotebook},
        {make("v2.sqlite", "CREATE TABLE wheels(x); PRAGMA user_version = 2"), Kind::NotANotebook},
        {notebook("futur.sqlite",
                  "PRAGMA user_version = " + std::to_string(Notebook::SchemaVersion + 1)),
         Kind::Newer},
        {notebook("nom.sqlite", "UPDATE wheels SET name = " + huge), Kind::NotANotebook},
        {notebook("notes.sqlite", "UPDATE sessions SET notes = " + huge), Kind::NotANotebook},
    };
    for (const auto &[file, kind] : refused) {
        const std::string before = bytesOf(file);
        try {
            Notebook opened(file);
            ADD_FAILURE() << file << " opened";
        } catch (const NotebookError &error) {
            EXPECT_EQ(error.kind(), kind) << file;
            EXPECT_NE(std::string(error.what()).find(file.filename().string()), std::string::npos)
                << error.what();
        }
        EXPECT_TRUE(bytesOf(file) == before) << file;
    }

    // A spin byte out of 0..36 in the last chunk: every read or change of its spins fails.
    const auto damaged =
        notebook("chunk.sqlite", "UPDATE chunks SET numbers = "
                                 "CAST(replace(numbers, x'2424', x'2425') AS BLOB) "
                                 "WHERE seq = 2");
    const std::string before = bytesOf(damaged);
    {
        Notebook opened(damaged);
        const std::int64_t session = opened.sessions(opened.wheels().front().id).front().id;
        const std::int64_t ids[] = {session};
        const std::vector<std::function<void()>> uses = {
            [&] { opened.spins(session); },
            [&] { opened.pooledSpins(ids); },
            [&] { opened.appendSpin(session, 4); },
            [&] { opened.deleteSessions(ids); },
            [&] { opened.deleteWheel(opened.wheels().front().id); },
        };
        for (const auto &use : uses)
            try {
                use();
                ADD_FAILURE() << "a damaged session was read";
            } catch (const NotebookError &error) {
                EXPECT_EQ(error.kind(), Kind::NotANotebook);
                EXPECT_NE(std::string(error.what()).find("« 37 »"), std::string::npos)
                    << error.what();
            }
    }
    EXPECT_TRUE(bytesOf(damaged) == before);
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

    // Held for a moment, as by an import: a write with the usual patience waits for it.
    other.exec("BEGIN IMMEDIATE");
    std::thread release([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        other.exec("COMMIT");
    });
    Notebook(file).appendSpin(session, 9);
    release.join();
    EXPECT_EQ(notebook.spins(session), (std::vector<std::uint8_t>{7, 8, 9}));
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
    try {
        Notebook(file).backupTo(dir.path() / "absent" / "copie.sqlite");
        ADD_FAILURE() << "copied into a folder that does not exist";
    } catch (const NotebookError &error) {
        EXPECT_NE(std::string(error.what()).find("le dossier n'existe pas"), std::string::npos)
            << error.what();
    }
}

// A copy onto one of the notebook's own files, by any spelling of its path, is refused: the
// notebook, crashed with its last spins still in its log, holds them all when reopened.
TEST(NotebookFaults, ABackupNeverReplacesTheNotebooksOwnFiles)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    const std::int64_t session = newSession(file);
    std::filesystem::create_directory(dir.path() / "sous");
    std::filesystem::create_directory_symlink(dir.path(), dir.path() / "lien");
    std::filesystem::create_symlink(file.string() + "-wal", dir.path() / "journal");
    const std::filesystem::path own[] = {file,
                                         file.string() + "-wal",
                                         file.string() + "-shm",
                                         dir.path() / "sous" / ".." / "carnet.sqlite-wal",
                                         dir.path() / "lien" / "carnet.sqlite-shm",
                                         dir.path() / "journal"};
    const std::vector<std::uint8_t> spins(3000, 17);
    EXPECT_EQ(faultInChild([&] {
                  Notebook notebook(file);
                  notebook.appendSpins(session, spins); // in the log, not yet in the file
                  for (const auto &target : own)
                      try {
                          notebook.backupTo(target);
                          _exit(50);
                      } catch (const NotebookError &error) {
                          if (error.kind() != NotebookError::Kind::Invalid)
                              _exit(51);
                      }
                  kill(getpid(), SIGKILL);
              }),
              -1);
    EXPECT_EQ(Notebook(file).spins(session), spins);
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

// An import of many sessions, stopped by a full disk into a new wheel and by a kill into a
// stored wheel, in a child: the notebook holds all of it or none of it, never a part.
TEST(NotebookFaults, AnImportIsWholeOrNotAtAll)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    const std::int64_t stored = newSession(file);
    const std::int64_t wheel = Notebook(file).wheels().front().id;
    Notebook(file).appendSpins(stored, std::vector<std::uint8_t>(5000, 3));
    const auto before = contents(Notebook(file));
    std::mt19937 random(31);
    const auto spins = randomSpins(3'000'000, random); // more than SQLite's cache holds
    std::vector<NewSession> sessions;
    for (std::size_t at = 0; at < spins.size(); at += 1000)
        sessions.push_back(
            {"2026-04-01T20:00", Origin::Import, "p.txt", std::span(spins).subspan(at, 1000)});

    EXPECT_EQ(faultInChild([&] {
                  signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit{rlim_t{512} * 1024, rlim_t{512} * 1024};
                  setrlimit(RLIMIT_FSIZE, &limit);
                  Notebook(file).importSessions(std::string("Neuve"), sessions);
              }),
              static_cast<int>(NotebookError::Kind::WriteFailed));
    EXPECT_EQ(contents(Notebook(file)), before);

    // Killed halfway, then once the import has returned.
    for (const bool halfway : {true, false}) {
        int reports[2];
        ASSERT_EQ(pipe(reports), 0);
        const pid_t child = fork();
        if (child == 0) {
            Notebook notebook(file);
            notebook.importSessions(wheel, sessions, [&](double done) {
                if (halfway && done >= 0.5 && write(reports[1], "x", 1) == 1)
                    pause();
                return true;
            });
            if (write(reports[1], "x", 1) == 1)
                pause();
            _exit(1);
        }
        close(reports[1]); // a child that ends before reporting is an end of file, not a wait
        char byte = 0;
        ASSERT_EQ(read(reports[0], &byte, 1), 1);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        close(reports[0]);
        const auto after = contents(Notebook(file));
        if (halfway) {
            EXPECT_EQ(after, before);
            continue;
        }
        ASSERT_EQ(after.size(), 1U);
        ASSERT_EQ(after[0].sessions.size(), sessions.size() + 1);
        std::vector<std::uint8_t> imported;
        for (std::size_t s = 1; s < after[0].sessions.size(); ++s)
            imported.insert(imported.end(), after[0].sessions[s].numbers.begin(),
                            after[0].sessions[s].numbers.end());
        EXPECT_EQ(imported, spins);
    }
}

// Several sessions deleted at once, the last of them damaged: the delete stops whole.
TEST(NotebookFaults, ADeleteOfSeveralSessionsIsWholeOrNotAtAll)
{
    TempDir dir;
    const auto file = dir.path() / "carnet.sqlite";
    Notebook notebook(file);
    const std::int64_t wheel = notebook.createWheel("Roue");
    std::vector<std::int64_t> ids;
    for (std::uint8_t s = 0; s < 4; ++s) {
        ids.push_back(notebook.createSession(wheel, "2026-03-12T20:00", Origin::Hand));
        notebook.appendSpins(ids.back(), std::vector<std::uint8_t>(2000, s));
    }
    tamper(file, "UPDATE chunks SET numbers = x'FF' WHERE session_id = " + std::to_string(ids[3]));
    expectFault(NotebookError::Kind::NotANotebook, [&] { notebook.deleteSessions(ids); });
    ASSERT_EQ(notebook.sessions(wheel).size(), 4U);
    for (std::uint8_t s = 0; s < 3; ++s)
        EXPECT_EQ(notebook.spins(ids[s]), std::vector<std::uint8_t>(2000, s));
}
