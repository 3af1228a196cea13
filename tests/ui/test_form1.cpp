#include <random>

#include "tests/tempdir.h"
#include "tests/ui/shown.h"
#include "tests/ui/window.h"
#include "ui/board/forroulette.h"
#include "ui/common/french.h"
#include "ui/common/ownwindow.h"
#include "ui/common/palette.h"

using namespace roulette;
using namespace roulette::testing;

namespace
{

// What choosing each menu entry shows: the dialog or the windows it opens, closed again.
QStringList shownOnChoosing(const Form1 &form, const QStringList &entries)
{
    QStringList shown;
    for (QAction *action : form.findChildren<QAction *>()) {
        if (!entries.contains(action->text()))
            continue;
        whenShown([&shown](QWidget *dialog) {
            if (dialog && dialog->close())
                shown << shownText(*dialog);
        });
        action->trigger();
        QCoreApplication::processEvents();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != &form && w->isVisible() && w->close())
                shown << shownText(*w);
    }
    return shown;
}

// Every widget that shows a part of the board's state shows exactly that part; until there
// are spins enough to judge the wheel, the spin counter's tooltip counts them.
void expectShowsTheBoard(const Window &w)
{
    const Board &board = w.form.board();
    const BoardState &s = board.state();
    QStringList shown;
    QStringList expected;
    const auto see = [&](const auto &widget, const auto &state) {
        shown << QVariant::fromValue(widget).toString();
        expected << QVariant::fromValue(state).toString();
    };
    for (int n = 0; n < NumberCount; ++n) {
        see(w.label("Label1", n)->text(), QString::fromStdString(s.numberCaption[n]));
        see(w.label("Label1", n)->palette().window().color().name(),
            palette::fromBgr(s.numberColour[n]).name());
        see(w.label("Label2", n)->text(), s.hitCaption[n]);
        see(w.label("Label2", n)->palette().window().color().name(),
            palette::fromBgr(s.hitColour[n]).name());
        see(!w.label("Label3", n)->isHidden(), s.marked[n]);
    }
    for (int i = 0; i < HistoryLength; ++i)
        see(w.label("Label5", i)->text(), QString::fromStdString(s.history[i]));
    for (int i = 0; i < 4; ++i)
        see(w.label("Label7", i)->text(), s.counters[i]);
    see(w.text(u"Text1"_s), QString::fromStdString(s.spinText));
    see(w.text(u"Text2"_s), QString::fromStdString(s.lastText));
    see(w.text(u"Text3"_s), QString::fromStdString(s.filePosText));
    see(w.text(u"Label4"_s), QString::fromStdString(s.manualCaption));
    see(w.text(u"Label8(4)"_s), QString::fromStdString(s.fileCountCaption));
    see(w.text(u"Label9"_s), QString::fromStdString(s.fileNameCaption));
    see(w.shown(u"Label6"_s), s.wonVisible);
    see(w.shown(u"Command1"_s), s.spinButtonVisible);
    see(w.shown(u"Command5"_s), s.fileButtonsVisible);
    see(w.shown(u"Command6"_s), s.fileButtonsVisible);
    see(w.get<QTimer>(u"Timer1"_s)->isActive(), s.blinkRunning);
    see(w.form.findChild<QAction *>(u"undoLastSpin"_s)->isEnabled(), board.canUndo());
    see(w.form.findChild<QAction *>(u"spinMany"_s)->isEnabled(), !s.manualMode());
    see(w.get(u"Text1"_s)->toolTip().contains(u"(%1 sur les 185"_s.arg(s.SpinCount)),
        s.SpinCount < 185);
    QCOMPARE(shown, expected);
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void showsTheBoardThroughAGame();
    void looksAsDrawn();
    void boardKeepsItsPlaceOnAnyScreen();
    void countsOutgrowingTheirBoxesStayWhole();
    void dialogsSpeakFrenchInPlainText();
    void helpToolTipsAndShortcutsFromEveryWidget();
    void closingEndsTheProgramAndTheWheelWindow();
    void batchShowsWhatAsManyClicksShow(); // last: its window closes mid-batch
};

