#include "ui/notebook/notebookwindow.h"

#include <QAction>
#include <QBoxLayout>
#include <QDate>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>

#include "sources/drawfile.h"
#include "ui/common/backgroundwork.h"
#include "ui/common/french.h"
#include "ui/common/lastfolder.h"
#include "ui/common/ownwindow.h"
#include "ui/common/plaintext.h"
#include "ui/common/slicedwrite.h"
#include "ui/import/permanencedialog.h"
#include "ui/notebook/changereport.h"
#include "ui/notebook/notebookpath.h"
#include "ui/study/studywindow.h"

namespace
{

QStandardItem *cell(const QString &text)
{
    auto *item = new QStandardItem(text);
    item->setEditable(false);
    return item;
}

QStandardItem *countCell(std::int64_t count)
{
    QStandardItem *item = cell(frenchNumber(static_cast<double>(count)));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString spinsText(std::int64_t spins)
{
    return frenchCount(spins, QStringLiteral("tirage"), QStringLiteral("tirages"));
}

QList<QStandardItem *> wheelCells(const roulette::WheelInfo &w)
{
    return {cell(printableText(w.name)), cell(printableText(w.place)), countCell(w.spins),
            countCell(w.sessions),
            cell(w.lastSession.empty() ? QString() : sessionDate(w.lastSession))};
}

QList<QStandardItem *> sessionCells(const roulette::SessionInfo &s)
{
    return {cell(sessionDate(s.startedAt)), cell(QString::fromUtf8(roulette::originText(s.origin))),
            cell(printableText(s.label)), countCell(s.spins)};
}

template <typename Info> bool sameIds(const std::vector<Info> &a, const std::vector<Info> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const Info &x, const Info &y) { return x.id == y.id; });
}

std::int64_t spinsOf(const std::vector<roulette::SessionInfo> &sessions)
{
    std::int64_t spins = 0;
    for (const roulette::SessionInfo &s : sessions)
        spins += s.spins;
    return spins;
}

// The spins of these sessions as stored now.
std::int64_t spinsNow(const std::vector<roulette::SessionInfo> &sessions,
                      const std::vector<roulette::SessionInfo> &stored)
{
    std::int64_t spins = 0;
    for (const roulette::SessionInfo &s : stored)
        if (std::any_of(sessions.begin(), sessions.end(),
                        [&s](const roulette::SessionInfo &r) { return r.id == s.id; }))
            spins += s.spins;
    return spins;
}

std::vector<roulette::SessionInfo> realSessions(const std::vector<roulette::SessionInfo> &sessions)
{
    std::vector<roulette::SessionInfo> real;
    std::copy_if(sessions.begin(), sessions.end(), std::back_inserter(real),
                 [](const roulette::SessionInfo &s) { return !roulette::isSimulated(s.origin); });
    return real;
}

// Often enough to follow the board, seldom enough that a fast batch costs a few reads.
constexpr int CountsRefreshMilliseconds = 300;

QTableView *tableOver(QStandardItemModel *model, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

} // namespace

NotebookWindow::NotebookWindow(roulette::Notebook &notebook, NotebookChanges &changes,
                               NotebookBoard &board, QWidget *parent)
    : QWidget(parent, Qt::Window), m_notebook(notebook), m_changes(changes), m_board(board)
{
    setObjectName(QStringLiteral("notebookWindow"));
    setWindowTitle(QStringLiteral("Carnet des roues"));
    build();
    fitOnScreen(*this, {820, 640});
    addCloseKeys(*this);
    // The permanence import keeps its key here, where its wheel is chosen.
    for (QAction *action : parent->actions())
        if (action->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_I)))
            addAction(action);
    m_refreshSoon.setSingleShot(true);
    m_refreshSoon.setInterval(CountsRefreshMilliseconds);
    connect(&m_refreshSoon, &QTimer::timeout, this, &NotebookWindow::refreshCounts);
    connect(&changes, &NotebookChanges::changed, this, [this](NotebookChange what) {
        if (what == NotebookChange::Contents)
            refresh();
        else if (isVisible() && !m_refreshSoon.isActive())
            m_refreshSoon.start();
    });
}

