#include <QAction>
#include <QEventLoop>
#include <QGroupBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTextBrowser>
#include <QTextDocument>

#include "tests/tempdir.h"
#include "tests/ui/window.h"
#include "ui/forroulette.h"
#include "ui/french.h"

using roulette::Colour;
using roulette::testing::background;
using roulette::testing::snapshot;
using roulette::testing::valueFor;
using roulette::testing::Window;
using namespace Qt::StringLiterals;

namespace
{

QColor bgr(Colour c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

constexpr Colour DarkRed = 0x000000C0;
constexpr Colour White = 0x00FFFFFF;
constexpr Colour Black = 0x00000000;

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void layoutPlacesEveryGroup_data();
    void layoutPlacesEveryGroup();
    void coloursAndFonts_data();
    void coloursAndFonts();
    void windowIsFixedAndCaptionsFit();
    void startUpNumbersCellsAndHidesTheWheelWindow();
    void markManualPlayAndReset();
    void sourceOptionsAndText2();
    void blinkAlternatesAndTheNextSpinRestoresTheCell();
    void lancerEnAutoOnlyShowsItsMessage();
    void rejectedManualTextChangesNoWidget();
    void tabOrder();
    void closingEndsTheProgramAndTheWheelWindow();
    void batchShowsWhatAsManyClicksShow();
    void userTextIsShownAsPlainText();
    void qtSpeaksFrenchAndTheWindowStaysOnScreen();
    void helpToolTipsAndShortcutsFromEveryWidget();
};

void TestForm1::layoutPlacesEveryGroup_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("place");
    auto row = [](const char *name, const char *parent, QRect r) {
        QTest::newRow(name) << QString::fromLatin1(parent) << r;
    };
    row("Label1(0)", "Form1", {8, 72, 33, 25});
    row("Label1(18)", "Form1", {584, 72, 33, 25});
    row("Label1(19)", "Form1", {8, 168, 33, 25});
    row("Label1(36)", "Form1", {552, 168, 33, 25});
    row("Label2(0)", "Form1", {8, 96, 33, 25});
    row("Label2(36)", "Form1", {552, 192, 33, 25});
    row("Label3(0)", "Form1", {16, 32, 17, 17});
    row("Label3(36)", "Form1", {560, 128, 17, 17});
    row("Label5(0)", "Form1", {56, 0, 33, 25});
    row("Label5(27)", "Form1", {920, 0, 33, 25});
    row("Text2", "Form1", {0, 0, 41, 25});
    row("Line1", "Form1", {40, 63, 384, 3});
    row("Line3", "Form1", {8, 159, 192, 3});
    row("Line4", "Form1", {200, 159, 384, 3});
    row("Label8(3)", "Frame1", {160, 16, 25, 17});
    row("Label7(3)", "Frame1", {168, 40, 33, 25});
    row("Option1(2)", "Frame2", {16, 88, 113, 25});
    row("Label8(4)", "Frame3", {109, 56, 65, 17});
    row("Command6", "Frame3", {184, 24, 97, 44});
    row("Command3", "Form1", {8, 240, 161, 41});
    row("MSChart1", "Form1", {-32, 288, 1025, 409});
    row("MSChart2", "Form1", {-16, 288, 1025, 401});
}

void TestForm1::layoutPlacesEveryGroup()
{
    QFETCH(QString, parent);
    QFETCH(QRect, place);
    Window w;
    const QWidget *widget = w.get(QString::fromLatin1(QTest::currentDataTag()));
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->geometry(), place);
}

void TestForm1::coloursAndFonts_data()
{
    QTest::addColumn<uint>("back");
    QTest::addColumn<uint>("fore");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    auto row = [](const char *name, Colour back, Colour fore, int size, bool bold) {
        QTest::newRow(name) << uint(back) << uint(fore) << size << bold;
    };
    row("Label1(18)", DarkRed, White, 13, true);
    row("Label2(19)", White, Black, 13, true);
    row("Label5(27)", White, Black, 13, true);
    row("Label8(0)", DarkRed, 0x008080FF, 13, true);
    row("Label8(2)", DarkRed, 0x00FF8080, 13, true);
    row("Label8(4)", DarkRed, White, 11, false);
    row("Label6", White, 0x000000FF, 16, true);
    row("Text2", DarkRed, White, 13, true);
    row("Option1(1)", DarkRed, White, 13, false);
    row("Frame2", DarkRed, White, 13, false);
    row("Line2", 0x00FF8080, 0x00FF8080, 0, false);
    row("Line4", 0x0000FFFF, 0x0000FFFF, 0, false);
}

