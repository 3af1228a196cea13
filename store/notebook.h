#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace SQLite
{
class Database;
}

namespace roulette
{

/// The name as wheels are told apart: « Roue A » and « roue a » are one wheel. Letters of
/// the Latin alphabets (ASCII, Latin-1, Latin Extended-A: all of French) go to lower case.
std::string wheelNameKey(std::string_view name);

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
    bool operator==(const DeletedWheel &) const = default;
};

/// A block of 20 spins or more at the start or end of new spins that a stored session of
/// the wheel already holds: most likely the same evening entered twice.
struct StoredRepeat {
    std::int64_t sessionId = 0; ///< the stored session holding it
    bool atStart = true;        ///< the new spins' start (else their end)
    std::size_t length = 0;     ///< how many spins repeat
    bool operator==(const StoredRepeat &) const = default;
};
inline constexpr std::size_t RepeatedBlockMinimum = 20;

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
    static constexpr int SchemaVersion = 2;
    static constexpr std::chrono::milliseconds DefaultBusyWait{2000};

    /// Opens the notebook in `file`, creating it when missing and bringing an older one to
    /// the current schema. Another copy of the program writing to it makes this wait up to
    /// `busyWait`, then fail with Kind::Busy.
    explicit Notebook(const std::filesystem::path &file,
                      std::chrono::milliseconds busyWait = DefaultBusyWait);
    ~Notebook();
    Notebook(const Notebook &) = delete;
    Notebook &operator=(const Notebook &) = delete;

    /// The wheels by name, with their number of spins and sessions and latest session.
    std::vector<WheelInfo> wheels() const;
    /// A new wheel, its id returned; Kind::NameTaken when another wheel has the name, in
    /// whatever case (wheelNameKey). Older notebooks may hold such twins: they stay readable.
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

    /// One spin at the session's end, on disk when this returns.
    void appendSpin(std::int64_t sessionId, int number);
    /// Many spins in one transaction: all of them or none.
    void appendSpins(std::int64_t sessionId, std::span<const std::uint8_t> numbers);
    /// Takes back the session's last spin; false when it has none.
    bool removeLastSpin(std::int64_t sessionId);

    /// The session's spins in order.
    std::vector<std::uint8_t> spins(std::int64_t sessionId) const;
    /// The spins of these sessions in the order given.
    PooledSpins pooledSpins(std::span<const std::int64_t> sessionIds) const;

    /// The first block found of at least RepeatedBlockMinimum spins that opens or closes
    /// `numbers` and that a session of the wheel already holds.
    std::optional<StoredRepeat> findRepeatedBlock(std::int64_t wheelId,
                                                  std::span<const std::uint8_t> numbers) const;

    /// Copies the whole notebook into `target` while it stays open; `target` is replaced
    /// only once the copy is complete.
    void backupTo(const std::filesystem::path &target) const;

private:
    void openSchema();
    void insertChunks(std::int64_t sessionId, std::span<const std::uint8_t> numbers);
    void insertSession(const DeletedSession &session);
    void requireChange(const char *what) const;
    WheelInfo wheelInfo(std::int64_t wheelId) const;
    void requireFreeName(const std::string &name, std::int64_t exceptWheel) const;
    SessionInfo sessionInfo(std::int64_t sessionId) const;
    template <typename Work> auto guarded(Work work) const;

    std::filesystem::path m_file;
    std::unique_ptr<SQLite::Database> m_db;
};

} // namespace roulette
