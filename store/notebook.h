#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "stats/pin.h"

namespace SQLite
{
class Database;
}

namespace roulette
{

/// The name as wheels are told apart: « Roue A », « roue a », « roue  a » are one wheel.
/// Letters of ASCII, Latin-1 and Latin Extended-A (all of French) go to lower case, and those
/// that decompose to a letter and a combining accent are written so, whichever way they came
/// (« é » as one character or as « e » and U+0301). Tabs, no-break and typographic spaces
/// count as one space, and blanks at either end or characters that show nothing (soft
/// hyphen, zero-width spaces and joiners, byte-order mark) as nothing. Not covered: other
/// alphabets' case, letters outside those blocks, several accents on one letter in another
/// order. Bytes that are not UTF-8 go through as they are.
std::string wheelNameKey(std::string_view name);

/// How many characters (code points) a UTF-8 text holds.
std::size_t characterCount(std::string_view text);

/// The longest wheel name, place and session label, in characters; the longest notes.
inline constexpr std::size_t NameLengthLimit = 200;
inline constexpr std::size_t NotesLengthLimit = 10'000;

/// Where a session's spins came from.
enum class Origin { Hand = 0, DrawFile = 1, Import = 2, Generator = 3, SimulatedWheel = 4 };
/// « saisie à la main », « fichier de tirage », « import », « générateur », « roue simulée ».
std::string_view originText(Origin origin);
/// Whether the spins were drawn by the program (the generator, the simulated wheel) rather
/// than by a wheel: they say nothing of the wheel.
bool isSimulated(Origin origin);

struct WheelInfo {
    std::int64_t id = 0;
    std::string name, place, notes;
    std::int64_t spins = 0, sessions = 0;
    std::string lastSession; ///< date-time of its latest session, empty when none
    bool operator==(const WheelInfo &) const = default;
};

struct SessionInfo {
    std::int64_t id = 0;
    std::int64_t wheelId = 0;
    std::string startedAt; ///< as the caller wrote it: ISO 8601 ("2026-03-12T20:15") sorts
    Origin origin = Origin::Hand;
    std::string label, notes;
    std::int64_t spins = 0;
    bool operator==(const SessionInfo &) const = default;
};

/// The spins of several sessions one after the other; `starts[i]` is where session i
/// begins in `numbers`, so that figures over sequences can stop at each boundary.
struct PooledSpins {
    std::vector<std::uint8_t> numbers;
    std::vector<std::size_t> starts;
};

/// What a delete took away, whole, so that it can be put back as it was.
struct DeletedSession {
    SessionInfo info;
    std::vector<std::uint8_t> numbers;
    bool operator==(const DeletedSession &) const = default;
};
struct DeletedWheel {
    WheelInfo info;
    std::vector<DeletedSession> sessions;
    std::vector<PinMark> pins = {}; ///< kept with the wheel
    bool operator==(const DeletedWheel &) const = default;
};

/// A session an import adds, with its spins.
struct NewSession {
    std::string startedAt; ///< as SessionInfo::startedAt
    Origin origin = Origin::Import;
    std::string label;
    std::span<const std::uint8_t> numbers;
};
/// Where an import goes: a wheel of the notebook by its id, or a new wheel by its name.
using ImportWheel = std::variant<std::int64_t, std::string>;
/// What an import added: the wheel and each new session's id, in the order given.
struct ImportedSessions {
    std::int64_t wheelId = 0;
    std::vector<std::int64_t> sessionIds;
};

/// Every way the notebook can fail, with a French message for the user. Whatever the
/// failure, what was stored before it is left as it was.
class NotebookError : public std::runtime_error
{
public:
    enum class Kind {
        ReadOnly,
        Busy,
        NotANotebook,
        Newer,
        WriteFailed,
        NameTaken,
        NotFound,
        Invalid,
        Other
    };
    NotebookError(Kind kind, const std::string &message) : std::runtime_error(message), m_kind(kind)
    {
    }
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

/// The notebook of wheels: one SQLite file holding wheels, their sessions and the spins
/// of each. Every change is one committed transaction, durable when the call returns.
/// One object serves one thread; another thread opens the file again.
class Notebook
{
public:
    static constexpr int SchemaVersion = 3;
    /// Longer than an import of millions of spins holds the notebook.
    static constexpr std::chrono::milliseconds DefaultBusyWait{5000};

    /// Opens the notebook in `file`, creating it when missing and bringing an older one to
    /// the current schema. Another copy of the program writing to it makes this wait up to
    /// `busyWait`, then fail with Kind::Busy. A file whose tables are not a notebook's, or
    /// whose texts are longer than the limits above, is refused (Kind::NotANotebook) and left
    /// as it was.
    explicit Notebook(const std::filesystem::path &file,
                      std::chrono::milliseconds busyWait = DefaultBusyWait);
    ~Notebook();
    Notebook(const Notebook &) = delete;
    Notebook &operator=(const Notebook &) = delete;

