#include <random>

#include "store/notebook.h"
#include "tests/tempdir.h"
#include "tests/ui/shown.h"
#include "tests/ui/window.h"
#include "ui/common/backgroundwork.h"
#include "ui/import/permanencedialog.h"
#include "ui/notebook/boardnotebook.h"
#include "ui/notebook/notebookpath.h"
#include "ui/notebook/notebookwindow.h"

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

} // namespace

class TestImport : public QObject
{
    Q_OBJECT
private slots:
    void importPlaysTheSpinsAsWritten();
    void importMakesSessionsOfANewWheel();
};

// Written as casinos publish them, many to a line; read back either way, or the first column
// alone, then a file that cannot be imported and a preview left with « Annuler » change nothing.
void TestImport::importPlaysTheSpinsAsWritten()
{
    std::mt19937 random(23);
    std::vector<int> spins(3000), firsts; // and the first of each line
    std::string text;
    for (std::size_t i = 0; i < spins.size(); ++i) {
        spins[i] = static_cast<int>(random() % 37);
        if (text.empty() || text.ends_with('\n'))
            firsts.push_back(spins[i]);
        text += std::to_string(spins[i]) + (random() % 12 == 0 ? "\r\n" : ", ");
    }
    TempDir dir;
    const auto file = dir.write("permanence.txt", text);
    Window w; // its notebook unreadable: the board takes the spins all the same, and says why
    w.form.notebook()->openNotebook(
        QString::fromStdString(dir.write("c.sqlite", "pas un carnet").string()));
    for (const char *choice : {"order", "", "column"}) { // newest first, as written, first column
        PermanenceDialog *dialog = preview(w, file);
        if (*choice) {
            QTest::keyClick(dialog->findChild<QComboBox *>(QLatin1String(choice)), Qt::Key_Down);
            QVERIFY(QTest::qWaitFor([&] { return !dialog->findChild<BackgroundWork *>(); }));
            QCOMPARE(differsFromKept(*dialog, u"import-"_s + QLatin1String(choice)), QString());
        }
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"import"_s), Qt::LeftButton);
        std::vector<int> expected = *choice == 'c' ? firsts : spins;
        if (*choice == 'o')
            std::reverse(expected.begin(), expected.end());
        QCOMPARE(w.form.board().FileNumbers(), records(expected));
    }
    QCOMPARE(w.messages.size(), 1); // the notebook's fault, once

    QVERIFY(!preview(w, dir.write("lettre.txt", "Cher ami,\nà bientôt.\n")));
    QVERIFY(w.messages.value(1).contains(u"aucun"_s, Qt::CaseInsensitive));
    preview(w, file)->reject();
    QCOMPARE(w.form.board().FileNumbers(), records(firsts));
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
    // Named longer than a label may be: each label cut to the limit, its number kept.
    const std::string name = "p_190424_" + std::string(191, 'x') + ".txt";
    PermanenceDialog *dialog = preview(w, dir.write(name, "1, 2, 3\n4, 5\n\n6\n"));
    whenShown<QInputDialog>([](QInputDialog *ask) {
        ask->setTextValue(u"Table 3"_s);
        ask->accept();
    });
    QTest::keyClick(dialog->findChild<QComboBox *>(u"destination"_s), Qt::Key_End);
    QTest::keyClick(dialog->findChild<QComboBox *>(u"cut"_s), Qt::Key_End);
    QVERIFY(QTest::qWaitFor([&] { return !dialog->findChild<BackgroundWork *>(); }));
    QCOMPARE(differsFromKept(*dialog, u"import-roue"_s), QString());
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"import"_s), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return !w.form.findChild<PermanenceDialog *>(); }));
    QCOMPARE(w.messages, QStringList{u"6 tirages importés en 3 sessions dans la roue « Table 3 » "
                                     u"du carnet « autre.sqlite »."_s});
    std::string error;
    QVERIFY(notebookimport::wheels(fallback, error).empty());
    const auto wheels = notebookimport::wheels(notebook, error);
    QCOMPARE(notebookimport::storedSpins(notebook, wheels.at(0).id, error),
             (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}));
    const NotebookWindow *window = w.form.notebook()->showWindow();
    QTRY_VERIFY(!window->findChild<BackgroundWork *>()); // the change report done
    QCOMPARE(differsFromKept(*window, u"import-carnet"_s),
             QString()); // the sessions named and dated after the file
    // Once more, into that wheel now first in the list: no other choice while it imports.
    dialog = preview(w, dir.write("p_190425.txt", "7, 8\n"));
    QTest::keyClick(dialog->findChild<QComboBox *>(u"destination"_s), Qt::Key_Down);
    QVERIFY(QTest::qWaitFor([&] { return !dialog->findChild<BackgroundWork *>(); }));
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"import"_s), Qt::LeftButton);
    QVERIFY(!dialog->findChild<QComboBox *>(u"destination"_s)->isEnabled());
    QVERIFY(QTest::qWaitFor([&] { return !w.form.findChild<PermanenceDialog *>(); }));
    QCOMPARE(notebookimport::storedSpins(notebook, wheels.at(0).id, error).size(), 8u);
}

QTEST_MAIN(TestImport)
#include "test_import.moc"
