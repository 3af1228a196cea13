#include "ui/board/form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

#include "sources/textrules.h"
#include "stats/fairness.h"
#include "ui/board/clicklabel.h"
#include "ui/board/formlayout.h"
#include "ui/board/forroulette.h"
#include "ui/board/tooltips.h"
#include "ui/board/wrapbutton.h"
#include "ui/board/zoom.h"
#include "ui/charts/chartview.h"
#include "ui/common/drawfilereading.h"
#include "ui/common/helpwindow.h"
#include "ui/common/lastfolder.h"
#include "ui/common/ownwindow.h"
#include "ui/common/palette.h"
#include "ui/common/verdict.h"
#include "ui/notebook/boardnotebook.h"
#include "ui/study/studywindow.h"

using roulette::BoardState;
using roulette::Colour;
using roulette::layout::Control;
using roulette::layout::Kind;

namespace
{

constexpr int BlinkMilliseconds = 500;

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    if (palette.color(role) == colour)
        return;
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// Labels without colours of their own take the desktop's button colours.
QWidget *makeLabel(const Control &c, QWidget *parent)
{
    auto *label = new ClickLabel(parent);
    label->setTextFormat(Qt::PlainText); // a caption may be a file's name
    label->setText(qs(c.text));
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    if (c.bordered)
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
    const QPalette system = QApplication::palette();
    setColour(label, QPalette::Window,
              c.back ? palette::fromBgr(*c.back) : system.color(QPalette::Button));
    setColour(label, QPalette::WindowText,
              c.fore ? palette::fromBgr(*c.fore) : system.color(QPalette::ButtonText));
    return label;
}

QWidget *makeTextBox(const Control &c, QWidget *parent)
{
    auto *box = new QLineEdit(qs(c.text), parent);
    box->setAlignment(Qt::AlignCenter);
    setColour(box, QPalette::Base, palette::fromBgr(c.back.value()));
    setColour(box, QPalette::Text, palette::fromBgr(c.fore.value()));
    return box;
}

QWidget *makeButton(const Control &c, QWidget *parent)
{
    auto *button = new WrapButton(qs(c.text), parent);
    if (c.back) {
        // Not every desktop style paints a button face in its palette colour; this one
        // paints it flat, in exactly that colour.
        QStyle *style = QStyleFactory::create(QStringLiteral("Windows"));
        style->setParent(button);
        button->setStyle(style);
        setColour(button, QPalette::Button, palette::fromBgr(*c.back));
    }
    return button;
}

QWidget *makeOption(const Control &c, QWidget *parent)
{
    auto *option = new QRadioButton(qs(c.text), parent);
    option->setBackgroundRole(QPalette::Window); // buttons fill with their face colour otherwise
    option->setAutoFillBackground(true);
    setColour(option, QPalette::Window, palette::fromBgr(c.back.value()));
    setColour(option, QPalette::WindowText, palette::fromBgr(c.fore.value()));
    // The frame's caption colour must not reach the dot of the selected option.
    setColour(option, QPalette::Text, QApplication::palette().color(QPalette::Text));
    return option;
}

QWidget *makeFrame(const Control &c, QWidget *parent)
{
    auto *frame = new QGroupBox(qs(c.text), parent);
    frame->setAutoFillBackground(true);
    setColour(frame, QPalette::Window, palette::fromBgr(c.back.value()));
    // Styles take the caption's colour from either role.
    setColour(frame, QPalette::WindowText, palette::fromBgr(c.fore.value()));
    setColour(frame, QPalette::Text, palette::fromBgr(c.fore.value()));
    return frame;
}

QWidget *makeLine(const Control &c, QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setAutoFillBackground(true);
    setColour(line, QPalette::Window, palette::fromBgr(c.back.value()));
    return line;
}

QWidget *makeWidget(const Control &c, QWidget *parent)
{
    switch (c.kind) {
    case Kind::Label:
        return makeLabel(c, parent);
    case Kind::TextBox:
        return makeTextBox(c, parent);
    case Kind::Button:
        return makeButton(c, parent);
    case Kind::Option:
        return makeOption(c, parent);
    case Kind::Frame:
        return makeFrame(c, parent);
    case Kind::Line:
        return makeLine(c, parent);
    case Kind::Chart:
        break;
    }
    return nullptr;
}

template <typename W> W *child(const QWidget *root, const std::string &name)
{
    W *widget = root->findChild<W *>(qs(name));
    Q_ASSERT(widget);
    return widget;
}

template <typename W, std::size_t N>
void findArray(const QWidget *root, const char *name, std::array<W *, N> &widgets)
{
    for (std::size_t i = 0; i < N; ++i)
        widgets[i] = child<W>(root, roulette::layout::arrayName(name, static_cast<int>(i)));
}

// Tooltips have no plain-text mode: the text is escaped, then given as rich text so that
// the escapes show as the characters they stand for.
QString plainToolTip(const QString &text)
{
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

QString layoutTip(const QWidget *widget)
{
    const std::string_view tip = roulette::layout::toolTipFor(widget->objectName().toStdString());
    return QString::fromUtf8(tip.data(), qsizetype(tip.size()));
}

// Whether the hit counts so far look like those of a fair wheel.
QString fairnessText(const BoardState &s)
{
    if (s.SpinCount < roulette::FairnessMinimumSpins) {
        return QStringLiteral("Pas encore assez de tirages pour juger l'équilibre de la roue "
                              "(%1 sur les %2 nécessaires depuis la remise à zéro).")
            .arg(s.SpinCount)
            .arg(roulette::FairnessMinimumSpins);
    }
    const roulette::FairnessTest test = roulette::fairnessTest(s.HitCount);
    return QStringLiteral("Khi-deux = %1 (36 degrés de liberté), %2\n%3")
        .arg(frenchNumber(test.chiSquare, 2), pValueText(test.pValue), verdictText(test.pValue));
}

} // namespace

QString Form1::programTitle()
{
    return QStringLiteral("Étude Roulette");
}

Form1::Form1(roulette::Board board, QWidget *parent)
    : QMainWindow(parent), m_model(std::move(board))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(programTitle());
    setWindowIcon(QIcon(QStringLiteral(":/icons/etude-roulette.xpm")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    m_zoom = boardzoom::remembered();
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(BlinkMilliseconds);

    createActions();
    buildBoardArea();
    buildWidgets();
    findWidgets();
    connectEvents();
    buildMenuBar();
    connectFollowers();
    setUpKeyboard();
    setZoom(m_zoom); // the charts' texts and the zoom commands too
    resize(fullSize());
    m_openingSize = size();
    keepOnScreen();
    Form_Load();
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_openingSize.isEmpty()) // the frame the desktop draws is known once it is shown
        QTimer::singleShot(0, this, &Form1::keepOnScreen);
}

// The window and its frame within the screen's free area, unless the window was resized
// before it first showed.
void Form1::keepOnScreen()
{
    const QScreen *s = screen();
    if (!s || size() != m_openingSize)
        return;
    const QRect frame = frameGeometry();
    const QMargins margins(geometry().left() - frame.left(), geometry().top() - frame.top(),
                           frame.right() - geometry().right(),
                           frame.bottom() - geometry().bottom());
    const QRect within = placeWithin(s->availableGeometry(), fullSize().grownBy(margins));
    move(within.topLeft()); // where the frame goes
    resize(within.size().shrunkBy(margins));
    m_openingSize = isVisible() ? QSize() : size();
}

Form1::~Form1()
{
    delete m_notebook; // both follow the board's series: they must go before them
    delete m_study;
}

std::unique_ptr<QMessageBox> Form1::makeMessageBox(QWidget *parent, const QString &text)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, programTitle(), text,
                                             QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText); // messages quote records, file names and typing
    return box;
}

