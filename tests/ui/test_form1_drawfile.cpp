#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

#include "tests/tempdir.h"
#include "tests/ui/window.h"

using namespace Qt::StringLiterals;
using roulette::testing::snapshot;
using roulette::testing::TempDir;
using roulette::testing::Window;

class TestForm1DrawFile : public QObject
{
    Q_OBJECT
private slots:
    void onlyAFileWithNumbersChangesTheBoardThenLancerManuelReplaysIt();
    void theDialogIsCD1();
    void savedSpinsReplayAlikeAndAFailedSaveKeepsTheOldFile();
    void enterPlaysAndOnlyHandSpinsHoldTheWindowOpen();
};

void TestForm1DrawFile::onlyAFileWithNumbersChangesTheBoardThenLancerManuelReplaysIt()
{
    const TempDir dir;
    Window w;
    const QStringList start = snapshot(w);
    w.open(dir.path() / "absent.txt");
    w.open(dir.write("mots.txt", "abc\n==\n40\n"));
    QCOMPARE(w.messages.size(), 2);
    QVERIFY(w.messages[1].contains(u"mots.txt"_s) && w.messages[1].contains(u"aucun numéro"_s));
    w.chosen.clear(); // the user cancels the dialog
    w.click(u"Command4"_s);
    const auto path = dir.write("tirage.txt", "5\r\n17\r\n\r\n<b>x</b>\r\n0\r\n");
    w.chosen = QString::fromStdString(path.string());
    w.click(u"Command4"_s);
    auto *progress = w.form.findChild<QProgressDialog *>();
    QCOMPARE(progress->findChild<QLabel *>()->textFormat(), Qt::PlainText);
    progress->findChild<QPushButton *>()->click(); // « Annuler », the reading done or not
    QVERIFY(QTest::qWaitFor([&w] { return !w.form.findChild<QProgressDialog *>(); }));
    QCOMPARE(w.messages.size(), 2);
    QCOMPARE(snapshot(w), start);

    w.open(path);
    QCOMPARE(w.messages.last(), u"1 ligne n'est pas un numéro de roulette et ne sera pas jouée : "
                                "ligne 4 « <b>x</b> »."_s);
    QCOMPARE(w.text(u"Label9"_s) + w.text(u"Label8(4)"_s), u"tirage.txt3"_s);
    QVERIFY(w.shown(u"Command5"_s) && w.shown(u"Command6"_s) && w.shown(u"Command1"_s));
    for (int k = 0; k < 4; ++k)
        w.click(u"Command6"_s);
    QCOMPARE(w.text(u"Label5(26)"_s) + w.text(u"Label5(27)"_s) + w.text(u"Text3"_s), u"1703"_s);
    QVERIFY(!w.shown(u"Command1"_s));
    QCOMPARE(w.messages.size(), 3);

    Window closing;
    closing.chosen = w.chosen;
    closing.click(u"Command4"_s); // and the window goes before the reading ends
}

void TestForm1DrawFile::theDialogIsCD1()
{
    const auto dialog = Form1::makeFileDialog(nullptr);
    QCOMPARE(dialog->objectName(), u"CD1"_s);
    QCOMPARE(dialog->nameFilters(), QStringList{u"txt (*.txt)"_s});
    QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
    QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(QDir::homePath()).canonicalPath());
}

void TestForm1DrawFile::savedSpinsReplayAlikeAndAFailedSaveKeepsTheOldFile()
{
    const TempDir dir;
    Window w({0.1f, 0.9f, 0.5f, 0.0f, 0.33f});
    for (int i = 0; i < 80; ++i)
        w.click(u"Command1"_s);
    w.click(u"Label4"_s);
    w.clickNumber(17);
    QString target;
    w.form.setSaveChooser([&target](QWidget *, auto &, auto &, auto &) { return target; });
    target = QString::fromStdString((dir.path() / "s.txt").string());
    QVERIFY(w.form.board().hasUnsavedHandSpins());
    QVERIFY(w.form.saveSpins());
    QVERIFY(!w.form.board().hasUnsavedHandSpins());

    Window replay;
    replay.open(dir.path() / "s.txt");
    for (int i = 0; i < 81; ++i)
        replay.click(u"Command6"_s);
    const roulette::BoardState &saved = w.form.board().state();
    const roulette::BoardState &replayed = replay.form.board().state();
    QVERIFY(replayed.HitCount == saved.HitCount && replayed.history == saved.history);
    QVERIFY(replay.form.board().series().session() == w.form.board().series().session());

    target = QString::fromStdString((dir.path() / "t.csv").string());
    w.form.exportCsv();
    QFile csv(target);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = csv.readAll().split('\n');
    QVERIFY(rows[0].startsWith("\xEF\xBB\xBFTirage;Numéro;N° Pas Sorti;"));
    QCOMPARE(rows.size(), 1 + 81 + 1); // the header, a row per spin, after the last CR LF
    QVERIFY(rows[81].startsWith("81;17;"));

    const auto old = dir.write("old.txt", "7\r\n");
    target = QString::fromStdString((old / "x.txt").string()); // a file where a folder should be
    QVERIFY(!w.form.saveSpins());
    QVERIFY(w.messages.last().contains(target));
    QFile kept(QString::fromStdString(old.string()));
    QVERIFY(kept.open(QIODevice::ReadOnly) && kept.readAll() == "7\r\n");
}

// Typing « 17⏎5⏎ » plays two spins, and Ctrl+Z then takes back the spin, not the typing.
// Leaving the draw file brings back random spins.
void TestForm1DrawFile::enterPlaysAndOnlyHandSpinsHoldTheWindowOpen()
{
    const TempDir dir;
    Window w;
    w.form.show();
    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    w.open(dir.write("f.txt", "4\n"));
    w.form.closeDrawFile();
    QVERIFY(w.shown(u"Command1"_s) && !w.shown(u"Command6"_s));
    QCOMPARE(w.text(u"Label8(4)"_s) + w.text(u"Label9"_s) + w.text(u"Text3"_s),
             u"00000Nom du fichier !00"_s);
    w.click(u"Command1"_s);
    QCOMPARE(w.form.board().state().CurrentNumber, 0); // from the generator, not the file
    QVERIFY(!w.form.board().hasUnsavedHandSpins());    // so closing asks nothing

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
    QCOMPARE(box->selectedText(), u"5"_s);
    QVERIFY(!box->isUndoAvailable());

    const auto answer = [](const QString &button) {
        QTimer::singleShot(0, [button] {
            auto *question = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            for (QAbstractButton *b : question->buttons()) {
                if (b->text() == button)
                    b->click();
            }
        });
    };
    answer(u"Annuler"_s);
    QVERIFY(!hand.form.close());
    answer(u"Quitter sans enregistrer"_s);
    QVERIFY(hand.form.close());
}

QTEST_MAIN(TestForm1DrawFile)
#include "test_form1_drawfile.moc"
