#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include "sources/drawfile.h"
#include "store/pinkeeper.h"
#include "store/recorder.h"
#include "ui/notebook/notebookwindow.h"

class QAction;
class QLabel;
class QMainWindow;
class QMenu;

/// The board's side of the notebook of wheels: the notebook file, the wheel the board keeps
/// with the recorder writing its spins, and the notebook window. A fault of the notebook is
/// told once and the board goes on without it. The wheel followed is shown in the board's
/// status bar, and offered again at the next start.
class BoardNotebook : public QObject, public NotebookBoard
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
    BoardNotebook(const BoardNotebook &) = delete;
    BoardNotebook &operator=(const BoardNotebook &) = delete;

    /// « Suivre une roue… », « Détacher la roue », « Carnet des roues… », « Ouvrir un autre
    /// carnet… ».
    void addActions(QMenu *menu);
    /// Writes the spins made or taken back since the last call; follows every change of the
    /// board.
    void follow();
    /// At start: offers the wheel followed last time again, in the notebook it was in.
    /// « Non » lets it go for good. By default a question box; tests answer instead.
    void offerLastWheel();
    void setAsk(std::function<bool(const QString &)> ask) { m_ask = std::move(ask); }
    /// Whether the notebook holds every spin since the board's last reset.
    bool holdsCurrentSession() const;

    /// The notebook, opened on first use; null when it cannot be.
    roulette::Notebook *notebook();
    /// Closes the notebook in use and opens this one; false, with a message, when it cannot.
    bool openNotebook(const QString &path);
    QString notebookPath() const override { return m_path; }
    /// Attaches the board to the wheel of this name, created when missing.
    bool attach(const QString &wheelName);
    void detach() override;
    std::optional<std::int64_t> attachedWheel() const override { return m_wheelId; }
    bool writesTo(std::int64_t sessionId) const override;
    NotebookWindow *showWindow();
    /// The board's pins, kept with the wheel followed.
    roulette::PinKeeper &pins() { return m_pins; }
    void replay(const roulette::PooledSpins &spins, const QString &name) override;
    void fault(const std::exception &error) override;

private:
    QAction *addAction(QMenu *menu, const QString &text, void (BoardNotebook::*slot)());
    void openWindow();
    void askWheel();
    void askOtherNotebook();
    void letGo();
    void showAttached();
    void report(NotebookChange what);
    void remember(bool followed);
    bool ask(const QString &question);

    QMainWindow *m_board;
    const roulette::Module1 &m_series;
    roulette::PinKeeper m_pins{m_series};
    BoardLinks m_links;
    QString m_path;
    std::unique_ptr<roulette::Notebook> m_notebook;
    std::unique_ptr<roulette::SpinRecorder> m_recorder;
    std::function<bool(const QString &)> m_ask;
    QLabel *m_followed = nullptr; // in the board's status bar
    std::optional<std::int64_t> m_wheelId;
    QString m_wheelName;
    NotebookWindow *m_window = nullptr;
    QAction *m_attachAction = nullptr;
    QAction *m_detachAction = nullptr;
    QAction *m_windowAction = nullptr;
    QAction *m_otherAction = nullptr;
};
