#include "ui/notebook/boardnotebook.h"

#include <QAction>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QTextDocument>

#include <algorithm>

#include "ui/common/plaintext.h"
#include "ui/notebook/notebookpath.h"

namespace
{

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

const QString LastNotebookKey = QStringLiteral("carnet/dernierCarnetSuivi");
const QString LastWheelKey = QStringLiteral("carnet/derniereRoueSuivie");
constexpr int FollowedWidth = 260; // pixels of the status bar for the wheel's name

std::string now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm")).toStdString();
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
    m_detachAction = addAction(menu, QStringLiteral("Détacher la roue"), &BoardNotebook::letGo);
    m_windowAction =
        addAction(menu, QStringLiteral("Carnet des roues…"), &BoardNotebook::openWindow);
    m_windowAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    m_otherAction = addAction(menu, QStringLiteral("Ouvrir un autre carnet…"),
                              &BoardNotebook::askOtherNotebook);
    m_detachAction->setEnabled(false);
    m_followed = new QLabel(m_board);
    m_followed->setObjectName(QStringLiteral("followedWheel"));
    m_followed->setTextFormat(Qt::PlainText);
    m_board->statusBar()->addPermanentWidget(m_followed);
    showAttached();
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
        m_recorder = std::make_unique<roulette::SpinRecorder>(*book, wheel, m_series, now);
        m_wheelId = wheel;
        m_wheelName = found != wheels.end() ? qs(found->name) : wheelName;
    } catch (const std::exception &error) {
        fault(error);
        return false;
    }
    try {
        m_pins.keepWith(*book, *m_wheelId);
    } catch (const std::exception &error) {
        fault(error); // the spins are followed all the same; the pins stay with the board
    }
    remember(true);
    showAttached();
    report(NotebookChange::Contents); // the wheel may be new
    return true;
}

// A session that got no spin is not kept: attaching by mistake leaves nothing behind.
void BoardNotebook::detach()
{
    if (!m_recorder)
        return;
    const std::unique_ptr<roulette::SpinRecorder> recorder = std::move(m_recorder);
    m_wheelId.reset();
    m_pins.letGo();
    try {
        recorder->finish();
    } catch (const std::exception &) {
        // An empty session left behind loses nothing.
    }
    showAttached();
    report(NotebookChange::Contents);
}

// « Détacher la roue »: the user no longer follows it, not even at the next start.
void BoardNotebook::letGo()
{
    detach();
    remember(false);
}

bool BoardNotebook::writesTo(std::int64_t sessionId) const
{
    return m_recorder && m_recorder->wrote(sessionId);
}

void BoardNotebook::report(NotebookChange what)
{
    NotebookChanges::of(m_path).report(what);
}

void BoardNotebook::showAttached()
{
    QString title = m_board->windowTitle().section(QStringLiteral(" — "), 0, 0);
    const QString name = printableText(m_wheelName);
    if (m_recorder)
        title += QStringLiteral(" — ") +
                 QString(name).replace(QStringLiteral("[*]"), QStringLiteral("[ * ]"));
    m_board->setWindowTitle(title);
    if (m_detachAction)
        m_detachAction->setEnabled(m_recorder != nullptr);
    if (!m_followed)
        return;
    const QString followed =
        m_recorder ? QStringLiteral("Roue suivie : ") + name : QStringLiteral("Aucune roue suivie");
    m_followed->setText(
        m_followed->fontMetrics().elidedText(followed, Qt::ElideMiddle, FollowedWidth));
    m_followed->setToolTip(m_recorder ? Qt::convertFromPlainText(followed, Qt::WhiteSpaceNormal)
                                      : QString());
}

void BoardNotebook::follow()
{
    m_pins.follow();
    if (!m_recorder)
        return;
    try {
        if (m_recorder->follow(m_links.origin()))
            report(NotebookChange::Spins);
    } catch (const std::exception &error) {
        m_recorder.reset(); // what it wrote stays; the board goes on without the notebook
        m_wheelId.reset();
        m_pins.letGo();
        showAttached();
        report(NotebookChange::Spins);
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
        m_window = new NotebookWindow(*book, NotebookChanges::of(m_path), *this, m_board);
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

void BoardNotebook::remember(bool followed)
{
    QSettings settings;
    if (followed) {
        settings.setValue(LastNotebookKey, m_path);
        settings.setValue(LastWheelKey, m_wheelName);
    } else {
        settings.remove(LastNotebookKey);
        settings.remove(LastWheelKey);
    }
}

bool BoardNotebook::ask(const QString &question)
{
    if (m_ask)
        return m_ask(question);
    QMessageBox box(QMessageBox::Question, m_board->windowTitle(), question,
                    QMessageBox::Yes | QMessageBox::No, m_board);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

void BoardNotebook::offerLastWheel()
{
    const QSettings settings;
    const QString path = settings.value(LastNotebookKey).toString();
    const QString wheel = settings.value(LastWheelKey).toString();
    if (path.isEmpty() || wheel.isEmpty() || m_recorder)
        return;
    if (!QFileInfo::exists(path)) {
        remember(false);
        return;
    }
    if (!ask(QStringLiteral("Suivre de nouveau la roue « %1 » du carnet « %2 », comme à la "
                            "dernière séance ?")
                 .arg(printableText(wheel), printableText(QFileInfo(path).fileName())))) {
        remember(false);
        return;
    }
    if ((path == m_path || openNotebook(path)) && notebook())
        attach(wheel);
}
