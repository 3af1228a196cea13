#include "store/notebook.h"

#include <SQLiteCpp/Backup.h>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <algorithm>
#include <functional> // std::boyer_moore_horspool_searcher
#include <iterator>

#include "store/schema.h"

namespace roulette
{

namespace
{

using Kind = NotebookError::Kind;

// A chunk this long still fits in one 4 KiB page with its key, so a session costs little
// more than a byte per spin, and a spin appended rewrites one page.
constexpr std::size_t ChunkSpins = 4000;

constexpr const char *WheelQuery = R"(
    SELECT w.id, w.name, w.place, w.notes,
        (SELECT count(*) FROM sessions s WHERE s.wheel_id = w.id),
        (SELECT coalesce(sum(length(c.numbers)), 0)
             FROM sessions s JOIN chunks c ON c.session_id = s.id WHERE s.wheel_id = w.id),
        (SELECT coalesce(max(s.started_at), '') FROM sessions s WHERE s.wheel_id = w.id)
    FROM wheels w )";

constexpr const char *SessionQuery = R"(
    SELECT s.id, s.wheel_id, s.started_at, s.origin, s.label, s.notes,
        (SELECT coalesce(sum(length(numbers)), 0) FROM chunks WHERE session_id = s.id)
    FROM sessions s )";

std::string quoted(const std::filesystem::path &file)
{
    return "« " + file.filename().string() + " »";
}

NotebookError translate(const SQLite::Exception &error, const std::filesystem::path &file)
{
    const std::string name = quoted(file);
    switch (error.getErrorCode()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {Kind::Busy, "Le carnet " + name +
                                " est occupé par un autre exemplaire du programme ; réessayez "
                                "dans un instant."};
    case SQLITE_CANTOPEN:
        return {Kind::ReadOnly, "Le carnet " + name +
                                    " ne peut être ni ouvert ni créé : son dossier manque ou "
                                    "est en lecture seule."};
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return {Kind::ReadOnly, "Le carnet " + name +
                                    " ne peut pas être modifié : le fichier ou son dossier est "
                                    "en lecture seule."};
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return {Kind::NotANotebook,
                "Le fichier " + name + " n'est pas un carnet des roues, ou il est endommagé."};
    case SQLITE_IOERR:
        if (error.getExtendedErrorCode() == SQLITE_IOERR_READ ||
            error.getExtendedErrorCode() == SQLITE_IOERR_SHORT_READ)
            return {Kind::Other,
                    "Le carnet " + name + " n'a pas pu être lu (support retiré ou endommagé)."};
        [[fallthrough]];
    case SQLITE_FULL:
        return {Kind::WriteFailed, "Le carnet " + name +
                                       " n'a pas pu être écrit (disque plein ou support "
                                       "retiré) ; ce qu'il contenait déjà est intact."};
    case SQLITE_CONSTRAINT:
        if (error.getExtendedErrorCode() == SQLITE_CONSTRAINT_UNIQUE)
            return {Kind::NameTaken, "Une roue porte déjà ce nom dans le carnet."};
        if (error.getExtendedErrorCode() == SQLITE_CONSTRAINT_FOREIGNKEY)
            return {Kind::NotFound, "Cette roue ou cette séance n'est plus dans le carnet."};
        return {Kind::Invalid, "Cet élément est déjà dans le carnet."};
    default:
        return {Kind::Other, "Erreur du carnet " + name + " : " + error.what()};
    }
}

void checkNumbers(std::span<const std::uint8_t> numbers)
{
    if (std::any_of(numbers.begin(), numbers.end(), [](std::uint8_t n) { return n > 36; }))
        throw NotebookError(Kind::Invalid, "Un numéro de la roulette va de 0 à 36.");
}

void checkName(const std::string &name)
{
    if (name.find_first_not_of(" \t") == std::string::npos)
        throw NotebookError(Kind::Invalid, "Une roue doit avoir un nom.");
}

