#include <cmath>
#include <random>

#include "sources/wheel.h"
#include "stats/pinbook.h"
#include "stats/study.h"
#include "tests/tempdir.h"
#include "tests/ui/shown.h"
#include "tests/ui/window.h"
#include "ui/common/helpwindow.h"
#include "ui/common/verdict.h"
#include "ui/study/reportparts.h"
#include "ui/study/studyexport.h"
#include "ui/study/studywindow.h"
#include "ui/study/texttable.h"
#include "ui/study/wheelchart.h"

using namespace roulette::testing;

namespace
{

StudyWindow *openStudy(Window &w)
{
    activate(w.form);
    auto *text2 = w.get<QLineEdit>(u"Text2"_s);
    text2->setFocus(); // Ctrl+E reaches past a text box
    QTest::keyClick(text2, Qt::Key_E, Qt::ControlModifier);
    return w.form.studyWindow();
}

// The report's sections, in reading order.
std::vector<const report::Section *> sectionsOf(const report::Document &d)
{
    std::vector<const report::Section *> sections;
    for (const auto &column : d.columns)
        for (const report::Section &s : column)
            sections.push_back(&s);
    return sections;
}

// Every cell of the report, the headline's first, its text trimmed.
QStringList cellsOf(const report::Document &d)
{
    QStringList cells;
    const auto add = [&cells](const report::Table &t) {
        for (const report::Row &row : t.rows)
            for (const report::Cell &c : row)
                cells << c.text.trimmed();
    };
    add(d.headline.figures);
    for (const report::Section *s : sectionsOf(d))
        std::for_each(s->tables.begin(), s->tables.end(), add);
    return cells;
}

// The window's widgets hold what its report says, in the report's order.
void expectShowsItsReport(const StudyWindow &study)
{
    const report::Document &d = study.report();
    auto tables = study.findChildren<TextTable *>();
    auto charts = study.findChildren<WheelChart *>();
    QStringList labels;
    for (const QLabel *label : study.findChildren<QLabel *>())
        if (label->isVisibleTo(&study))
            labels << label->text();
    QVERIFY(labels.contains(d.headline.level) && labels.contains(d.headline.sentence));
    QVERIFY(tables.takeFirst()->rows() == d.headline.figures.rows);
    for (const report::Section *s : sectionsOf(d)) {
        QVERIFY2(s->notYet.isEmpty() || labels.contains(s->notYet), qPrintable(s->title));
        for (const report::Chart &c : s->charts)
            QVERIFY(!charts.isEmpty() && charts.takeFirst()->chart().counts == c.counts);
        for (const report::Table &t : s->tables) {
            const TextTable *view = tables.isEmpty() ? nullptr : tables.takeFirst();
            QVERIFY2(view && view->rows() == t.rows && view->isVisibleTo(&study) == s->figures,
                     qPrintable(t.name));
        }
    }
    QVERIFY(tables.isEmpty() && charts.isEmpty());
}

// The window's tables in reading order: the headline's, the pins', the spins studied, the
// wheel's counts, the arcs'…
enum ShownTable { Headline, Pins, Studied, Wheel, Arcs };

// The context menu over a row of a table, made current, by the mouse or from the keyboard: its
// first entry, chosen.
QString fromMenu(StudyWindow &study, ShownTable shown, int row, QContextMenuEvent::Reason how)
{
    activate(study);
    TextTable *table = study.findChildren<TextTable *>().value(shown);
    const QModelIndex cell = table->model()->index(row, 0);
    table->setFocus(); // the keyboard's menu is the current row's
    table->setCurrentIndex(cell);
    const QPoint at = table->viewport()->mapToGlobal(table->visualRect(cell).center());
    QString first;
    QTimer::singleShot(0, &study, [&first] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        first = menu->actions()[0]->text();
        QTest::mouseClick(menu, Qt::LeftButton, {},
                          menu->actionGeometry(menu->actions()[0]).center());
    });
    QContextMenuEvent event(how, study.mapFromGlobal(at), at);
    QApplication::sendEvent(&study, &event);
    return first;
}