QPushButton *NotebookWindow::addButton(QBoxLayout *row, const QString &text,
                                       void (NotebookWindow::*slot)())
{
    auto *button = new QPushButton(text, this);
    row->addWidget(button);
    connect(button, &QPushButton::clicked, this, slot);
    return button;
}

void NotebookWindow::build()
{
    m_wheelModel = new QStandardItemModel(0, 5, this);
    m_wheelModel->setHorizontalHeaderLabels({QStringLiteral("Roue"), QStringLiteral("Lieu"),
                                             QStringLiteral("Tirages"), QStringLiteral("Séances"),
                                             QStringLiteral("Dernière séance")});
    m_sessionModel = new QStandardItemModel(0, 4, this);
    m_sessionModel->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Origine"),
                                               QStringLiteral("Libellé"),
                                               QStringLiteral("Tirages")});
    m_wheelView = tableOver(m_wheelModel, this);
    m_wheelView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_sessionView = tableOver(m_sessionModel, this);
    m_sessionView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(m_wheelView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &NotebookWindow::showSessions);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Roues"), this));
    layout->addWidget(m_wheelView, 2);
    auto *wheelRow = new QHBoxLayout;
    addButton(wheelRow, QStringLiteral("Nouvelle roue…"), &NotebookWindow::newWheel);
    addButton(wheelRow, QStringLiteral("Renommer…"), &NotebookWindow::renameWheel);
    addButton(wheelRow, QStringLiteral("Lieu et notes…"), &NotebookWindow::annotateWheel);
    addButton(wheelRow, QStringLiteral("Supprimer la roue…"), &NotebookWindow::deleteWheel);
    layout->addLayout(wheelRow);
    auto *sessionsTitle =
        new QLabel(QStringLiteral("Séances de la roue : sans choix, les séances réelles sont "
                                  "étudiées ; les séances simulées (générateur, roue simulée) "
                                  "le sont seulement si vous les choisissez."),
                   this);
    sessionsTitle->setWordWrap(true);
    layout->addWidget(sessionsTitle);
    layout->addWidget(m_sessionView, 3);
    auto *sessionRow = new QHBoxLayout;
    addButton(sessionRow, QStringLiteral("Importer un fichier…"), &NotebookWindow::importSession);
    addButton(sessionRow, QStringLiteral("Libellé…"), &NotebookWindow::renameSession);
    addButton(sessionRow, QStringLiteral("Date…"), &NotebookWindow::redateSession);
    addButton(sessionRow, QStringLiteral("Notes…"), &NotebookWindow::annotateSession);
    addButton(sessionRow, QStringLiteral("Déplacer…"), &NotebookWindow::moveSession);
    addButton(sessionRow, QStringLiteral("Supprimer…"), &NotebookWindow::deleteSessions);
    layout->addLayout(sessionRow);
    auto *changeBox = new QGroupBox(QStringLiteral("La roue a-t-elle changé ?"), this);
    m_change = new QLabel(changeBox);
    m_change->setObjectName(QStringLiteral("changeText"));
    m_change->setTextFormat(Qt::PlainText);
    m_change->setWordWrap(true);
    m_change->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_changeNote = new QLabel(changeBox);
    m_changeNote->setWordWrap(true);
    m_changeNote->hide();
    auto *changeLayout = new QVBoxLayout(changeBox);
    // A report of many sessions scrolls: the window keeps its height on a small screen.
    auto *changeScroll = new QScrollArea(changeBox);
    changeScroll->setWidgetResizable(true);
    changeScroll->setFrameShape(QFrame::NoFrame);
    changeScroll->setWidget(m_change);
    changeLayout->addWidget(changeScroll);
    auto *noteRow = new QHBoxLayout;
    noteRow->addWidget(m_changeNote, 1);
    noteRow->addStretch(); // the buttons to the right while the note is hidden
    // Beside the question of change, the question of whether a place found holds later.
    for (auto [text, slot] :
         {std::pair{QStringLiteral("Vérifier sur les séances suivantes"),
                    &NotebookWindow::verifyOnLaterSessions},
          std::pair{QStringLiteral("Refaire le bilan"), &NotebookWindow::showChange}})
        addButton(noteRow, text, slot)->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    changeLayout->addLayout(noteRow);
    layout->addWidget(changeBox, 2);
    auto *poolRow = new QHBoxLayout;
    m_undo =
        addButton(poolRow, QStringLiteral("Annuler la suppression"), &NotebookWindow::undoDelete);
    addButton(poolRow, QStringLiteral("Étudier"), &NotebookWindow::study);
    addButton(poolRow, QStringLiteral("Rejouer sur le tableau"), &NotebookWindow::replay);
    addButton(poolRow, QStringLiteral("Exporter…"), &NotebookWindow::exportSpins);
    addButton(poolRow, QStringLiteral("Sauvegarder le carnet…"), &NotebookWindow::backup);
    layout->addLayout(poolRow);
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("notebookStatus"));
    layout->addWidget(m_status);
    m_undo->setEnabled(false);
}