std::unique_ptr<QFileDialog> Form1::makeFileDialog(QWidget *parent)
{
    auto dialog =
        std::make_unique<QFileDialog>(parent, QStringLiteral("Ouvrir un fichier de tirage"),
                                      lastFolder(), QStringLiteral("txt (*.txt)"));
    dialog->setObjectName(QStringLiteral("CD1"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setWindowModality(Qt::ApplicationModal);
    return dialog;
}

// The board keeps its drawn size at its zoom; a window too small for it scrolls it, a larger
// one shows it in the middle.
void Form1::buildBoardArea()
{
    m_boardArea = new QWidget;
    m_boardArea->setObjectName(QStringLiteral("boardArea"));
    m_boardArea->setFixedSize(boardzoom::toPixels(roulette::layout::MainClientArea, m_zoom).size());
    m_boardArea->setFont(boardzoom::fontFor(roulette::layout::Font::Default, m_zoom));
    setColour(m_boardArea, QPalette::Window, palette::fromBgr(roulette::colours::DarkRed));
    setColour(m_boardArea, QPalette::WindowText, palette::fromBgr(roulette::colours::Black));
    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("boardScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setAlignment(Qt::AlignCenter);
    scroll->setFocusPolicy(Qt::NoFocus); // the Tab key goes round the board's own widgets
    scroll->setWidget(m_boardArea);      // which fills the board's background
    setCentralWidget(scroll);
}

QSize Form1::fullSize() const
{
    return m_boardArea->size() +
           QSize(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
}

void Form1::buildWidgets()
{
    for (const Control &c : roulette::layout::formControls()) {
        QWidget *parent = c.parent.empty() ? m_boardArea : child<QWidget>(this, c.parent);
        QWidget *widget = c.kind == Kind::Chart ? createChart(qs(c.name)) : makeWidget(c, parent);
        widget->setObjectName(qs(c.name));
        widget->setGeometry(boardzoom::placeOf(c, m_zoom));
        if (c.kind != Kind::Chart)
            widget->setFont(boardzoom::fontFor(c.font, m_zoom));
        const std::string_view tip = roulette::layout::toolTipFor(c.name);
        widget->setToolTip(QString::fromUtf8(tip.data(), qsizetype(tip.size())));
        if (!c.visible)
            widget->hide();
    }
    m_countFont = CountFont(child<QWidget>(this, "Text1")->font());
}

// The one place where the charts are made.
ChartView *Form1::createChart(const QString &name)
{
    const ChartKind kind =
        name == QStringLiteral("MSChart1") ? ChartKind::Spread : ChartKind::ZeroDozens;
    auto *chart = new ChartView(kind, board().series(), m_boardArea);
    chart->setObjectName(name);
    chart->setFocusPolicy(Qt::NoFocus); // nothing in it answers a key
    return chart;
}

void Form1::findWidgets()
{
    findArray(this, "Label1", m_numberCells);
    findArray(this, "Label2", m_hitCells);
    findArray(this, "Label3", m_markers);
    findArray(this, "Label5", m_history);
    findArray(this, "Label7", m_counters);
    findArray(this, "Option1", m_options);
    m_manualLabel = child<ClickLabel>(this, "Label4");
    m_wonLabel = child<QLabel>(this, "Label6");
    m_fileCount = child<QLabel>(this, "Label8(4)");
    m_fileName = child<QLabel>(this, "Label9");
    m_spinText = child<QLineEdit>(this, "Text1");
    m_lastText = child<QLineEdit>(this, "Text2");
    m_filePosText = child<QLineEdit>(this, "Text3");
    m_spinButton = child<QPushButton>(this, "Command1");
    m_chartButton = child<QPushButton>(this, "Command2");
    m_resetButton = child<QPushButton>(this, "Command3");
    m_openButton = child<QPushButton>(this, "Command4");
    m_autoButton = child<QPushButton>(this, "Command5");
    m_replayButton = child<QPushButton>(this, "Command6");
    m_chart1 = child<ChartView>(this, "MSChart1");
    m_chart2 = child<ChartView>(this, "MSChart2");
    m_options[0]->setChecked(true);
}

void Form1::connectEvents()
{
    for (int n = 0; n < roulette::NumberCount; ++n)
        connect(m_numberCells[n], &ClickLabel::clicked, this, [this, n] { Label1_Click(n); });
    connect(m_manualLabel, &ClickLabel::clicked, this, &Form1::Label4_Click);
    for (int i = 0; i < int(m_options.size()); ++i)
        connect(m_options[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    connect(m_timer, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(m_spinButton, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(m_chartButton, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(m_resetButton, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(m_openButton, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(m_autoButton, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(m_replayButton, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(m_lastText, &QLineEdit::returnPressed, this, &Form1::playTypedNumber);
    for (QLineEdit *box : {m_spinText, m_lastText, m_filePosText})
        box->installEventFilter(this);
    connect(m_lastText, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_model.setLastText(text.toStdString()); });
}

// The board's own widgets first, then those that follow its spins. The study connects when
// it opens.
void Form1::connectFollowers()
{
    connect(&m_model, &BoardModel::changed, this, &Form1::showBoard);
    connect(&m_model, &BoardModel::changed, this, [this](BoardChanges what) {
        if (what & BoardChange::Spins)
            DrawCharts();
    });
    connect(&m_model, &BoardModel::changed, m_notebook, &BoardNotebook::follow);
}

void Form1::Form_Load()
{
    m_model.Form_Load();
    if (!m_forRoulette)
        m_forRoulette = std::make_unique<ForRoulette>(board().wheelTable());
    m_forRoulette->show();
    m_forRoulette->hide();
}

void Form1::Form_Unload()
{
    delete m_reading; // stops the worker before the window goes
    m_reading = nullptr;
    m_loadAfterBatch.reset();
    m_timer->stop();
    m_forRoulette.reset();
}

// A text box claims the keys of its own editing commands before the window's shortcuts see
// them. The board's shortcuts come first, except Ctrl+Z while the box has typing of its own
// to take back.
bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (box && event->type() == QEvent::ShortcutOverride) {
        const QKeySequence keys(static_cast<QKeyEvent *>(event)->keyCombination());
        const bool boxUndoes = keys == m_undoAction->shortcut() && box->isUndoAvailable();
        if (isBoardShortcut(keys) && !boxUndoes) {
            event->ignore();
            return true;
        }
    }
    if (watched == m_lastText && event->type() == QEvent::MouseButtonRelease &&
        board().state().manualMode() && !m_lastText->hasSelectedText())
        m_lastText->selectAll(); // so that the number typed next replaces the last one
    return QMainWindow::eventFilter(watched, event);
}

bool Form1::isBoardShortcut(const QKeySequence &keys) const
{
    const QList<QAction *> boardActions = actions();
    return std::any_of(boardActions.begin(), boardActions.end(),
                       [&keys](const QAction *a) { return a->shortcuts().contains(keys); });
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!closeAllowed()) {
        event->ignore();
        return;
    }
    m_batchStopped = true;
    Form_Unload();
    event->accept();
}

void Form1::Label1_Click(int index)
{
    showRefusal(m_model.Label1_Click(index).message);
}

void Form1::Label4_Click()
{
    m_model.Label4_Click();
}

void Form1::Option1_Click(int index)
{
    m_model.Option1_Click(index);
}

void Form1::Timer1_Timer()
{
    m_model.Timer1_Timer();
}

void Form1::Command1_Click()
{
    showRefusal(m_model.Command1_Click().message);
}

void Form1::Command2_Click()
{
    m_showingDozens = !m_showingDozens;
    m_chartButton->setText(m_showingDozens ? QStringLiteral("Fermer")
                                           : QStringLiteral("Voir graphe"));
    m_chart1->setVisible(!m_showingDozens);
    m_chart2->setVisible(m_showingDozens);
}

void Form1::Command3_Click()
{
    m_model.Command3_Click();
    if (board().canUndo())
        confirm(QStringLiteral("Données remises à zéro : Ctrl+Z les rend."));
}

void Form1::Command4_Click()
{
    if (m_reading)
        return; // one file at a time
    QString path;
    if (m_chooseFile) {
        path = m_chooseFile(this);
    } else if (const auto dialog = makeFileDialog(this); dialog->exec() == QDialog::Accepted) {
        path = dialog->selectedFiles().value(0);
    }
    if (path.isEmpty())
        return;
    rememberFolder(path);
    m_reading =
        new DrawFileReading(path, this, [this](auto load) { drawFileRead(std::move(load)); });
}

// The board takes the whole file at once, on the window's thread. A reading that ends while
// a batch lets the window breathe waits for the batch's end: the batch's spins all come from
// the source it started with.
void Form1::drawFileRead(std::optional<roulette::DrawFileLoad> load)
{
    m_reading->deleteLater();
    m_reading = nullptr;
    if (!load)
        return;
    if (m_batchRunning) {
        m_loadAfterBatch = std::move(load);
        return;
    }
    takeDrawFile(std::move(*load));
}

void Form1::takeDrawFile(roulette::DrawFileLoad load)
{
    showRefusal(m_model.Command4_Click(std::move(load)));
}

void Form1::Command5_Click()
{
    message(QStringLiteral("Pas en fonction !"));
}

void Form1::Command6_Click()
{
    showRefusal(m_model.Command6_Click().message);
}

void Form1::DrawCharts()
{
    m_chart1->refresh();
    m_chart2->refresh();
}

void Form1::undo()
{
    m_model.undo();
}

void Form1::closeDrawFile()
{
    m_model.closeDrawFile();
}

// Enter plays the typed number; the text is selected so that the next number replaces it,
// and the box forgets its own typing, so that Ctrl+Z takes back the spin.
void Form1::playTypedNumber()
{
    if (!board().state().manualMode()) {
        confirm(QStringLiteral("Pour jouer le numéro tapé, passez d'abord en saisie à la main : "
                               "Ctrl+M, ou un clic sur « Choisr les N° »."));
        return;
    }
    if (const std::vector<std::string> lines =
            roulette::typedLines(m_lastText->text().toStdString());
        lines.size() > 1) {
        playTypedLines(lines);
        return;
    }
    const roulette::SpinResult result = m_model.Command1_Click();
    showRefusal(result.message);
    if (result.spun) // the box forgets its typing: Ctrl+Z then takes back the spin
        m_lastText->setText(m_lastText->text());
    m_lastText->selectAll(); // a refused entry too, so that the next digits replace it
}

// The lines refused stay in the box, to be put right; once all are played, the last one is
// selected so that the next number replaces it.
void Form1::playTypedLines(const std::vector<std::string> &lines)
{
    const roulette::LinesPlayed played = m_model.playLines(lines);
    m_lastText->setText(qs(played.left.empty() ? lines.back() : played.left));
    if (played.left.empty())
        m_lastText->selectAll();
    showRefusal(played.message);
}

void Form1::showHelp()
{
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void Form1::openStudy()
{
    if (!m_study) {
        m_study = new StudyWindow(board().series(), this);
        m_study->keepPinsWith(m_notebook->pins());
        connect(&m_model, &BoardModel::changed, m_study, &StudyWindow::follow);
    }
    m_study->show();
    m_study->raise();
    m_study->activateWindow();
}

void Form1::showRefusal(const std::string &why)
{
    if (!why.empty())
        message(qs(why));
}

void Form1::showBoard(BoardChanges what)
{
    if (what & BoardChange::Spins)
        m_timer->stop(); // the blink starts over on the new number
    render();
}

void Form1::message(const QString &text)
{
    if (m_sink)
        m_sink(text);
    else
        makeMessageBox(this, text)->exec();
}

// Only what differs from the state last shown is written again: a spin changes a few cells,
// and fitting a count to its box is the costly part of showing it.
void Form1::render()
{
    using roulette::decimalText;
    const BoardState &s = board().state();
    const BoardState *was = m_shown ? &*m_shown : nullptr;
    const auto differs = [was, &s](const auto BoardState::*field, int n) {
        return !was || (was->*field)[static_cast<std::size_t>(n)] !=
                           (s.*field)[static_cast<std::size_t>(n)];
    };

    for (int n = 0; n < roulette::NumberCount; ++n) {
        if (differs(&BoardState::numberCaption, n))
            m_numberCells[n]->setText(qs(s.numberCaption[n]));
        if (differs(&BoardState::numberColour, n))
            setColour(m_numberCells[n], QPalette::Window, palette::fromBgr(s.numberColour[n]));
        if (differs(&BoardState::hitCaption, n))
            showCount(m_hitCells[n], qs(decimalText(s.hitCaption[n])), layoutTip(m_hitCells[n]));
        if (differs(&BoardState::hitColour, n))
            setColour(m_hitCells[n], QPalette::Window, palette::fromBgr(s.hitColour[n]));
        m_markers[n]->setVisible(s.marked[n]);
    }
    for (int i = 0; i < roulette::HistoryLength; ++i)
        if (differs(&BoardState::history, i))
            m_history[i]->setText(qs(s.history[i]));
    for (int i = 0; i < int(m_counters.size()); ++i)
        if (differs(&BoardState::counters, i))
            showCount(m_counters[i], qs(decimalText(s.counters[i])), layoutTip(m_counters[i]));

    showText(roulette::Text1, m_spinText, s.spinText);
    showText(roulette::Text2, m_lastText, s.lastText);
    showText(roulette::Text3, m_filePosText, s.filePosText);
    showCaptions(was);
    m_wonLabel->setVisible(s.wonVisible);
    m_spinButton->setVisible(s.spinButtonVisible);
    m_autoButton->setVisible(s.fileButtonsVisible);
    m_replayButton->setVisible(s.fileButtonsVisible);
    if (s.blinkRunning != m_timer->isActive())
        s.blinkRunning ? m_timer->start() : m_timer->stop();
    if (!was || was->HitCount != s.HitCount || was->spinText != s.spinText)
        m_spinText->setToolTip(
            QStringLiteral("Tirages depuis la remise à zéro : %1\n").arg(qs(s.spinText)) +
            fairnessText(s));
    showAvailability();
    m_shown = s;
    m_shownWrites = board().textWrites();
}

void Form1::showCaptions(const BoardState *was)
{
    const BoardState &s = board().state();
    if (!was || was->manualCaption != s.manualCaption)
        m_manualLabel->setText(qs(s.manualCaption));
    if (!was || was->fileCountCaption != s.fileCountCaption)
        m_fileCount->setText(qs(s.fileCountCaption));
    if (!was || was->fileNameCaption != s.fileNameCaption) {
        m_fileName->setText(qs(s.fileNameCaption));
        m_fileName->setToolTip(plainToolTip(qs(s.fileNameCaption))); // the label cuts long names
    }
}

// Only a box the board wrote since the last render: what the user typed stays until then.
void Form1::showText(roulette::TextBox box, QLineEdit *edit, const std::string &text)
{
    if (m_shown && board().textWrites()[box] == m_shownWrites[box])
        return;
    if (edit == m_lastText)
        edit->setText(qs(text)); // a number of the wheel, or what the user typed
    else                         // Text1's tooltip is the spin counter's own
        showCount(edit, qs(text), edit == m_spinText ? QString() : layoutTip(edit));
}

// A count wider than its box is drawn smaller but whole, and then also given in the tooltip
// in case it has become too small to read.
void Form1::showCount(QWidget *box, const QString &text, const QString &tip)
{
    auto *edit = qobject_cast<QLineEdit *>(box);
    if (edit)
        edit->setText(text);
    else
        static_cast<QLabel *>(box)->setText(text);
    const QFont font = m_countFont.fitting(text, textRoom(box));
    if (box->font() != font)
        box->setFont(font);
    if (edit)
        edit->setCursorPosition(0); // a box too narrow shows the number's beginning
    const QString fullTip =
        font.pixelSize() < m_countFont.font().pixelSize() ? text + u'\n' + tip : tip;
    if (!tip.isNull() && box->toolTip() != fullTip)
        box->setToolTip(fullTip);
}