    /// The wheels by name, with their number of spins and sessions and latest session.
    std::vector<WheelInfo> wheels() const;
    /// A new wheel, its id returned; Kind::NameTaken when another wheel has the name, in
    /// whatever case or spelling (wheelNameKey); Kind::Invalid when a text is longer than
    /// NameLengthLimit (notes NotesLengthLimit). Older notebooks may hold such twins: they stay
    /// readable.
    std::int64_t createWheel(const std::string &name, const std::string &place = {},
                             const std::string &notes = {});
    /// Kind::NameTaken when another wheel has the name, Kind::NotFound when the wheel is gone.
    void renameWheel(std::int64_t wheelId, const std::string &name);
    /// Sets the wheel's place and notes.
    void annotateWheel(std::int64_t wheelId, const std::string &place, const std::string &notes);
    /// Deletes the wheel with its sessions and gives them back for restoreWheel.
    DeletedWheel deleteWheel(std::int64_t wheelId);
    /// Puts a deleted wheel back with its sessions and their ids.
    void restoreWheel(const DeletedWheel &wheel);

    /// The wheel's sessions, oldest first.
    std::vector<SessionInfo> sessions(std::int64_t wheelId) const;
    /// A new session of the wheel, without spins yet; its id returned.
    std::int64_t createSession(std::int64_t wheelId, const std::string &startedAt, Origin origin,
                               const std::string &label = {});
    /// Sets the session's label.
    void renameSession(std::int64_t sessionId, const std::string &label);
    /// Sets the session's notes.
    void annotateSession(std::int64_t sessionId, const std::string &notes);
    /// Gives the session, with its spins, to another wheel.
    void moveSession(std::int64_t sessionId, std::int64_t toWheelId);
    /// Deletes the session and gives it back whole for restoreSession.
    DeletedSession deleteSession(std::int64_t sessionId);
    /// Puts a deleted session back in its wheel, with its id.
    void restoreSession(const DeletedSession &session);
    /// Deletes the sessions in one transaction, all or none, and gives back those it took
    /// away, whole, in the order given; a session already gone (deleted from another window
    /// or program) is passed over.
    std::vector<DeletedSession> deleteSessions(std::span<const std::int64_t> sessionIds);
    /// Puts deleted sessions back with their ids in one transaction: all or none.
    void restoreSessions(std::span<const DeletedSession> sessions);

    /// Adds the sessions with their spins in one transaction, into the wheel or into a new
    /// wheel made in that transaction: all of it or nothing, whatever stops it (a full disk,
    /// the program killed). `keepGoing`, asked between sessions with the fraction done,
    /// stops the import when it answers false: nothing is added and nullopt returned.
    std::optional<ImportedSessions>
    importSessions(const ImportWheel &wheel, std::span<const NewSession> sessions,
                   const std::function<bool(double)> &keepGoing = {});

    /// One spin at the session's end, on disk when this returns.
    void appendSpin(std::int64_t sessionId, int number);
    /// Many spins in one transaction: all of them or none.
    void appendSpins(std::int64_t sessionId, std::span<const std::uint8_t> numbers);
    /// Takes back the session's last spin; false when it has none.
    bool removeLastSpin(std::int64_t sessionId);

    /// The session's spins in order. A stored byte that is no roulette number refuses the
    /// read (Kind::NotANotebook): figures are never drawn from a damaged file. So does every
    /// read or change of spins below.
    std::vector<std::uint8_t> spins(std::int64_t sessionId) const;
    /// The spins of these sessions in the order given.
    PooledSpins pooledSpins(std::span<const std::int64_t> sessionIds) const;

    /// Copies the whole notebook into `target` while it stays open; `target` is replaced
    /// only once the copy is complete. Refused onto the notebook's own files.
    void backupTo(const std::filesystem::path &target) const;
    /// Where backupTo writes the copy until it is complete: what a killed backup leaves.
    static std::filesystem::path partialBackup(const std::filesystem::path &target);

    /// The wheel's pins, oldest first. A stored pin that names no place on the wheel refuses
    /// the read (Kind::NotANotebook).
    std::vector<PinMark> pins(std::int64_t wheelId) const;
    /// Keeps a pin with the wheel; its id returned. Kind::NotFound when the wheel is gone.
    std::int64_t addPin(std::int64_t wheelId, const PinMark &pin);
    /// Kind::NotFound when the pin is gone.
    void removePin(std::int64_t pinId);

    /// Sets when the session began: "2019-04-24T20:15" (parseSessionTime); Kind::Invalid for
    /// any other text. The wheel's sessions are listed in that order.
    void redateSession(std::int64_t sessionId, const std::string &startedAt);

private:
    void openSchema();
    void requireShape();
    void insertChunks(std::int64_t sessionId, std::span<const std::uint8_t> numbers);
    void insertSession(const DeletedSession &session);
    std::int64_t insertPin(std::int64_t wheelId, const PinMark &pin);
    void requireChange(const char *what) const;
    void setSessionText(std::int64_t sessionId, const char *column, const std::string &text);
    WheelInfo wheelInfo(std::int64_t wheelId) const;
    void requireFreeName(const std::string &name, std::int64_t exceptWheel) const;
    SessionInfo sessionInfo(std::int64_t sessionId) const;
    template <typename Work> auto guarded(Work work) const;

    std::filesystem::path m_file;
    std::unique_ptr<SQLite::Database> m_db;
};

} // namespace roulette
