#include <cmath>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/tempdir.h"
#include "tests/ui/shown.h"
#include "tests/ui/window.h"
#include "ui/common/french.h"

using namespace roulette::testing;

namespace
{

void pressUndo(const Window &w, const QString &focus = u"Command2"_s)
{
    QWidget *target = w.get(focus);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
}

// Clicks the button of the question about to open.
void answer(const QString &button)
{
    whenShown([button](QWidget *ask) { buttonOf(*ask, button)->click(); });
}

// What write() answers in a child process whose files may not grow past limit bytes, SIGXFSZ
// ignored so that the write fails instead: the test process keeps no limit.
QString answerUnderSizeLimit(rlim_t limit, const std::function<QString()> &write)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return u"no pipe"_s;
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{limit, limit};
        const QByteArray answer = ::setrlimit(RLIMIT_FSIZE, &size) == 0 ? write().toUtf8() : "";
        const bool told = ::write(pipeEnds[1], answer.data(), std::size_t(answer.size())) > 0;
        ::_exit(told ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    QByteArray answer;
    char bytes[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], bytes, sizeof bytes)) > 0;)
        answer.append(bytes, got);
    ::close(pipeEnds[0]);
    ::waitpid(child, nullptr, 0);
    return QString::fromUtf8(answer);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT
private slots:
    void onlyAFileWithNumbersChangesTheBoard();
    void savedSpinsReplayAlikeAndExportAsCsv();
    void aFailedWriteKeepsTheOldFileAndSaysWhy();
    void aDrawFileReadDuringABatchWaitsForItsEnd();
    void enterPlaysAndOnlyHandSpinsHoldTheWindowOpen();
    void undoGoesBackThroughTheLastReset();
    void spinCounterTellsWhetherTheWheelLooksFair();
};

void TestSession::onlyAFileWithNumbersChangesTheBoard()
{
    const TempDir dir;
    Window w;
    const QStringList start = snapshot(w);
    w.open(dir.path() / "absent.txt");
    w.open(dir.write("mots.txt", "abc\n==\n40\n"));
    QVERIFY(w.messages.size() == 2 && w.messages[1].contains(u"mots.txt"_s));
    w.chosen.clear(); // the user cancels the dialog
    w.click(u"Command4"_s);
    const auto path = dir.write("tirage.txt", "5\r\n17\r\n\r\n<b>x</b>\r\n0\r\n");
    w.chosen = QString::fromStdString(path.string());
    w.click(u"Command4"_s);
    auto *progress = w.form.findChild<QProgressDialog *>();
    QVERIFY(progress->findChild<QLabel *>()->textFormat() == Qt::PlainText);
    QCOMPARE(differsFromKept(*progress, u"lecture"_s, u"^\\d+%$"_s), QString()); // any progress
    progress->findChild<QPushButton *>()->click(); // « Annuler », the reading done or not
    QVERIFY(QTest::qWaitFor([&w] { return !w.form.findChild<QProgressDialog *>(); }));
    QCOMPARE(w.messages.size(), 2);
    QCOMPARE(snapshot(w), start);

    w.open(path);
    QCOMPARE(w.messages.last(), u"1 ligne n'est pas un numéro de roulette et ne sera pas jouée : "
                                "ligne 4 « <b>x</b> »."_s);
    QCOMPARE(w.text(u"Label9"_s) + w.text(u"Label8(4)"_s), u"tirage.txt3"_s);
    w.click(u"Command6"_s);
    w.click(u"Command1"_s);
    whenShown<QInputDialog>(
        [](QInputDialog *ask) { // « Lancer plusieurs tirages… » offers the records left
            QVERIFY(ask->intValue() == 1 && ask->windowTitle() == u"Lancer plusieurs tirages"_s);
            ask->reject();
        });
    w.form.askSpinMany();
    Window closing;
    closing.chosen = w.chosen;
    closing.click(u"Command4"_s); // and the window goes before the reading ends
}

