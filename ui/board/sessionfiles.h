#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

namespace roulette
{
class Session;
}

/// The session's files: the spins since the reset written as a draw file or exported as CSV,
/// and the question asked before unsaved spins are left behind. It reads the session and asks
/// over its parent; what follows (the status line, the message, the board marked saved) is
/// the caller's, from the values returned.
class SessionFiles
{
public:
    /// How a file to write is asked for: (parent, title, suggested path, filter) gives the
    /// chosen path, empty when the user cancels. By default a save dialog; tests answer.
    using SaveChooser =
        std::function<QString(QWidget *, const QString &, const QString &, const QString &)>;

    /// How a write ended: a line for the status bar once written, a message to show when it
    /// failed; neither when the user cancelled.
    struct Written {
        bool written = false;
        QString status;
        QString error;
    };

    /// The answers to the question before closing.
    enum class Leaving { Save, Quit, Stay };

    /// parent carries the dialogs; title is the question's.
    SessionFiles(QWidget *parent, QString title) : m_parent(parent), m_title(std::move(title)) {}

    void setSaveChooser(SaveChooser chooser) { m_chooseSavePath = std::move(chooser); }

    /// "Enregistrer les tirages…": every spin of the session, one number a line.
    Written saveSpins(const roulette::Session &session) const;
    /// "Exporter en CSV…": a row per spin, with the fifteen series.
    Written exportCsv(const roulette::Session &session) const;
    /// Before the session's unsaved spins are left behind: how many, and whether to save them.
    Leaving askBeforeLeaving(std::int64_t unsaved) const;

private:
    QString askSavePath(const QString &title, const QString &suggested,
                        const QString &filter) const;

    QWidget *m_parent;
    QString m_title;
    SaveChooser m_chooseSavePath;
};