std::vector<int> outcomes(const Window &w)
{
    const roulette::Session &session = w.form.board().series().session();
    std::vector<int> spins;
    for (std::int64_t s = 1; s <= session.lastRow(); ++s)
        spins.push_back(session.outcome(s));
    return spins;
}

// Fixed spins studied, sessions starting at `starts`, their simulated p-values those of their
// first `simulatedAt` spins (none when 0), each pin made at its pinnedAt.
struct Situation {
    std::vector<int> spins;
    report::Source source;
    std::int64_t simulatedAt = 0;
    std::vector<roulette::PinMark> pins;
    const char *only = nullptr; // the one section kept under the headline, by title, or all
    std::vector<std::size_t> starts = {0};
};

report::Document reportOf(const Situation &s)
{
    const std::vector<std::uint8_t> numbers(s.spins.begin(), s.spins.end());
    const std::vector<std::size_t> &starts = s.starts;
    roulette::Study study;
    roulette::StudySimulation simulation;
    const auto update = [&] {
        simulation.update(study.spins(), study.hits(),
                          roulette::scanArcs(study.hitsByPosition(), study.spins()));
    };
    if (s.simulatedAt > 0) {
        study.follow(numbers, starts, s.simulatedAt);
        update();
        simulation.start();
        simulation.finished(roulette::NullDistribution(s.simulatedAt));
        update();
    }
    study.follow(numbers, starts);
    update();
    roulette::PinBook pins;
    pins.follow(numbers, starts);
    for (const roulette::PinMark &mark : s.pins)
        pins.add(mark);
    return report::build(study, simulation, s.source, &pins);
}

// What a copy leaves out: the colours, what a row lets pin, the explanations, the charts as a
// screen reader reads them.
QStringList unseenByCopy(const report::Document &d)
{
    const auto marked = [](const report::Cell &c) {
        QStringList marks;
        if (c.colour.isValid())
            marks << c.colour.name();
        if (c.fill.isValid())
            marks << u"fond "_s + c.fill.name(QColor::HexArgb);
        if (c.bold)
            marks << u"gras"_s;
        if (const auto &p = c.suspect)
            marks << QString::asprintf("piste %d %d %d %d %d", p->distances, p->start, p->width,
                                       p->reading, p->hot);
        return marks.isEmpty() ? c.text : u"%1 {%2}"_s.arg(c.text, marks.join(u", "_s));
    };
    QStringList lines{d.headline.colour.name(), d.headline.explanation};
    std::vector<const report::Table *> tables{&d.headline.figures};
    for (const report::Section *s : sectionsOf(d)) {
        lines << s->explanation;
        for (const report::Chart &c : s->charts)
            lines << report::chartDescription(c);
        for (const report::Table &t : s->tables)
            tables.push_back(&t);
    }
    for (const report::Table *t : tables) {
        lines << t->name;
        for (const report::Row &row : t->rows) {
            QStringList cells;
            for (const report::Cell &c : row)
                cells << marked(c);
            if (cells.join(QString()).contains(u'{')) // some cell is marked
                lines << cells.join(u'\t');
        }
    }
    return lines;
}

// Every text a screen reader can reach from the interface, one blank-separated string.
QString accessibleText(QAccessibleInterface *node)
{
    QString all = node->text(QAccessible::Name) + u'\n' + node->text(QAccessible::Description);
    for (int i = 0; i < node->childCount(); ++i)
        if (QAccessibleInterface *child = node->child(i))
            all += u'\n' + accessibleText(child);
    return all;
}

// The report as the snapshots keep it: as copied, less the date, then what a copy leaves out.
QStringList snapshotOf(const report::Document &d)
{
    return studyPlainText(u"Étude"_s, d).split(u'\n').mid(1) + unseenByCopy(d);
}

} // namespace