// Thousands of spins, past many slices of the write, with a reset and a draw file loaded on
// the way: the saved file holds the session's outcomes, a line each, and plays them again;
// the CSV holds each spin's number and the series as a recount of the outcomes gives them.
void TestSession::savedSpinsReplayAlikeAndExportAsCsv()
{
    const TempDir dir;
    std::mt19937 random(5);
    std::vector<float> draws(997); // the generator's, spread over [0, 1), replayed in turn
    for (float &d : draws)
        d = std::uniform_real_distribution<float>(0, 1)(random);
    Window w(draws);
    w.form.spinMany(400);
    w.click(u"Command3"_s);
    whenShown<QInputDialog>([](QInputDialog *ask) { // « Lancer plusieurs tirages… » asks how many
        QVERIFY(ask->intMinimum() == 1 && ask->intMaximum() == 10'000'000);
        ask->setIntValue(1200);
        ask->accept();
    });
    w.form.askSpinMany();
    std::string file; // a few pockets often, the others seldom: every class of the spread lives
    for (int i = 0; i < 1800; ++i)
        file += std::to_string(random() % 5 ? random() % 4 : random() % 37) + '\n';
    w.open(dir.write("f.txt", file));
    w.form.spinMany(1800);
    w.click(u"Label4"_s);
    w.clickNumber(17);
    const roulette::Session &session = w.form.board().series().session();
    QCOMPARE(session.lastRow(), std::int64_t{3001});

    QString target = QString::fromStdString((dir.path() / "s.txt").string());
    w.form.sessionFiles().setSaveChooser(
        [&target](QWidget *, auto &, auto &, auto &) { return target; });
    QVERIFY(w.form.board().hasUnsavedHandSpins() && w.form.saveSpins() &&
            !w.form.board().hasUnsavedHandSpins());
    const QString spins = frenchNumber(3001) + u" tirages "_s;
    QCOMPARE(w.form.statusBar()->currentMessage(), spins + u"enregistrés dans s.txt"_s);
    const QByteArray written = readAll(target); // a line a spin, as the replay below reads
    QVERIFY(written.count("\r\n") == 3001 && written.endsWith("\r\n"));
    Window replay;
    replay.open(dir.path() / "s.txt");
    replay.form.spinMany(3001);
    QVERIFY(replay.form.board().series().session() == session);

    target = QString::fromStdString((dir.path() / "t.csv").string());
    w.form.exportCsv();
    QCOMPARE(w.form.statusBar()->currentMessage(), spins + u"exportés dans t.csv"_s);
    const QList<QByteArray> rows = readAll(target).split('\n');
    QVERIFY(rows[0].startsWith("\xEF\xBB\xBFTirage;Numéro;N° Pas Sorti;"));
    QCOMPARE(rows.size(), 1 + 3001 + 1);
    std::array<int, 37> hits{};
    for (int s = 1; s <= 3001; ++s) {
        const int n = session.outcome(s);
        ++hits[n];
        QList<int> expected{s, n, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        for (int m = 0; m < 37; ++m) {
            expected[13 + (m + 11) / 12] += hits[m];
            if (hits[m] <= 10)
                ++expected[2 + hits[m]];
        }
        QList<int> fields;
        for (const QByteArray &field : rows[s].chopped(1).split(';'))
            fields << field.toInt();
        QVERIFY2(fields == expected, rows[s].constData());
    }
}

// A write that fails leaves the old file whole and nothing beside it, the hand spins unsaved,
// and says why: a full disk (the size limit reached in Qt's buffer, or in a large slice, for
// both the save and the export), a folder as the target, no right to write, or the system's
// own words.
void TestSession::aFailedWriteKeepsTheOldFileAndSaysWhy()
{
    namespace fs = std::filesystem;
    const TempDir dir;
    Window small, large;
    small.form.spinMany(300);
    large.form.spinMany(200'000);
    for (Window *w : {&small, &large}) {
        w->click(u"Label4"_s);
        w->clickNumber(17);
    }
    const auto old = dir.write("old.txt", "7\r\n");
    fs::create_directory(dir.path() / "dossier");
    fs::create_directory(dir.path() / "lecture");
    const auto locked = dir.write("lecture/old.txt", "7\r\n");
    fs::permissions(dir.path() / "lecture", fs::perms::owner_read | fs::perms::owner_exec);
    const auto unlock =
        qScopeGuard([&dir] { fs::permissions(dir.path() / "lecture", fs::perms::owner_all); });
    const QString full = u"le disque est plein"_s;
    struct Case {
        Window *w;
        bool save;
        rlim_t limit;
        fs::path target;
        QString cause;
    };
    const Case cases[] = {
        {&small, true, 500, old, full},
        {&large, true, 300'000, old, full},
        {&small, false, 4096, old, full},
        {&large, false, 1'000'000, old, full},
        {&small, true, RLIM_INFINITY, dir.path() / "dossier", u"c'est un dossier"_s},
        {&small, false, RLIM_INFINITY, locked, u"vous n'avez pas le droit d'écrire"_s},
        {&small, true, RLIM_INFINITY, old / "x.txt", u"le dossier n'existe pas"_s}};
    for (const Case &c : cases) {
        if (c.target == locked && ::geteuid() == 0) // root writes anywhere
            continue;
        const QString target = QString::fromStdString(c.target.string());
        c.w->form.sessionFiles().setSaveChooser(
            [target](QWidget *, auto &, auto &, auto &) { return QString(target); });
        const QString answer = answerUnderSizeLimit(c.limit, [&c] {
            c.save ? void(c.w->form.saveSpins()) : c.w->form.exportCsv();
            const bool unsaved = c.w->form.board().hasUnsavedHandSpins();
            return c.w->messages.value(0) + (unsaved ? u" | non enregistré"_s : QString());
        });
        QVERIFY2(answer.contains(c.cause) && answer.contains(target) &&
                     answer.endsWith(u" | non enregistré"_s),
                 qPrintable(answer));
        for (const fs::path &kept : {old, locked}) {
            QFile file(QString::fromStdString(kept.string()));
            QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == "7\r\n");
        }
        QCOMPARE(std::distance(fs::directory_iterator(dir.path()), {}), std::ptrdiff_t{3});
    }
}

// A draw file whose reading ends while a batch runs waits for the batch's end: every spin of
// the batch comes from the source it started with.
void TestSession::aDrawFileReadDuringABatchWaitsForItsEnd()
{
    const TempDir dir;
    Window w; // draws only zeros
    w.chosen = QString::fromStdString(dir.write("f.txt", "17\n").string());
    w.click(u"Command4"_s);
    // Read, and its timer due, before the batch lets the window breathe for the first time.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    w.form.spinMany(5000);
    QCOMPARE(w.form.board().state().HitCount[0], std::int64_t{5000});
    QCOMPARE(w.text(u"Label9"_s) + w.text(u"Text3"_s), u"f.txt0"_s);
    QVERIFY(w.messages.isEmpty());
}

// Typing « 17⏎5⏎ » plays two spins and leaves the box nothing of its own to take back; so does
// pasting a column of numbers. Leaving the draw file brings back random spins, which need no
// saving.
void TestSession::enterPlaysAndOnlyHandSpinsHoldTheWindowOpen()
{
    const TempDir dir;
    Window w;
    activate(w.form);
    w.open(dir.write("f.txt", "4\n"));
    w.form.closeDrawFile();
    QVERIFY(w.shown(u"Command1"_s) && !w.shown(u"Command6"_s));
    QCOMPARE(w.text(u"Label8(4)"_s) + w.text(u"Label9"_s) + w.text(u"Text3"_s),
             u"00000Nom du fichier !00"_s);
    w.click(u"Command1"_s);
    // From the generator, not the file.
    QVERIFY(w.form.board().state().CurrentNumber == 0 && !w.form.board().hasUnsavedHandSpins());

    Window hand;
    hand.form.show();
    hand.click(u"Label4"_s);
    auto *box = hand.get<QLineEdit>(u"Text2"_s);
    box->setFocus();
    box->selectAll();
    for (const char *number : {"17", "5"}) {
        QTest::keyClicks(box, QString::fromLatin1(number));
        QTest::keyClick(box, Qt::Key_Return);
    }
    QCOMPARE(hand.spins(), 2);
    QVERIFY(box->selectedText() == u"5"_s && !box->isUndoAvailable());
    // A pasted column plays a line at a time, up to the first line that is not a number.
    QGuiApplication::clipboard()->setText(u"32\n\n4\r\n40\n7"_s);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(hand.spins() == 4 && hand.form.board().state().CurrentNumber == 4);
    QCOMPARE(box->text() + u' ' + hand.messages.value(0),
             u"40\n7 « 40 » n'est pas un numéro de roulette (0 à 36)."_s);
    answer(u"Annuler"_s);
    QVERIFY(!hand.form.close());
    answer(u"Quitter sans enregistrer"_s);
    QVERIFY(hand.form.close());
}

// Ctrl+Z takes back typing in a text box first, then each spin as the screen showed it
// before, charts included, then the reset, then the spins before it.
void TestSession::undoGoesBackThroughTheLastReset()
{
    Window w({valueFor(7, 37), valueFor(0, 37), valueFor(130, 148), valueFor(22, 37)});
    activate(w.form);
    w.click(u"Command1"_s);
    pressUndo(w);
    QVERIFY(w.get<ChartView>(u"MSChart1"_s)->drawnPoints(0).empty() && // no sample rows again
            w.get<ChartView>(u"MSChart2"_s)->graph(0)->data()->isEmpty());
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
    auto *text2 = w.get<QLineEdit>(u"Text2"_s);
    text2->setFocus();
    text2->selectAll();
    QTest::keyClicks(text2, u"12"_s);
    pressUndo(w, u"Text2"_s);
    QCOMPARE(w.spins(), 70);
    QVERIFY(text2->text() != u"12"_s);
    for (int i = 69; i > 0; --i) {
        pressUndo(w, u"Text2"_s);
        QCOMPARE(snapshot(w), shown[i]);
    }
    pressUndo(w);
    QCOMPARE(snapshot(w), afterReset); // the charts show the rows from before the reset again
    pressUndo(w);
    QCOMPARE(snapshot(w), beforeReset);
    for (int i = 0; i < 5; ++i)
        pressUndo(w);
    QVERIFY(!undo->isEnabled());
}

// The chi-square of the hit counts since the reset against a fair wheel, its p-value with 36
// degrees of freedom and the verdict, from 185 spins on: 5 expected per number.
void TestSession::spinCounterTellsWhetherTheWheelLooksFair()
{
    Window w;
    w.click(u"Label4"_s);
    for (int n = 0; n <= 36; ++n) // the zero 20 times, 1 to 3 never: (15² + 3 · 5²) / 5
        for (int i = n == 0 ? 20 : n >= 4 ? 5 : 0; i > 0; --i)
            w.form.Label1_Click(n);
    const auto fairness = [&w] { return w.get(u"Text1"_s)->toolTip().section(u'\n', 1); };
    QCOMPARE(fairness(), u"Khi-deux = 60,00 (36 degrés de liberté), p = 0,007\n"
                         u"Écart rare sur une roue équilibrée."_s);
    w.form.undo();
    QCOMPARE(fairness(), u"Pas encore assez de tirages pour juger l'équilibre de la roue "
                         u"(184 sur les 185 nécessaires depuis la remise à zéro)."_s);
}

QTEST_MAIN(TestSession)
#include "test_session.moc"