void TestForm1::coloursAndFonts()
{
    QFETCH(uint, back);
    QFETCH(uint, fore);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    Window w;
    QWidget *widget = w.get(QString::fromLatin1(QTest::currentDataTag()));
    const QImage shot = widget->grab().toImage();
    // Near the top right corner: inside any border, clear of the caption, of an option's dot
    // and of the panel a style may draw inside a frame.
    QCOMPARE(shot.pixelColor(shot.width() - 8, qMin(shot.height() / 2, 3)), bgr(back));
    if (pixelSize == 0)
        return;
    QCOMPARE(widget->palette().color(widget->foregroundRole()), bgr(fore));
    QCOMPARE(widget->font().pixelSize(), pixelSize);
    QCOMPARE(widget->font().bold(), bold);
}

void TestForm1::windowIsFixedAndCaptionsFit()
{
    Window w;
    QCOMPARE(w.form.minimumSize(), QSize(1054, 719));
    QCOMPARE(w.form.maximumSize(), QSize(1054, 719));
    QCOMPARE(w.form.windowTitle(), u"Étude Roulette"_s);
    QCOMPARE(w.form.windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    const Qt::WindowFlags flags = w.form.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    const QImage red = w.get(u"Command3"_s)->grab().toImage();
    QCOMPARE(red.pixelColor(red.width() / 2, 4), bgr(0x000000FF));

    for (const QLabel *l : w.form.findChildren<QLabel *>()) {
        const QRect need =
            l->fontMetrics().boundingRect(l->contentsRect(), Qt::AlignCenter, l->text());
        QVERIFY2(l->contentsRect().contains(need), qPrintable(l->objectName()));
    }
    for (const QPushButton *b : w.form.findChildren<QPushButton *>()) {
        QStyleOptionButton option;
        option.initFrom(b);
        const QRect area = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
        const QRect need =
            b->fontMetrics().boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, b->text());
        QVERIFY2(area.contains(need), qPrintable(b->objectName()));
        // A caption too wide for a single line would run into the button's edges.
        const QImage face = const_cast<QPushButton *>(b)->grab().toImage();
        for (int y = 4; y < face.height() - 4; ++y)
            for (int x : {3, face.width() - 4})
                QVERIFY2(face.pixelColor(x, y).lightness() > 100, qPrintable(b->objectName()));
    }
    for (const QRadioButton *o : w.form.findChildren<QRadioButton *>())
        QVERIFY2(o->sizeHint().width() <= o->width(), qPrintable(o->objectName()));
    for (const QGroupBox *f : w.form.findChildren<QGroupBox *>())
        QVERIFY(f->fontMetrics().horizontalAdvance(f->title()) < f->width() - 16);
}

void TestForm1::startUpNumbersCellsAndHidesTheWheelWindow()
{
    Window w;
    for (int n = 0; n < 37; ++n) {
        QCOMPARE(w.label("Label1", n)->text(), QString::number(n));
        QVERIFY(w.label("Label3", n)->isHidden());
    }
    QVERIFY(w.get(u"Label6"_s)->isHidden());
    QCOMPARE(w.get(u"Label4"_s)->toolTip(),
             u"Choisir les n° à la main , cliquer sur le N°  que vous voulez valider"_s);
    QCOMPARE(w.get(u"Frame3"_s)->toolTip(),
             u"Pour un tirage sur fichier , votre fichier doit etre en .TXT avec un n° par ligne , "
             u"sans espace ni autre signe."_s);
    QVERIFY(w.get(u"Command5"_s)->isHidden());
    QVERIFY(!w.get(u"Command1"_s)->isHidden());
    QVERIFY(w.get<QRadioButton>(u"Option1(0)"_s)->isChecked());
    QVERIFY(!w.form.board().state().SourceMode.has_value());
    const auto *timer = w.form.findChild<QTimer *>(u"Timer1"_s);
    QVERIFY(!timer->isActive());
    QCOMPARE(timer->interval(), 500);

    const ForRoulette *wheel = w.form.forRoulette();
    QVERIFY(wheel);
    QVERIFY(!wheel->isVisible());
    QVERIFY(wheel->isWindow());
    QCOMPARE(wheel->windowTitle(), u"Simulation Roulette"_s);
    QCOMPARE(wheel->size(), QSize(312, 213));
    QVERIFY(wheel->findChildren<QWidget *>().isEmpty());
    QCOMPARE(&wheel->wheelTable(), &w.form.board().wheelTable());
}

