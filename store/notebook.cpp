#include "store/notebook.h"

#include <SQLiteCpp/Backup.h>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "store/schema.h"
#include "store/sessiondate.h"

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

NotebookError foreignFile(const std::filesystem::path &file)
{
    return {Kind::NotANotebook,
            "Le fichier " + quoted(file) + " n'est pas un carnet des roues, ou il est endommagé."};
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
        return foreignFile(file);
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
    case SQLITE_NOMEM:
        return {Kind::Other, "La mémoire manque pour lire ou écrire le carnet " + name + "."};
    case SQLITE_TOOBIG:
        return {Kind::Invalid, "Un élément est trop grand pour le carnet " + name + "."};
    case SQLITE_NOLFS:
        return {Kind::WriteFailed, "Le carnet " + name +
                                       " est trop grand pour ce disque ; ce qu'il contenait "
                                       "déjà est intact."};
    // A statement that meets a table or column it expects missing: the file's tables are
    // not those of a notebook, whatever its version says.
    case SQLITE_ERROR:
    case SQLITE_SCHEMA:
    case SQLITE_MISMATCH:
        return {Kind::NotANotebook,
                "Le fichier " + name + " n'a pas la forme d'un carnet des roues."};
    default:
        return {Kind::Other, "Le carnet " + name +
                                 " n'a pas pu être lu ou écrit (erreur SQLite n° " +
                                 std::to_string(error.getExtendedErrorCode()) + ")."};
    }
}

// The system's reason for a failed file operation, in French.
std::string systemReason(std::error_code code)
{
    if (code == std::errc::no_such_file_or_directory || code == std::errc::not_a_directory)
        return "le dossier n'existe pas";
    if (code == std::errc::permission_denied || code == std::errc::operation_not_permitted)
        return "vous n'avez pas le droit d'écrire à cet endroit";
    if (code == std::errc::read_only_file_system)
        return "le disque est en lecture seule";
    if (code == std::errc::no_space_on_device || code == std::errc::file_too_large)
        return "le disque est plein";
    if (code == std::errc::filename_too_long)
        return "le nom du fichier est trop long";
    if (code == std::errc::is_a_directory)
        return "c'est un dossier et non un fichier";
    if (code == std::errc::cross_device_link)
        return "le fichier ne peut pas être déplacé vers ce disque";
    return "erreur du système n° " + std::to_string(code.value());
}

// Why a copy failed, in French: what SQLite or the system said, as a user can act on it.
std::string copyFailure(const std::exception &error)
{
    if (const auto *sqlite = dynamic_cast<const SQLite::Exception *>(&error)) {
        switch (sqlite->getErrorCode()) {
        case SQLITE_FULL:
            return "le disque est plein";
        case SQLITE_CANTOPEN:
            return "le dossier n'existe pas ou n'accepte pas l'écriture";
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return "l'endroit est en lecture seule";
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "le carnet est occupé par un autre exemplaire du programme";
        case SQLITE_IOERR:
            return "le disque est plein, ou le support a été retiré";
        default:
            return "erreur SQLite n° " + std::to_string(sqlite->getExtendedErrorCode());
        }
    }
    if (const auto *system = dynamic_cast<const std::system_error *>(&error))
        return systemReason(system->code());
    return "erreur inattendue";
}

void checkNumbers(std::span<const std::uint8_t> numbers)
{
    if (std::any_of(numbers.begin(), numbers.end(), [](std::uint8_t n) { return n > 36; }))
        throw NotebookError(Kind::Invalid, "Un numéro de la roulette va de 0 à 36.");
}

// The count written as French writes it, thousands set apart by a narrow no-break space.
std::string frenchCount(std::size_t count)
{
    std::string digits = std::to_string(count);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), "\u202F");
    return digits;
}

// `what` is the text's name with its article, as the message opens with it.
void checkLength(const std::string &text, std::size_t limit, const std::string &what)
{
    const std::size_t length = characterCount(text);
    if (length > limit)
        throw NotebookError(Kind::Invalid, what + " a au plus " + frenchCount(limit) +
                                               " caractères ; celui-ci en a " +
                                               frenchCount(length) + ".");
}

void checkName(const std::string &name)
{
    if (wheelNameKey(name).empty())
        throw NotebookError(Kind::Invalid, "Une roue doit avoir un nom.");
    checkLength(name, NameLengthLimit, "Le nom d'une roue");
}

void checkLabel(const std::string &label)
{
    checkLength(label, NameLengthLimit, "Le libellé d'une séance");
}