// A game through the window's own controls, Ctrl+Z and Enter included, the board shown right
// after every action; the chart that "Voir graphe" / "Fermer" brings forward shows the spins
// made while it was hidden, drawn as a full repaint draws it.
void TestForm1::showsTheBoardThroughAGame()
{
    const TempDir dir;
    std::mt19937 random(7);
    Window w({0.05f, 0.93f, 0.31f, 0.5f, 0.72f, 0.18f, 0.66f, 0.41f, 0.87f, 0.02f, 0.59f, 0.24f});
    activate(w.form);
    const auto switchCharts = [&w] {
        w.click(u"Command2"_s);
        const bool spread = w.shown(u"MSChart1"_s);
        QCOMPARE(w.text(u"Command2"_s), spread ? u"Voir graphe"_s : u"Fermer"_s);
        auto *front = w.get<ChartView>(spread ? u"MSChart1"_s : u"MSChart2"_s);
        QCOMPARE(w.form.boardArea()->childAt(500, 400), front);
        QCOMPARE(w.shown(u"MSChart2"_s), !spread);
        QCoreApplication::processEvents(); // the replots queued by the spins
        const QImage shown = front->grab().toImage();
        front->replot();
        QVERIFY(front->grab().toImage() == shown);
    };
    int n = 0;
    const std::function<void()> actions[] = {
        [&] { w.click(u"Label4"_s); },
        [&] { w.click(u"Option1(%1)"_s.arg(n % 3)); },
        [&] { w.form.Timer1_Timer(); },
        [&] {
            w.type(n % 3 ? QString::number(n + n % 5) : u"abc"_s);
            if (n % 2)
                QTest::keyClick(w.get(u"Text2"_s), Qt::Key_Return);
            else
                w.click(u"Command1"_s);
        },
        [&] { w.click(n % 5 ? u"Command6"_s : u"Command3"_s); },
        [&] { w.open(dir.write("t.txt", "3\n14\nx\n25\n0\n36\n1\n2\n")); },
        [&] {
            if (w.form.board().canUndoSpin()) { // which writes every box, over any typing
                w.type(u"y"_s, u"Text3"_s);
            }
            activate(w.form); // a progress dialog of a slow load may have taken the focus
            QTest::keyClick(w.get(u"Command2"_s), Qt::Key_Z, Qt::ControlModifier);
        },
        [&] { n % 4 ? w.form.spinMany(n % 7) : w.form.closeDrawFile(); },
        switchCharts,
        [&] { w.clickNumber(n); },
        [&] { w.click(u"Command1"_s); }};
    for (int step = 0; step < 400 && !QTest::currentTestFailed(); ++step) {
        n = static_cast<int>(random() % 37);
        actions[random() % std::size(actions)]();
        expectShowsTheBoard(w);
    }
    QVERIFY(w.text(u"Label5(0)"_s) != u"-"_s && w.text(u"Text3"_s) != u"00"_s);
}

// Every widget of the board in its place, text, colours, frame, font and tooltip, as kept: the
// numbers as two rows of cells sharing their borders, each count right under its number, each
// mark over its own number, every widget saying what it shows. A caption too wide for its
// button on two lines.
void TestForm1::looksAsDrawn()
{
    Window w;
    QCOMPARE(differsFromKept(looksOf(*w.form.boardArea()), u"ui/shown/plateau"_s), QString());

    QCOMPARE(paintedBy(*w.get(u"Command3"_s)).filter(u"texte"_s).size(), 2); // on two lines
    for (const QLabel *l : w.form.findChildren<QLabel *>()) {
        const QRect need =
            l->fontMetrics().boundingRect(l->contentsRect(), Qt::AlignCenter, l->text());
        QVERIFY2(l->contentsRect().contains(need), qPrintable(l->objectName()));
    }
    w.form.show(); // the charts placed partly left of the window keep their axis in sight
    for (ChartView *chart : w.form.findChildren<ChartView *>()) {
        chart->replot();
        QVERIFY(chart->x() + chart->axisRect()->left() >= 16);
    }
}

