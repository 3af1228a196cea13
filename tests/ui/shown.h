#pragma once

#include <QAbstractButton>
#include <QFile>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTableView>

namespace roulette::testing
{

using namespace Qt::StringLiterals;

/// What a window shows as text, a line a widget in the order they were made: its tables
/// cell by cell, the choice of each list, the text of its labels, buttons and text boxes,
/// « (grisé) » after those greyed out. Widgets hidden from the user are left out; what
/// changes from run to run (a temporary folder, today's date) matches `varying` and reads « … ».
inline QString shownText(const QWidget &window, const QString &varying = {})
{
    QStringList lines{window.windowTitle()};
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        const auto *table = qobject_cast<const QTableView *>(w);
        for (int row = -1; table && w->isVisibleTo(&window) && row < table->model()->rowCount();
             ++row) {
            QStringList cells;
            for (int c = 0; c < table->model()->columnCount(); ++c)
                cells << (row < 0 ? table->model()->headerData(c, Qt::Horizontal)
                                  : table->model()->index(row, c).data())
                             .toString();
            lines << cells.join(u" | ");
        }
        const char *name = w->inherits("QComboBox")        ? "currentText"
                           : w->inherits("QPlainTextEdit") ? "plainText"
                                                           : "text";
        if (const QString text = w->property(name).toString();
            !text.isEmpty() && w->isVisibleTo(&window) && !w->inherits("QTableView"))
            lines << text + (w->isEnabled() ? u""_s : u" (grisé)"_s);
        if (const auto *bar = qobject_cast<const QStatusBar *>(w))
            lines << bar->currentMessage();
    }
    const QString text = lines.join(u'\n') + u'\n';
    return varying.isEmpty() ? text : QString(text).replace(QRegularExpression(varying), u"…"_s);
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
    const qsizetype lines = std::max(expected.size(), actual.size());
    qsizetype i = 0;
    while (i < lines && expected.value(i) == actual.value(i))
        ++i;
    return i == lines ? QString()
                      : u"%1, ligne %2 : attendu « %3 », montré « %4 »"_s.arg(name).arg(i + 1).arg(
                            expected.value(i), actual.value(i));
}

} // namespace roulette::testing