class TestStudy : public QObject
{
    Q_OBJECT
private slots:
    void followsTheBoard_data();
    void followsTheBoard();
    void reportReadsAsKept_data();
    void reportReadsAsKept();
    void frenchNumbersAsQLocaleWritesThem();
    void wheelChartPaintsAsKept();
    void studyIsReadCopiedAndExportedWhole();
    void pinsArePinnedAndFollowed();
};

// The open window, fed a step at a time, shows the report of the board's spins; after one
// spin more, until its length is simulated, the last p-values stay, greyed and marked.
void TestStudy::followsTheBoard_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addRow("no spin") << QStringList{};
    QTest::addRow("spins by hand") << QStringList{u"hand"_s};
    QTest::addRow("an undo") << QStringList{u"hand"_s, u"batch"_s, u"hand"_s, u"undo"_s};
    QTest::addRow("a load, a spin from it") << QStringList{u"hand"_s, u"load"_s};
    QTest::addRow("a reset") << QStringList{u"hand"_s, u"batch"_s, u"reset"_s};
    QTest::addRow("an undo after a reset")
        << QStringList{u"hand"_s, u"reset"_s, u"hand"_s, u"undo"_s};
    QTest::addRow("opening again") << QStringList{u"hand"_s, u"batch"_s, u"reopen"_s};
}

