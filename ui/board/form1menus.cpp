// Form1's commands: the actions behind the menu bar, the board's context menu and the
// shortcuts, the reasons a greyed one gives, and the status bar's confirmations.
#include "ui/board/form1.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

#include "store/recorder.h"
#include "ui/common/french.h"
#include "ui/common/greyedkey.h"
#include "ui/common/lastfolder.h"
#include "ui/common/verdict.h"
#include "ui/import/permanencedialog.h"
#include "ui/notebook/boardnotebook.h"
#include "ui/notebook/notebookpath.h"

namespace
{

constexpr int ConfirmMilliseconds = 10'000;

// Shows why a greyed action is greyed, when it is: in the status bar as the menu passes
// over it, and when its shortcut is pressed.
void setAvailable(QAction *action, bool available, const QString &why)
{
    action->setEnabled(available);
    action->setStatusTip(available ? QString() : why);
}

} // namespace

QAction *Form1::addBoardAction(const QString &text, const QString &name, const QKeySequence &keys)
{
    auto *action = new QAction(text, this);
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut); // eventFilter lets it past the text boxes
    addAction(action);
    return action;
}

void Form1::createActions()
{
    m_openAction = addBoardAction(QStringLiteral("Ouvrir un fichier de tirage…"),
                                  QStringLiteral("open"), QKeySequence::Open);
    m_importAction =
        addBoardAction(QStringLiteral("Importer une permanence…"),
                       QStringLiteral("importPermanence"), QKeySequence(Qt::CTRL | Qt::Key_I));
    m_saveAction = addBoardAction(QStringLiteral("Enregistrer les tirages…"),
                                  QStringLiteral("save"), QKeySequence::Save);
    m_exportAction =
        addBoardAction(QStringLiteral("Exporter en CSV…"), QStringLiteral("export"), {});
    m_closeFileAction = addBoardAction(QStringLiteral("Fermer le fichier de tirage"),
                                       QStringLiteral("closeDrawFile"), {});
    m_quitAction = addBoardAction(QStringLiteral("Quitter"), QStringLiteral("quit"),
                                  QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_undoAction = addBoardAction(QStringLiteral("Annuler le dernier tirage"),
                                  QStringLiteral("undoLastSpin"), QKeySequence::Undo);
    m_batchAction = addBoardAction(QStringLiteral("Lancer plusieurs tirages…"),
                                   QStringLiteral("spinMany"), QKeySequence(Qt::CTRL | Qt::Key_L));
    m_resetAction = addBoardAction(QStringLiteral("Remettre à zéro"), QStringLiteral("reset"), {});
    m_studyAction = addBoardAction(QStringLiteral("Étude du cylindre…"), QStringLiteral("study"),
                                   QKeySequence(Qt::CTRL | Qt::Key_E));
    m_helpAction = addBoardAction(QStringLiteral("Comment lire ce tableau ?"),
                                  QStringLiteral("help"), Qt::Key_F1);
    m_aboutAction =
        addBoardAction(QStringLiteral("À propos d'Étude Roulette"), QStringLiteral("about"), {});

    connect(m_openAction, &QAction::triggered, this, &Form1::Command4_Click);
    connect(m_importAction, &QAction::triggered, this, &Form1::importPermanence);
    connect(m_saveAction, &QAction::triggered, this, &Form1::saveSpins);
    connect(m_exportAction, &QAction::triggered, this, &Form1::exportCsv);
    connect(m_closeFileAction, &QAction::triggered, this, &Form1::closeDrawFile);
    connect(m_quitAction, &QAction::triggered, this, &Form1::close);
    connect(m_undoAction, &QAction::triggered, this, &Form1::undo);
    connect(m_batchAction, &QAction::triggered, this, &Form1::askSpinMany);
    connect(m_resetAction, &QAction::triggered, this, &Form1::Command3_Click);
    connect(m_studyAction, &QAction::triggered, this, &Form1::openStudy);
    connect(m_helpAction, &QAction::triggered, this, &Form1::showHelp);
    connect(m_aboutAction, &QAction::triggered, this, &Form1::showAbout);
    createKeyboardActions();
    createViewActions();
}

// In the order of a French desktop program. A new study window adds its action to
// m_studyMenu, and so to the board's context menu too.
void Form1::buildMenuBar()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&Fichier"));
    file->addActions(
        {m_openAction, m_importAction, m_saveAction, m_exportAction, m_closeFileAction});
    file->addSeparator();
    file->addAction(m_quitAction);
    QMenu *spins = menuBar()->addMenu(QStringLiteral("&Tirages"));
    spins->addActions({m_undoAction, m_batchAction, m_resetAction});
    spins->addSeparator();
    spins->addActions({m_manualAction, m_markAction});
    menuBar()
        ->addMenu(QStringLiteral("Affic&hage"))
        ->addActions({m_zoomInAction, m_zoomOutAction, m_zoomResetAction, m_zoomFitAction});
    m_studyMenu = menuBar()->addMenu(QStringLiteral("Ét&ude"));
    m_studyMenu->addAction(m_studyAction);
    m_notebook = new BoardNotebook(
        this, board().series(),
        {[this] { return roulette::spinOrigin(board().state()); },
         [this](roulette::DrawFileLoad load) { takeDrawFile(std::move(load)); },
         [this](const QString &text) { m_sink ? m_sink(text) : showNotebookFault(this, text); }});
    m_notebook->addActions(m_studyMenu);
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Aide"));
    help->addAction(m_helpAction);
    help->addSeparator();
    help->addAction(m_aboutAction);
    statusBar()->setObjectName(QStringLiteral("statusBar"));
}