// Marks, manual play and "GAGNE", then the reset: the window shows what the board holds.
void TestForm1::markManualPlayAndReset()
{
    Window w;
    w.clickNumber(17);
    w.clickNumber(17);
    QVERIFY(w.label("Label3", 17)->isHidden());
    w.clickNumber(17);
    QVERIFY(!w.label("Label3", 17)->isHidden());
    QCOMPARE(w.text(u"Text1"_s), u"00"_s);
    w.click(u"Label4"_s);
    QCOMPARE(w.text(u"Label4"_s), u"Retour"_s);
    w.clickNumber(17);
    QCOMPARE(w.text(u"Text2"_s), u"17"_s);
    QCOMPARE(w.text(u"Text1"_s), u"1"_s);
    QCOMPARE(w.label("Label5", 27)->text(), u"17"_s);
    QCOMPARE(w.label("Label2", 17)->text(), u"1"_s);
    QCOMPARE(w.label("Label7", 2)->text(), u"1"_s);
    QVERIFY(w.shown(u"Label6"_s));
    w.type(u"5"_s);
    w.clickNumber(17); // the same number again: its click writes the box all the same
    QCOMPARE(w.text(u"Text2"_s), u"17"_s);
    w.clickNumber(5);
    QVERIFY(!w.shown(u"Label6"_s));
    w.clickNumber(30);
    w.click(u"Label4"_s);
    QCOMPARE(w.text(u"Label4"_s), u"Choisr les N°"_s);

    w.click(u"Command3"_s);
    QCOMPARE(w.text(u"Text1"_s), u"0"_s);
    QCOMPARE(w.text(u"Text2"_s), u"30"_s);
    w.type(u"abc"_s, u"Text1"_s);
    w.form.Timer1_Timer(); // the blink leaves typing alone
    QCOMPARE(w.text(u"Text1"_s), u"abc"_s);
    w.click(u"Command3"_s);
    QCOMPARE(w.text(u"Text1"_s), u"0"_s);
    for (int n = 0; n < 37; ++n) {
        QCOMPARE(w.label("Label2", n)->text(), u"0"_s);
        QCOMPARE(background(w.label("Label2", n)), bgr(White));
        QVERIFY(w.label("Label3", n)->isHidden());
    }
    for (int i = 0; i < 4; ++i)
        QCOMPARE(w.label("Label7", i)->text(), u"0"_s);
    QCOMPARE(w.label("Label5", 25)->text(), u"17"_s);
    QCOMPARE(w.label("Label5", 27)->text(), u"30"_s);
    QVERIFY(w.get<QTimer>(u"Timer1"_s)->isActive());
}

// Index 13 of the wheel holds 36; index 23 holds 1.
void TestForm1::sourceOptionsAndText2()
{
    Window w({valueFor(13, 37), valueFor(23, 148), valueFor(13, 37)});
    w.click(u"Option1(1)"_s);
    QCOMPARE(w.form.board().state().SourceMode, std::optional<int>(1));
    QVERIFY(!w.get<QRadioButton>(u"Option1(0)"_s)->isChecked());
    const std::pair<const char *, QString> draws[] = {
        {"Option1(1)", u"36"_s}, {"Option1(2)", u"1"_s}, {"Option1(0)", u"13"_s}};
    for (const auto &[option, shown] : draws) {
        w.click(QLatin1String(option));
        w.click(u"Command1"_s);
        QCOMPARE(w.text(u"Text2"_s), shown);
    }
    w.click(u"Label4"_s);
    w.type(u"23"_s);
    QCOMPARE(w.form.board().state().lastText, std::string("23"));
    w.click(u"Command1"_s);
    QCOMPARE(w.label("Label5", 27)->text(), u"23"_s);
}

