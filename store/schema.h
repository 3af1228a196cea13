#pragma once

namespace SQLite
{
class Database;
}

namespace roulette
{

/// Brings the notebook's tables from the version in its user_version up to `target`, one
/// step after another, inside the caller's transaction. Version 0 is an empty file.
void migrateSchema(SQLite::Database &db, int target);

/// The schema version the file says it has.
int schemaVersion(SQLite::Database &db);

} // namespace roulette