void checkNotes(const std::string &notes)
{
    checkLength(notes, NotesLengthLimit, "Le texte des notes");
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

// Every stored spin passes here: a byte that is no roulette number, from a damaged page or a
// crafted file, stops the read before it can reach a count indexed by it.
void appendBlob(const SQLite::Column &column, std::vector<std::uint8_t> &out)
{
    const auto *bytes = static_cast<const std::uint8_t *>(column.getBlob());
    const std::span<const std::uint8_t> chunk(bytes, static_cast<std::size_t>(column.getBytes()));
    std::uint8_t highest = 0;
    for (const std::uint8_t byte : chunk)
        highest = std::max(highest, byte);
    if (highest > 36)
        throw NotebookError(Kind::NotANotebook,
                            "Le carnet est endommagé : une séance y contient « " +
                                std::to_string(highest) +
                                " », qui n'est pas un numéro de la roulette. Rien n'a été lu ni "
                                "changé ; reprenez une copie de sauvegarde du carnet.");
    out.insert(out.end(), chunk.begin(), chunk.end());
}

// A pin's cells index the wheel's 37: one read from a damaged file must not reach a count.
PinMark readPin(SQLite::Statement &row)
{
    const auto column = [&row](int i) { return row.getColumn(i).getInt(); };
    const Suspect suspect{column(1) != 0, column(2), column(3), column(4), column(5) != 0};
    if (suspect.start < 0 || suspect.start > 36 || suspect.width < 1 || suspect.width > 36 ||
        suspect.reading < EvenSpins || suspect.reading > AllSpins ||
        row.getColumn(6).getInt64() < 0)
        throw NotebookError(Kind::NotANotebook,
                            "Le carnet est endommagé : une épingle n'y désigne aucune place de "
                            "la roue. Rien n'a été lu ni changé ; reprenez une copie de "
                            "sauvegarde du carnet.");
    return {suspect, row.getColumn(6).getInt64(), row.getColumn(7).getString(),
            row.getColumn(0).getInt64()};
}

void readSpins(SQLite::Database &db, std::int64_t sessionId, std::vector<std::uint8_t> &out)
{
    SQLite::Statement chunks(db, "SELECT numbers FROM chunks WHERE session_id = ? ORDER BY seq");
    chunks.bind(1, sessionId);
    while (chunks.executeStep())
        appendBlob(chunks.getColumn(0), out);
}

constexpr const char *InsertChunk = "INSERT INTO chunks(session_id, seq, numbers) VALUES(?, ?, ?)";

// `numbers` as new chunks of the session from `seq` on, through the prepared InsertChunk.
void writeChunks(SQLite::Statement &insert, std::int64_t sessionId, std::int64_t seq,
                 std::span<const std::uint8_t> numbers)
{
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

} // namespace

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
    case Origin::SimulatedWheel:
        return "roue simulée";
    }
    return {};
}

bool isSimulated(Origin origin)
{
    return origin == Origin::Generator || origin == Origin::SimulatedWheel;
}

template <typename Work> auto Notebook::guarded(Work work) const
{
    try {
        return work();
    } catch (const SQLite::Exception &error) {
        throw translate(error, m_file);
    }
}

namespace
{

// SQLite takes a file of one byte for an empty database and writes over it: a file that
// holds anything must begin as SQLite's own before it is opened for writing.
void refuseForeignFile(const std::filesystem::path &file)
{
    constexpr std::string_view Header("SQLite format 3\0", 16);
    std::ifstream in(file, std::ios::binary);
    std::string head(Header.size(), '\0');
    if (!in.read(head.data(), std::ssize(head)) && in.gcount() == 0)
        return; // no file yet, an empty one, or one SQLite will refuse to read itself
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (head != Header)
        throw foreignFile(file);
}

} // namespace

Notebook::Notebook(const std::filesystem::path &file, std::chrono::milliseconds busyWait)
    : m_file(file)
{
    refuseForeignFile(file);
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
    {
        // Brought up to date and checked in one transaction: a file refused is left as it was.
        SQLite::Transaction transaction(*m_db, version < SchemaVersion
                                                   ? SQLite::TransactionBehavior::IMMEDIATE
                                                   : SQLite::TransactionBehavior::DEFERRED);
        if (version < SchemaVersion)
            migrateSchema(*m_db, SchemaVersion);
        requireShape();
        transaction.commit();
    }
    if (m_db->execAndGet("PRAGMA journal_mode = WAL").getString() != "wal")
        throw NotebookError(Kind::Other, "Le carnet " + name + " ne peut pas passer en mode WAL.");
}

