#include <QApplication>
#include <QPushButton>
#include <QStandardItemModel>
#include <random>
#include <sqlite3.h>

#include "tests/tempdir.h"
#include "tests/ui/window.h"
#include "ui/notebook/boardnotebook.h"
#include "ui/notebook/notebookwindow.h"
#include "ui/study/studywindow.h"

using namespace roulette::testing;

class TestNotebook : public QObject
{
    Q_OBJECT
private slots:
    void theNotebookHoldsTheBoardsSpinsSinceAttaching();
    void faultsAreToldAndTheBoardGoesOn();
    void aDeleteInTheWindowCanBeTakenBack();
};

// Random hand spins, undos, resets and resets taken back, after a batch: the wheel's session
// is at every step the spins of the board's sessions since attaching, one after the other.
void TestNotebook::theNotebookHoldsTheBoardsSpinsSinceAttaching()
{
    const TempDir dir;
    Window w({0.1f, 0.7f, 0.4f, 0.9f, 0.2f});
    BoardNotebook &book = *w.form.notebook();
    QVERIFY(book.openNotebook(QString::fromStdString((dir.path() / "c.sqlite").string())));
    w.form.spinMany(3); // before attaching: not the wheel's
    QVERIFY(book.attach(u"Roue 7"_s));
    QCOMPARE(w.form.windowTitle(), u"Étude Roulette — Roue 7"_s);
    const std::int64_t session = *book.attachedSession();
    std::vector<std::vector<std::uint8_t>> model{{}}; // the board's sessions since attaching
    w.form.spinMany(40);
    const roulette::Session &board = w.form.board().series().session();
    for (std::int64_t s = 4; s <= board.lastRow(); ++s)
        model[0].push_back(static_cast<std::uint8_t>(board.outcome(s)));
    w.click(u"Label4"_s);
    const NotebookWindow *window = book.showWindow(); // its counts follow the board
    std::mt19937 random(7);
    for (int step = 0; step < 300; ++step) {
        const unsigned op = random() % 6;
        if (op == 0 && board.lastRow() > 0) {
            w.form.Command3_Click();
            model.emplace_back();
        } else if (op == 1 && !model.back().empty()) {
            // the batch at the start goes back whole
            model.back().resize(model.back().size() -
                                static_cast<std::size_t>(w.form.board().spinsToUndo()));
            w.form.undo();
        } else if (op == 1 && model.size() > 1 && w.form.board().canUndo()) {
            w.form.undo(); // the reset
            model.pop_back();
        } else if (op > 1) {
            const int n = static_cast<int>(random() % 37);
            w.clickNumber(n);
            model.back().push_back(static_cast<std::uint8_t>(n));
        }
        std::vector<std::uint8_t> expected;
        for (const auto &part : model)
            expected.insert(expected.end(), part.begin(), part.end());
        QCOMPARE(book.notebook()->spins(session), expected);
    }
    qlonglong held = 0;
    for (const auto &part : model)
        held += static_cast<qlonglong>(part.size());
    const QString spins = QLocale(QLocale::French).toString(held);
    QTRY_COMPARE(window->wheelModel()->item(0, 2)->text(), spins);
    QCOMPARE(window->sessionModel()->item(0, 3)->text(), spins);
    // Every hand spin since the reset is held: closing asks nothing.
    bool asked = false;
    QTimer::singleShot(0, [&asked] {
        if (QWidget *question = QApplication::activeModalWidget())
            asked = question->close();
    });
    QVERIFY(w.form.close() && !asked);
    QCOMPARE(book.notebook()->sessions(book.notebook()->wheels()[0].id)[0].origin,
             roulette::Origin::Generator); // the board's source when it was attached
}

// A damaged notebook, and one kept busy by another program while a spin is written: a
// French message each, the board plays on, and what was written stays.
void TestNotebook::faultsAreToldAndTheBoardGoesOn()
{
    const TempDir dir;
    Window w;
    BoardNotebook &book = *w.form.notebook();
    QVERIFY(!book.openNotebook(
        QString::fromStdString(dir.write("x.sqlite", "pas un carnet").string())));
    QVERIFY(!book.attach(u"Roue"_s) && w.messages.size() == 2);
    QVERIFY2(w.messages[0].contains(u"carnet"_s), qPrintable(w.messages[0]));

    const auto file = dir.path() / "c.sqlite";
    QVERIFY(book.openNotebook(QString::fromStdString(file.string())) && book.attach(u"Roue"_s));
    w.click(u"Label4"_s);
    w.clickNumber(12);
    sqlite3 *other = nullptr;
    sqlite3_open(file.c_str(), &other);
    sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    w.messages.clear();
    w.clickNumber(30);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QVERIFY2(w.messages.size() == 2 && w.messages[0].contains(u"occupé"_s),
             qPrintable(w.messages.join(u'|')));
    QVERIFY(!book.attachedWheel() && w.form.windowTitle() == u"Étude Roulette"_s);
    w.clickNumber(5);
    QCOMPARE(w.spins(), 3);
    roulette::Notebook reopened(file);
    QCOMPARE(reopened.spins(reopened.sessions(reopened.wheels()[0].id)[0].id),
             std::vector<std::uint8_t>{12});
}

// Deleting asks first and says how many spins go; the delete is taken back whole.
void TestNotebook::aDeleteInTheWindowCanBeTakenBack()
{
    const TempDir dir;
    Window w;
    BoardNotebook &book = *w.form.notebook();
    QVERIFY(book.openNotebook(QString::fromStdString((dir.path() / "c.sqlite").string())));
    roulette::Notebook &notebook = *book.notebook();
    const std::int64_t wheel = notebook.createWheel("Roue 3", "Casino, table 2");
    for (const char *when : {"2026-03-01T20:00", "2026-03-12T20:15"}) {
        const std::int64_t s = notebook.createSession(wheel, when, roulette::Origin::Hand);
        notebook.appendSpins(
            s, std::vector<std::uint8_t>(50, static_cast<std::uint8_t>(when[9] - '0')));
    }
    const auto before = notebook.wheels();
    NotebookWindow *window = book.showWindow();
    QStringList questions;
    window->setConfirm([&questions](const QString &q) { return questions << q, true; });
    QTRY_VERIFY(window->changeText().contains(u"khi²"_s)); // worked out on a worker
    window->deleteWheel();
    QVERIFY(notebook.wheels().empty() && window->wheelModel()->rowCount() == 0);
    window->undoDelete();
    QCOMPARE(notebook.wheels(), before);
    QCOMPARE(window->sessionModel()->rowCount(), 2);
    QVERIFY2(questions.value(0).contains(u"100 tirages"_s), qPrintable(questions.value(0)));

    // « Étudier » opens the study of the pooled sessions, named after them.
    const auto buttons = window->findChildren<QPushButton *>();
    (*std::find_if(buttons.begin(), buttons.end(), [](auto *b) {
        return b->text() == u"Étudier"_s;
    }))->click();
    const auto *study = window->findChild<StudyWindow *>();
    QVERIFY(study && study->isVisible());
    QCOMPARE(study->windowTitle(), u"Étude du cylindre — Roue 3 — toutes les séances"_s);
}

QTEST_MAIN(TestNotebook)
#include "test_notebook.moc"