// The lower case of a code point of the Latin alphabets; others as they are.
char32_t lowerLatin(char32_t c)
{
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 32;
    if (c == 0x178) // Ÿ
        return 0xFF;
    if (c == 0x130) // İ, whose lower case is the dotted i, not ı
        return U'i';
    const bool evenUpper = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1))
        return c + 1;
    return c;
}

// Below U+0800, where every folded letter stays.
void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
}

WheelInfo readWheel(const SQLite::Statement &row)
{
    return {row.getColumn(0).getInt64(),  row.getColumn(1).getString(),
            row.getColumn(2).getString(), row.getColumn(3).getString(),
            row.getColumn(5).getInt64(),  row.getColumn(4).getInt64(),
            row.getColumn(6).getString()};
}

SessionInfo readSession(const SQLite::Statement &row)
{
    return {row.getColumn(0).getInt64(),  row.getColumn(1).getInt64(),
            row.getColumn(2).getString(), static_cast<Origin>(row.getColumn(3).getInt()),
            row.getColumn(4).getString(), row.getColumn(5).getString(),
            row.getColumn(6).getInt64()};
}

void appendBlob(const SQLite::Column &column, std::vector<std::uint8_t> &out)
{
    const auto *bytes = static_cast<const std::uint8_t *>(column.getBlob());
    out.insert(out.end(), bytes, bytes + column.getBytes());
}

void readSpins(SQLite::Database &db, std::int64_t sessionId, std::vector<std::uint8_t> &out)
{
    SQLite::Statement chunks(db, "SELECT numbers FROM chunks WHERE session_id = ? ORDER BY seq");
    chunks.bind(1, sessionId);
    while (chunks.executeStep())
        appendBlob(chunks.getColumn(0), out);
}

// How many spins from the start of `numbers` a stored session repeats, 0 when its first
// spins appear nowhere in it.
std::size_t repeatedHead(const std::vector<std::uint8_t> &stored,
                         std::span<const std::uint8_t> numbers)
{
    const auto head = numbers.first(RepeatedBlockMinimum);
    const auto found = std::search(stored.begin(), stored.end(),
                                   std::boyer_moore_horspool_searcher(head.begin(), head.end()));
    if (found == stored.end())
        return 0;
    const auto ends = std::mismatch(numbers.begin(), numbers.end(), found, stored.end());
    return static_cast<std::size_t>(ends.first - numbers.begin());
}

std::size_t repeatedTail(const std::vector<std::uint8_t> &stored,
                         std::span<const std::uint8_t> numbers)
{
    const auto tail = numbers.last(RepeatedBlockMinimum);
    const auto found = std::search(stored.begin(), stored.end(),
                                   std::boyer_moore_horspool_searcher(tail.begin(), tail.end()));
    if (found == stored.end())
        return 0;
    const auto ends =
        std::mismatch(numbers.rbegin(), numbers.rend(),
                      std::make_reverse_iterator(found + RepeatedBlockMinimum), stored.rend());
    return static_cast<std::size_t>(ends.first - numbers.rbegin());
}

} // namespace

// Only two-byte sequences can hold the letters folded; every other byte goes through as it is.
std::string wheelNameKey(std::string_view name)
{
    std::string key;
    key.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto lead = static_cast<unsigned char>(name[i]);
        const auto next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
        if (lead < 0x80) {
            key += static_cast<char>(lowerLatin(lead));
        } else if ((lead & 0xE0) == 0xC0 && (next & 0xC0) == 0x80) {
            appendUtf8(key, lowerLatin(static_cast<char32_t>((lead & 0x1F) << 6 | (next & 0x3F))));
            ++i;
        } else {
            key += name[i];
        }
    }
    return key;
}

std::string_view originText(Origin origin)
{
    switch (origin) {
    case Origin::Hand:
        return "saisie à la main";
    case Origin::DrawFile:
        return "fichier de tirage";
    case Origin::Import:
        return "import";
    case Origin::Generator:
        return "générateur";
    }
    return {};
}

