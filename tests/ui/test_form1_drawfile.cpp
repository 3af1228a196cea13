#include <QDir>
#include <QFileDialog>

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
    void openingAFileShowsItAndLancerManuelReplaysIt();
    void aFailedOrCancelledOpenOrABadRecordChangesNothingElse();
    void theDialogIsCD1();
};

void TestForm1DrawFile::openingAFileShowsItAndLancerManuelReplaysIt()
{
    const TempDir dir;
    Window w;
    QVERIFY(!w.shown(u"Command5"_s) && !w.shown(u"Command6"_s));
    w.open(dir.write("tirage.txt", "5\r\n17\r\n\r\n0\r\n"));
    QCOMPARE(w.asked, 1);
    QCOMPARE(w.messages, QStringList());
    QCOMPARE(w.text(u"Label9"_s), u"tirage.txt"_s);
    QCOMPARE(w.text(u"Label8(4)"_s), u"3"_s);
    QVERIFY(w.shown(u"Command5"_s) && w.shown(u"Command6"_s) && w.shown(u"Command1"_s));

    const QString played[] = {u"5"_s, u"17"_s, u"0"_s};
    for (int k = 1; k <= 3; ++k) {
        w.click(u"Command6"_s);
        QCOMPARE(w.text(u"Label5(27)"_s), played[k - 1]);
        QCOMPARE(w.text(u"Text3"_s), QString::number(k));
        QVERIFY(!w.shown(u"Command1"_s));
    }
    const QStringList before = snapshot(w);
    w.click(u"Command6"_s);
    QCOMPARE(w.messages, QStringList());
    QCOMPARE(snapshot(w), before);
}

void TestForm1DrawFile::aFailedOrCancelledOpenOrABadRecordChangesNothingElse()
{
    const TempDir dir;
    Window w;
    const QStringList start = snapshot(w);
    w.open(dir.path() / "absent.txt");
    w.open(dir.path());
    w.open(dir.write("vide.txt", "\n==\n"));
    QCOMPARE(w.messages.size(), 3);
    QVERIFY(w.messages[0].contains(u"absent.txt"_s));
    QVERIFY(w.messages[2].contains(u"vide.txt"_s));
    QCOMPARE(snapshot(w), start);

    w.open(dir.write("t.txt", "8\n37\n9\n"));
    w.click(u"Command6"_s);
    const QStringList loaded = snapshot(w);
    w.click(u"Command6"_s);
    QCOMPARE(w.messages.size(), 4);
    QVERIFY(w.messages.last().startsWith(u"Ligne 2 "_s) && w.messages.last().contains(u"« 37 »"_s));
    const QStringList moved = snapshot(w);
    QCOMPARE(moved.size(), loaded.size());
    for (qsizetype i = 0; i < moved.size(); ++i)
        QVERIFY(moved[i] == loaded[i] || moved[i].startsWith(u"Text3 2 "_s));
    QCOMPARE(w.text(u"Text3"_s), u"2"_s);

    w.open(dir.path() / "absent.txt");
    w.chosen.clear(); // the user cancels the dialog
    w.click(u"Command4"_s);
    QCOMPARE(w.messages.size(), 5);
    QCOMPARE(snapshot(w), moved);
    w.click(u"Command6"_s);
    QCOMPARE(w.text(u"Label5(27)"_s), u"9"_s);
    QCOMPARE(w.text(u"Text1"_s), u"2"_s);
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