// Every change goes through here: a fault is told, and every window of the notebook, this
// one too, shows what is stored.
template <typename Work> void NotebookWindow::guarded(Work work)
{
    try {
        work();
    } catch (const std::exception &error) {
        m_board.fault(error);
    }
    m_changes.report(NotebookChange::Contents);
}

void NotebookWindow::refresh()
{
    const std::optional<roulette::WheelInfo> was = wheel();
    try {
        m_wheels = m_notebook.wheels();
    } catch (const std::exception &error) {
        m_wheels.clear();
        m_board.fault(error);
    }
    m_wheelModel->setRowCount(0);
    int selected = m_wheels.empty() ? -1 : 0;
    for (const roulette::WheelInfo &w : m_wheels) {
        if (was && w.id == was->id)
            selected = m_wheelModel->rowCount();
        m_wheelModel->appendRow(wheelCells(w));
    }
    m_undo->setEnabled(!m_deleted.empty());
    selectWheel(selected);
    showSessions();
    m_wheelView->resizeColumnsToContents();
}

void NotebookWindow::selectWheel(int row)
{
    if (row >= 0 && row < m_wheelModel->rowCount())
        m_wheelView->selectRow(row);
}

std::optional<roulette::WheelInfo> NotebookWindow::wheel() const
{
    const QModelIndex current = m_wheelView->selectionModel()->currentIndex();
    if (!current.isValid() || current.row() >= static_cast<int>(m_wheels.size()))
        return std::nullopt;
    return m_wheels[static_cast<std::size_t>(current.row())];
}

void NotebookWindow::showSessions()
{
    m_sessions.clear();
    m_sessionModel->setRowCount(0);
    const std::optional<roulette::WheelInfo> w = wheel();
    if (!w) {
        delete m_changeWork.data();
        m_reportSessions.clear();
        m_change->setText(QStringLiteral("Aucune roue n'est choisie."));
        return;
    }
    try {
        m_sessions = m_notebook.sessions(w->id);
        for (const roulette::SessionInfo &s : m_sessions)
            m_sessionModel->appendRow(sessionCells(s));
        m_sessionView->resizeColumnsToContents();
    } catch (const std::exception &error) {
        m_reportSessions.clear();
        m_change->setText(QString::fromUtf8(error.what()));
        return;
    }
    if (studiedSessions() != m_reportSessions)
        showChange();
}

// The simulations of a report with many sessions take a while: they run on a worker, with
// the usual progress dialog. A report under way for sessions no longer shown is stopped.
void NotebookWindow::showChange()
{
    delete m_changeWork.data();
    m_changeNote->hide();
    const std::vector<roulette::SessionInfo> sessions = m_reportSessions = studiedSessions();
    if (sessions.size() < 2) {
        m_change->setText(changeReport(sessions, {}));
        return;
    }
    auto spins = std::make_shared<roulette::PooledSpins>();
    try {
        *spins = pooled(sessions);
    } catch (const std::exception &error) {
        m_change->setText(QString::fromUtf8(error.what()));
        return;
    }
    m_change->setText(QStringLiteral("Bilan en cours…"));
    auto figures = std::make_shared<ChangeFigures>();
    m_changeWork = new BackgroundWork(
        this, QStringLiteral("Bilan des séances…"),
        [spins, figures](const BackgroundWork::Progress &progress) {
            *figures = changeFigures(*spins, progress);
        },
        [this, sessions, figures](bool completed) {
            m_changeWork->deleteLater();
            m_changeWork = nullptr;
            if (!completed) {
                m_change->setText(QStringLiteral("Bilan interrompu : « Refaire le bilan » le "
                                                 "relance."));
                return;
            }
            m_change->setText(changeReport(sessions, *figures));
            showChangeNote();
        });
}

