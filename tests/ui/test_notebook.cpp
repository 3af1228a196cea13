#include <random>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/tempdir.h"
#include "tests/ui/shown.h"
#include "tests/ui/window.h"
#include "ui/common/backgroundwork.h"
#include "ui/common/lastfolder.h"
#include "ui/import/permanencedialog.h"
#include "ui/notebook/boardnotebook.h"
#include "ui/notebook/notebookpath.h"
#include "ui/notebook/notebookwindow.h"
#include "ui/study/studywindow.h"

using namespace roulette::testing;

class TestNotebook : public QObject
{
    Q_OBJECT
private slots:
    void faultsAreToldAndTheBoardGoesOn();
    void aDeleteInTheWindowCanBeTakenBack();
    void wheelNamesMeetWhereUnicodeSaysTheyLookAlike();
    void theWindowImportsAPermanenceIntoTheWheelShown();
    void theWindowFitsTheScreenAndBacksUpTheNotebook();
    void eachSourceBeginsASessionOfItsOwn();
    void aWriteReachesEveryWindowOfTheNotebook();
    void theLastWheelFollowedIsOfferedAgain();
    void aPlaceFoundIsVerifiedOnLaterSessions();
};

// A damaged notebook, and one kept busy by another program while a spin is written: a
// French message each, the board plays on, and what was written stays.
void TestNotebook::faultsAreToldAndTheBoardGoesOn()
{
    const TempDir dir;
    Window w;
    BoardNotebook &book = *w.form.notebook();
    book.showWindow(); // closed for good by the notebook opened next, whatever becomes of it
    QVERIFY(!book.openNotebook(
        QString::fromStdString(dir.write("x.sqlite", "pas un carnet").string())));
    QVERIFY(!book.attach(u"Roue"_s) && w.messages.size() == 2 &&
            w.messages[0].contains(u"carnet"_s));

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

// Deleting asks first and says how many spins go; the delete is taken back whole, through
// its button. The sessions then replay on the board, export and open in the study.
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
    QCOMPARE(differsFromKept(*window, u"carnet"_s), QString());
    QAbstractButton *undo = buttonOf(*window, u"Annuler la suppression"_s);
    notebook.renameWheel(wheel, "Roue %1 %2");
    window->refresh();
    window->deleteWheel();
    QVERIFY(notebook.wheels().empty() && window->wheelModel()->rowCount() == 0 &&
            undo->isEnabled());
    QCOMPARE(questions.value(0), u"Supprimer la roue « Roue %1 %2 » : 2 séances et 100 tirages "
                                 "disparaîtront du carnet. Continuer ?"_s);
    // The name taken meanwhile by another program: the undo fails, says why, and stays.
    roulette::Notebook other(dir.path() / "c.sqlite");
    const std::int64_t twin = other.createWheel("ROUE\u00A0%1 %2");
    w.messages.clear();
    window->undoDelete();
    QVERIFY2(w.messages.size() == 1 && w.messages[0].contains(u"déjà ce nom"_s),
             qPrintable(w.messages.join(u'|')));
    other.renameWheel(twin, "Autre");
    window->undoDelete();
    const auto restored = notebook.wheels();
    QVERIFY(restored.size() == 2 && restored[1].name == "Roue %1 %2");
    QCOMPARE(restored[1].spins, before[0].spins);
    other.deleteWheel(twin);

    // Both sessions chosen while another program deletes one: the question counts the one
    // left, the delete takes it, the undo gives it back.
    window->refresh();
    window->findChildren<QTableView *>().at(1)->selectAll(); // the sessions
    other.deleteSession(other.sessions(wheel)[0].id);
    window->deleteSessions();
    QCOMPARE(questions.value(1), u"Supprimer 1 séance : 50 tirages disparaîtront du carnet. "
                                 "Continuer ?"_s);
    QVERIFY(notebook.sessions(wheel).empty());
    window->undoDelete();
    QCOMPARE(differsFromKept(*window, u"carnet-rendu"_s), QString()); // and nothing more to undo

    // « Date… » on the session chosen writes the date asked.
    window->findChildren<QTableView *>().at(1)->selectRow(0);
    whenShown<QDialog>([](QDialog *ask) {
        ask->findChild<QDateTimeEdit *>()->setDateTime(QDateTime(QDate(2026, 3, 1), QTime(20, 5)));
        ask->accept();
    });
    buttonOf(*window, u"Date…"_s)->click();
    QCOMPARE(notebook.sessions(wheel)[0].startedAt, "2026-03-01T20:05");

    buttonOf(*window, u"Rejouer sur le tableau"_s)->click(); // the board plays them as a draw file
    QCOMPARE(w.text(u"Label8(4)"_s), u"50"_s);

    // « Exporter… » writes them as a draw file, in the order they were spun.
    const QString exported = QString::fromStdString((dir.path() / "tirages.txt").string());
    whenShown<QFileDialog>([&exported](QFileDialog *save) {
        save->selectFile(exported);
        static_cast<QDialog *>(save)->accept();
    });
    buttonOf(*window, u"Exporter…"_s)->click();
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("2\r\n").repeated(50));
    QCOMPARE(lastFolder(), QString::fromStdString(dir.path().string())); // where the next one asks

    // « Étudier » opens the study of the pooled sessions, named after them.
    buttonOf(*window, u"Étudier"_s)->click();
    const auto *study = window->findChild<StudyWindow *>();
    QVERIFY(study && study->isVisible());
    QCOMPARE(study->windowTitle(), u"Étude du cylindre — Roue %1 %2 — toutes les séances"_s);
}

