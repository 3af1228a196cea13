#include <random>

#include "tests/tempdir.h"
#include "tests/ui/window.h"
#include "ui/board/formlayout.h"
#include "ui/charts/chartview.h"
#include "ui/common/lastfolder.h"
#include "ui/import/permanencedialog.h"
#include "ui/study/studywindow.h"

using namespace roulette;
using namespace roulette::testing;

namespace
{

/// Counts the mouse's presses anywhere in the program.
struct MouseWatch : QObject {
    int presses = 0;
    MouseWatch() { qApp->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        presses += event->type() == QEvent::MouseButtonPress;
        return false;
    }
};

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

/// A key pressed where the focus is, or on the active window when none of its widgets has it.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *to =
        QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    QVERIFY(to);
    QTest::keyClick(to, Qt::Key(key), modifiers);
}

void typeLine(QWidget *into, const QString &text)
{
    QTest::keyClicks(into, text);
    QTest::keyClick(into, Qt::Key_Return);
}

std::vector<int> markedNumbers(const Window &w)
{
    std::vector<int> marked;
    for (int n = 0; n < NumberCount; ++n)
        if (w.form.board().state().marked[n])
            marked.push_back(n);
    return marked;
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void anEveningFromTheKeyboardAlone();
    void zoomScalesTheWholeBoardAsOne();
    void aBatchOrAPlayedImportIsOneStep();
};

