#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "board/form1.h"
#include "tests/fakes.h"
#include "tests/tempdir.h"

using namespace Qt::StringLiterals;
using roulette::Board;
using roulette::testing::FixedClock;
using roulette::testing::ScriptedGenerator;
using roulette::testing::TempDir;

namespace
{

// A window whose messages are collected and whose "Ouvre" gets the path given to it.
struct Window {
    QStringList messages;
    QString chosen;
    int asked = 0;
    Form1 form{Board(std::make_unique<ScriptedGenerator>(std::vector<float>{0.5f}),
                     std::make_unique<FixedClock>())};

    Window()
    {
        form.setMessageSink([this](const QString &text) { messages << text; });
        form.setFileChooser([this](QWidget *parent) {
            ++asked;
            return parent == &form ? chosen : QString();
        });
    }
    template <typename W = QWidget> W *get(const QString &name) const
    {
        W *w = form.findChild<W *>(name);
        if (!w)
            qFatal("no widget %s", qPrintable(name));
        return w;
    }
    QString text(const QString &name) const
    {
        if (auto *box = form.findChild<QLineEdit *>(name))
            return box->text();
        return get<QLabel>(name)->text();
    }
    bool shown(const QString &name) const { return !get(name)->isHidden(); }
    void click(const QString &name) const { QTest::mouseClick(get(name), Qt::LeftButton); }
    void open(const std::filesystem::path &path)
    {
        chosen = QString::fromStdString(path.string());
        click(u"Command4"_s);
    }
};

// What the user sees of the draw-file part of the window and of the board.
QStringList snapshot(const Window &w)
{
    QStringList seen;
    for (const QString &name : {u"Label8(4)"_s, u"Label9"_s, u"Text1"_s, u"Text2"_s, u"Text3"_s,
                                u"Label5(27)"_s, u"Label7(0)"_s})
        seen << name + u" "_s + w.text(name);
    for (const QString &name : {u"Command1"_s, u"Command5"_s, u"Command6"_s})
        seen << name + (w.shown(name) ? u" shown"_s : u" hidden"_s);
    return seen;
}

} // namespace

class TestForm1DrawFile : public QObject
{
    Q_OBJECT
private slots:
    void openingAFileShowsItAndLancerManuelReplaysIt();
    void aFailedOrCancelledOpenChangesNothing();
    void aBadRecordOnlyMovesThePosition();
    void theDialogIsCD1();
};

void TestForm1DrawFile::openingAFileShowsItAndLancerManuelReplaysIt()
{
    const TempDir dir;
    Window w;
    QVERIFY(!w.shown(u"Command5"_s));
    QVERIFY(!w.shown(u"Command6"_s));
    w.open(dir.write("tirage.txt", "5\r\n17\r\n\r\n0\r\n"));
    QCOMPARE(w.asked, 1);
    QCOMPARE(w.messages, QStringList());
    QCOMPARE(w.text(u"Label9"_s), u"tirage.txt"_s);
    QCOMPARE(w.text(u"Label8(4)"_s), u"3"_s);
    QVERIFY(w.shown(u"Command5"_s));
    QVERIFY(w.shown(u"Command6"_s));
    QVERIFY(w.shown(u"Command1"_s));

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

void TestForm1DrawFile::aFailedOrCancelledOpenChangesNothing()
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

    w.open(dir.write("t.txt", "8\n9\n"));
    w.click(u"Command6"_s);
    const QStringList loaded = snapshot(w);
    w.open(dir.path() / "absent.txt");
    w.chosen.clear(); // the user cancels the dialog
    w.click(u"Command4"_s);
    QCOMPARE(w.messages.size(), 4);
    QCOMPARE(snapshot(w), loaded);
    w.click(u"Command6"_s);
    QCOMPARE(w.text(u"Label5(27)"_s), u"9"_s);
}

void TestForm1DrawFile::aBadRecordOnlyMovesThePosition()
{
    const TempDir dir;
    Window w;
    w.open(dir.write("t.txt", "37\n4\n"));
    QStringList expected = snapshot(w);
    w.click(u"Command6"_s);
    QCOMPARE(w.messages.size(), 1);
    QVERIFY(w.messages.first().startsWith(u"Ligne 1 "_s));
    QVERIFY(w.messages.first().contains(u"« 37 »"_s));
    expected.replace(expected.indexOf(u"Text3 00"_s), u"Text3 1"_s);
    expected.replace(expected.indexOf(u"Command1 shown"_s), u"Command1 hidden"_s);
    QCOMPARE(snapshot(w), expected);
    w.click(u"Command6"_s);
    QCOMPARE(w.text(u"Label5(27)"_s), u"4"_s);
    QCOMPARE(w.text(u"Text1"_s), u"1"_s);
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