// Here rather than beside the store, for Qt's Unicode tables are the model: two letters of
// Latin-1 and Latin Extended-A make one name exactly when their decompositions agree in lower
// case, a letter composed or decomposed is one name, and every blank a space.
void TestNotebook::wheelNamesMeetWhereUnicodeSaysTheyLookAlike()
{
    const auto key = [](const QString &name) { return roulette::wheelNameKey(name.toStdString()); };
    const auto model = [](const QString &name) {
        return name.normalized(QString::NormalizationForm_D).toLower();
    };
    std::vector<QString> letters;
    for (char32_t c = 0x21; c < 0x180; ++c)
        if (c != 0xA0 && c != 0xAD) // a blank and an invisible hyphen, folded on purpose
            letters.push_back(QString::fromUcs4(&c, 1));
    for (const QString &a : letters) {
        QCOMPARE(key(a), key(a.normalized(QString::NormalizationForm_D)));
        for (const QString &b : letters)
            if ((key(a) == key(b)) != (model(a) == model(b)))
                QFAIL(qPrintable(u"« %1 » et « %2 »"_s.arg(a, b)));
    }
    for (const char16_t blank : {u'\t', u'\u00A0', u'\u2000', u'\u200A', u'\u202F', u'\u3000'})
        QCOMPARE(key(u"Table"_s + QChar(blank) + u"3"_s), key(u"table 3"_s));
    QVERIFY(roulette::wheelNameKey("\xFFy") != roulette::wheelNameKey("\xFFz")); // no UTF-8
}

