#include "ui/import/notebookimport.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include "store/notebook.h"

namespace notebookimport
{

namespace
{

std::filesystem::path nativePath(const QString &file)
{
    return std::filesystem::path(file.toStdU16String());
}

// Takes back the sessions added and the wheel made, on any way out but success.
class Undo
{
public:
    explicit Undo(roulette::Notebook &notebook) : m_notebook(notebook) {}
    Undo(const Undo &) = delete;
    Undo &operator=(const Undo &) = delete;
    ~Undo()
    {
        try {
            for (const std::int64_t session : m_sessions)
                m_notebook.deleteSession(session);
            if (m_wheel)
                m_notebook.deleteWheel(*m_wheel);
        } catch (const roulette::NotebookError &) {
            // The error that brought us here is the one to tell.
        }
    }
    void wheelMade(std::int64_t wheel) { m_wheel = wheel; }
    void sessionMade(std::int64_t session) { m_sessions.push_back(session); }
    void keep()
    {
        m_sessions.clear();
        m_wheel.reset();
    }

private:
    roulette::Notebook &m_notebook;
    std::vector<std::int64_t> m_sessions;
    std::optional<std::int64_t> m_wheel;
};

bool addSessions(const QString &file, const Import &import,
                 const std::function<bool(double)> &progress)
{
    QDir().mkpath(QFileInfo(file).path());
    roulette::Notebook notebook(nativePath(file));
    Undo undo(notebook);
    std::int64_t wheel = 0;
    if (import.wheelId) {
        wheel = *import.wheelId;
    } else {
        wheel = notebook.createWheel(import.newWheel);
        undo.wheelMade(wheel);
    }
    const std::span<const std::uint8_t> spins(import.spins);
    const std::size_t sessions = import.sessionStarts.size();
    for (std::size_t i = 0; i < sessions; ++i) {
        if (!progress(static_cast<double>(i) / static_cast<double>(sessions)))
            return false;
        const auto start = static_cast<std::size_t>(import.sessionStarts[i]);
        const std::size_t end =
            i + 1 < sessions ? static_cast<std::size_t>(import.sessionStarts[i + 1]) : spins.size();
        const std::string label =
            sessions > 1 ? import.label + " (" + std::to_string(i + 1) + ")" : import.label;
        const std::int64_t session =
            notebook.createSession(wheel, import.startedAt[i], roulette::Origin::Import, label);
        undo.sessionMade(session);
        notebook.appendSpins(session, spins.subspan(start, end - start));
    }
    undo.keep();
    return true;
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
        error = e.what();
        return Outcome::Failed;
    }
}

} // namespace notebookimport
