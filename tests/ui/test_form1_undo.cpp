#include <QAction>

#include "tests/tempdir.h"
#include "tests/ui/window.h"
#include "ui/studywindow.h"
#include "ui/wheelchart.h"

using namespace Qt::StringLiterals;
using roulette::testing::snapshot;
using roulette::testing::TempDir;
using roulette::testing::valueFor;
using roulette::testing::Window;

namespace
{

// Shown and active, so that Ctrl+Z reaches the window's shortcut.
struct UndoWindow : Window {
    UndoWindow() : Window({valueFor(7, 37), valueFor(0, 37), valueFor(130, 148), valueFor(22, 37)})
    {
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }
    void pressUndo(const QString &focus = u"Command2"_s) const
    {
        QWidget *target = get(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
    }
};

// Spins one way, takes the spin back with Ctrl+Z and checks that nothing shows it, then
// spins the same way again so that the game goes on.
void spinUndoRespin(UndoWindow &w, const std::function<void()> &spin)
{
    const QStringList before = snapshot(w);
    const int spins = w.spins();
    spin();
    if (w.spins() == spins)
        return; // refused: nothing to take back
    w.pressUndo();
    QCOMPARE(w.spins(), spins);
    QCOMPARE(snapshot(w), before);
    spin();
}

// What the study window shows, once its simulated p-values are in.
QStringList studyTexts(const StudyWindow &study)
{
    if (!QTest::qWaitFor([&study] { return !study.simulating(); }, 20000))
        return {u"still simulating"_s};
    QStringList seen;
    for (const QLabel *label : study.findChildren<QLabel *>()) {
        if (label->isVisibleTo(&study))
            seen << label->text();
    }
    for (const TextTable *table : study.findChildren<TextTable *>()) {
        if (table->isVisibleTo(&study))
            seen << table->texts();
    }
    if (const auto arcs = study.findChild<WheelChart *>()->arcs())
        seen << u"arcs %1 %2"_s.arg(arcs->hottest.start).arg(arcs->coldest.start);
    return seen;
}

} // namespace

class TestForm1Undo : public QObject
{
    Q_OBJECT
private slots:
    void ctrlZTakesBackEachSpinOnScreen();
    void undoGoesBackThroughTheLastReset();
    void textBoxTakesBackItsTypingFirst();
    void spinCounterTellsWhetherTheWheelLooksFair();
    void studyWindowFollowsTheBoard();
};

void TestForm1Undo::ctrlZTakesBackEachSpinOnScreen()
{
    TempDir dir;
    UndoWindow w;
    const auto spin = [&w] { w.click(u"Command1"_s); };

    // Back to no row at all: the charts' placeholder rows do not come back.
    spin();
    w.pressUndo();
    QCOMPARE(w.spins(), 0);
    QVERIFY(w.get<ChartView>(u"MSChart1"_s)->drawnPoints(0).empty());
    QVERIFY(w.get<ChartView>(u"MSChart2"_s)->graph(0)->data()->isEmpty());

    w.clickNumber(7); // a marked number, so that "GAGNE" shows and hides again
    for (int option : {0, 1, 2, 0}) {
        w.click(u"Option1(%1)"_s.arg(option));
        for (int i = 0; i < 4; ++i)
            spinUndoRespin(w, spin);
    }
    w.form.Timer1_Timer(); // the blinking cell caught black
    spinUndoRespin(w, spin);

    w.click(u"Label4"_s);
    for (int n : {7, 36, 0, 7, 12})
        spinUndoRespin(w, [&w, n] { w.clickNumber(n); });
    w.type(u"25"_s); // not the previous number: Text2 must come back as typed
    spinUndoRespin(w, spin);
    w.click(u"Label4"_s);

    // 30 history cells fill the strip, so one falls off its left end at each spin.
    w.open(dir.write("t.txt", "3\n14\nx\n25\n0\n36\n1\n2\n"));
    for (int i = 0; i < 3; ++i)
        spinUndoRespin(w, spin);
    w.click(u"Command6"_s); // hides "Lancer 1 N°" for good, which no undo brings back
    for (int i = 0; i < 4; ++i)
        spinUndoRespin(w, [&w] { w.click(u"Command6"_s); });
    QVERIFY(w.spins() >= 30);
    QVERIFY(!w.messages.isEmpty()); // the line "x", reported at load

    // A new file is replayed from its first record, even after a spin of the old one is undone.
    w.open(dir.write("u.txt", "5\n"));
    QCOMPARE(w.text(u"Text3"_s), u"0"_s);
    w.pressUndo();
    QCOMPARE(w.text(u"Text3"_s), u"0"_s);
}

void TestForm1Undo::undoGoesBackThroughTheLastReset()
{
    UndoWindow w;
    for (int i = 0; i < 5; ++i)
        w.click(u"Command1"_s);
    w.clickNumber(9); // a mark, which the reset clears
    const QStringList beforeReset = snapshot(w);
    w.click(u"Command3"_s);
    const QStringList afterReset = snapshot(w);
    auto *undo = w.form.findChild<QAction *>(u"undoLastSpin"_s);
    QCOMPARE(undo->text(), u"Annuler la remise à zéro"_s);

    QList<QStringList> shown;
    for (int i = 0; i < 70; ++i) { // past a block of the series' min/max levels
        shown << snapshot(w);
        w.click(u"Command1"_s);
    }
    for (int i = 69; i > 0; --i) {
        w.pressUndo();
        QCOMPARE(snapshot(w), shown[i]);
    }
    w.pressUndo();
    QCOMPARE(w.spins(), 0);
    QCOMPARE(snapshot(w), afterReset); // the charts show the rows from before the reset again
    w.pressUndo();
    QCOMPARE(snapshot(w), beforeReset);
    QVERIFY(undo->isEnabled()); // the spins before the reset, one at a time
    for (int i = 0; i < 5; ++i)
        w.pressUndo();
    QVERIFY(!undo->isEnabled());
}

void TestForm1Undo::textBoxTakesBackItsTypingFirst()
{
    UndoWindow w;
    w.click(u"Command1"_s);
    w.click(u"Command1"_s);
    auto *text2 = w.get<QLineEdit>(u"Text2"_s);
    text2->setFocus();
    text2->selectAll();
    QTest::keyClicks(text2, u"12"_s);
    QCOMPARE(text2->text(), u"12"_s);
    w.pressUndo(u"Text2"_s);
    QCOMPARE(w.spins(), 2);
    QVERIFY(text2->text() != u"12"_s);
    w.pressUndo(u"Text2"_s); // nothing typed left to take back: the spin goes
    QCOMPARE(w.spins(), 1);
}

void TestForm1Undo::spinCounterTellsWhetherTheWheelLooksFair()
{
    UndoWindow w;
    auto *text1 = w.get<QLineEdit>(u"Text1"_s);
    const auto fairness = [text1] { return text1->toolTip().section(u'\n', 1); };
    const auto play = [&w](int number, int times) {
        for (int i = 0; i < times; ++i)
            w.form.Label1_Click(number);
    };
    w.click(u"Label4"_s);
    QCOMPARE(fairness(), u"Pas encore assez de tirages pour juger l'équilibre de la roue "
                         u"(0 sur les 185 nécessaires depuis la remise à zéro)."_s);

    // 185 spins, 5 expected per number: the zero 20 times, 1, 2 and 3 never, the rest 5
    // times. Chi-square = (15² + 3 · 5²) / 5 = 60, p = 0,0073 with 36 degrees of freedom.
    play(0, 20);
    for (int n = 4; n <= 36; ++n)
        play(n, 5);
    QCOMPARE(w.spins(), 185);
    QCOMPARE(fairness(), u"Khi-deux = 60,00 (36 degrés de liberté), p = 0,007\n"
                         u"Écart inhabituel : la roue est peut-être déséquilibrée."_s);
    w.pressUndo();
    QCOMPARE(fairness(), u"Pas encore assez de tirages pour juger l'équilibre de la roue "
                         u"(184 sur les 185 nécessaires depuis la remise à zéro)."_s);

    // The zero 41 times, every other number 4 times: (36² + 36 · 1²) / 5 = 266,4.
    w.click(u"Command3"_s);
    play(0, 41);
    for (int n = 1; n <= 36; ++n)
        play(n, 4);
    QCOMPARE(fairness(), u"Khi-deux = 266,40 (36 degrés de liberté), p < 0,001\n"
                         u"La roue est très probablement déséquilibrée."_s);

    w.click(u"Command3"_s);
    for (int n = 0; n <= 36; ++n)
        play(n, 5);
    QCOMPARE(fairness(), u"Khi-deux = 0,00 (36 degrés de liberté), p = 1,000\n"
                         u"Rien n'indique que la roue soit déséquilibrée."_s);
}

// Ctrl+E reaches past a text box; the open window, fed a spin at a time, shows what a window
// opened afresh shows, through spins, batches, undos, a load and a reset.
void TestForm1Undo::studyWindowFollowsTheBoard()
{
    TempDir dir;
    UndoWindow w;
    auto *text2 = w.get<QLineEdit>(u"Text2"_s);
    text2->setFocus();
    QTest::keyClick(text2, Qt::Key_E, Qt::ControlModifier);
    StudyWindow *study = w.form.studyWindow();
    QVERIFY(study && study->isVisible());
    QCOMPARE(study->windowTitle(), u"Étude du cylindre"_s);
    QCOMPARE(studyTexts(*study).filter(u"pas encore assez de tirages"_s).size(), 6);

    const auto matchesAFreshWindow = [&](const char *after) {
        {
            StudyWindow fresh(w.form.board().series());
            fresh.show();
            const QStringList expected = studyTexts(fresh);
            QVERIFY2(studyTexts(*study) == expected, after);
        }
        w.form.activateWindow(); // for the board's own shortcuts
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
    };
    w.form.spinMany(40);
    matchesAFreshWindow("a batch");
    w.form.Command1_Click(); // its p-values are not in yet: the last ones stay, marked
    QVERIFY(study->simulating());
    QStringList stale;
    for (const TextTable *table : study->findChildren<TextTable *>())
        stale << table->texts().filter(u"en cours de mise à jour"_s);
    QCOMPARE(stale.size(), 5); // the two arcs, the extreme numbers, the band
    matchesAFreshWindow("a spin");
    w.pressUndo();
    QCOMPARE(w.spins(), 40);
    matchesAFreshWindow("an undo");
    w.open(dir.write("t.txt", "3\n14\n25\n0\n36\n"));
    w.click(u"Command1"_s);
    matchesAFreshWindow("a load and a spin from the file");
    w.click(u"Command3"_s);
    matchesAFreshWindow("a reset");
    w.form.Label4_Click(); // manual mode: every click is a spin again
    for (int n = 0; n <= 40; ++n)
        w.clickNumber(n * 11 % 37);
    w.pressUndo();
    matchesAFreshWindow("spins and an undo after the reset");

    study->close(); // only the study window
    QVERIFY(w.form.isVisible());
    QVERIFY(!study->simulating());
    w.clickNumber(5);
    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    text2->setFocus();
    QTest::keyClick(text2, Qt::Key_E, Qt::ControlModifier);
    QVERIFY(study->isVisible());
    matchesAFreshWindow("opening again");
}

QTEST_MAIN(TestForm1Undo)
#include "test_form1_undo.moc"
