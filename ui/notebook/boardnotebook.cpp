#include "ui/notebook/boardnotebook.h"

#include <QAction>
#include <QDateTime>
#include <QFileDialog>
#include <QInputDialog>
#include <QMainWindow>
#include <QMenu>

#include <algorithm>

#include "ui/common/plaintext.h"
#include "ui/notebook/notebookpath.h"
#include "ui/notebook/notebookwindow.h"

namespace
{

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

} // namespace

BoardNotebook::BoardNotebook(QMainWindow *board, const roulette::Module1 &series, BoardLinks links)
    : QObject(board), m_board(board), m_series(series), m_links(std::move(links))
{
}

// The window reads the notebook: it must go first.
BoardNotebook::~BoardNotebook()
{
    delete m_window;
}

// The board is the actions' context, as it is of its own: whatever stops the board's
// actions stops these too.
QAction *BoardNotebook::addAction(QMenu *menu, const QString &text, void (BoardNotebook::*slot)())
{
    QAction *action = menu->addAction(text);
    connect(action, &QAction::triggered, m_board, [this, slot] { (this->*slot)(); });
    m_board->addAction(action);
    return action;
}

void BoardNotebook::addActions(QMenu *menu)
{
    m_attachAction = addAction(menu, QStringLiteral("Suivre une roue…"), &BoardNotebook::askWheel);
    m_detachAction = addAction(menu, QStringLiteral("Détacher la roue"), &BoardNotebook::detach);
    m_windowAction =
        addAction(menu, QStringLiteral("Carnet des roues…"), &BoardNotebook::openWindow);
    m_windowAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    m_otherAction = addAction(menu, QStringLiteral("Ouvrir un autre carnet…"),
                              &BoardNotebook::askOtherNotebook);
    m_detachAction->setEnabled(false);
}

void BoardNotebook::fault(const std::exception &error)
{
    m_links.message(QString::fromUtf8(error.what()));
}

roulette::Notebook *BoardNotebook::notebook()
{
    if (!m_notebook)
        openNotebook(m_path.isEmpty() ? defaultNotebookPath() : m_path);
    return m_notebook.get();
}

bool BoardNotebook::openNotebook(const QString &path)
{
    detach();
    delete m_window;
    m_window = nullptr;
    m_notebook.reset();
    m_path = path;
    try {
        m_notebook = std::make_unique<roulette::Notebook>(path.toStdString());
        return true;
    } catch (const std::exception &error) {
        fault(error);
        return false;
    }
}

bool BoardNotebook::attach(const QString &wheelName)
{
    detach();
    roulette::Notebook *book = notebook();
    if (!book)
        return false;
    try {
        const std::vector<roulette::WheelInfo> wheels = book->wheels();
        const std::string key = roulette::wheelNameKey(wheelName.toStdString());
        const auto found = std::find_if(wheels.begin(), wheels.end(), [&](const auto &w) {
            return roulette::wheelNameKey(w.name) == key;
        });
        const std::int64_t wheel =
            found != wheels.end() ? found->id : book->createWheel(wheelName.toStdString());
        const QString now =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm"));
        const std::int64_t session =
            book->createSession(wheel, now.toStdString(), m_links.origin());
        m_recorder = std::make_unique<SpinRecorder>(*book, session, m_series);
        m_wheelId = wheel;
        m_wheelName = found != wheels.end() ? qs(found->name) : wheelName;
    } catch (const std::exception &error) {
        fault(error);
        return false;
    }
    showAttached();
    return true;
}

// A session that got no spin is not kept: attaching by mistake leaves nothing behind.
void BoardNotebook::detach()
{
    if (!m_recorder)
        return;
    const std::unique_ptr<SpinRecorder> recorder = std::move(m_recorder);
    m_wheelId.reset();
    try {
        if (recorder->written() == 0)
            m_notebook->deleteSession(recorder->sessionId());
    } catch (const std::exception &) {
        // An empty session left behind loses nothing.
    }
    showAttached();
}

std::optional<std::int64_t> BoardNotebook::attachedSession() const
{
    return m_recorder ? std::optional(m_recorder->sessionId()) : std::nullopt;
}

void BoardNotebook::showAttached()
{
    QString title = m_board->windowTitle().section(QStringLiteral(" — "), 0, 0);
    if (m_recorder)
        title += QStringLiteral(" — ") +
                 printableText(m_wheelName).replace(QStringLiteral("[*]"), QStringLiteral("[ * ]"));
    m_board->setWindowTitle(title);
    if (m_detachAction)
        m_detachAction->setEnabled(m_recorder != nullptr);
    if (m_window)
        m_window->refresh();
}

void BoardNotebook::follow()
{
    if (!m_recorder)
        return;
    try {
        const std::int64_t before = m_recorder->written();
        m_recorder->follow();
        if (m_recorder->written() != before)
            emit spinsWritten();
    } catch (const std::exception &error) {
        m_recorder.reset(); // what it wrote stays; the board goes on without the notebook
        m_wheelId.reset();
        showAttached();
        fault(error);
        m_links.message(QStringLiteral("La roue est détachée : les tirages suivants ne sont "
                                       "plus écrits dans le carnet."));
    }
}

bool BoardNotebook::holdsCurrentSession() const
{
    return m_recorder && m_recorder->holdsCurrentSession();
}

void BoardNotebook::askWheel()
{
    roulette::Notebook *book = notebook();
    if (!book)
        return;
    QStringList names;
    try {
        for (const roulette::WheelInfo &wheel : book->wheels())
            names << qs(wheel.name);
    } catch (const std::exception &error) {
        fault(error);
        return;
    }
    bool ok = false;
    const QString name =
        QInputDialog::getItem(m_board, QStringLiteral("Suivre une roue"),
                              QStringLiteral("Roue (choisie ou nouvelle) :"), names, 0, true, &ok)
            .trimmed();
    if (ok && !name.isEmpty())
        attach(name);
}

void BoardNotebook::askOtherNotebook()
{
    const QString path = QFileDialog::getSaveFileName(
        m_board, QStringLiteral("Ouvrir un autre carnet"), m_path,
        QStringLiteral("Carnet des roues (*.sqlite)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty())
        openNotebook(path);
}

void BoardNotebook::openWindow()
{
    showWindow();
}

NotebookWindow *BoardNotebook::showWindow()
{
    roulette::Notebook *book = notebook();
    if (!book)
        return nullptr;
    if (!m_window)
        m_window = new NotebookWindow(*book, *this, m_board);
    m_window->refresh();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return m_window;
}

// The board's spins from there would go into the wheel again: it lets go of it first.
void BoardNotebook::replay(const roulette::PooledSpins &spins, const QString &name)
{
    detach();
    roulette::DrawRecords records;
    for (const std::uint8_t n : spins.numbers)
        records.append(n);
    m_links.replay({name.toStdString(), std::move(records), {}});
}
