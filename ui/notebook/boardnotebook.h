#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include "sources/drawfile.h"
#include "ui/notebook/recorder.h"

class NotebookWindow;
class QAction;
class QMainWindow;
class QMenu;

/// The board's side of the notebook of wheels: the notebook file, the wheel the board keeps
/// with the recorder writing its spins, and the notebook window. A fault of the notebook is
/// told once and the board goes on without it.
class BoardNotebook : public QObject
{
    Q_OBJECT
public:
    struct BoardLinks {
        std::function<roulette::Origin()> origin;           // of spins made from now on
        std::function<void(roulette::DrawFileLoad)> replay; // loads spins as a draw file
        std::function<void(const QString &)> message;       // a fault, as plain text
    };
    BoardNotebook(QMainWindow *board, const roulette::Module1 &series, BoardLinks links);
    ~BoardNotebook() override;

    /// « Suivre une roue… », « Détacher la roue », « Carnet des roues… », « Ouvrir un autre
    /// carnet… ».
    void addActions(QMenu *menu);
    /// Writes the spins made or taken back since the last call; called after every change.
    void follow();
    /// Whether the notebook holds every spin since the board's last reset.
    bool holdsCurrentSession() const;

    /// The notebook, opened on first use; null when it cannot be.
    roulette::Notebook *notebook();
    /// Closes the notebook in use and opens this one; false, with a message, when it cannot.
    bool openNotebook(const QString &path);
    QString notebookPath() const { return m_path; }
    /// Attaches the board to the wheel of this name, created when missing.
    bool attach(const QString &wheelName);
    void detach();
    std::optional<std::int64_t> attachedWheel() const { return m_wheelId; }
    std::optional<std::int64_t> attachedSession() const;
    NotebookWindow *showWindow();
    void replay(const roulette::PooledSpins &spins, const QString &name);
    void fault(const std::exception &error);

signals:
    /// Spins of the board were written to the notebook, or taken back from it.
    void spinsWritten();

private:
    QAction *addAction(QMenu *menu, const QString &text, void (BoardNotebook::*slot)());
    void openWindow();
    void askWheel();
    void askOtherNotebook();
    void showAttached();

    QMainWindow *m_board;
    const roulette::Module1 &m_series;
    BoardLinks m_links;
    QString m_path;
    std::unique_ptr<roulette::Notebook> m_notebook;
    std::unique_ptr<SpinRecorder> m_recorder;
    std::optional<std::int64_t> m_wheelId;
    QString m_wheelName;
    NotebookWindow *m_window = nullptr;
    QAction *m_attachAction = nullptr;
    QAction *m_detachAction = nullptr;
    QAction *m_windowAction = nullptr;
    QAction *m_otherAction = nullptr;
};
