#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <variant>
#include <vector>

#include "store/notebook.h"
#include "ui/notebook/notebookchanges.h"

class BackgroundWork;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QStatusBar;
class QTableView;

/// What the notebook window needs of the board that follows a wheel.
class NotebookBoard
{
public:
    virtual void fault(const std::exception &error) = 0;
    virtual std::optional<std::int64_t> attachedWheel() const = 0;
    /// Whether the board's spins since it followed the wheel went into this session.
    virtual bool writesTo(std::int64_t sessionId) const = 0;
    /// Lets go of the wheel: before what it writes to goes.
    virtual void detach() = 0;
    /// Plays these spins on the board as a draw file.
    virtual void replay(const roulette::PooledSpins &spins, const QString &name) = 0;
    /// The notebook's file, where an import from the window writes.
    virtual QString notebookPath() const = 0;

protected:
    ~NotebookBoard() = default;
};

/// « Carnet des roues »: the wheels, the sessions of the selected one and whether it has
/// changed. It shows what is stored whoever wrote it: every write reaches it through
/// `changes`, its own included. What is deleted here can be put back until the window closes.
class NotebookWindow : public QWidget
{
    Q_OBJECT
public:
    NotebookWindow(roulette::Notebook &notebook, NotebookChanges &changes, NotebookBoard &board,
                   QWidget *parent);

    /// Reads the notebook again, keeping the selected wheel.
    void refresh();
    /// Reads the counts of spins again, and only them: what the board's spins change.
    void refreshCounts();
    void selectWheel(int row);
    /// Asks before a delete or a replacement; by default a question box, tests answer instead.
    void setConfirm(std::function<bool(const QString &)> confirm)
    {
        m_confirm = std::move(confirm);
    }

    /// Opens the import of a permanence from path into the selected wheel.
    void importFile(const QString &path);
    /// Asks where « Sauvegarder le carnet… » writes, from the name suggested; by default a
    /// file dialog, tests answer instead.
    void setSaveChooser(std::function<QString(const QString &)> choose)
    {
        m_chooseSavePath = std::move(choose);
    }

    void deleteWheel();
    void deleteSessions();
    void undoDelete();
    /// « Sauvegarder le carnet… »: a copy of the whole notebook, said in the status bar.
    void backup();
    QStandardItemModel *wheelModel() const { return m_wheelModel; }
    QStandardItemModel *sessionModel() const { return m_sessionModel; }
    QString changeText() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    using Deleted = std::variant<roulette::DeletedWheel, std::vector<roulette::DeletedSession>>;

    void build();
    QPushButton *addButton(class QBoxLayout *row, const QString &text,
                           void (NotebookWindow::*slot)());
    void showSessions();
    void showChange();
    void showChangeNote();
    std::optional<roulette::WheelInfo> wheel() const;
    std::vector<roulette::SessionInfo> chosenSessions() const;
    std::vector<roulette::SessionInfo> studiedSessions() const;
    roulette::PooledSpins pooled(const std::vector<roulette::SessionInfo> &sessions) const;
    QString poolName(const std::vector<roulette::SessionInfo> &sessions) const;
    template <typename Work> void guarded(Work work);
    QString ask(const QString &title, const QString &label, const QString &text, bool *ok);
    bool confirm(const QString &question);

    void newWheel();
    void renameWheel();
    void annotateWheel();
    void importSession();
    void renameSession();
    void redateSession();
    void annotateSession();
    void moveSession();
    void study();
    void verifyOnLaterSessions();
    void replay();
    void exportSpins();

    roulette::Notebook &m_notebook;
    NotebookChanges &m_changes;
    NotebookBoard &m_board;
    std::vector<roulette::WheelInfo> m_wheels;
    std::vector<roulette::SessionInfo> m_sessions;
    std::vector<Deleted> m_deleted;
    std::function<bool(const QString &)> m_confirm;
    std::function<QString(const QString &)> m_chooseSavePath;
    QStandardItemModel *m_wheelModel = nullptr;
    QStandardItemModel *m_sessionModel = nullptr;
    QTableView *m_wheelView = nullptr;
    QTableView *m_sessionView = nullptr;
    QLabel *m_change = nullptr;
    QLabel *m_changeNote = nullptr;                      // when spins came after the report
    std::vector<roulette::SessionInfo> m_reportSessions; // of the latest report begun
    QTimer m_refreshSoon;                  // one read of the counts for the spins of a moment
    QPointer<BackgroundWork> m_changeWork; // the report under way
    QPushButton *m_undo = nullptr;
    QStatusBar *m_status = nullptr; // what the last command wrote
};