void TestStudy::followsTheBoard()
{
    QFETCH(QStringList, steps);
    TempDir dir;
    Window w;
    StudyWindow *study = openStudy(w);
    QVERIFY(study && study->isVisible() && study->windowTitle() == u"Étude du cylindre"_s);
    for (const QTableView *table : study->findChildren<QTableView *>())
        new QAbstractItemModelTester(table->model(), study); // reports what a table mis-signals
    for (const QString &step : steps) {
        activate(w.form);
        if (step == u"hand"_s) {
            w.form.Label4_Click();
            for (int n = 0; n <= 40; ++n) // every number once, then four of them again
                w.clickNumber(n * 11 % 37);
            w.form.Label4_Click();
        } else if (step == u"batch"_s) {
            w.form.spinMany(100'040); // more than the study takes in at once
        } else if (step == u"undo"_s) {
            w.get(u"Command2"_s)->setFocus();
            QTest::keyClick(w.get(u"Command2"_s), Qt::Key_Z, Qt::ControlModifier);
        } else if (step == u"load"_s) {
            w.open(dir.write("t.txt", "3\n14\n25\n0\n36\n"));
            w.click(u"Command1"_s);
        } else if (step == u"reset"_s) {
            w.click(u"Command3"_s);
        } else if (step == u"reopen"_s) {
            study->close();
            QVERIFY(w.form.isVisible() && !study->simulating());
            w.clickNumber(5);
            QCOMPARE(openStudy(w), study);
        }
    }
    QVERIFY(QTest::qWaitFor([study] { return !study->simulating(); }, 20000));
    const std::vector<int> spins = outcomes(w);
    const auto simulatedAt = spins.size() < report::MinimumSpins ? 0 : std::int64_t(spins.size());
    QCOMPARE(snapshotOf(study->report()), snapshotOf(reportOf({spins, {}, simulatedAt, {}})));
    expectShowsItsReport(*study);
    w.form.Command1_Click(); // until its length is simulated, the last p-values stay, marked
    QCOMPARE(snapshotOf(study->report()), snapshotOf(reportOf({outcomes(w), {}, simulatedAt, {}})));
}

// The whole report of each situation, as copied and as read aloud, against the text kept in
// tests/ui/study/; ROULETTE_UPDATE_SNAPSHOTS=1 writes the texts anew, to be read before they
// are kept.
void TestStudy::reportReadsAsKept_data()
{
    QTest::addColumn<Situation>("situation");
    std::mt19937 random(1);
    std::vector<int> no17; // very rare read alone, yet nothing for the headline
    for (int i = 0; i < 500; ++i) {
        const int drawn = int(random() % 36);
        no17.push_back(drawn < 17 ? drawn : drawn + 1);
    }
    no17.insert(no17.end(), {20, 1}); // black, even, passe; then red, odd, manque
    QTest::addRow("fair") << Situation{no17, {}, 502, {}};
    std::vector<int> few(no17.begin(), no17.begin() + 30);
    for (std::size_t i = 0; i < few.size(); i += 3)
        few[i] = 17;
    QTest::addRow("few") << Situation{
        few, {}, 0, {{{false, 4, 1, roulette::AllSpins, true}, 30, {}, 0}}};
    std::vector<int> hot(1000); // the arc from position 12 one spin in eight beside fair spins
    for (int &spin : hot)
        spin = random() % 8 ? int(random() % 37) : roulette::WheelOrder[12 + random() % 5];
    const roulette::Suspect arc{false, 12, 5, roulette::AllSpins, true},
        cold{false, 30, 1, roulette::AllSpins, false};
    QTest::addRow("picked") << Situation{hot,
                                         {false, true},
                                         400,
                                         {{arc, 300, "2026-03-12T20:15", 0},
                                          {cold, 700, {}, 0},
                                          {{true, 3, 2, roulette::OddSpins, true}, 500, {}, 0}},
                                         nullptr,
                                         {0, 400}};
    QTest::addRow("dealer") << Situation{dealerSpins(120), {false, false}, 0, {}};
    std::vector<int> eight, twice; // a pocket drawn more; spins written twice, one in four
    for (int i = 0; i < 600; ++i) {
        eight.push_back(random() % 12 ? int(random() % 37) : 8);
        twice.insert(twice.end(), i % 4 ? 1 : 2, eight.back());
    }
    QTest::addRow("eight") << Situation{eight, {}, 0, {}, ""};
    QTest::addRow("twice") << Situation{twice, {}, 0, {}, ""};
    std::vector<int> faded(hot.begin() + 400, hot.begin() + 600); // then every number in turn
    for (int i = 0; i < 37 * 160; ++i)
        faded.push_back(i % 37);
    QTest::addRow("faded") << Situation{faded, {}, 200, {}, "Balayage des arcs"};
}

void TestStudy::reportReadsAsKept()
{
    QFETCH(Situation, situation);
    report::Document d = reportOf(situation);
    for (std::vector<report::Section> &column : d.columns)
        std::erase_if(column, [&situation](const report::Section &s) {
            return situation.only && s.title != QString::fromUtf8(situation.only);
        });
    QStringList lines = snapshotOf(d);
    if (QTest::currentDataTag() == std::string_view("fair")) { // the web page, a row a line
        const QRegularExpression dateAndPixels(u"<h1>.*\n<p>.*</p>|base64,[^\"]+"_s);
        QString web = studyHtml(u"Étude"_s, d).replace(dateAndPixels, u"…"_s);
        lines += web.replace(u"<tr>"_s, u"\n<tr>"_s).split(u'\n');
    }
    const QString differs =
        differsFromKept(lines, u"ui/study/"_s + QString::fromUtf8(QTest::currentDataTag()));
    QVERIFY2(differs.isEmpty(), qPrintable(differs));
}

void TestStudy::frenchNumbersAsQLocaleWritesThem()
{
    QCOMPARE(pValueText(0.001) + pValueText(0.00099) + frenchNumber(-0.3) + frenchNumber(-0.04, 1) +
                 report::evidenceText(9.96) + u'|' + report::evidenceText(10),
             u"p = 0,001p < 0,00100,010,0|10"_s);
    std::mt19937 random(5); // at every length
    for (int i = 0; i < 2000; ++i) {
        const double x = std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random),
                                    static_cast<int>(random() % 50));
        const double value = i % 2 ? std::round(x) : x; // counts, and figures
        const int decimals = static_cast<int>(random() % 4);
        if (std::round(std::fabs(value) * std::pow(10.0, decimals)) != 0)
            QCOMPARE(frenchNumber(value, decimals),
                     QLocale(QLocale::French).toString(value, 'f', decimals));
    }
}