// The tables and columns the notebook reads, and texts no longer than this program writes:
// a name of megabytes would stall every list that shows it.
void Notebook::requireShape()
{
    const std::string name = quoted(m_file);
    try {
        for (const char *probe :
             {"SELECT id, name, place, notes FROM wheels",
              "SELECT id, wheel_id, started_at, origin, label, notes FROM sessions",
              "SELECT session_id, seq, numbers FROM chunks",
              "SELECT id, wheel_id, distances, start, width, reading, hot, pinned_at, created_at "
              "FROM pins"})
            SQLite::Statement(*m_db, probe);
    } catch (const SQLite::Exception &) {
        throw NotebookError(Kind::NotANotebook,
                            "Le fichier " + name + " n'a pas la forme d'un carnet des roues.");
    }
    SQLite::Statement tooLong(*m_db, R"(
        SELECT EXISTS(SELECT 1 FROM wheels
                      WHERE length(name) > ?1 OR length(place) > ?1 OR length(notes) > ?2)
            OR EXISTS(SELECT 1 FROM sessions WHERE length(label) > ?1 OR length(notes) > ?2))");
    tooLong.bind(1, static_cast<std::int64_t>(NameLengthLimit));
    tooLong.bind(2, static_cast<std::int64_t>(NotesLengthLimit));
    if (tooLong.executeStep() && tooLong.getColumn(0).getInt() != 0)
        throw NotebookError(
            Kind::NotANotebook,
            "Le carnet " + name + " contient un nom, un lieu ou un libellé de plus de " +
                frenchCount(NameLengthLimit) + " caractères, ou des notes de plus de " +
                frenchCount(NotesLengthLimit) +
                " : il n'a pas été écrit par ce programme, ou il est endommagé.");
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
    checkLength(place, NameLengthLimit, "Le lieu d'une roue");
    checkNotes(notes);
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
    checkLength(place, NameLengthLimit, "Le lieu d'une roue");
    checkNotes(notes);
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
        DeletedWheel deleted{wheelInfo(wheelId), {}, pins(wheelId)};
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
        for (const PinMark &pin : wheel.pins)
            insertPin(wheel.info.id, pin);
        transaction.commit();
    });
}

std::vector<PinMark> Notebook::pins(std::int64_t wheelId) const
{
    return guarded([&] {
        SQLite::Statement query(*m_db, "SELECT id, distances, start, width, reading, hot, "
                                       "pinned_at, created_at FROM pins WHERE wheel_id = ? "
                                       "ORDER BY id");
        query.bind(1, wheelId);
        std::vector<PinMark> result;
        while (query.executeStep())
            result.push_back(readPin(query));
        return result;
    });
}

std::int64_t Notebook::addPin(std::int64_t wheelId, const PinMark &pin)
{
    return guarded([&] {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        wheelInfo(wheelId);
        const std::int64_t id = insertPin(wheelId, pin);
        transaction.commit();
        return id;
    });
}