// Marks, a Tab round, hand entry, a refused number put right, 200 spins typed, the reset taken
// back, the spins saved and studied: keys only.
void TestKeyboard::anEveningFromTheKeyboardAlone()
{
    const TempDir dir;
    const MouseWatch mouse;
    Window w;
    rememberFolder(QString::fromStdString((dir.path() / "x").string()));
    QStringList offered; // the names the save dialog offers, in dir
    w.form.sessionFiles().setSaveChooser([&](auto, auto, const QString &suggested, auto) {
        offered << QFileInfo(suggested).fileName();
        return QString::fromStdString((dir.path() / offered.last().toStdString()).string());
    });
    activate(w.form);
    QTRY_COMPARE(focusName(), u"Text2"_s);

    whenShown([](QWidget *ask) { // the marks typed in
        QTest::keyClick(ask->findChild<QLineEdit *>(), Qt::Key_A, Qt::ControlModifier);
        typeLine(ask->findChild<QLineEdit *>(), u"7 17, 32"_s);
    });
    press(Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(markedNumbers(w), (std::vector<int>{7, 17, 32}));
    activate(w.form);                      // as the desktop gives it back once the dialog is gone
    QTRY_COMPARE(focusName(), u"Text2"_s); // back where it was before the dialog

    QStringList round; // Tab visits what takes input, each once, hidden buttons skipped
    do {
        round << focusName();
        press(Qt::Key_Tab);
    } while (focusName() != u"Text2"_s && round.size() < 20);
    QCOMPARE(round.join(u' '), u"Text2 Command1 Label4 Label1(0) Command3 Command2 "
                               u"Option1(0) Command4"_s);
    for (int i = 0; i < 5; ++i)
        press(Qt::Key_Backtab, Qt::ShiftModifier); // as the keyboard sends it
    QCOMPARE(focusName(), u"Label1(0)"_s);
    auto *mark = w.get(u"focusMark"_s); // drawn round the cell, over the board
    QVERIFY(mark->isVisible() && mark->geometry().contains(w.label("Label1", 0)->geometry()));
    QCOMPARE(paintedBy(*mark).last(), u"rect 1,1 36×28 trait #ffffffff 1 px 2"_s);
    for (const int key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left})
        press(key);
    QCOMPARE(focusName(), u"Label1(20)"_s);
    press(Qt::Key_Space);
    press(Qt::Key_Up);
    press(Qt::Key_Space);
    press(Qt::Key_Space);
    QCOMPARE(markedNumbers(w), (std::vector<int>{7, 17, 20, 32}));

    press(Qt::Key_M, Qt::ControlModifier);
    QVERIFY(w.form.board().state().manualMode() &&
            w.form.findChild<QAction *>(u"manualMode"_s)->isChecked());
    press(Qt::Key_Space); // plays the cell under the cursor, 1
    for (int i = 0; i < 3; ++i)
        press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focusName(), u"Text2"_s);
    auto *box = w.get<QLineEdit>(u"Text2"_s);
    typeLine(box, u"375"_s);
    QCOMPARE(w.messages.size(), 1); // refused, and selected so that the next number replaces it
    typeLine(box, u"17"_s);
    QVERIFY(w.shown(u"Label6"_s));

    std::mt19937 random(29);
    std::vector<int> spins = {1, 17};
    while (spins.size() < 200) {
        spins.push_back(static_cast<int>(random() % 37));
        typeLine(box, QString::number(spins.back()));
    }
    QTest::keyClicks(w.get(u"Text1"_s), u"999"_s); // the counter takes no typing
    QCOMPARE(w.text(u"Text1"_s) + u' ' + QString::number(w.spins()), u"200 200"_s);

    press(Qt::Key_M, Qt::ControlModifier);
    typeLine(box, u"5"_s);
    QVERIFY(w.form.statusBar()->currentMessage().contains(u"Ctrl+M"_s));
    for (int i = 0; i < 4; ++i)
        press(Qt::Key_Tab);
    QCOMPARE(focusName(), u"Command3"_s);
    press(Qt::Key_Space);
    // The reset leaves nothing to write.
    QVERIFY(w.spins() == 0 && !w.form.findChild<QAction *>(u"save"_s)->isEnabled());
    QVERIFY(w.form.statusBar()->currentMessage().contains(u"Ctrl+Z"_s));
    press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.spins(), 200);

    QString question; // quitting asks first, saying how many spins would be lost
    whenShown<QMessageBox>([&question](QMessageBox *ask) {
        question = ask->text();
        QTest::keyClick(ask, Qt::Key_Escape);
    });
    press(Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(w.form.isVisible() && question.startsWith(u"200 tirages ne sont pas enregistrés"_s));
    activate(w.form);

    press(Qt::Key_S, Qt::ControlModifier);
    press(Qt::Key_S, Qt::ControlModifier);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    QCOMPARE(offered,
             QStringList({u"tirages-%1.txt"_s.arg(today), u"tirages-%1-2.txt"_s.arg(today)}));
    QVERIFY(QFileInfo(dir.path() / offered[0].toStdString()).size() > 400); // 200 lines

    press(Qt::Key_E, Qt::ControlModifier);
    QTRY_VERIFY(w.form.studyWindow() && QApplication::activeWindow() == w.form.studyWindow());
    press(Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QApplication::clipboard()->text().contains(u"200 tirages"_s));
    QCOMPARE(mouse.presses, 0);
}