// The chart paints, as kept: the band, the washes of the arcs over their pockets' slots (one
// wrapping past the last pocket to the zero), each caption clear of the other's, the scale, a
// bar, a number and a count a pocket. A band squeezed by one far bar keeps only the mean's label.
void TestStudy::wheelChartPaintsAsKept()
{
    WheelChart chart;
    chart.resize(740, 270);
    chart.setFont(QFont(u"Liberation Sans"_s, 9)); // a font the tests' machines all have
    report::Chart data;
    for (int i = 0; i < 37; ++i)
        data.counts[static_cast<std::size_t>(i)] = 100 + (i * 7) % 23 - 11;
    data.mean = 100;
    data.sigma = 10;
    data.arcs = roulette::ArcExtremes{{12, 5, 0, 0}, {17, 3, 0, 0}};
    chart.setChart(data);
    QStringList painted = paintedBy(chart);
    data.counts[5] = 400;
    data.arcs = roulette::ArcExtremes{{36, 2, 0, 0}, {0, 3, 0, 0}};
    chart.setChart(data);
    painted << paintedBy(chart);
    QCOMPARE(differsFromKept(painted, u"ui/shown/roue-peinte"_s), QString());
}

// Whatever way the study leaves the window, it holds every figure of its report: a screen
// reader, a copy, a PDF (with its two charts whole within the page's width); a web page, whose
// text the snapshots keep.
// The board's keys work from the study; F1 opens the study's help; Escape closes it.
void TestStudy::studyIsReadCopiedAndExportedWhole()
{
    const TempDir dir;
    std::mt19937 random(7);
    std::vector<float> draws(1009); // spread over [0, 1), replayed in turn
    for (float &draw : draws)
        draw = std::uniform_real_distribution<float>(0, 1)(random);
    Window w(draws);
    w.form.spinMany(3000);
    StudyWindow *study = openStudy(w);
    activate(*study);
    QVERIFY(QTest::qWaitFor([study] { return !study->simulating(); }, 20000));
    const report::Document &d = study->report();
    const QStringList cells = cellsOf(d);
    QStringList described;
    for (const report::Section *s : sectionsOf(d))
        for (const report::Chart &c : s->charts)
            described << report::chartDescription(c);
    const QString read = accessibleText(QAccessible::queryAccessibleInterface(study));
    for (const QString &text : cells + described)
        QVERIFY2(read.contains(text), qPrintable(text));

    auto *table = study->findChildren<TextTable *>().back();
    table->setFocus(); // a table without a selection gives the whole study, dated
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().section(u'\n', 1),
             studyPlainText(study->windowTitle(), d).section(u'\n', 1));

    // « Exporter l'étude… » answered with a name that the type chosen completes, offered in
    // the folder of the last export; where nothing can be written, a message says why.
    QString offered, message;
    const auto exported = [&](const char *name, int type) {
        study->setExportChooser([&, name, type](auto &suggested, auto &types, QString *chosen) {
            offered = suggested;
            *chosen = types.split(u";;"_s).value(type);
            return QString::fromStdString((dir.path() / name).string());
        });
        QTimer::singleShot(0, study, [&message] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                message = box->textFormat() == Qt::PlainText ? box->text() : u"balisé"_s;
                box->close();
            }
        });
        study->askExport();
        return study->findChild<QLabel *>(u"studyStatus"_s)->text();
    };
    QCOMPARE(exported("etude", 1), u"Étude exportée dans etude.html"_s);
    QFile page(dir.path() / "etude.html"); // as the snapshots keep it
    QVERIFY(page.open(QIODevice::ReadOnly) && page.readAll().startsWith("<!DOCTYPE html>"));
    exported("absent/etude.pdf", 1);
    QVERIFY(message.startsWith(u"L'étude n'a pas pu être exportée dans « etude.pdf » : "_s));
    QCOMPARE(offered, QString::fromStdString((dir.path() / "etude-").string()) +
                          QDate::currentDate().toString(Qt::ISODate) + u".pdf"_s);
    QCOMPARE(exported("etude", 0), u"Étude exportée dans etude.pdf"_s);
    const QString pdf = QString::fromStdString((dir.path() / "etude.pdf").string());
    QProcess toText;
    toText.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    QVERIFY2(toText.waitForFinished() && toText.exitCode() == 0,
             "pdftotext (poppler-utils) must read the exported PDF");
    // Compared without blanks, which a wrapped line moves, and without ligatures (« ﬀ »).
    const auto bare = [](QString t) {
        t.replace(u"ﬀ"_s, u"ff"_s).replace(u"ﬁ"_s, u"fi"_s);
        return t.removeIf([](QChar c) { return c.isSpace(); });
    };
    const QString text = bare(QString::fromUtf8(toText.readAllStandardOutput()));
    for (const QString &cell : cells)
        QVERIFY2(text.contains(bare(cell)), qPrintable(cell));
    // Each image's width at its resolution, against the A4 page less its 15 mm margins.
    QProcess images;
    images.start(u"pdfimages"_s, {u"-list"_s, pdf});
    QVERIFY(images.waitForFinished() && images.exitCode() == 0);
    const QStringList rows =
        QString::fromUtf8(images.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts).mid(2);
    QCOMPARE(rows.size(), 2);
    for (const QString &row : rows) {
        const QStringList f = row.simplified().split(u' ');
        const double inches = f.value(3).toDouble() / f.value(12).toDouble();
        QVERIFY2(inches > 4 && inches <= 180 / 25.4, qPrintable(row));
    }

    activate(*study);
    QTRY_VERIFY(QApplication::activeWindow() == study);
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.spins(), 0); // the batch, whole
    QTest::keyClick(table, Qt::Key_F1);
    const auto *help = study->findChild<HelpWindow *>();
    QVERIFY(help && help->source().fragment() == u"etude"_s);
    activate(*study);
    study->resize(1000, 700);
    QTest::qWait(50);
    QCOMPARE(study->findChild<QScrollArea *>()->horizontalScrollBar()->maximum(), 0);
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Escape);
    QVERIFY(!study->isVisible());
}

