// StudyWindow's commands: copy, export, help, close, and the board's shortcuts from the
// study window.
#include "ui/study/studywindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/common/greyedkey.h"
#include "ui/common/helpwindow.h"
#include "ui/common/lastfolder.h"
#include "ui/common/ownwindow.h"
#include "ui/common/plaintext.h"
#include "ui/study/studyexport.h"
#include "ui/study/texttable.h"

namespace
{

constexpr int SayMilliseconds = 10'000;

} // namespace

void StudyWindow::addCommands(QVBoxLayout *outer)
{
    m_copyAction = windowAction(*this, QStringLiteral("Copier"), {QKeySequence::Copy});
    m_exportAction = windowAction(*this, QStringLiteral("Exporter l'étude…"), {});
    m_helpAction = windowAction(*this, QStringLiteral("Comment lire l'étude ?"), {Qt::Key_F1});
    m_closeAction = addCloseKeys(*this);
    connect(m_copyAction, &QAction::triggered, this, &StudyWindow::copy);
    connect(m_exportAction, &QAction::triggered, this, &StudyWindow::askExport);
    connect(m_helpAction, &QAction::triggered, this, &StudyWindow::showHelp);

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(9, 0, 9, 6);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("studyStatus"));
    m_status->setTextFormat(Qt::PlainText);
    bar->addWidget(m_status, 1);
    const std::pair<QString, QAction *> buttons[] = {
        {QStringLiteral("Copier l'étude"), m_copyAction},
        {m_exportAction->text(), m_exportAction},
        {QStringLiteral("Aide"), m_helpAction},
        {m_closeAction->text(), m_closeAction}};
    for (const auto &[text, action] : buttons) {
        auto *button = new QPushButton(text);
        button->setAutoDefault(false);
        button->setToolTip(action->shortcut().toString(QKeySequence::NativeText));
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        bar->addWidget(button);
    }
    outer->addLayout(bar);
    if (parentWidget())
        addBoardShortcuts(*parentWidget());
}

// The board's commands keep their keys here, except where the study window has its own
// (F1 opens the study's help).
void StudyWindow::addBoardShortcuts(const QWidget &board)
{
    QList<QKeySequence> own;
    for (const QAction *action : actions())
        own << action->shortcuts();
    for (QAction *action : board.actions()) {
        const QList<QKeySequence> keys = action->shortcuts();
        const bool clash =
            std::any_of(keys.begin(), keys.end(), [&](const auto &k) { return own.contains(k); });
        if (!keys.isEmpty() && !clash)
            addAction(action);
    }
}

void StudyWindow::copy()
{
    QString text;
    if (const auto *table = qobject_cast<const TextTable *>(focusWidget()))
        text = table->selectedText();
    else if (const auto *label = qobject_cast<const QLabel *>(focusWidget()))
        text = label->selectedText();
    // The button takes the focus: it copies the whole study.
    if (text.isEmpty()) {
        text = studyPlainText(windowTitle(), m_report);
        say(QStringLiteral("L'étude est copiée : collez-la dans un tableur ou un texte."));
    } else {
        say(QStringLiteral("La sélection est copiée."));
    }
    QApplication::clipboard()->setText(text);
}