// Over the board only: the menu bar and the status bar have none.
void Form1::contextMenuEvent(QContextMenuEvent *event)
{
    if (!centralWidget()->geometry().contains(event->pos()))
        return;
    QMenu menu(this);
    menu.addActions({m_undoAction, m_batchAction, m_manualAction, m_markAction});
    menu.addSeparator();
    menu.addActions({m_importAction, m_saveAction, m_exportAction, m_closeFileAction});
    menu.addSeparator();
    menu.addActions(m_studyMenu->actions());
    menu.addAction(m_helpAction);
    menu.exec(event->globalPos());
}

void Form1::importPermanence()
{
    const QString path =
        m_chooseFile ? m_chooseFile(this)
                     : QFileDialog::getOpenFileName(this, QStringLiteral("Importer une permanence"),
                                                    lastFolder(),
                                                    QStringLiteral("Permanences (*.txt *.csv);;"
                                                                   "Tous les fichiers (*)"));
    if (path.isEmpty())
        return;
    rememberFolder(path);
    const QString notebook = m_notebook->notebookPath();
    PermanenceDialog::start(this, path,
                            {[this](roulette::DrawFileLoad load) {
                                 if (m_batchRunning) {
                                     m_loadAfterBatch = std::move(load);
                                     return;
                                 }
                                 const QString name = QString::fromStdString(load.fileName);
                                 takeDrawFile(std::move(load));
                                 offerToPlay(name);
                             },
                             notebook.isEmpty() ? defaultNotebookPath() : notebook, std::nullopt},
                            [this](const QString &text) { message(text); });
}

// What Ctrl+Z takes back next: one command, a batch whole.
QString Form1::undoText() const
{
    const std::int64_t spins = board().spinsToUndo();
    if (spins > 1)
        return QStringLiteral("Annuler les %1 tirages")
            .arg(frenchNumber(static_cast<double>(spins)));
    return spins == 1 || !board().canUndo() ? QStringLiteral("Annuler le dernier tirage")
                                            : QStringLiteral("Annuler la remise à zéro");
}

void Form1::showAvailability()
{
    const roulette::BoardState &s = board().state();
    setAvailable(m_undoAction, board().canUndo(), QStringLiteral("Rien à annuler."));
    m_undoAction->setText(undoText());
    m_manualAction->setChecked(s.manualMode());
    const bool spinsToWrite = board().series().session().lastRow() > 0;
    const QString noSpins = QStringLiteral("Aucun tirage depuis la remise à zéro.");
    setAvailable(m_saveAction, spinsToWrite, noSpins);
    setAvailable(m_exportAction, spinsToWrite, noSpins);
    setAvailable(m_closeFileAction, s.fileMode(),
                 QStringLiteral("Aucun fichier de tirage n'est ouvert."));
    // In manual mode the batch would play the same typed number again and again.
    setAvailable(m_batchAction, !s.manualMode(),
                 QStringLiteral("« Lancer plusieurs tirages » ne joue pas en mode manuel : "
                                "cliquez sur « Retour » pour en sortir."));
}

// The shortcut of a greyed action reaches the window as a plain key: it says why.
void Form1::keyPressEvent(QKeyEvent *event)
{
    if (const QString reason = greyedReason(*this, *event); !reason.isEmpty()) {
        confirm(reason);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Form1::confirm(const QString &text)
{
    statusBar()->showMessage(text, ConfirmMilliseconds);
}

void Form1::showAbout()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("À propos d'Étude Roulette"),
                    QStringLiteral("Étude Roulette, version 1.0\n\n"
                                   "Les tirages d'une roulette à un zéro, tirage par tirage : "
                                   "les sorties de chaque numéro, du zéro et des douzaines, leurs "
                                   "graphiques, et l'étude du cylindre, qui cherche si la roue "
                                   "paraît équilibrée.\n\n"
                                   "F1 : comment lire ce tableau."),
                    QMessageBox::Ok, this);
    box.setIconPixmap(windowIcon().pixmap(64));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