// Every widget's place and font at any zoom are those at 100 % times the zoom, to the pixel;
// the fitted board shows whole; the zoom is kept for the next run, and 100 % is the layout.
void TestKeyboard::zoomScalesTheWholeBoardAsOne()
{
    Window w;
    activate(w.form);
    press(Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(w.form.zoom(), 1.0);
    press(Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(w.form.zoom(), 1.1); // a step at a time
    press(Qt::Key_0, Qt::ControlModifier);
    QHash<QWidget *, std::pair<QRect, int>> at100; // place and font size
    const auto widgets =
        w.form.boardArea()->findChildren<QWidget *>(QRegularExpression(u"^[A-Z]"_s));
    QCOMPARE(widgets.size(), qsizetype(roulette::layout::formControls().size()));
    for (QWidget *x : widgets)
        at100[x] = {x->geometry(), x->font().pixelSize()};
    const QSize board100 = w.form.boardArea()->size();
    const auto near = [](int actual, double expected) { return std::abs(actual - expected) <= 1; };
    const auto check = [&](double zoom) {
        QVERIFY(near(w.form.boardArea()->width(), board100.width() * zoom));
        QVERIFY(near(w.form.boardArea()->height(), board100.height() * zoom));
        for (QWidget *x : widgets) {
            const QRect r = x->geometry(), was = at100[x].first;
            QVERIFY2(near(r.x(), was.x() * zoom) && near(r.y(), was.y() * zoom) &&
                         near(r.width(), was.width() * zoom) &&
                         near(r.height(), was.height() * zoom),
                     qPrintable(u"%1 at %2"_s.arg(x->objectName()).arg(zoom)));
            if (at100[x].second >= 11) // the counts' fonts may be smaller, to fit
                QVERIFY2(near(x->font().pixelSize(), at100[x].second * zoom),
                         qPrintable(x->objectName()));
        }
        QCOMPARE(w.get<QAction>(u"zoomOut"_s)->isEnabled(), zoom > 0.5); // greyed at the least
        for (const QString &chart : {u"MSChart1"_s, u"MSChart2"_s})      // and the charts' texts
            QCOMPARE(w.get<ChartView>(chart)->legend->item(0)->font().pointSizeF(), 10 * zoom);
    };
    for (const double zoom : {0.5, 0.7, 1.25, 2.0, 3.0}) {
        w.form.setZoom(zoom);
        check(zoom);
    }
    press(Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(w.form.zoom(), 2.5);
    check(2.5);
    for (const QSize size : {QSize(1024, 600), QSize(1920, 1080), QSize(700, 700)}) {
        w.form.resize(size);
        QCoreApplication::processEvents();
        w.form.findChild<QAction *>(u"zoomFit"_s)->trigger();
        QCoreApplication::processEvents();
        check(w.form.zoom());
        const auto *scroll = w.form.findChild<QScrollArea *>();
        QVERIFY(!scroll->horizontalScrollBar()->isVisible() &&
                !scroll->verticalScrollBar()->isVisible());
        QVERIFY(w.form.boardArea()->width() >= scroll->viewport()->width() - 2 ||
                w.form.boardArea()->height() >= scroll->viewport()->height() - 2);
    }
    const double fitted = w.form.zoom();
    QCOMPARE(Form1().zoom(), fitted);
    press(Qt::Key_0, Qt::ControlModifier);
    for (QWidget *x : widgets)
        QCOMPARE(x->geometry(), at100[x].first);
}

// Ctrl+Z takes back a permanence imported and played at once, with the reset before it, as
// one step named by its count; the study opens on it.
void TestKeyboard::aBatchOrAPlayedImportIsOneStep()
{
    Window w;
    activate(w.form);
    for (int i = 0; i < 3; ++i)
        w.form.Command1_Click();
    const BoardState before = w.form.board().state();
    auto *undo = w.form.findChild<QAction *>(u"undoLastSpin"_s);

    const TempDir dir;
    w.chosen = QString::fromStdString(dir.write("p.txt", "5, 17, 32\n0, 36, 12\n").string());
    w.offer = Form1::PlayOffer::PlayAndStudy;
    w.form.findChild<QAction *>(u"importPermanence"_s)->trigger();
    PermanenceDialog *dialog = nullptr;
    QVERIFY(QTest::qWaitFor([&] {
        dialog = w.form.findChild<PermanenceDialog *>();
        return dialog && dialog->isVisible() &&
               dialog->findChild<QPushButton *>(u"import"_s)->isEnabled();
    }));
    QTest::keyClick(dialog->findChild<QPushButton *>(u"import"_s), Qt::Key_Space);
    QVERIFY(w.offers.size() == 1 && w.offers[0].contains(u"6 tirages"_s));
    QVERIFY(w.spins() == 6 && w.form.board().state().history[27] == "12");
    QVERIFY(w.form.studyWindow() && w.form.studyWindow()->isVisible());
    QCOMPARE(undo->text(), u"Annuler les 6 tirages"_s);
    activate(w.form);
    press(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(w.spins() == 3 && w.form.board().state().HitCount == before.HitCount);
}

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
