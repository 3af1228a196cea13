#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QPushButton>

#include <random>

#include "store/notebook.h"
#include "tests/tempdir.h"
#include "tests/ui/window.h"
#include "ui/common/backgroundwork.h"
#include "ui/import/permanencedialog.h"
#include "ui/notebook/boardnotebook.h"
#include "ui/notebook/notebookpath.h"

using namespace roulette::testing;

namespace
{

// Chooses the file for « Importer une permanence… », then waits for its reading: the preview
// it shows, or null.
PermanenceDialog *preview(Window &w, const std::filesystem::path &path)
{
    w.chosen = QString::fromStdString(path.string());
    w.get<QAction>(u"importPermanence"_s)->trigger();
    const auto dialog = [&w] { return w.form.findChild<PermanenceDialog *>(); };
    if (!QTest::qWaitFor([&] {
            return !w.form.findChild<BackgroundWork *>() && (!dialog() || dialog()->isVisible());
        }))
        qFatal("the permanence is still being read");
    return dialog();
}

roulette::DrawRecords records(const std::vector<int> &spins)
{
    roulette::DrawRecords r;
    for (const int spin : spins)
        r.append(spin);
    return r;
}

} // namespace

class TestImport : public QObject
{
    Q_OBJECT
private slots:
    void importPlaysTheSpinsAsWritten();
    void importMakesSessionsOfANewWheel();
};

// Written as casinos publish them, many to a line; read back either way, then a file that
// cannot be imported and a preview left with « Annuler » change nothing.
void TestImport::importPlaysTheSpinsAsWritten()
{
    std::mt19937 random(23);
    std::vector<int> spins(3000);
    std::string text;
    for (std::size_t i = 0; i < spins.size(); ++i) {
        spins[i] = static_cast<int>(random() % 37);
        text += std::to_string(spins[i]) + (random() % 12 == 0 ? "\r\n" : ", ");
    }
    TempDir dir;
    const auto file = dir.write("permanence.txt", text);
    Window w;
    for (const int newestFirst : {1, 0}) {
        PermanenceDialog *dialog = preview(w, file);
        QVERIFY(dialog);
        if (newestFirst) {
            QTest::keyClick(dialog->findChild<QComboBox *>(u"order"_s), Qt::Key_Down);
            QVERIFY(QTest::qWaitFor([&] { return !dialog->findChild<BackgroundWork *>(); }));
        }
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"import"_s), Qt::LeftButton);
        std::vector<int> expected = spins;
        if (newestFirst)
            std::reverse(expected.begin(), expected.end());
        QCOMPARE(w.form.board().FileNumbers(), records(expected));
    }
    QVERIFY(w.messages.isEmpty());

    QVERIFY(!preview(w, dir.write("lettre.txt", "Cher ami,\nà bientôt.\n")));
    QCOMPARE(w.messages.size(), 1);
    QVERIFY(w.messages[0].contains(u"aucun"_s, Qt::CaseInsensitive));
    preview(w, file)->reject();
    QCOMPARE(w.form.board().FileNumbers(), records(spins));
}

// After « Ouvrir un autre carnet… », each line a session of a wheel named in the dialog, in
// that notebook and not the default one, dated from the file's name: the wheel pools the
// spins as written.
void TestImport::importMakesSessionsOfANewWheel()
{
    Window w;
    const QString fallback = defaultNotebookPath();
    QFile::remove(fallback);
    TempDir dir;
    const QString notebook = QString::fromStdString((dir.path() / "autre.sqlite").string());
    QVERIFY(w.form.notebook()->openNotebook(notebook));
    PermanenceDialog *dialog = preview(w, dir.write("p_190424.txt", "1, 2, 3\n4, 5\n\n6\n"));
    QTimer::singleShot(0, [] {
        auto *ask = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        ask->setTextValue(u"Table 3"_s);
        ask->accept();
    });
    QTest::keyClick(dialog->findChild<QComboBox *>(u"destination"_s), Qt::Key_End);
    QTest::keyClick(dialog->findChild<QComboBox *>(u"cut"_s), Qt::Key_End);
    QVERIFY(QTest::qWaitFor([&] { return !dialog->findChild<BackgroundWork *>(); }));
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"import"_s), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return !w.form.findChild<PermanenceDialog *>(); }));
    QCOMPARE(w.messages, QStringList{u"6 tirages importés en 3 sessions dans la roue « Table 3 » "
                                     u"du carnet « autre.sqlite »."_s});
    std::string error;
    QVERIFY(notebookimport::wheels(fallback, error).empty());
    const auto wheels = notebookimport::wheels(notebook, error);
    QVERIFY(wheels.size() == 1 && wheels[0].name == u"Table 3"_s);
    QCOMPARE(notebookimport::storedSpins(notebook, wheels[0].id, error),
             (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}));
    std::vector<std::string> labels; // each session named after the file, in its order
    for (const roulette::SessionInfo &session :
         roulette::Notebook(notebook.toStdString()).sessions(wheels[0].id)) {
        labels.push_back(session.label);
        QCOMPARE(session.startedAt, "2019-04-24T00:00");
    }
    QCOMPARE(labels, (std::vector<std::string>{"p_190424.txt (1)", "p_190424.txt (2)",
                                               "p_190424.txt (3)"}));
}

QTEST_MAIN(TestImport)
#include "test_import.moc"