void StudyWindow::askExport()
{
    const QString types = QStringLiteral("Document PDF (*.pdf);;Page web (*.html)");
    QString type;
    QString path = m_chooseExportPath
                       ? m_chooseExportPath(defaultExportPath(), types, &type)
                       : QFileDialog::getSaveFileName(this, QStringLiteral("Exporter l'étude"),
                                                      defaultExportPath(), types, &type);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += type.contains(QStringLiteral("html")) ? QStringLiteral(".html")
                                                      : QStringLiteral(".pdf");
    rememberFolder(path);
    const WriteResult result = exportStudy(this, path, windowTitle(), m_report);
    const QString name = printableText(QFileInfo(path).fileName());
    if (result.written) {
        say(QStringLiteral("Étude exportée dans %1").arg(name));
    } else if (!result.error.isEmpty()) {
        QMessageBox box(QMessageBox::Warning, title(),
                        QStringLiteral("L'étude n'a pas pu être exportée dans « %1 » : %2.")
                            .arg(name, result.error),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
}

void StudyWindow::showHelp()
{
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->setSource(QUrl(QStringLiteral("qrc:/help/aide.html#etude")));
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void StudyWindow::say(const QString &text)
{
    m_status->setText(text);
    QTimer::singleShot(SayMilliseconds, m_status, [label = m_status, text] {
        if (label->text() == text)
            label->clear();
    });
}

// A greyed board command's key reaches the window as a plain key: it says why.
void StudyWindow::keyPressEvent(QKeyEvent *event)
{
    if (const QString reason = greyedReason(*this, *event); !reason.isEmpty()) {
        say(reason);
        return;
    }
    QWidget::keyPressEvent(event);
}

// The row under the pointer, or the focused table's current row from the keyboard.
void StudyWindow::addPinAction(QMenu &menu, const QPoint &globalPos, bool byKeyboard)
{
    if (!m_pins)
        return;
    TextTable *table = nullptr;
    int row = -1;
    if (byKeyboard) {
        table = qobject_cast<TextTable *>(focusWidget());
        row = table ? table->currentIndex().row() : -1;
    } else if (QWidget *under = QApplication::widgetAt(globalPos)) {
        table = qobject_cast<TextTable *>(under->parentWidget());
        row = table ? table->indexAt(table->viewport()->mapFromGlobal(globalPos)).row() : -1;
    }
    if (!table || row < 0 || row >= static_cast<int>(table->rows().size()))
        return;
    const report::Row cells = table->rows()[static_cast<std::size_t>(row)];
    const auto named = std::find_if(cells.begin(), cells.end(),
                                    [](const report::Cell &c) { return c.suspect.has_value(); });
    if (named == cells.end())
        return;
    const roulette::Suspect suspect = *named->suspect;
    const QString text = m_pins->book().holds(suspect) ? QStringLiteral("Retirer l'épingle")
                         : suspect.distances           ? QStringLiteral("Épingler cette distance")
                         : suspect.width == 1          ? QStringLiteral("Épingler ce numéro")
                                                       : QStringLiteral("Épingler cet arc");
    connect(menu.addAction(text), &QAction::triggered, this, [this, cells] { togglePin(cells); });
    menu.addSeparator();
}

bool StudyWindow::togglePin(const report::Row &row)
{
    const auto named = std::find_if(row.begin(), row.end(),
                                    [](const report::Cell &c) { return c.suspect.has_value(); });
    if (!m_pins || named == row.end())
        return false;
    const roulette::Suspect suspect = *named->suspect;
    const auto &marks = m_pins->book().marks();
    const auto pinned = std::find_if(marks.begin(), marks.end(), [&](const roulette::PinMark &m) {
        return m.suspect == suspect;
    });
    try {
        if (pinned != marks.end()) {
            m_pins->unpin(static_cast<std::size_t>(pinned - marks.begin()));
            say(QStringLiteral("L'épingle est retirée."));
        } else {
            m_pins->pin(suspect, QDateTime::currentDateTime()
                                     .toString(QStringLiteral("yyyy-MM-ddTHH:mm"))
                                     .toStdString());
            say(QStringLiteral("Piste épinglée : elle est jugée sur les tirages à venir."));
        }
    } catch (const std::exception &error) {
        QMessageBox box(QMessageBox::Warning, title(),
                        QStringLiteral("L'épingle n'a pas pu être gardée dans le carnet : %1")
                            .arg(QString::fromUtf8(error.what())),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return false;
    }
    if (m_study)
        refresh();
    return true;
}

void StudyWindow::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    addPinAction(menu, event->globalPos(), event->reason() == QContextMenuEvent::Keyboard);
    menu.addActions({m_copyAction, m_exportAction});
    menu.addSeparator();
    menu.addActions({m_helpAction, m_closeAction});
    menu.exec(event->globalPos());
}