template <typename Work> auto Notebook::guarded(Work work) const
{
    try {
        return work();
    } catch (const SQLite::Exception &error) {
        throw translate(error, m_file);
    }
}

Notebook::Notebook(const std::filesystem::path &file, std::chrono::milliseconds busyWait)
    : m_file(file)
{
    guarded([&] {
        m_db = std::make_unique<SQLite::Database>(
            file, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE, static_cast<int>(busyWait.count()));
        openSchema();
    });
}

Notebook::~Notebook() = default;

// Everything that could alter a file that is not ours, or not ours yet, waits until the
// file has been recognised.
void Notebook::openSchema()
{
    const std::string name = quoted(m_file);
    if (sqlite3_db_readonly(m_db->getHandle(), "main") == 1)
        throw NotebookError(Kind::ReadOnly, "Le carnet " + name + " est en lecture seule.");
    const int version = schemaVersion(*m_db);
    if (version > SchemaVersion)
        throw NotebookError(Kind::Newer,
                            "Le carnet " + name +
                                " a été écrit par une version plus récente du "
                                "programme ; mettez le programme à jour pour l'ouvrir.");
    if (version == 0 && m_db->execAndGet("SELECT count(*) FROM sqlite_master").getInt() > 0)
        throw NotebookError(Kind::NotANotebook,
                            "Le fichier " + name +
                                " est une base de données d'un autre programme.");
    m_db->exec("PRAGMA foreign_keys = ON");
    // In WAL mode a full sync writes only the log at each commit: a spin entered by hand
    // then survives a power cut as well as a crash.
    m_db->exec("PRAGMA synchronous = FULL");
    if (version < SchemaVersion) {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        migrateSchema(*m_db, SchemaVersion);
        transaction.commit();
    }
    try {
        for (const char *probe :
             {"SELECT id, name, place, notes FROM wheels",
              "SELECT id, wheel_id, started_at, origin, label, notes FROM sessions",
              "SELECT session_id, seq, numbers FROM chunks"})
            SQLite::Statement(*m_db, probe);
    } catch (const SQLite::Exception &) {
        throw NotebookError(Kind::NotANotebook,
                            "Le fichier " + name + " n'a pas la forme d'un carnet des roues.");
    }
    if (m_db->execAndGet("PRAGMA journal_mode = WAL").getString() != "wal")
        throw NotebookError(Kind::Other, "Le carnet " + name + " ne peut pas passer en mode WAL.");
}

std::vector<WheelInfo> Notebook::wheels() const
{
    return guarded([&] {
        SQLite::Statement query(*m_db, std::string(WheelQuery) + "ORDER BY w.name");
        std::vector<WheelInfo> result;
        while (query.executeStep())
            result.push_back(readWheel(query));
        return result;
    });
}

WheelInfo Notebook::wheelInfo(std::int64_t wheelId) const
{
    SQLite::Statement query(*m_db, std::string(WheelQuery) + "WHERE w.id = ?");
    query.bind(1, wheelId);
    if (!query.executeStep())
        throw NotebookError(Kind::NotFound, "Cette roue n'est plus dans le carnet.");
    return readWheel(query);
}

std::int64_t Notebook::createWheel(const std::string &name, const std::string &place,
                                   const std::string &notes)
{
    checkName(name);
    return guarded([&] {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        requireFreeName(name, 0);
        SQLite::Statement insert(*m_db, "INSERT INTO wheels(name, place, notes) VALUES(?, ?, ?)");
        insert.bind(1, name);
        insert.bind(2, place);
        insert.bind(3, notes);
        insert.exec();
        transaction.commit();
        return m_db->getLastInsertRowid();
    });
}

