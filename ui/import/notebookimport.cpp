#include "ui/import/notebookimport.h"

#include <QDir>
#include <QFileInfo>

#include "store/notebook.h"

namespace notebookimport
{

namespace
{

std::filesystem::path nativePath(const QString &file)
{
    return std::filesystem::path(file.toStdU16String());
}

// The file's name, numbered when the import makes several sessions, cut to the length a
// label may have: a file name may be longer.
std::string sessionLabel(const std::string &name, std::size_t index, std::size_t count)
{
    const QString number =
        count > 1 ? QStringLiteral(" (%1)").arg(QString::number(index + 1)) : QString();
    QString base = QString::fromStdString(name);
    // UTF-16 units are never fewer than characters, so a cut by units keeps within the limit.
    const auto room = static_cast<qsizetype>(roulette::NameLengthLimit) - number.size();
    if (base.size() > room) {
        base.truncate(room - 1);
        if (!base.isEmpty() && base.back().isHighSurrogate())
            base.chop(1);
        base += QChar(0x2026); // …
    }
    return (base + number).toStdString();
}

// One transaction for the whole import: stopped or failed, it leaves the notebook as it was.
bool addSessions(const QString &file, const Import &import,
                 const std::function<bool(double)> &progress)
{
    QDir().mkpath(QFileInfo(file).path());
    roulette::Notebook notebook(nativePath(file));
    const std::string now =
        QDateTime::currentDateTime().toString(Qt::ISODate).left(16).toStdString();
    const std::span<const std::uint8_t> spins(import.spins);
    const std::size_t count = import.sessionStarts.size();
    std::vector<roulette::NewSession> sessions;
    sessions.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto start = static_cast<std::size_t>(import.sessionStarts[i]);
        const std::size_t end =
            i + 1 < count ? static_cast<std::size_t>(import.sessionStarts[i + 1]) : spins.size();
        sessions.push_back({i < import.startedAt.size() ? import.startedAt[i] : now,
                            roulette::Origin::Import, sessionLabel(import.label, i, count),
                            spins.subspan(start, end - start)});
    }
    const roulette::ImportWheel wheel = import.wheelId ? roulette::ImportWheel(*import.wheelId)
                                                       : roulette::ImportWheel(import.newWheel);
    return notebook.importSessions(wheel, sessions, progress).has_value();
}

} // namespace

std::vector<Wheel> wheels(const QString &file, std::string &error)
{
    std::vector<Wheel> found;
    if (!QFileInfo::exists(file))
        return found;
    try {
        for (const roulette::WheelInfo &wheel : roulette::Notebook(nativePath(file)).wheels())
            found.push_back({wheel.id, QString::fromStdString(wheel.name)});
    } catch (const roulette::NotebookError &e) {
        error = e.what();
    }
    return found;
}

std::vector<std::uint8_t> storedSpins(const QString &file, std::int64_t wheelId, std::string &error)
{
    try {
        const roulette::Notebook notebook(nativePath(file));
        std::vector<std::int64_t> ids;
        for (const roulette::SessionInfo &session : notebook.sessions(wheelId))
            ids.push_back(session.id);
        return notebook.pooledSpins(ids).numbers;
    } catch (const roulette::NotebookError &e) {
        error = e.what();
        return {};
    }
}

Outcome importSessions(const QString &file, const Import &import,
                       const std::function<bool(double)> &progress, std::string &error)
{
    try {
        return addSessions(file, import, progress) ? Outcome::Done : Outcome::Stopped;
    } catch (const roulette::NotebookError &e) {
        error = std::string("Rien n'a été importé. ") + e.what();
        return Outcome::Failed;
    }
}

} // namespace notebookimport
