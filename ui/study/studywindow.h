#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "stats/study.h"
#include "stats/studysimulation.h"
#include "store/notebook.h"
#include "store/pinkeeper.h"

#include "ui/study/studyreport.h"

class BackgroundWork;
class HelpWindow;
class QAction;
class QBoxLayout;
class QLabel;
class QMenu;
class QVBoxLayout;
class TextTable;
class WheelChart;

/// « Étude du cylindre »: whether the spins since the last reset look like a fair wheel's,
/// and if not, where on the wheel. One headline judges; the sections under it describe. It
/// keeps its statistics only while shown: built from the session's outcomes when it opens (in
/// slices, with a progress dialog when that takes long), then following the board a spin at
/// a time. What it shows is a report built without widgets (report()), which the copy, the
/// export and a screen reader read too. The simulated p-values are worked out in the
/// background and kept by session length. The board's shortcuts work from it.
class StudyWindow : public QWidget
{
    Q_OBJECT
public:
    static QString title();

    explicit StudyWindow(const roulette::Module1 &series, QWidget *parent = nullptr);
    /// The study of stored spins, several sessions one after the other, under `title`: it
    /// follows no board, and its figures over sequences restart at each session.
    /// `pickedSessions`: some of the wheel's sessions, not all of them.
    /// With `pin`, that pin's reading under the headline, as it would read now.
    StudyWindow(roulette::PooledSpins spins, const QString &title, bool pickedSessions,
                QWidget *parent = nullptr, const std::optional<roulette::PinMark> &pin = {});
    ~StudyWindow() override;

    /// Catches up with the board when shown; costs nothing when the session did not change.
    void follow();
    /// The board's pins are these, kept with the wheel followed, rather than the window's own.
    void keepPinsWith(roulette::PinKeeper &keeper);
    /// « Épingler cet arc » on the place this row names, or « Retirer l'épingle » when it is
    /// pinned; false when the row names no place or the window follows no board.
    bool togglePin(const report::Row &row);
    /// Whether the simulated p-values of the present session are still to come.
    bool simulating() const;
    /// What the window shows now.
    const report::Document &report() const { return m_report; }

    /// The whole study as plain text, in reading order, or the selected text when a table or
    /// a text of the window has a selection; to the clipboard.
    void copy();
    /// « Exporter l'étude… »: asks where, then writes a PDF, or a web page for a path ending
    /// in .html; says how it went.
    void askExport();
    /// How « Exporter l'étude… » asks where: (suggested path, the types offered, the type
    /// chosen) gives the chosen path, empty when the user cancels. By default a save dialog;
    /// tests answer.
    using ExportChooser = std::function<QString(const QString &, const QString &, QString *)>;
    void setExportChooser(ExportChooser choose) { m_chooseExportPath = std::move(choose); }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // The widgets a section of the report is shown in, in its order.
    struct SectionView {
        QLabel *notYet;
        QWidget *content;
        std::vector<WheelChart *> charts;
        std::vector<TextTable *> tables;
    };

    StudyWindow(const roulette::Module1 *series, roulette::PooledSpins pooled,
                report::Source source, QWidget *parent,
                const std::optional<roulette::PinMark> &storedPin);
    // Building: the widgets of the report's shape (studywindow.cpp).
    void addHeadline(QVBoxLayout *page, const report::Headline &headline);
    void addSection(QVBoxLayout *column, const report::Section &section);
    void present(const report::Document &document);
    void showHeadline(const report::Headline &headline);
    void arrangeColumns(int width);
    void placeOnScreen();
    // Following the board or the stored spins (studyfollow.cpp).
    bool catchUp();
    bool followSpins(std::int64_t limit);
    bool caughtUp() const;
    std::int64_t spinsToStudy() const;
    void refresh();
    void simulate(std::int64_t spins);
    // Commands (studycommands.cpp).
    void addCommands(QVBoxLayout *outer);
    void addBoardShortcuts(const QWidget &board);
    void showHelp();
    void say(const QString &text);
    void addPinAction(QMenu &menu, const QPoint &globalPos, bool byKeyboard);
    const roulette::PinBook *pinBook() const;

    const roulette::Module1 *m_series;    // null when the spins are stored ones
    const roulette::PooledSpins m_pooled; // the stored spins
    const report::Source m_source;
    std::unique_ptr<roulette::Study> m_study;
    std::unique_ptr<roulette::PinKeeper> m_ownPins; // while no keeper is given
    roulette::PinKeeper *m_pins = nullptr;          // the board's; null for stored spins
    std::optional<roulette::PinBook> m_storedPin;   // a pin read on stored spins
    roulette::StudySimulation m_simulation;
    BackgroundWork *m_simulating = nullptr; // the length being simulated, on a worker
    report::Document m_report;

    bool m_sized = false;
    bool m_catchingUp = false;

    QWidget *m_page = nullptr;
    QBoxLayout *m_columns = nullptr; // side by side, or one under the other when narrow
    int m_sideBySideWidth = 0;       // the least width that holds both columns whole
    QLabel *m_status = nullptr;      // what the last command did
    QAction *m_copyAction = nullptr;
    QAction *m_exportAction = nullptr;
    QAction *m_helpAction = nullptr;
    QAction *m_closeAction = nullptr;
    QPointer<HelpWindow> m_help;
    ExportChooser m_chooseExportPath;
    QLabel *m_level = nullptr;
    QLabel *m_sentence = nullptr;
    TextTable *m_figures = nullptr;
    std::vector<SectionView> m_sections; // the columns' sections, left column first
};