// Checked here rather than by an index over the folded names: a notebook that already
// holds two such names would make that index, and so its migration, fail.
void Notebook::requireFreeName(const std::string &name, std::int64_t exceptWheel) const
{
    const std::string key = wheelNameKey(name);
    SQLite::Statement query(*m_db, "SELECT id, name FROM wheels");
    while (query.executeStep()) {
        const std::string other = query.getColumn(1).getString();
        if (query.getColumn(0).getInt64() != exceptWheel && wheelNameKey(other) == key)
            throw NotebookError(Kind::NameTaken, "Une roue porte déjà ce nom dans le carnet : « " +
                                                     other +
                                                     " » (les majuscules n'y changent rien).");
    }
}

void Notebook::requireChange(const char *what) const
{
    if (m_db->getChanges() == 0)
        throw NotebookError(Kind::NotFound, std::string(what) + " n'est plus dans le carnet.");
}

void Notebook::renameWheel(std::int64_t wheelId, const std::string &name)
{
    checkName(name);
    guarded([&] {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        requireFreeName(name, wheelId);
        SQLite::Statement update(*m_db, "UPDATE wheels SET name = ? WHERE id = ?");
        update.bind(1, name);
        update.bind(2, wheelId);
        update.exec();
        requireChange("Cette roue");
        transaction.commit();
    });
}

void Notebook::annotateWheel(std::int64_t wheelId, const std::string &place,
                             const std::string &notes)
{
    guarded([&] {
        SQLite::Statement update(*m_db, "UPDATE wheels SET place = ?, notes = ? WHERE id = ?");
        update.bind(1, place);
        update.bind(2, notes);
        update.bind(3, wheelId);
        update.exec();
        requireChange("Cette roue");
    });
}

DeletedWheel Notebook::deleteWheel(std::int64_t wheelId)
{
    return guarded([&] {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        DeletedWheel deleted{wheelInfo(wheelId), {}};
        for (SessionInfo &session : sessions(wheelId))
            deleted.sessions.push_back({session, spins(session.id)});
        SQLite::Statement remove(*m_db, "DELETE FROM wheels WHERE id = ?");
        remove.bind(1, wheelId);
        remove.exec();
        transaction.commit();
        return deleted;
    });
}

void Notebook::restoreWheel(const DeletedWheel &wheel)
{
    guarded([&] {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        requireFreeName(wheel.info.name, wheel.info.id);
        SQLite::Statement insert(*m_db,
                                 "INSERT INTO wheels(id, name, place, notes) VALUES(?, ?, ?, ?)");
        insert.bind(1, wheel.info.id);
        insert.bind(2, wheel.info.name);
        insert.bind(3, wheel.info.place);
        insert.bind(4, wheel.info.notes);
        insert.exec();
        for (const DeletedSession &session : wheel.sessions)
            insertSession(session);
        transaction.commit();
    });
}

std::vector<SessionInfo> Notebook::sessions(std::int64_t wheelId) const
{
    return guarded([&] {
        SQLite::Statement query(*m_db, std::string(SessionQuery) +
                                           "WHERE s.wheel_id = ? ORDER BY s.started_at, s.id");
        query.bind(1, wheelId);
        std::vector<SessionInfo> result;
        while (query.executeStep())
            result.push_back(readSession(query));
        return result;
    });
}

SessionInfo Notebook::sessionInfo(std::int64_t sessionId) const
{
    SQLite::Statement query(*m_db, std::string(SessionQuery) + "WHERE s.id = ?");
    query.bind(1, sessionId);
    if (!query.executeStep())
        throw NotebookError(Kind::NotFound, "Cette séance n'est plus dans le carnet.");
    return readSession(query);
}

std::int64_t Notebook::createSession(std::int64_t wheelId, const std::string &startedAt,
                                     Origin origin, const std::string &label)
{
    return guarded([&] {
        SQLite::Statement insert(
            *m_db, "INSERT INTO sessions(wheel_id, started_at, origin, label) VALUES(?, ?, ?, ?)");
        insert.bind(1, wheelId);
        insert.bind(2, startedAt);
        insert.bind(3, static_cast<int>(origin));
        insert.bind(4, label);
        insert.exec();
        return m_db->getLastInsertRowid();
    });
}