// The board keeps its size on any screen: under the menu bar on a large screen, whole in
// sight; on a small one, where the window opens within the screen and the board scrolls.
void TestForm1::boardKeepsItsPlaceOnAnyScreen()
{
    Window large;
    Form1 small; // the offscreen screen, 800 x 600, is smaller than the board
    for (Form1 *form : {&large.form, &small}) {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCOMPARE(form->boardArea()->size(), QSize(1054, 719));
    }
    const int menu = large.form.menuBar()->height();
    QCOMPARE(large.form.boardArea()->mapTo(&large.form, QPoint(0, 0)), QPoint(0, menu));
    QCOMPARE(large.form.size(), QSize(1054, 719 + menu + large.form.statusBar()->height()));
    const auto *scroll = large.form.findChild<QScrollArea *>();
    QVERIFY(!scroll->horizontalScrollBar()->isVisible() &&
            !scroll->verticalScrollBar()->isVisible());
    QVERIFY(small.screen()->availableGeometry().contains(small.frameGeometry()));
    scroll = small.findChild<QScrollArea *>();
    QVERIFY(scroll->horizontalScrollBar()->maximum() > 0 &&
            scroll->verticalScrollBar()->maximum() > 0);
}

// A count wider than its box is drawn smaller, whole, and given in its tooltip; Text1 shows
// it from its beginning. Once it fits again, it takes back the layout's font.
void TestForm1::countsOutgrowingTheirBoxesStayWhole()
{
    Window w({valueFor(0, 37), valueFor(17, 37)});
    w.form.show();
    w.form.spinMany(100'047);
    auto *text1 = w.get<QLineEdit>(u"Text1"_s);
    QVERIFY(text1->text() == u"100047"_s && text1->toolTip().contains(u"100047"_s));
    QCOMPARE(text1->cursorPosition(), 0); // its beginning in sight
    const QImage start = text1->grab().toImage();
    text1->end(false); // and its end too, without scrolling
    QVERIFY(text1->grab().toImage() == start);
    for (const QLabel *count :
         {w.label("Label2", 0), w.label("Label2", 17), w.label("Label7", 0)}) {
        QVERIFY(count->text().size() == 5 && count->font().pixelSize() < 13);
        QVERIFY(count->fontMetrics().horizontalAdvance(count->text()) <=
                count->contentsRect().width());
        QFont larger = count->font(); // the largest size for this count, not for another
        larger.setPixelSize(larger.pixelSize() + 1);
        QVERIFY(QFontMetrics(larger).horizontalAdvance(count->text()) >
                count->contentsRect().width() - 2);
        QVERIFY(count->toolTip().startsWith(count->text() + u'\n'));
    }
    w.click(u"Command3"_s);
    QVERIFY(w.label("Label2", 0)->font() == w.label("Label2", 1)->font() &&
            w.label("Label2", 0)->toolTip() == w.label("Label2", 1)->toolTip());
}

// The board and both charts show, once, what as many clicks would; closing the window
// stops a batch at once.
void TestForm1::batchShowsWhatAsManyClicksShow()
{
    const std::vector<float> draws = {valueFor(5, 37), valueFor(0, 37), valueFor(36, 37)};
    Window batch(draws);
    Window clicks(draws);
    batch.form.spinMany(70);
    for (int i = 0; i < 70; ++i)
        clicks.click(u"Command1"_s);
    QCOMPARE(snapshot(batch), snapshot(clicks));
    QTimer::singleShot(0, &batch.form, [&batch] { batch.form.close(); });
    batch.form.spinMany(10'000'000);
    QVERIFY(batch.spins() < 1'000'000);
}

// Qt's own texts in French, in every dialog and window the menus open; messages, file names and
// records shown as plain text, since markup would make Qt load pictures, even /dev/zero; nothing
// changes on a refused spin or on "Lancer en Auto"; the window placed inside the screen's free
// area.
void TestForm1::dialogsSpeakFrenchInPlainText()
{
    QVERIFY(installFrenchTranslations(*QCoreApplication::instance()));
    QLineEdit line;
    const std::unique_ptr<QMenu> menu(line.createStandardContextMenu());
    QVERIFY(menu->actions().first()->text().startsWith(u"&Annuler"_s));
    const QString markup = u"<img src=/dev/zero>"_s;
    const auto box = Form1::makeMessageBox(nullptr, markup);
    QCOMPARE(box->windowTitle() + box->text(), u"Étude Roulette"_s + markup);
    QVERIFY(box->textFormat() == Qt::PlainText && box->windowModality() == Qt::ApplicationModal);
    Window w;
    w.click(u"Command1"_s);
    QVERIFY(w.get<QAction>(u"save"_s)->isEnabled()); // a single spin is worth saving
    w.form.spinMany(37); // with the last two, enough for every table of the study
    w.form.spinMany(2);
    const QStringList opened =
        shownOnChoosing(w.form, {u"À propos d'Étude Roulette"_s, u"Comment lire ce tableau ?"_s,
                                 u"Lancer plusieurs tirages…"_s, u"Marquer des numéros…"_s,
                                 u"Suivre une roue…"_s, u"Étude du cylindre…"_s});
    QCOMPARE(differsFromKept(opened, u"ui/shown/menus-choisis"_s), QString());
    QSettings().clear(); // as on the first run
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const auto folder = [] { return Form1::makeFileDialog(nullptr)->directory().canonicalPath(); };
    QCOMPARE(folder(),
             QDir(QDir(documents).exists() ? documents : QDir::homePath()).canonicalPath());
    const auto dialog = Form1::makeFileDialog(nullptr);
    QCOMPARE(dialog->objectName() + dialog->nameFilters().join(u' '), u"CD1txt (*.txt)"_s);
    QVERIFY(dialog->fileMode() == QFileDialog::ExistingFile &&
            dialog->windowModality() == Qt::ApplicationModal);

    QStringList before = snapshot(w);
    w.form.Command5_Click();
    QCOMPARE(w.messages, QStringList{u"Pas en fonction !"_s});
    QCOMPARE(snapshot(w), before);
    w.click(u"Label4"_s);
    QTest::keyClick(w.get(u"Text2"_s), Qt::Key_L, Qt::ControlModifier); // greyed: it says why
    QVERIFY(w.form.statusBar()->currentMessage().contains(u"mode manuel"_s));
    w.click(u"Text2"_s); // selects the old number, so that typing replaces it
    QCOMPARE(w.get<QLineEdit>(u"Text2"_s)->selectedText(), w.text(u"Text2"_s));
    w.type(markup);
    before = snapshot(w);
    w.click(u"Command1"_s);
    QVERIFY(w.messages.size() == 2 && w.messages[1].startsWith(u"« "_s + markup));
    QCOMPARE(snapshot(w), before);
    const TempDir dir;
    const QString name = u"<img src=x>.txt"_s;
    w.open(dir.write(name.toStdString(), "5\n"));
    const auto *label9 = w.get<QLabel>(u"Label9"_s);
    QVERIFY(label9->textFormat() == Qt::PlainText && label9->text() == name);
    QCOMPARE(differsFromKept(*w.form.menuBar(), u"menus-fichier-ouvert"_s), QString());
    QTextDocument tip;
    tip.setHtml(label9->toolTip());
    QCOMPARE(tip.toPlainText(), name);
    QCOMPARE(folder(), QDir(QString::fromStdString(dir.path().string())).canonicalPath());

    const QSize window(1054, 761);
    QCOMPARE(placeWithin({0, 0, 1920, 1050}, window), QRect(433, 144, 1054, 761));
    QCOMPARE(placeWithin({0, 30, 1093, 584}, window), QRect(19, 30, 1054, 584));
    QCOMPARE(placeWithin({100, 0, 800, 600}, window), QRect(100, 0, 800, 600));
}

// The menus as kept; F1 opens one help window, within the screen, that names every shortcut
// and closes with Escape or Ctrl+W; each board shortcut reaches the board from whichever widget
// has the focus, text boxes included; the menu bar and the context menu hold those same
// actions.
void TestForm1::helpToolTipsAndShortcutsFromEveryWidget()
{
    Window w;
    QCOMPARE(differsFromKept(*w.form.menuBar(), u"menus"_s), QString());
    activate(w.form);
    for (const QString &focus : {u"Text2"_s, u"MSChart1"_s}) {
        w.get(focus)->setFocus();
        QTest::keyClick(w.get(focus), Qt::Key_F1);
        w.form.activateWindow();
    }
    const auto helps = w.form.findChildren<QTextBrowser *>();
    QVERIFY(helps.size() == 1 && helps[0]->isVisible());
    const QString page = helps[0]->toPlainText();
    for (const char *key : {"Ctrl+Z", "Ctrl+L", "Ctrl+S", "Ctrl+E", "F1", "Entrée",
                            "Exporter en CSV", "Fermer le fichier de tirage"})
        QVERIFY2(page.contains(QString::fromUtf8(key)), key);
    QVERIFY(helps[0]->screen()->availableGeometry().contains(helps[0]->frameGeometry()));
    for (const QKeySequence &close : {QKeySequence(Qt::Key_Escape), QKeySequence(u"Ctrl+W"_s)}) {
        activate(*helps[0]);
        QTRY_COMPARE(QApplication::activeWindow(), helps[0]);
        QTest::keySequence(helps[0], close);
        QVERIFY2(!helps[0]->isVisible(), qPrintable(close.toString()));
    }
    activate(w.form);

    QList<QWidget *> focusable;
    for (QWidget *widget : w.form.findChildren<QWidget *>())
        if (widget->focusPolicy() != Qt::NoFocus && widget->isVisible())
            focusable << widget;
    for (QAction *action : w.form.actions()) {
        if (action->shortcut().isEmpty())
            continue;
        action->disconnect(&w.form);
        action->setEnabled(true);
        const QSignalSpy triggered(action, &QAction::triggered);
        const QKeyCombination keys = action->shortcut()[0];
        for (QWidget *widget : focusable) {
            widget->setFocus();
            QTest::keyClick(widget, keys.key(), keys.keyboardModifiers());
        }
        QVERIFY2(triggered.size() == focusable.size(), qPrintable(action->text()));
    }
    // Every entry of the menu bar and of the board's context menu is one of the board's
    // actions, whose shortcuts were just tried.
    QList<QAction *> inMenus;
    for (const QAction *title : w.form.menuBar()->actions())
        inMenus << title->menu()->actions();
    QList<QAction *> inContextMenu;
    QTimer::singleShot(0, &w.form, [&inContextMenu] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        for (QAction *action : menu->actions())
            if (!action->isSeparator()) // the menu's own, gone with it
                inContextMenu << action;
        menu->close();
    });
    const QPoint corner(1000, 20);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, corner,
                                 w.form.boardArea()->mapToGlobal(corner));
    QApplication::sendEvent(w.form.boardArea(), &rightClick);
    QCOMPARE(inContextMenu.size(), 14);
    for (QAction *action : inMenus + inContextMenu)
        QVERIFY(action->isSeparator() ||
                (w.form.actions().contains(action) && inMenus.contains(action)));
}

void TestForm1::closingEndsTheProgramAndTheWheelWindow()
{
    Window w;
    w.form.show();
    w.form.openStudy(); // a window of its own, which must not keep the program alive
    const QPointer<ForRoulette> wheel = w.form.forRoulette();
    QTimer::singleShot(0, &w.form, [&w] { w.form.close(); });
    QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(1); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(wheel.isNull());
}

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
