#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "board/board.h"
#include "store/notebook.h"
#include "ui/board/boardmodel.h"
#include "ui/board/fitfont.h"
#include "ui/board/sessionfiles.h"

class BoardNotebook;
class ChartView;
class ClickLabel;
class DrawFileReading;
class HelpWindow;
class QAction;
class QFileDialog;
class QKeySequence;
class QLabel;
class QLineEdit;
class QMenu;
class QMessageBox;
class QPushButton;
class QRadioButton;
class QTimer;
class FocusMark;
class ForRoulette;
class NumberCursor;
class StudyWindow;

/// The main window: a menu bar, the board and a status bar. Each event calls one board
/// operation, then the window shows what changed in the board's state; the window itself
/// decides nothing about the game.
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    static QString programTitle();

    explicit Form1(roulette::Board board = roulette::Board(), QWidget *parent = nullptr);
    ~Form1() override;

    const roulette::Board &board() const { return m_model.board(); }
    /// The board's operations, each announced when done: whoever shows the board follows it.
    BoardModel &model() { return m_model; }
    ForRoulette *forRoulette() const { return m_forRoulette.get(); }
    StudyWindow *studyWindow() const { return m_study; }
    BoardNotebook *notebook() const { return m_notebook; }
    /// The board's own area, every widget placed from its top-left corner; the window
    /// scrolls it when the screen is too small for the whole board.
    QWidget *boardArea() const { return m_boardArea; }
    /// The window's size with the whole board in sight: the board, the menu bar above and
    /// the status bar below. The window is never larger.
    QSize fullSize() const;

    /// Where the window's messages go. By default a modal box; tests take them instead.
    void setMessageSink(std::function<void(const QString &)> sink) { m_sink = std::move(sink); }
    /// The box a message is shown in: the program's title, the text, one OK button, no icon.
    static std::unique_ptr<QMessageBox> makeMessageBox(QWidget *parent, const QString &text);
    /// The answers to the offer, after a permanence is imported to the board, to play it whole.
    enum class PlayOffer { Later, Play, PlayAndStudy };
    /// How that offer is answered: by default a question box; tests answer instead.
    void setPlayOfferAnswer(std::function<PlayOffer(const QString &)> answer)
    {
        m_answerOffer = std::move(answer);
    }
    /// How "Ouvre" asks for a draw file: the chosen path, empty when the user cancels. By
    /// default the dialog CD1; tests answer instead.
    void setFileChooser(std::function<QString(QWidget *)> chooser)
    {
        m_chooseFile = std::move(chooser);
    }
    /// The dialog CD1, ready to show: modal, "*.txt" files, from the folder of the last file
    /// chosen (the Documents folder the first time).
    static std::unique_ptr<QFileDialog> makeFileDialog(QWidget *parent);
    /// Where the session's spins are saved and exported; tests answer its save dialog.
    SessionFiles &sessionFiles() { return m_files; }
    void Label1_Click(int index);
    void Label4_Click();
    void Option1_Click(int index);
    void Timer1_Timer();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    /// « Importer une permanence… » (Ctrl+I): the file chosen as « Ouvre » chooses one, then
    /// its preview; its spins play as a draw file's.
    void importPermanence();
    /// Refreshes both charts from the series; follows every spin made or taken back.
    void DrawCharts();
    /// Takes back the last spin, or the last reset once no spin is left since it, from
    /// Ctrl+Z or the board's context menu.
    void undo();
    /// "Enregistrer les tirages…": the spins since the reset as a draw file. False when
    /// nothing was written.
    bool saveSpins();
    /// "Exporter en CSV…": a row per spin since the reset, with the fifteen series.
    void exportCsv();
    /// "Fermer le fichier de tirage".
    void closeDrawFile();
    /// Asks how many spins to make, then makes them (Ctrl+L, the board's context menu).
    void askSpinMany();
    /// Makes count spins from the current source and shows the board once, at the end. Past
    /// half a second a progress dialog offers to stop; the spins made so far stay.
    void spinMany(std::int64_t count);
    /// « Comment lire ce tableau ? » (F1, the board's context menu), made once, raised again.
    void showHelp();
    /// Opens « Étude du cylindre » (Ctrl+E, the board's context menu), or brings it forward.
    void openStudy();
    /// « À propos d'Étude Roulette ».
    void showAbout();
    /// « Marquer des numéros… »: asks for a list such as « 7 17 32 » and marks exactly those.
    void askMarks();

    /// The board's zoom, 1 at the layout's own size; remembered from one run to the next.
    double zoom() const { return m_zoom; }
    /// Redraws the whole board at this zoom (bounded to what the menu offers): every widget's
    /// place and font from the layout at the new scale.
    void setZoom(double zoom);
    /// « Ajuster à la fenêtre »: the largest zoom that shows the whole board in the window.
    void fitZoom();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();

    void buildBoardArea();
    void keepOnScreen();
    void createActions();
    void buildMenuBar();
    void createKeyboardActions();
    void createViewActions();
    void setUpKeyboard();
    void offerToPlay(const QString &fileName);
    PlayOffer askToPlay(const QString &text);
    void runBatch(std::int64_t count, bool resetFirst);
    QString undoText() const;
    void buildWidgets();
    ChartView *createChart(const QString &name);
    void findWidgets();
    void connectEvents();
    void connectFollowers();
    void drawFileRead(std::optional<roulette::DrawFileLoad> load);
    void takeDrawFile(roulette::DrawFileLoad load);
    void showRefusal(const std::string &why);
    void showBoard(BoardChanges what);
    void render();
    void showCaptions(const roulette::BoardState *was);
    void showText(roulette::TextBox box, QLineEdit *edit, const std::string &text);
    void showCount(QWidget *box, const QString &text, const QString &tip);
    void showAvailability();
    void message(const QString &text);
    /// A line in the status bar that the user may read or not: nothing to answer.
    void confirm(const QString &text);
    void showWritten(const SessionFiles::Written &written);
    bool isBoardShortcut(const QKeySequence &keys) const;
    QAction *addBoardAction(const QString &text, const QString &name, const QKeySequence &keys);
    void playTypedNumber();
    void playTypedLines(const std::vector<std::string> &lines);
    bool closeAllowed();
    BoardModel m_model;
    QWidget *m_boardArea = nullptr;
    QMenu *m_studyMenu = nullptr; // one entry per study window, also in the context menu
    CountFont m_countFont;        // the layout's font of every box that shows a count
    QSize m_openingSize;          // until the window first shows with its frame
    std::unique_ptr<ForRoulette> m_forRoulette;
    std::function<void(const QString &)> m_sink;
    std::function<QString(QWidget *)> m_chooseFile;
    std::function<PlayOffer(const QString &)> m_answerOffer;
    SessionFiles m_files{this, programTitle()};
    DrawFileReading *m_reading = nullptr; // a child, while a draw file is being read
    std::optional<roulette::DrawFileLoad> m_loadAfterBatch; // read while a batch ran
    /// The state last shown, and how often the board had written each text box by then: a
    /// box the user typed in keeps its text until the board writes it again.
    std::optional<roulette::BoardState> m_shown;
    std::array<std::uint64_t, roulette::TextBoxCount> m_shownWrites{};

    std::array<ClickLabel *, roulette::NumberCount> m_numberCells{};
    std::array<QLabel *, roulette::NumberCount> m_hitCells{};
    std::array<QLabel *, roulette::NumberCount> m_markers{};
    std::array<QLabel *, roulette::HistoryLength> m_history{};
    std::array<QLabel *, 4> m_counters{};
    std::array<QRadioButton *, 3> m_options{};
    ClickLabel *m_manualLabel = nullptr;   // Label4
    QLabel *m_wonLabel = nullptr;          // Label6
    QLabel *m_fileCount = nullptr;         // Label8(4)
    QLabel *m_fileName = nullptr;          // Label9
    QLineEdit *m_spinText = nullptr;       // Text1
    QLineEdit *m_lastText = nullptr;       // Text2
    QLineEdit *m_filePosText = nullptr;    // Text3
    QPushButton *m_spinButton = nullptr;   // Command1
    QPushButton *m_chartButton = nullptr;  // Command2
    QPushButton *m_resetButton = nullptr;  // Command3
    QPushButton *m_openButton = nullptr;   // Command4
    QPushButton *m_autoButton = nullptr;   // Command5
    QPushButton *m_replayButton = nullptr; // Command6
    ChartView *m_chart1 = nullptr;         // MSChart1
    ChartView *m_chart2 = nullptr;         // MSChart2
    QTimer *m_timer = nullptr;             // Timer1
    QAction *m_openAction = nullptr;
    QAction *m_quitAction = nullptr;
    QAction *m_resetAction = nullptr;
    QAction *m_aboutAction = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_batchAction = nullptr;
    QAction *m_importAction = nullptr;
    QAction *m_saveAction = nullptr;
    QAction *m_exportAction = nullptr;
    QAction *m_closeFileAction = nullptr;
    QAction *m_studyAction = nullptr;
    QAction *m_helpAction = nullptr;
    QAction *m_manualAction = nullptr; // checked in manual mode, as Label4 reads "Retour"
    QAction *m_markAction = nullptr;
    QAction *m_zoomInAction = nullptr;
    QAction *m_zoomOutAction = nullptr;
    QAction *m_zoomResetAction = nullptr;
    QAction *m_zoomFitAction = nullptr;
    NumberCursor *m_numberCursor = nullptr; // arrow keys and Space over the number cells
    FocusMark *m_focusMark = nullptr;
    double m_zoom = 1.0;
    HelpWindow *m_help = nullptr;        // a child, from the first showHelp on
    StudyWindow *m_study = nullptr;      // a window of its own, from the first openStudy on
    BoardNotebook *m_notebook = nullptr; // follows the board's series, like m_study
    int m_batchCount = 1000;             // the last count asked, offered again
    bool m_batchStopped = false;
    bool m_showingDozens = false; // MSChart2 in front, Command2 reads "Fermer"
    bool m_batchRunning = false;
};