void Notebook::renameSession(std::int64_t sessionId, const std::string &label)
{
    guarded([&] {
        SQLite::Statement update(*m_db, "UPDATE sessions SET label = ? WHERE id = ?");
        update.bind(1, label);
        update.bind(2, sessionId);
        update.exec();
        requireChange("Cette séance");
    });
}

void Notebook::annotateSession(std::int64_t sessionId, const std::string &notes)
{
    guarded([&] {
        SQLite::Statement update(*m_db, "UPDATE sessions SET notes = ? WHERE id = ?");
        update.bind(1, notes);
        update.bind(2, sessionId);
        update.exec();
        requireChange("Cette séance");
    });
}

void Notebook::moveSession(std::int64_t sessionId, std::int64_t toWheelId)
{
    guarded([&] {
        SQLite::Statement update(*m_db, "UPDATE sessions SET wheel_id = ? WHERE id = ?");
        update.bind(1, toWheelId);
        update.bind(2, sessionId);
        update.exec();
        requireChange("Cette séance");
    });
}

DeletedSession Notebook::deleteSession(std::int64_t sessionId)
{
    return guarded([&] {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        DeletedSession deleted{sessionInfo(sessionId), spins(sessionId)};
        SQLite::Statement remove(*m_db, "DELETE FROM sessions WHERE id = ?");
        remove.bind(1, sessionId);
        remove.exec();
        transaction.commit();
        return deleted;
    });
}

void Notebook::insertSession(const DeletedSession &session)
{
    SQLite::Statement insert(*m_db, "INSERT INTO sessions(id, wheel_id, started_at, origin, "
                                    "label, notes) VALUES(?, ?, ?, ?, ?, ?)");
    insert.bind(1, session.info.id);
    insert.bind(2, session.info.wheelId);
    insert.bind(3, session.info.startedAt);
    insert.bind(4, static_cast<int>(session.info.origin));
    insert.bind(5, session.info.label);
    insert.bind(6, session.info.notes);
    insert.exec();
    insertChunks(session.info.id, session.numbers);
}

void Notebook::restoreSession(const DeletedSession &session)
{
    checkNumbers(session.numbers);
    guarded([&] {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        insertSession(session);
        transaction.commit();
    });
}

void Notebook::insertChunks(std::int64_t sessionId, std::span<const std::uint8_t> numbers)
{
    SQLite::Statement last(
        *m_db, "SELECT seq, numbers FROM chunks WHERE session_id = ? ORDER BY seq DESC LIMIT 1");
    last.bind(1, sessionId);
    std::int64_t seq = 0;
    if (last.executeStep()) {
        seq = last.getColumn(0).getInt64();
        std::vector<std::uint8_t> chunk;
        appendBlob(last.getColumn(1), chunk);
        last.reset();
        if (chunk.size() < ChunkSpins && !numbers.empty()) {
            const auto fill = numbers.first(std::min(numbers.size(), ChunkSpins - chunk.size()));
            chunk.insert(chunk.end(), fill.begin(), fill.end());
            numbers = numbers.subspan(fill.size());
            SQLite::Statement update(
                *m_db, "UPDATE chunks SET numbers = ? WHERE session_id = ? AND seq = ?");
            update.bindNoCopy(1, chunk.data(), static_cast<int>(chunk.size()));
            update.bind(2, sessionId);
            update.bind(3, seq);
            update.exec();
        }
        ++seq;
    }
    SQLite::Statement insert(*m_db, "INSERT INTO chunks(session_id, seq, numbers) VALUES(?, ?, ?)");
    for (; !numbers.empty(); ++seq) {
        const auto chunk = numbers.first(std::min(numbers.size(), ChunkSpins));
        insert.bind(1, sessionId);
        insert.bind(2, seq);
        insert.bindNoCopy(3, chunk.data(), static_cast<int>(chunk.size()));
        insert.exec();
        insert.reset();
        numbers = numbers.subspan(chunk.size());
    }
}

