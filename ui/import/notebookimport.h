#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

/// The import's side of the notebook of wheels.
namespace notebookimport
{

struct Wheel {
    std::int64_t id = 0;
    QString name;
};

/// The wheels of the notebook in file, by name; none when it does not exist yet, or when it
/// cannot be read, and then error says why in French.
std::vector<Wheel> wheels(const QString &file, std::string &error);

/// Every spin the wheel stores, its sessions one after the other; error as for wheels.
std::vector<std::uint8_t> storedSpins(const QString &file, std::int64_t wheelId,
                                      std::string &error);

/// What to import: the spins, where each session starts, and into which wheel (none: a new
/// wheel named newWheel).
struct Import {
    std::vector<std::uint8_t> spins;
    std::vector<std::int64_t> sessionStarts;
    std::optional<std::int64_t> wheelId;
    std::string newWheel;
    std::string label;                  ///< the sessions', numbered when there are several
    std::vector<std::string> startedAt; ///< each session's start, "2019-04-24T20:15"; the import's
                                        ///< moment for those missing
};

enum class Outcome { Done, Stopped, Failed };

/// Adds the sessions, and the new wheel, in one transaction, telling progress the fraction
/// done: a false from progress or a failure leaves the notebook as it was, and error says
/// why it failed.
Outcome importSessions(const QString &file, const Import &import,
                       const std::function<bool(double)> &progress, std::string &error);

} // namespace notebookimport