void TestForm1::blinkAlternatesAndTheNextSpinRestoresTheCell()
{
    Window w({valueFor(7, 37), valueFor(9, 37)});
    auto *timer = w.get<QTimer>(u"Timer1"_s);
    w.click(u"Command1"_s);
    QVERIFY(timer->isActive());
    QLabel *cell = w.label("Label1", 7);
    QCOMPARE(background(cell), bgr(DarkRed));
    QTRY_COMPARE_WITH_TIMEOUT(background(cell), bgr(Black), 1500); // the timer's own tick
    w.form.Timer1_Timer();
    QCOMPARE(background(cell), bgr(DarkRed));
    w.form.Timer1_Timer();
    QCOMPARE(background(cell), bgr(Black));

    QTest::qWait(200);
    w.click(u"Command1"_s);
    QVERIFY(timer->remainingTime() > 400); // a full period before the new cell first blinks
    QCOMPARE(background(cell), bgr(DarkRed));
    w.form.Timer1_Timer();
    QCOMPARE(background(w.label("Label1", 9)), bgr(Black));
}

void TestForm1::lancerEnAutoOnlyShowsItsMessage()
{
    Window w;
    const QStringList before = snapshot(w);
    w.form.Command5_Click();
    w.form.Command5_Click();
    QCOMPARE(w.messages, QStringList({u"Pas en fonction !"_s, u"Pas en fonction !"_s}));
    QCOMPARE(snapshot(w), before);

    const auto box = Form1::makeMessageBox(nullptr, u"Pas en fonction !"_s);
    QCOMPARE(box->windowTitle(), u"Étude Roulette"_s);
    QCOMPARE(box->text(), u"Pas en fonction !"_s);
    QCOMPARE(box->icon(), QMessageBox::NoIcon);
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->standardButton(box->buttons().first()), QMessageBox::Ok);
    QCOMPARE(box->windowModality(), Qt::ApplicationModal);
}

void TestForm1::rejectedManualTextChangesNoWidget()
{
    for (const QString &typed : {u"40"_s, u"-3"_s, u"abc"_s, QString()}) {
        Window w;
        w.click(u"Label4"_s);
        w.clickNumber(12);
        w.type(typed);
        const QStringList before = snapshot(w);
        w.click(u"Command1"_s);
        QCOMPARE(w.messages.size(), 1);
        QVERIFY(!w.messages.first().isEmpty());
        QCOMPARE(snapshot(w), before);
    }
}

void TestForm1::tabOrder()
{
    Window w;
    const QStringList expected = {u"MSChart1"_s,   u"Command1"_s,  u"Text1"_s,    u"Text2"_s,
                                  u"MSChart2"_s,   u"Command2"_s,  u"Command6"_s, u"Command5"_s,
                                  u"Command4"_s,   u"Command3"_s,  u"Text3"_s,    u"Option1(0)"_s,
                                  u"Option1(1)"_s, u"Option1(2)"_s};
    QStringList visited;
    QWidget *widget = w.get(expected.first());
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            visited << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != w.get(expected.first()));
    QCOMPARE(visited, expected);
}

void TestForm1::closingEndsTheProgramAndTheWheelWindow()
{
    Window w;
    w.form.show();
    const QPointer<ForRoulette> wheel = w.form.forRoulette();
    QEventLoop loop;
    QTimer::singleShot(0, &w.form, [&w] { w.form.close(); });
    QTimer::singleShot(3000, &loop, [&loop] { loop.exit(1); });
    QCOMPARE(loop.exec(), 0);
    QVERIFY(wheel.isNull());
}

// Markup in typing, a record or a file name would make Qt load pictures, even /dev/zero.
void TestForm1::userTextIsShownAsPlainText()
{
    const QString markup = u"<img src=/dev/zero>"_s;
    QCOMPARE(Form1::makeMessageBox(nullptr, markup)->textFormat(), Qt::PlainText);
    Window w;
    w.click(u"Label4"_s);
    w.type(markup);
    w.click(u"Command1"_s);
    QCOMPARE(w.messages.size(), 1);
    QVERIFY(w.messages[0].startsWith(u"« "_s + markup));

    roulette::testing::TempDir dir;
    const QString name = u"<img src=x>.txt"_s;
    w.open(dir.write(name.toStdString(), "5\n"));
    const auto *label9 = w.get<QLabel>(u"Label9"_s);
    QCOMPARE(label9->textFormat(), Qt::PlainText);
    QCOMPARE(label9->text(), name);
    QTextDocument tip;
    tip.setHtml(label9->toolTip());
    QCOMPARE(tip.toPlainText(), name);
}