void Notebook::appendSpin(std::int64_t sessionId, int number)
{
    if (number < 0 || number > 36)
        throw NotebookError(Kind::Invalid, "Un numéro de la roulette va de 0 à 36.");
    const auto byte = static_cast<std::uint8_t>(number);
    appendSpins(sessionId, std::span(&byte, 1));
}

void Notebook::appendSpins(std::int64_t sessionId, std::span<const std::uint8_t> numbers)
{
    checkNumbers(numbers);
    guarded([&] {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        insertChunks(sessionId, numbers);
        transaction.commit();
    });
}

bool Notebook::removeLastSpin(std::int64_t sessionId)
{
    return guarded([&] {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement last(
            *m_db,
            "SELECT seq, numbers FROM chunks WHERE session_id = ? ORDER BY seq DESC LIMIT 1");
        last.bind(1, sessionId);
        if (!last.executeStep())
            return false;
        const std::int64_t seq = last.getColumn(0).getInt64();
        std::vector<std::uint8_t> chunk;
        appendBlob(last.getColumn(1), chunk);
        last.reset();
        chunk.pop_back();
        SQLite::Statement change(
            *m_db, chunk.empty() ? "DELETE FROM chunks WHERE session_id = ?2 AND seq = ?3"
                                 : "UPDATE chunks SET numbers = ?1 "
                                   "WHERE session_id = ?2 AND seq = ?3");
        if (!chunk.empty())
            change.bindNoCopy(1, chunk.data(), static_cast<int>(chunk.size()));
        change.bind(2, sessionId);
        change.bind(3, seq);
        change.exec();
        transaction.commit();
        return true;
    });
}

std::vector<std::uint8_t> Notebook::spins(std::int64_t sessionId) const
{
    return guarded([&] {
        std::vector<std::uint8_t> numbers;
        readSpins(*m_db, sessionId, numbers);
        return numbers;
    });
}

PooledSpins Notebook::pooledSpins(std::span<const std::int64_t> sessionIds) const
{
    return guarded([&] {
        // One read transaction, so that the sessions are seen as they were at one moment.
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::DEFERRED);
        PooledSpins pooled;
        for (const std::int64_t id : sessionIds) {
            pooled.starts.push_back(pooled.numbers.size());
            readSpins(*m_db, id, pooled.numbers);
        }
        return pooled;
    });
}

std::optional<StoredRepeat> Notebook::findRepeatedBlock(std::int64_t wheelId,
                                                        std::span<const std::uint8_t> numbers) const
{
    if (numbers.size() < RepeatedBlockMinimum)
        return std::nullopt;
    for (const SessionInfo &session : sessions(wheelId)) {
        const std::vector<std::uint8_t> stored = spins(session.id);
        if (const std::size_t length = repeatedHead(stored, numbers))
            return StoredRepeat{session.id, true, length};
        if (const std::size_t length = repeatedTail(stored, numbers))
            return StoredRepeat{session.id, false, length};
    }
    return std::nullopt;
}

void Notebook::backupTo(const std::filesystem::path &target) const
{
    std::error_code ignored;
    // Renaming a copy over the open file would leave this connection writing to a file
    // that no longer has a name.
    if (std::filesystem::equivalent(target, m_file, ignored))
        throw NotebookError(Kind::Invalid,
                            "La copie doit aller dans un autre fichier que le carnet lui-même.");
    const std::filesystem::path partial = target.string() + ".partiel";
    try {
        std::filesystem::remove(partial, ignored);
        {
            SQLite::Database copy(partial, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            SQLite::Backup backup(copy, *m_db);
            backup.executeStep();
            // A copy in one file: an old log left beside the target cannot be replayed into it.
            copy.exec("PRAGMA journal_mode = DELETE");
        }
        std::filesystem::rename(partial, target);
    } catch (const std::exception &error) {
        std::filesystem::remove(partial, ignored);
        throw NotebookError(Kind::WriteFailed, "La copie du carnet vers " + quoted(target) +
                                                   " n'a pas pu être écrite : " + error.what());
    }
}

} // namespace roulette