// « Importer un fichier… » opens the permanence import with the wheel shown chosen: a
// permanence of many numbers a line goes into that wheel whole, and the window shows it.
void TestNotebook::theWindowImportsAPermanenceIntoTheWheelShown()
{
    const TempDir dir;
    Window w;
    BoardNotebook &book = *w.form.notebook();
    QVERIFY(book.openNotebook(QString::fromStdString((dir.path() / "c.sqlite").string())));
    roulette::Notebook &notebook = *book.notebook();
    notebook.createWheel("Roue A");
    const std::int64_t wheel = notebook.createWheel("Roue B");
    std::mt19937 random(3);
    std::vector<std::uint8_t> spins(600);
    std::string text;
    for (std::size_t i = 0; i < spins.size(); ++i) {
        spins[i] = static_cast<std::uint8_t>(random() % 37);
        text += std::to_string(spins[i]) + (i % 12 == 11 ? "\n" : ", ");
    }
    NotebookWindow *window = book.showWindow();
    window->selectWheel(1); // by name: « Roue B »
    window->importFile(QString::fromStdString(dir.write("permanence.txt", text).string()));
    PermanenceDialog *dialog = nullptr;
    QTRY_VERIFY((dialog = window->findChild<PermanenceDialog *>()) && dialog->isVisible());
    QTRY_VERIFY(!dialog->findChild<BackgroundWork *>());
    const QString written = u"\\d{4}-\\d\\d-\\d\\dT[\\d:.]+"_s; // dated when the file was
    QCOMPARE(differsFromKept(*dialog, u"import-roue-montree"_s, written), QString());
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"import"_s), Qt::LeftButton);
    QTRY_VERIFY(!window->findChild<PermanenceDialog *>());
    QCOMPARE(notebook.spins(notebook.sessions(wheel).at(0).id), spins);
    QCOMPARE(window->sessionModel()->rowCount(), 1);
    QVERIFY2(w.messages.value(0).contains(u"600 tirages importés"_s),
             qPrintable(w.messages.value(0)));
}

