#pragma once

#include <QObject>
#include <QString>

/// What a write to a notebook changed.
enum class NotebookChange {
    Spins,    ///< spins added or taken back: counts, maybe a session begun or let go
    Contents, ///< wheels or sessions came, went, moved or were renamed
};

/// The one notification of a notebook's writes: one object per notebook file, whatever
/// object or thread wrote to it. Every writer (the board's recorder, an import, a notebook
/// window) reports here once its write is done; every window showing the notebook listens,
/// so none is left showing what is no longer stored.
class NotebookChanges : public QObject
{
    Q_OBJECT
public:
    /// The object of the notebook in `file`, the same for every path naming that file. It
    /// lives as long as the application.
    static NotebookChanges &of(const QString &file);

    void report(NotebookChange what) { emit changed(what); }

signals:
    void changed(NotebookChange what);

private:
    using QObject::QObject;
};