// A dealer's distance pinned from « Où » and the hottest arc from its row: both shown under
// the headline, judged at twice the levels, then following spins and a reset; « Retirer
// l'épingle » from the pin's own row. Each from the context menu, by the mouse or the keyboard.
void TestStudy::pinsArePinnedAndFollowed()
{
    Window w;
    StudyWindow *study = openStudy(w);
    w.form.Label4_Click();
    const auto spin = [&w](int count) {
        for (int number : dealerSpins(count))
            w.form.Label1_Click(number);
    };
    spin(120);
    const auto pinsRow = [study](std::size_t row) {
        return study->findChildren<TextTable *>()[Pins]->rows().at(row);
    };
    using enum QContextMenuEvent::Reason;
    QCOMPARE(fromMenu(*study, Headline, 1, Mouse), u"Épingler cette distance"_s);
    QCOMPARE(fromMenu(*study, Arcs, 0, Keyboard), u"Épingler cet arc"_s);
    QCOMPARE(fromMenu(*study, Headline, 0, Mouse), u"Copier"_s); // no place
    QVERIFY(pinsRow(0)[0].text.startsWith(u"la case à 10 cases du tirage précédent"_s));
    QCOMPARE(pinsRow(0)[3].text, u"0"_s);
    spin(40);
    QVERIFY(pinsRow(0)[3].text == u"40"_s && pinsRow(0)[1].text == u"Déséquilibre établi"_s);
    w.click(u"Command3"_s); // the pins follow the board: all later spins are new
    spin(3);
    QCOMPARE(pinsRow(0)[3].text, u"3"_s);
    expectShowsItsReport(*study);
    QCOMPARE(fromMenu(*study, Pins, 0, Mouse), u"Retirer l'épingle"_s);
    QVERIFY(pinsRow(0)[0].text.startsWith(u"l'arc "_s));
}

QTEST_MAIN(TestStudy)
#include "test_study.moc"
