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
    void eachSourceBeginsASessionOfItsOwn();
    void aWriteReachesEveryWindowOfTheNotebook();
    void theLastWheelFollowedIsOfferedAgain();
};

// Random hand spins, undos, resets and resets taken back, after a batch: the wheel's sessions
// hold at every step the spins of the board's sessions since attaching, one after the other,
// the batch's in a session of the generator, the hand's in one of their own.
void TestNotebook::theNotebookHoldsTheBoardsSpinsSinceAttaching()
{
    const TempDir dir;
    Window w({0.1f, 0.7f, 0.4f, 0.9f, 0.2f});
    BoardNotebook &book = *w.form.notebook();
    QVERIFY(book.openNotebook(QString::fromStdString((dir.path() / "c.sqlite").string())));
    w.form.spinMany(3); // before attaching: not the wheel's
    QVERIFY(book.attach(u"Roue 7"_s));
    QCOMPARE(w.form.windowTitle(), u"Étude Roulette — Roue 7"_s);
    QCOMPARE(w.get<QLabel>(u"followedWheel"_s)->text(), u"Roue suivie : Roue 7"_s);
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
            w.form.undo();
            model.back().pop_back();
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
        std::vector<std::int64_t> ids;
        for (const roulette::SessionInfo &s : book.notebook()->sessions(*book.attachedWheel()))
            ids.push_back(s.id);
        QCOMPARE(book.notebook()->pooledSpins(ids).numbers, expected);
    }
    qlonglong held = 0;
    for (const auto &part : model)
        held += static_cast<qlonglong>(part.size());
    const QString spins = QLocale(QLocale::French).toString(held);
    QTRY_COMPARE(window->wheelModel()->item(0, 2)->text(), spins);
    // Every hand spin since the reset is held: closing asks nothing.
    bool asked = false;
    QTimer::singleShot(0, [&asked] {
        if (QWidget *question = QApplication::activeModalWidget())
            asked = question->close();
    });
    const std::int64_t wheel = *book.attachedWheel();
    QVERIFY(w.form.close() && !asked);
    std::vector<roulette::Origin> origins;
    for (const roulette::SessionInfo &s : book.notebook()->sessions(wheel))
        origins.push_back(s.origin);
    QCOMPARE(origins.front(), roulette::Origin::Generator);
    QVERIFY(std::all_of(origins.begin() + 1, origins.end(),
                        [](auto o) { return o == roulette::Origin::Hand; }));
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

// Hand, the generator, the hand again: three sessions, each with the source of its spins. The
// generator's are left out of the study and of the change report until chosen.
void TestNotebook::eachSourceBeginsASessionOfItsOwn()
{
    const TempDir dir;
    Window w({0.1f, 0.5f, 0.9f});
    BoardNotebook &book = *w.form.notebook();
    QVERIFY(book.openNotebook(QString::fromStdString((dir.path() / "c.sqlite").string())));
    QVERIFY(book.attach(u"Roue"_s));
    w.click(u"Label4"_s);
    for (const int n : {3, 4, 3, 4})
        w.clickNumber(n);
    w.click(u"Label4"_s); // « Retour »: the generator again
    for (int i = 0; i < 3; ++i)
        w.click(u"Command1"_s);
    w.click(u"Label4"_s);
    w.clickNumber(5);
    w.clickNumber(6);
    std::vector<std::pair<roulette::Origin, std::int64_t>> sessions;
    for (const roulette::SessionInfo &s : book.notebook()->sessions(*book.attachedWheel()))
        sessions.emplace_back(s.origin, s.spins);
    QCOMPARE(sessions, (std::vector<std::pair<roulette::Origin, std::int64_t>>{
                           {roulette::Origin::Hand, 4},
                           {roulette::Origin::Generator, 3},
                           {roulette::Origin::Hand, 2}}));
    NotebookWindow *window = book.showWindow();
    QCOMPARE(window->sessionModel()->item(1, 1)->text(), u"générateur"_s);
    QTRY_VERIFY(window->changeText().contains(u"Les 2 séances"_s));
    const auto buttons = window->findChildren<QPushButton *>();
    (*std::find_if(buttons.begin(), buttons.end(), [](auto *b) {
        return b->text() == u"Étudier"_s;
    }))->click();
    const auto *study = window->findChild<StudyWindow *>();
    QVERIFY(study && study->windowTitle().endsWith(u"Roue — toutes les séances réelles"_s));
}

// Two boards on one notebook: the spins of one, and a delete in its window, reach the window
// of the other without anyone telling it.
void TestNotebook::aWriteReachesEveryWindowOfTheNotebook()
{
    const TempDir dir;
    const QString path = QString::fromStdString((dir.path() / "c.sqlite").string());
    Window writer;
    Window reader;
    BoardNotebook &writing = *writer.form.notebook();
    QVERIFY(writing.openNotebook(path) && reader.form.notebook()->openNotebook(path));
    QVERIFY(writing.attach(u"Roue 1"_s));
    const NotebookWindow *other = reader.form.notebook()->showWindow();
    QCOMPARE(other->wheelModel()->rowCount(), 1);
    writer.click(u"Label4"_s);
    for (const int n : {7, 8, 9})
        writer.clickNumber(n);
    QTRY_COMPARE(other->wheelModel()->item(0, 2)->text(), u"3"_s);
    QCOMPARE(other->sessionModel()->rowCount(), 1);
    NotebookWindow *own = writing.showWindow();
    own->setConfirm([](const QString &) { return true; });
    own->deleteWheel();
    QCOMPARE(other->wheelModel()->rowCount(), 0);
}

// The wheel followed when the program last ran is offered at the start; « Non » lets it go.
void TestNotebook::theLastWheelFollowedIsOfferedAgain()
{
    const TempDir dir;
    const QString path = QString::fromStdString((dir.path() / "c.sqlite").string());
    {
        Window before;
        QVERIFY(before.form.notebook()->openNotebook(path));
        QVERIFY(before.form.notebook()->attach(u"Roue 9"_s));
    }
    // How many questions, and whether the board then follows a wheel, and which.
    const auto start = [](bool yes) {
        Window w;
        int asked = 0;
        w.form.notebook()->setAsk([&](const QString &) { return ++asked, yes; });
        w.form.notebook()->offerLastWheel();
        return std::pair(asked, w.get<QLabel>(u"followedWheel"_s)->text());
    };
    QCOMPARE(start(true), std::pair(1, u"Roue suivie : Roue 9"_s));
    QCOMPARE(start(false), std::pair(1, u"Aucune roue suivie"_s));
    QCOMPARE(start(true), std::pair(0, u"Aucune roue suivie"_s));
}

QTEST_MAIN(TestNotebook)
#include "test_notebook.moc"
