#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableView>

namespace roulette::testing
{

using namespace Qt::StringLiterals;

/// What a window shows as text, a line a widget in the order they were made: its tables
/// cell by cell, its labels, choices and texts, its buttons with « - » when greyed out.
/// Widgets hidden from the user are left out; each occurrence of `folder` reads « <dossier> ».
inline QString shownText(const QWidget &window, const QString &folder = {})
{
    QStringList lines{window.windowTitle()};
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        if (!w->isVisibleTo(&window))
            continue;
        if (const auto *table = qobject_cast<const QTableView *>(w)) {
            const QAbstractItemModel *model = table->model();
            for (int row = -1; row < model->rowCount(); ++row) {
                QStringList cells;
                for (int c = 0; c < model->columnCount(); ++c)
                    cells << (row < 0 ? model->headerData(c, Qt::Horizontal)
                                      : model->index(row, c).data())
                                 .toString();
                lines << cells.join(u" | ");
            }
        } else if (const auto *button = qobject_cast<const QAbstractButton *>(w)) {
            lines << u"[%1]%2"_s.arg(button->text(), button->isEnabled() ? u"" : u"-");
        } else if (const auto *box = qobject_cast<const QComboBox *>(w)) {
            lines << u"« %1 » parmi %2"_s.arg(box->currentText()).arg(box->count());
        } else if (const auto *edit = qobject_cast<const QPlainTextEdit *>(w)) {
            lines << edit->toPlainText();
        } else if (const auto *bar = qobject_cast<const QStatusBar *>(w)) {
            lines << bar->currentMessage();
        } else if (const auto *label = qobject_cast<const QLabel *>(w)) {
            if (!label->text().isEmpty())
                lines << label->text();
        }
    }
    QString text = lines.join(u'\n') + u'\n';
    return folder.isEmpty() ? text : text.replace(folder, u"<dossier>"_s);
}

/// The button of the window that reads `text`.
inline QAbstractButton *buttonOf(const QWidget &window, const QString &text)
{
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>())
        if (button->text() == text)
            return button;
    qFatal("no button %s", qPrintable(text));
}

/// Empty when `shown` is the text kept in tests/ui/shown/<name>.txt, else the first line
/// that differs. With ROULETTE_UPDATE_SNAPSHOTS=1 the file is written instead: read it.
inline QString differsFromKept(const QString &shown, const QString &name)
{
    QFile kept(QStringLiteral(ROULETTE_TESTS_DIR "/ui/shown/") + name + u".txt"_s);
    if (qEnvironmentVariableIntValue("ROULETTE_UPDATE_SNAPSHOTS") == 1)
        return kept.open(QIODevice::WriteOnly) && kept.write(shown.toUtf8()) > 0
                   ? QString()
                   : kept.fileName() + u" : écriture impossible"_s;
    if (!kept.open(QIODevice::ReadOnly))
        return kept.fileName() + u" manque : ROULETTE_UPDATE_SNAPSHOTS=1 l'écrit"_s;
    const QStringList expected = QString::fromUtf8(kept.readAll()).split(u'\n');
    const QStringList actual = shown.split(u'\n');
    for (qsizetype i = 0; i < std::max(expected.size(), actual.size()); ++i)
        if (expected.value(i) != actual.value(i))
            return u"%1, ligne %2 : attendu « %3 », montré « %4 »"_s.arg(name).arg(i + 1).arg(
                expected.value(i), actual.value(i));
    return {};
}

} // namespace roulette::testing