void NotebookWindow::showChangeNote()
{
    const std::int64_t added = spinsNow(m_reportSessions, m_sessions) - spinsOf(m_reportSessions);
    m_changeNote->setText((added > 0
                               ? QStringLiteral("Arrivés depuis ce bilan, non comptés : %1.")
                               : QStringLiteral("Repris depuis ce bilan, encore comptés : %1."))
                              .arg(spinsText(std::abs(added))));
    m_changeNote->setVisible(added != 0 && !m_changeWork);
}

// While the board spins only the counts change: they are put in place, so that the
// selection stays, and the change report says that it no longer covers every spin.
void NotebookWindow::refreshCounts()
{
    std::vector<roulette::WheelInfo> wheels;
    std::vector<roulette::SessionInfo> sessions;
    try {
        wheels = m_notebook.wheels();
        if (const auto w = wheel())
            sessions = m_notebook.sessions(w->id);
    } catch (const std::exception &error) {
        m_board.fault(error);
        return;
    }
    if (!sameIds(wheels, m_wheels) || !sameIds(sessions, m_sessions)) {
        refresh(); // a wheel or a session came or went
        return;
    }
    m_wheels = std::move(wheels);
    m_sessions = std::move(sessions);
    for (std::size_t row = 0; row < m_wheels.size(); ++row) {
        const QList<QStandardItem *> cells = wheelCells(m_wheels[row]);
        for (int column = 0; column < cells.size(); ++column)
            m_wheelModel->setItem(static_cast<int>(row), column, cells[column]);
    }
    for (std::size_t row = 0; row < m_sessions.size(); ++row)
        m_sessionModel->setItem(static_cast<int>(row), 3, countCell(m_sessions[row].spins));
    showChangeNote();
}

QString NotebookWindow::changeText() const
{
    return m_change->text();
}

std::vector<roulette::SessionInfo> NotebookWindow::chosenSessions() const
{
    std::vector<roulette::SessionInfo> chosen;
    for (const QModelIndex &row : m_sessionView->selectionModel()->selectedRows())
        chosen.push_back(m_sessions[static_cast<std::size_t>(row.row())]);
    std::sort(chosen.begin(), chosen.end(),
              [](const auto &a, const auto &b) { return a.startedAt < b.startedAt; });
    return chosen.empty() ? m_sessions : chosen;
}

// Simulated spins say nothing of the wheel: they are studied only when chosen.
std::vector<roulette::SessionInfo> NotebookWindow::studiedSessions() const
{
    const bool chosen = m_sessionView->selectionModel()->hasSelection();
    return chosen ? chosenSessions() : realSessions(m_sessions);
}

roulette::PooledSpins
NotebookWindow::pooled(const std::vector<roulette::SessionInfo> &sessions) const
{
    std::vector<std::int64_t> ids;
    ids.reserve(sessions.size());
    for (const roulette::SessionInfo &s : sessions)
        ids.push_back(s.id);
    return m_notebook.pooledSpins(ids);
}

QString NotebookWindow::poolName(const std::vector<roulette::SessionInfo> &sessions) const
{
    QString name = printableText(wheel() ? wheel()->name : std::string());
    if (sessions.size() == m_sessions.size())
        return name + QStringLiteral(" — toutes les séances");
    if (sessions == realSessions(m_sessions))
        return name + QStringLiteral(" — toutes les séances réelles");
    QStringList dates;
    for (const roulette::SessionInfo &s : sessions)
        dates << sessionDate(s.startedAt, true);
    return name + QStringLiteral(" — séances du ") + dates.join(QStringLiteral(", "));
}

QString NotebookWindow::ask(const QString &title, const QString &label, const QString &text,
                            bool *ok)
{
    return QInputDialog::getText(this, title, label, QLineEdit::Normal, text, ok);
}

