#pragma once

#include <QtWidgets>

namespace roulette::testing
{

using namespace Qt::StringLiterals;

/// What a window shows as text: its title, size and whether modal, then a line a widget in the
/// order they were made: its tables cell by cell (« → » before a cell set right, « (grille) » after
/// the header of a ruled table, « (n°) » of one whose rows show their numbers), the choice of each
/// list, the text of its labels, buttons and text boxes, « ↵ » after a text that wraps, « ⌶ » after
/// one the mouse selects, the entries of its menus, « (grisé) » after those greyed out, and why.
/// Widgets hidden from the user are left out; what changes from run to run (a temporary folder,
/// today's date) matches `varying` and reads « … ».
inline QStringList shownText(const QWidget &window, const QString &varying = {})
{
    QStringList lines{window.windowTitle() + u" %1×%2"_s.arg(window.width()).arg(window.height()) +
                      (window.windowModality() == Qt::NonModal ? u""_s : u" modale"_s)};
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        const auto *table = qobject_cast<const QTableView *>(w);
        const auto *model = table ? table->model() : nullptr;
        for (int row = -1; model && w->isVisibleTo(&window) && row < model->rowCount(); ++row) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c) {
                const QModelIndex cell = model->index(row, c);
                const bool right =
                    cell.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight;
                cells << (right ? u"→"_s : u""_s) +
                             (row < 0 ? model->headerData(c, Qt::Horizontal) : cell.data())
                                 .toString();
            }
            lines << cells.join(u" | ") + (row < 0 && table->showGrid() ? u" (grille)"_s : u""_s) +
                         (row < 0 && !table->verticalHeader()->isHidden() ? u" (n°)"_s : u""_s);
        }
        if (const QString text = w->property("text").toString() +
                                 w->property("currentText").toString() +
                                 w->property("plainText").toString();
            !text.isEmpty() && w->isVisibleTo(&window))
            lines << text + (w->isEnabled() ? u""_s : u" (grisé)"_s) +
                         (w->property("wordWrap").toBool() ? u" ↵"_s : u""_s) +
                         (w->property("textInteractionFlags").toInt() & 1 ? u" ⌶"_s : u""_s);
        if (const auto *bar = qobject_cast<const QStatusBar *>(w))
            lines << bar->currentMessage();
        const bool menu = w->inherits("QMenu") && !w->property("title").toString().isEmpty();
        for (const QAction *a : menu ? w->actions() : QList<QAction *>()) // no overflow menu
            lines << a->text() + u' ' + a->shortcut().toString() +
                         (a->isEnabled() ? QString() : u" (grisé) "_s + a->statusTip());
    }
    lines = lines.join(u'\n').split(u'\n'); // a line of text a line of the file
    return varying.isEmpty() ? lines : lines.replaceInStrings(QRegularExpression(varying), u"…"_s);
}

/// The button of the window that reads `text`.
inline QAbstractButton *buttonOf(const QWidget &window, const QString &text)
{
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>())
        if (button->text() == text)
            return button;
    qFatal("no button %s", qPrintable(text));
}

/// Empty when `shown` holds the lines kept in tests/<kept>.txt, else the first line that
/// differs. With ROULETTE_UPDATE_SNAPSHOTS=1 the file is written first: read it.
inline QString differsFromKept(const QStringList &shown, const QString &kept)
{
    QFile file(QStringLiteral(ROULETTE_TESTS_DIR "/") + kept + u".txt"_s);
    if (qEnvironmentVariableIntValue("ROULETTE_UPDATE_SNAPSHOTS") == 1 &&
        file.open(QIODevice::WriteOnly))
        file.write(shown.join(u'\n').toUtf8() + '\n');
    file.close();
    const QStringList expected = file.open(QIODevice::ReadOnly)
                                     ? QString::fromUtf8(file.readAll()).split(u'\n')
                                     : QStringList();
    for (qsizetype i = 0; i < std::max(expected.size(), shown.size() + 1); ++i)
        if (expected.value(i) != shown.value(i))
            return u"%1, ligne %2 : attendu « %3 », montré « %4 »"_s.arg(kept).arg(i + 1).arg(
                expected.value(i), shown.value(i));
    return {};
}

/// The same for what the window shows, kept in tests/ui/shown/<name>.txt.
inline QString differsFromKept(const QWidget &window, const QString &name,
                               const QString &varying = {})
{
    return differsFromKept(shownText(window, varying), u"ui/shown/"_s + name);
}

} // namespace roulette::testing