// The id is kept when a deleted wheel's pins are put back.
std::int64_t Notebook::insertPin(std::int64_t wheelId, const PinMark &pin)
{
    SQLite::Statement insert(*m_db, "INSERT INTO pins(id, wheel_id, distances, start, width, "
                                    "reading, hot, pinned_at, created_at) "
                                    "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (pin.id != 0)
        insert.bind(1, pin.id);
    insert.bind(2, wheelId);
    insert.bind(3, pin.suspect.distances ? 1 : 0);
    insert.bind(4, pin.suspect.start);
    insert.bind(5, pin.suspect.width);
    insert.bind(6, pin.suspect.reading);
    insert.bind(7, pin.suspect.hot ? 1 : 0);
    insert.bind(8, pin.pinnedAt);
    insert.bind(9, pin.createdAt);
    insert.exec();
    return m_db->getLastInsertRowid();
}

void Notebook::removePin(std::int64_t pinId)
{
    guarded([&] {
        SQLite::Statement remove(*m_db, "DELETE FROM pins WHERE id = ?");
        remove.bind(1, pinId);
        remove.exec();
        requireChange("Cette épingle");
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
    checkLabel(label);
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

// `column` is one of the session's text columns, named here in the code, never by the user.
void Notebook::setSessionText(std::int64_t sessionId, const char *column, const std::string &text)
{
    guarded([&] {
        SQLite::Statement update(*m_db, std::string("UPDATE sessions SET ") + column +
                                            " = ? WHERE id = ?");
        update.bind(1, text);
        update.bind(2, sessionId);
        update.exec();
        requireChange("Cette séance");
    });
}

void Notebook::renameSession(std::int64_t sessionId, const std::string &label)
{
    checkLabel(label);
    setSessionText(sessionId, "label", label);
}

void Notebook::annotateSession(std::int64_t sessionId, const std::string &notes)
{
    checkNotes(notes);
    setSessionText(sessionId, "notes", notes);
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
    restoreSessions(std::span(&session, 1));
}

std::vector<DeletedSession> Notebook::deleteSessions(std::span<const std::int64_t> sessionIds)
{
    return guarded([&] {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement query(*m_db, std::string(SessionQuery) + "WHERE s.id = ?");
        SQLite::Statement remove(*m_db, "DELETE FROM sessions WHERE id = ?");
        std::vector<DeletedSession> deleted;
        for (const std::int64_t id : sessionIds) {
            query.bind(1, id);
            const bool stored = query.executeStep();
            if (stored)
                deleted.push_back({readSession(query), {}});
            query.reset();
            if (!stored)
                continue;
            readSpins(*m_db, id, deleted.back().numbers);
            remove.bind(1, id);
            remove.exec();
            remove.reset();
        }
        transaction.commit();
        return deleted;
    });
}

void Notebook::restoreSessions(std::span<const DeletedSession> sessions)
{
    for (const DeletedSession &session : sessions)
        checkNumbers(session.numbers);
    guarded([&] {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        for (const DeletedSession &session : sessions)
            insertSession(session);
        transaction.commit();
    });
}

std::optional<ImportedSessions>
Notebook::importSessions(const ImportWheel &wheel, std::span<const NewSession> sessions,
                         const std::function<bool(double)> &keepGoing)
{
    if (const auto *name = std::get_if<std::string>(&wheel))
        checkName(*name);
    for (const NewSession &session : sessions) {
        checkLabel(session.label);
        checkNumbers(session.numbers);
    }
    return guarded([&]() -> std::optional<ImportedSessions> {
        SQLite::Transaction transaction(*m_db, SQLite::TransactionBehavior::IMMEDIATE);
        ImportedSessions imported;
        if (const auto *name = std::get_if<std::string>(&wheel)) {
            requireFreeName(*name, 0);
            SQLite::Statement insert(*m_db, "INSERT INTO wheels(name) VALUES(?)");
            insert.bind(1, *name);
            insert.exec();
            imported.wheelId = m_db->getLastInsertRowid();
        } else {
            imported.wheelId = wheelInfo(std::get<std::int64_t>(wheel)).id;
        }
        SQLite::Statement session(*m_db, "INSERT INTO sessions(wheel_id, started_at, origin, "
                                         "label) VALUES(?, ?, ?, ?)");
        SQLite::Statement chunk(*m_db, InsertChunk);
        for (std::size_t i = 0; i < sessions.size(); ++i) {
            if (keepGoing &&
                !keepGoing(static_cast<double>(i) / static_cast<double>(sessions.size())))
                return std::nullopt;
            session.bind(1, imported.wheelId);
            session.bind(2, sessions[i].startedAt);
            session.bind(3, static_cast<int>(sessions[i].origin));
            session.bind(4, sessions[i].label);
            session.exec();
            session.reset();
            imported.sessionIds.push_back(m_db->getLastInsertRowid());
            writeChunks(chunk, imported.sessionIds.back(), 0, sessions[i].numbers);
        }
        transaction.commit();
        return imported;
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
    SQLite::Statement insert(*m_db, InsertChunk);
    writeChunks(insert, sessionId, seq, numbers);
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

namespace
{

// SQLite keeps a notebook in its file, its write-ahead log and the log's shared memory (a
// rollback journal in other modes): a copy over any of them, by whatever spelling of its path
// (a link, « .. »), would replace what the open notebook is made of.
bool isPartOf(const std::filesystem::path &candidate, const std::filesystem::path &notebook)
{
    std::error_code failed;
    const std::filesystem::path spelled = std::filesystem::weakly_canonical(candidate, failed);
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        const std::filesystem::path part = notebook.string() + suffix;
        if (std::filesystem::equivalent(candidate, part, failed))
            return true;
        const std::filesystem::path partSpelled = std::filesystem::weakly_canonical(part, failed);
        if (!spelled.empty() && spelled == partSpelled)
            return true;
    }
    return false;
}

} // namespace

std::filesystem::path Notebook::partialBackup(const std::filesystem::path &target)
{
    return target.string() + ".partiel";
}

void Notebook::backupTo(const std::filesystem::path &target) const
{
    std::error_code ignored;
    const std::filesystem::path partial = partialBackup(target);
    if (isPartOf(target, m_file) || isPartOf(partial, m_file))
        throw NotebookError(Kind::Invalid,
                            "La copie ne peut pas aller dans " + quoted(target) +
                                " : c'est le carnet ouvert lui-même ou un des fichiers que SQLite "
                                "tient à côté de lui (-wal, -shm). Choisissez un autre fichier.");
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
        throw NotebookError(Kind::WriteFailed,
                            "La copie du carnet vers " + quoted(target) +
                                " n'a pas pu être écrite : " + copyFailure(error) + ".");
    }
}

void Notebook::redateSession(std::int64_t sessionId, const std::string &startedAt)
{
    if (!parseSessionTime(startedAt))
        throw NotebookError(Kind::Invalid, "« " + startedAt +
                                               " » n'est pas une date et une heure "
                                               "(AAAA-MM-JJTHH:MM attendu).");
    setSessionText(sessionId, "started_at", startedAt);
}

} // namespace roulette
