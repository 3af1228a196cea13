#include "store/schema.h"

#include <SQLiteCpp/Database.h>

#include <array>
#include <string>

namespace roulette
{

namespace
{

// Step i takes the schema from version i to version i + 1. A step, once released, never
// changes: files written by that version depend on it.
constexpr std::array Steps = {
    // Spins sit in chunks of up to a few thousand bytes, one byte per spin, so that a chunk
    // fills about one page and a spin appended rewrites one chunk, never the whole session.
    R"(CREATE TABLE wheels(
           id INTEGER PRIMARY KEY AUTOINCREMENT,
           name TEXT NOT NULL UNIQUE,
           place TEXT NOT NULL DEFAULT '',
           notes TEXT NOT NULL DEFAULT '');
       CREATE TABLE sessions(
           id INTEGER PRIMARY KEY AUTOINCREMENT,
           wheel_id INTEGER NOT NULL REFERENCES wheels(id) ON DELETE CASCADE,
           started_at TEXT NOT NULL,
           origin INTEGER NOT NULL,
           label TEXT NOT NULL DEFAULT '');
       CREATE TABLE chunks(
           session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
           seq INTEGER NOT NULL,
           numbers BLOB NOT NULL,
           PRIMARY KEY(session_id, seq));)",
    // Sessions get notes of their own, and the wheel's sessions are found without a scan.
    R"(ALTER TABLE sessions ADD COLUMN notes TEXT NOT NULL DEFAULT '';
       CREATE INDEX sessions_of_wheel ON sessions(wheel_id, started_at);)",
    // A place on the wheel pinned to be tested on later spins, with the spins there were when
    // it was pinned.
    R"(CREATE TABLE pins(
           id INTEGER PRIMARY KEY AUTOINCREMENT,
           wheel_id INTEGER NOT NULL REFERENCES wheels(id) ON DELETE CASCADE,
           distances INTEGER NOT NULL,
           start INTEGER NOT NULL,
           width INTEGER NOT NULL,
           reading INTEGER NOT NULL,
           hot INTEGER NOT NULL,
           pinned_at INTEGER NOT NULL,
           created_at TEXT NOT NULL);
       CREATE INDEX pins_of_wheel ON pins(wheel_id);)",
};

} // namespace

int schemaVersion(SQLite::Database &db)
{
    return db.execAndGet("PRAGMA user_version").getInt();
}

void migrateSchema(SQLite::Database &db, int target)
{
    for (int version = schemaVersion(db); version < target; ++version) {
        db.exec(Steps[static_cast<std::size_t>(version)]);
        db.exec("PRAGMA user_version = " + std::to_string(version + 1));
    }
}

} // namespace roulette