// The window opens within the screen; Escape and Ctrl+W close it, Ctrl+I imports from it. A
// backup is offered under the day's date, gets its extension and is told; one that a crash
// cut short leaves no partial copy once the program starts again.
void TestNotebook::theWindowFitsTheScreenAndBacksUpTheNotebook()
{
    const TempDir dir;
    const QString folder = QString::fromStdString(dir.path().string());
    const auto file = dir.path() / "c.sqlite";
    Window w;
    BoardNotebook &book = *w.form.notebook();
    QVERIFY(book.openNotebook(QString::fromStdString(file.string())));
    roulette::Notebook &notebook = *book.notebook();
    const std::int64_t session = notebook.createSession(notebook.createWheel("Roue 3"),
                                                        "2026-03-01T20:00", roulette::Origin::Hand);
    notebook.appendSpins(session, std::vector<std::uint8_t>(200'000, 7));
    NotebookWindow *window = book.showWindow();
    QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
    const QSignalSpy imports(w.get<QAction>(u"importPermanence"_s), &QAction::triggered);
    for (const QKeySequence &key :
         {QKeySequence(u"Ctrl+I"_s), QKeySequence(Qt::Key_Escape), QKeySequence(u"Ctrl+W"_s)}) {
        activate(*book.showWindow());
        QTest::keySequence(window, key);
    }
    QVERIFY(imports.size() == 1 && !window->isVisible());

    QString suggested;
    window->setSaveChooser(
        [&](const QString &name) { return suggested = name, folder + u"/copie"_s; });
    window->backup();
    QCOMPARE(QFileInfo(suggested).fileName(),
             u"carnet-%1.sqlite"_s.arg(QDate::currentDate().toString(Qt::ISODate)));
    QCOMPARE(roulette::Notebook(dir.path() / "copie.sqlite").spins(session),
             notebook.spins(session));
    QCOMPARE(differsFromKept(*window, u"carnet-copie"_s), QString());

    const pid_t child = fork();
    if (child == 0) { // a disk that fills kills the copy half-way
        const rlimit noCore{0, 0}, small{rlim_t{64} * 1024, rlim_t{64} * 1024};
        setrlimit(RLIMIT_CORE, &noCore);
        setrlimit(RLIMIT_FSIZE, &small);
        backUpNotebook(roulette::Notebook(file), folder + u"/coupee.sqlite"_s);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    QFile partial(folder + u"/coupee.sqlite.partiel"_s);
    QVERIFY(WIFSIGNALED(status) && partial.exists());
    removeUnfinishedBackups();
    QVERIFY(partial.exists()); // as young as a copy another instance may still be writing
    QVERIFY(partial.open(QIODevice::ReadWrite) &&
            partial.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                                QFileDevice::FileModificationTime));
    partial.close();
    removeUnfinishedBackups();
    QVERIFY(!partial.exists() && !QFile::exists(folder + u"/coupee.sqlite"_s) &&
            QSettings().value(u"carnet/copiesEnCours"_s).toStringList().isEmpty()); // forgotten
}

// Spins from before attaching left out, then hand, the generator, the hand again: three
// sessions, each with the source of its spins, and the window's count. The generator's are
// left out of the study and of the change report until chosen.
void TestNotebook::eachSourceBeginsASessionOfItsOwn()
{
    const TempDir dir;
    Window w({0.1f, 0.5f, 0.9f});
    BoardNotebook &book = *w.form.notebook();
    QVERIFY(book.openNotebook(QString::fromStdString((dir.path() / "c.sqlite").string())));
    w.form.spinMany(3); // before attaching: not the wheel's
    QVERIFY(!book.attach(u" "_s) && w.messages.size() == 1 && book.attach(u"Roue"_s)); // named
    QCOMPARE(w.form.windowTitle(), u"Étude Roulette — Roue"_s);
    QCOMPARE(w.get<QLabel>(u"followedWheel"_s)->text(), u"Roue suivie : Roue"_s);
    NotebookWindow *window = book.showWindow(); // open while the sessions come
    w.click(u"Label4"_s);
    for (const int n : {3, 4, 3, 4})
        w.clickNumber(n);
    w.click(u"Label4"_s); // « Retour »: the generator again
    for (int i = 0; i < 3; ++i)
        w.click(u"Command1"_s);
    w.click(u"Label4"_s);
    w.clickNumber(5);
    w.clickNumber(6);
    QTRY_VERIFY(window->changeText().contains(u"Les 2 séances"_s));
    const QString playedAt = u"\\d+ \\S+ 20\\d\\d \\d\\d:\\d\\d"_s; // a date of today
    QCOMPARE(differsFromKept(*window, u"carnet-sources"_s, playedAt), QString());
    buttonOf(*window, u"Étudier"_s)->click();
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
    QVERIFY(writing.holdsCurrentSession()); // so closing need not ask to save them
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

// A dealer's distance found in the first session is pinned as after it and read on the two
// real sessions after it, the simulated one left out.
void TestNotebook::aPlaceFoundIsVerifiedOnLaterSessions()
{
    const TempDir dir;
    Window w;
    BoardNotebook &book = *w.form.notebook();
    QVERIFY(book.openNotebook(QString::fromStdString((dir.path() / "c.sqlite").string())));
    roulette::Notebook &notebook = *book.notebook();
    const std::int64_t wheel = notebook.createWheel("Roue");
    const std::vector<int> spins = dealerSpins(120);
    const std::vector<std::uint8_t> dealer(spins.begin(), spins.end());
    int day = 0;
    for (auto origin : {roulette::Origin::Hand, roulette::Origin::Generator, roulette::Origin::Hand,
                        roulette::Origin::Import})
        notebook.appendSpins(
            notebook.createSession(wheel, "2026-01-0" + std::to_string(++day) + "T20:00", origin),
            dealer);
    NotebookWindow *window = book.showWindow();
    // The sessions' table, made after the wheels'.
    window->findChildren<QTableView *>().at(1)->selectRow(0);
    buttonOf(*window, u"Vérifier sur les séances suivantes"_s)->click();
    const auto *study = window->findChild<StudyWindow *>();
    QVERIFY(study && study->windowTitle().endsWith(u"puis les suivantes"_s));
    const report::Row pin = study->report().columns[0][0].tables[0].rows.at(0);
    QVERIFY2(pin[0].text.startsWith(u"la case à 10 cases du tirage précédent"_s),
             qPrintable(pin[0].text));
    QCOMPARE(pin[3].text, u"240"_s);
}

QTEST_MAIN(TestNotebook)

#include "test_notebook.moc"