bool NotebookWindow::confirm(const QString &question)
{
    if (m_confirm)
        return m_confirm(question);
    QMessageBox box(QMessageBox::Question, windowTitle(), question,
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

void NotebookWindow::newWheel()
{
    bool ok = false;
    const QString name = ask(QStringLiteral("Nouvelle roue"), QStringLiteral("Nom :"), {}, &ok);
    if (ok && !name.trimmed().isEmpty())
        guarded([&] { m_notebook.createWheel(name.trimmed().toStdString()); });
}

void NotebookWindow::renameWheel()
{
    const auto w = wheel();
    bool ok = false;
    const QString name = w ? ask(QStringLiteral("Renommer la roue"), QStringLiteral("Nom :"),
                                 QString::fromStdString(w->name), &ok)
                           : QString();
    if (ok && !name.trimmed().isEmpty())
        guarded([&] { m_notebook.renameWheel(w->id, name.trimmed().toStdString()); });
}

void NotebookWindow::annotateWheel()
{
    const auto w = wheel();
    bool ok = false;
    const QString place = w ? ask(QStringLiteral("Lieu"), QStringLiteral("Casino, table :"),
                                  QString::fromStdString(w->place), &ok)
                            : QString();
    if (!ok)
        return;
    const QString notes =
        QInputDialog::getMultiLineText(this, QStringLiteral("Notes"), QStringLiteral("Notes :"),
                                       QString::fromStdString(w->notes), &ok);
    if (ok)
        guarded([&] { m_notebook.annotateWheel(w->id, place.toStdString(), notes.toStdString()); });
}

// Counts read again first: the board may have written spins since the window last looked.
void NotebookWindow::deleteWheel()
{
    refreshCounts();
    const auto w = wheel();
    if (!w ||
        !confirm(
            QStringLiteral("Supprimer la roue « %1 » : %2 et %3 disparaîtront du carnet. "
                           "Continuer ?")
                .arg(printableText(w->name),
                     frenchCount(w->sessions, QStringLiteral("séance"), QStringLiteral("séances")),
                     spinsText(w->spins))))
        return;
    if (m_board.attachedWheel() == w->id)
        m_board.detach();
    guarded([&] { m_deleted.emplace_back(m_notebook.deleteWheel(w->id)); });
}

void NotebookWindow::deleteSessions()
{
    std::vector<std::int64_t> ids;
    for (const QModelIndex &row : m_sessionView->selectionModel()->selectedRows())
        ids.push_back(m_sessions[static_cast<std::size_t>(row.row())].id);
    refreshCounts();
    std::int64_t sessions = 0;
    std::int64_t spins = 0;
    for (const roulette::SessionInfo &s : m_sessions)
        if (std::find(ids.begin(), ids.end(), s.id) != ids.end()) {
            ++sessions;
            spins += s.spins;
        }
    if (sessions == 0 ||
        !confirm(
            QStringLiteral("Supprimer %1 : %2 %3 du carnet. Continuer ?")
                .arg(frenchCount(sessions, QStringLiteral("séance"), QStringLiteral("séances")),
                     spinsText(spins),
                     spins > 1 ? QStringLiteral("disparaîtront") : QStringLiteral("disparaîtra"))))
        return;
    if (std::any_of(ids.begin(), ids.end(), [&](std::int64_t id) { return m_board.writesTo(id); }))
        m_board.detach();
    guarded([&] {
        std::vector<roulette::DeletedSession> gone = m_notebook.deleteSessions(ids);
        if (!gone.empty())
            m_deleted.emplace_back(std::move(gone));
    });
}

// The record goes only once its restore has succeeded: a name taken meanwhile, or a busy
// notebook, leaves it to be tried again.
void NotebookWindow::undoDelete()
{
    if (m_deleted.empty())
        return;
    guarded([&] {
        if (const auto *w = std::get_if<roulette::DeletedWheel>(&m_deleted.back()))
            m_notebook.restoreWheel(*w);
        else
            m_notebook.restoreSessions(std::get<1>(m_deleted.back()));
        m_deleted.pop_back();
    });
}

// What was deleted cannot be put back once the window is gone: it closes for good.
void NotebookWindow::closeEvent(QCloseEvent *event)
{
    m_deleted.clear();
    m_undo->setEnabled(false);
    QWidget::closeEvent(event);
}

void NotebookWindow::importSession()
{
    const QString path =
        wheel() ? QFileDialog::getOpenFileName(this, QStringLiteral("Importer une permanence"),
                                               lastFolder(),
                                               QStringLiteral("Permanences (*.txt *.csv);;"
                                                              "Tous les fichiers (*)"))
                : QString();
    if (path.isEmpty())
        return;
    rememberFolder(path);
    importFile(path);
}

// The board's import, with its preview and warnings, into the wheel shown.
void NotebookWindow::importFile(const QString &path)
{
    const auto w = wheel();
    if (!w)
        return;
    PermanenceDialog::start(this, path, {{}, m_board.notebookPath(), w->id},
                            [this](const QString &text) {
                                refresh();
                                m_board.fault(std::runtime_error(text.toStdString()));
                            });
}

void NotebookWindow::renameSession()
{
    const auto chosen = m_sessionView->selectionModel()->selectedRows();
    if (chosen.size() != 1)
        return;
    const roulette::SessionInfo s = m_sessions[static_cast<std::size_t>(chosen[0].row())];
    bool ok = false;
    const QString label = ask(QStringLiteral("Libellé de la séance"), QStringLiteral("Libellé :"),
                              QString::fromStdString(s.label), &ok);
    if (ok)
        guarded([&] { m_notebook.renameSession(s.id, label.toStdString()); });
}

void NotebookWindow::redateSession()
{
    const auto chosen = m_sessionView->selectionModel()->selectedRows();
    if (chosen.size() != 1)
        return;
    const roulette::SessionInfo s = m_sessions[static_cast<std::size_t>(chosen[0].row())];
    QDialog ask(this);
    ask.setWindowTitle(QStringLiteral("Date de la séance"));
    auto *edit = new QDateTimeEdit(
        QDateTime::fromString(QString::fromStdString(s.startedAt), Qt::ISODate), &ask);
    edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy HH:mm"));
    edit->setCalendarPopup(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &ask);
    connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    auto *layout = new QFormLayout(&ask);
    layout->addRow(QStringLiteral("Début :"), edit);
    layout->addRow(buttons);
    if (ask.exec() == QDialog::Accepted)
        guarded([&] {
            m_notebook.redateSession(
                s.id, edit->dateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm")).toStdString());
        });
}

void NotebookWindow::annotateSession()
{
    const auto chosen = m_sessionView->selectionModel()->selectedRows();
    if (chosen.size() != 1)
        return;
    const roulette::SessionInfo s = m_sessions[static_cast<std::size_t>(chosen[0].row())];
    bool ok = false;
    const QString notes = QInputDialog::getMultiLineText(this, QStringLiteral("Notes de la séance"),
                                                         QStringLiteral("Notes :"),
                                                         QString::fromStdString(s.notes), &ok);
    if (ok)
        guarded([&] { m_notebook.annotateSession(s.id, notes.toStdString()); });
}

void NotebookWindow::moveSession()
{
    const auto w = wheel();
    const auto chosen = m_sessionView->selectionModel()->selectedRows();
    QStringList names;
    for (const roulette::WheelInfo &other : m_wheels)
        if (w && other.id != w->id)
            names << printableText(other.name);
    if (chosen.empty() || names.isEmpty())
        return;
    bool ok = false;
    const QString to = QInputDialog::getItem(this, QStringLiteral("Déplacer vers une autre roue"),
                                             QStringLiteral("Roue :"), names, 0, false, &ok);
    if (!ok)
        return;
    const auto target = std::find_if(m_wheels.begin(), m_wheels.end(), [&](const auto &other) {
        return printableText(other.name) == to;
    });
    guarded([&] {
        for (const QModelIndex &row : chosen)
            m_notebook.moveSession(m_sessions[static_cast<std::size_t>(row.row())].id, target->id);
    });
}

void NotebookWindow::study()
{
    const auto sessions = studiedSessions();
    if (sessions.empty() && !m_sessions.empty())
        m_board.fault(std::runtime_error("Les séances de cette roue sont toutes simulées : "
                                         "choisissez celles à étudier."));
    if (sessions.empty())
        return;
    guarded([&] {
        auto *window = new StudyWindow(
            pooled(sessions), StudyWindow::title() + QStringLiteral(" — ") + poolName(sessions),
            sessions.size() != m_sessions.size(), this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    });
}

// The place the study of the chosen sessions names, pinned as it would have been after the
// last of them, and read on the wheel's real sessions that came after.
void NotebookWindow::verifyOnLaterSessions()
{
    if (!m_sessionView->selectionModel()->hasSelection()) {
        m_board.fault(std::runtime_error("Choisissez les séances où chercher une piste : les "
                                         "séances suivantes la mettront à l'épreuve."));
        return;
    }
    const auto chosen = chosenSessions();
    std::vector<roulette::SessionInfo> later;
    const auto last = std::find(m_sessions.begin(), m_sessions.end(), chosen.back());
    for (auto s = last + 1; s < m_sessions.end(); ++s)
        if (!roulette::isSimulated(s->origin) &&
            std::find(chosen.begin(), chosen.end(), *s) == chosen.end())
            later.push_back(*s);
    if (later.empty()) {
        m_board.fault(std::runtime_error("Aucune séance réelle ne suit celles choisies : il n'y a "
                                         "rien pour vérifier la piste."));
        return;
    }
    guarded([&] {
        const roulette::PooledSpins before = pooled(chosen);
        const auto suspect = roulette::namedSuspect(before.numbers, before.starts);
        if (!suspect)
            throw std::runtime_error("Sur ces séances, le verdict ne trouve rien d'anormal : il ne "
                                     "nomme aucune piste à vérifier.");
        std::vector<roulette::SessionInfo> all = chosen;
        all.insert(all.end(), later.begin(), later.end());
        const roulette::PinMark pin{*suspect, static_cast<std::int64_t>(before.numbers.size()),
                                    chosen.back().startedAt, 0};
        auto *window =
            new StudyWindow(pooled(all),
                            StudyWindow::title() + QStringLiteral(" — vérification : ") +
                                poolName(chosen) + QStringLiteral(", puis les suivantes"),
                            true, this, pin);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    });
}

void NotebookWindow::replay()
{
    const auto sessions = chosenSessions();
    if (sessions.empty())
        return;
    guarded([&] { m_board.replay(pooled(sessions), poolName(sessions)); });
}

void NotebookWindow::exportSpins()
{
    const auto sessions = chosenSessions();
    if (sessions.empty())
        return;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Exporter les tirages"),
                                                      lastFolder(), QStringLiteral("txt (*.txt)"));
    if (path.isEmpty())
        return;
    rememberFolder(path);
    guarded([&] {
        const roulette::PooledSpins spins = pooled(sessions);
        const WriteResult result =
            writeInSlices(this, path, {}, static_cast<std::int64_t>(spins.numbers.size()),
                          [&spins](std::int64_t first, std::int64_t last, std::string &out) {
                              for (std::int64_t s = first; s <= last; ++s)
                                  roulette::appendDrawFileLine(
                                      out, spins.numbers[static_cast<std::size_t>(s - 1)]);
                          });
        if (!result.written && !result.error.isEmpty())
            throw std::runtime_error(
                QStringLiteral("Les tirages n'ont pas été exportés dans « %1 » : %2.")
                    .arg(printableText(path), result.error)
                    .toStdString());
    });
}

void NotebookWindow::backup()
{
    const QString suggested =
        QDir(lastFolder())
            .filePath(
                QStringLiteral("carnet-%1.sqlite").arg(QDate::currentDate().toString(Qt::ISODate)));
    QString path =
        m_chooseSavePath
            ? m_chooseSavePath(suggested)
            : QFileDialog::getSaveFileName(this, QStringLiteral("Sauvegarder le carnet"), suggested,
                                           QStringLiteral("Carnet des roues (*.sqlite)"));
    if (path.isEmpty())
        return;
    // The dialog asked about the name typed, not about the one the extension makes.
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".sqlite");
        if (QFileInfo::exists(path) &&
            !confirm(QStringLiteral("« %1 » existe déjà. Le remplacer par la copie du carnet ?")
                         .arg(printableText(QFileInfo(path).fileName()))))
            return;
    }
    rememberFolder(path);
    guarded([&] {
        backUpNotebook(m_notebook, path);
        std::int64_t spins = 0;
        for (const roulette::WheelInfo &w : m_wheels)
            spins += w.spins;
        m_status->showMessage(QStringLiteral("Carnet copié dans « %1 » : %2, %3.")
                                  .arg(printableText(QFileInfo(path).fileName()),
                                       frenchCount(static_cast<std::int64_t>(m_wheels.size()),
                                                   QStringLiteral("roue"), QStringLiteral("roues")),
                                       spinsText(spins)));
    });
}