void TestForm1::qtSpeaksFrenchAndTheWindowStaysOnScreen()
{
    QVERIFY(installFrenchTranslations(*QCoreApplication::instance()));
    QLineEdit box;
    const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    QVERIFY(menu->actions().first()->text().startsWith(u"&Annuler"_s));

    const QSize window(1054, 719);
    QCOMPARE(Form1::placeWithin({0, 0, 1920, 1050}, window), QPoint(433, 165));
    QCOMPARE(Form1::placeWithin({0, 30, 1093, 584}, window), QPoint(19, 30));
    QCOMPARE(Form1::placeWithin({100, 0, 800, 600}, window), QPoint(100, 0));
}

// The board and both charts show, once, what as many clicks would; closing the window
// stops a batch at once.
void TestForm1::batchShowsWhatAsManyClicksShow()
{
    const std::vector<float> draws = {valueFor(5, 37), valueFor(0, 37), valueFor(36, 37)};
    Window batch(draws);
    Window clicks(draws);
    batch.form.spinMany(70);
    for (int i = 0; i < 70; ++i)
        clicks.click(u"Command1"_s);
    QCOMPARE(snapshot(batch), snapshot(clicks));

    auto *action = batch.form.findChild<QAction *>(u"spinMany"_s);
    batch.click(u"Label4"_s);
    QVERIFY(!action->isEnabled()); // manual mode would play the same typed number
    batch.click(u"Label4"_s);
    QVERIFY(action->isEnabled());
    QTimer::singleShot(0, &batch.form, [&batch] { batch.form.close(); });
    batch.form.spinMany(10'000'000);
    QVERIFY(batch.spins() < 1'000'000);
}

// Every widget says what it shows; F1 opens one help window that names every shortcut; each
// board shortcut reaches the board from whichever widget has the focus, text boxes included.
void TestForm1::helpToolTipsAndShortcutsFromEveryWidget()
{
    Window w;
    for (const QWidget *widget : w.form.findChildren<QWidget *>())
        QVERIFY2(!widget->toolTip().isEmpty(), qPrintable(widget->objectName()));
    QVERIFY(w.get(u"Text1"_s)->toolTip().startsWith(u"Tirages depuis la remise à zéro\n"_s));

    w.form.show();
    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    for (const QString &focus : {u"Text2"_s, u"MSChart1"_s}) {
        w.get(focus)->setFocus();
        QTest::keyClick(w.get(focus), Qt::Key_F1);
        w.form.activateWindow();
    }
    const auto helps = w.form.findChildren<QTextBrowser *>();
    QCOMPARE(helps.size(), 1);
    QVERIFY(helps[0]->isVisible());
    const QString page = helps[0]->toPlainText();
    for (const char *key : {"Ctrl+Z", "Ctrl+L", "Ctrl+S", "Ctrl+E", "F1", "Entrée",
                            "Exporter en CSV", "Fermer le fichier de tirage"})
        QVERIFY2(page.contains(QString::fromUtf8(key)), key);
    helps[0]->close();

    QList<QWidget *> focusable;
    for (QWidget *widget : w.form.findChildren<QWidget *>())
        if (widget->focusPolicy() != Qt::NoFocus && widget->isVisible())
            focusable << widget;
    for (QAction *action : w.form.actions()) {
        if (action->shortcut().isEmpty())
            continue;
        action->disconnect(&w.form);
        action->setEnabled(true);
        const QSignalSpy triggered(action, &QAction::triggered);
        const QKeyCombination keys = action->shortcut()[0];
        for (QWidget *widget : focusable) {
            widget->setFocus();
            QTest::keyClick(widget, keys.key(), keys.keyboardModifiers());
        }
        QVERIFY2(triggered.size() == focusable.size(), qPrintable(action->text()));
    }
}

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
