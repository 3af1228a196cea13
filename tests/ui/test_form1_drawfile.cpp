#include <QDir>
#include <QFileDialog>
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

QTEST_MAIN(TestForm1DrawFile)
#include "test_form1_drawfile.moc"
