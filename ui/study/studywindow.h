#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

#include "stats/arcscan.h"
#include "stats/nulldistribution.h"
#include "stats/study.h"
#include "store/notebook.h"

#include "ui/common/slicedwrite.h"
#include "ui/study/texttable.h"

class BackgroundWork;
class HelpWindow;
class QAction;
class QBoxLayout;
class QLabel;
class QVBoxLayout;
class WheelChart;

/// « Étude du cylindre »: whether the spins since the last reset look like a fair wheel's,
/// and if not, where on the wheel. One headline judges; the sections under it describe. It
/// keeps its statistics only while shown: built from the session's outcomes when it opens (in
/// slices, with a progress dialog when that takes long), then following the board a spin at
/// a time. The simulated p-values are worked out in the background and kept by
/// session length. Its figures can be selected, copied, exported and read by a screen reader;
/// the board's shortcuts work from it.
class StudyWindow : public QWidget
{
    Q_OBJECT
public:
    static QString title();

    explicit StudyWindow(const roulette::Module1 &series, QWidget *parent = nullptr);
    /// The study of stored spins, several sessions one after the other, under `title`: it
    /// follows no board, and its figures over sequences restart at each session.
    StudyWindow(roulette::PooledSpins spins, const QString &title, QWidget *parent = nullptr);
    ~StudyWindow() override;

    /// Catches up with the board when shown; costs nothing when the session did not change.
    void follow();
    /// Whether the simulated p-values of the present session are still to come.
    bool simulating() const;

    /// The whole study as plain text, in reading order, or the selected text when a table or
    /// a text of the window has a selection; to the clipboard.
    void copy();
    /// « Exporter l'étude… »: asks where, then writes; says how it went.
    void askExport();
    /// Writes the study as a PDF, or as a web page for a path ending in .html.
    WriteResult exportTo(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // What the simulation said, for the session length it was run at.
    struct Simulated {
        std::int64_t spins = 0;
        double hottestArc = 1, coldestArc = 1, highest = 1, lowest = 1, outside = 1;
        double criticalZ = 0;
    };
    struct Section {
        QWidget *box;
        QLabel *notYet;
        QWidget *content;
    };

    StudyWindow(const roulette::Module1 *series, roulette::PooledSpins pooled, QWidget *parent);
    Section addSection(QVBoxLayout *column, const QString &title, const QString &explanation);
    TextTable *addTableSection(QVBoxLayout *column, const QString &title,
                               const QString &explanation, const QStringList &header,
                               WheelChart *chart = nullptr);
    void addHeadline(QVBoxLayout *page);
    void addCommands(QVBoxLayout *outer);
    void addBoardShortcuts(const QWidget &board);
    void showHelp();
    void say(const QString &text);
    void arrangeColumns(int width);
    void placeOnScreen();
    bool catchUp();
    bool followSpins(std::int64_t limit);
    bool caughtUp() const;
    std::int64_t spinsToStudy() const;
    void refresh();
    void showHeadline();
    void showWheel(const std::array<std::int64_t, 37> &byPosition,
                   const std::optional<roulette::ArcExtremes> &arcs);
    void showArcs(const roulette::ArcExtremes &arcs);
    void showSectors();
    void showNumbers();
    void showEcarts();
    void showChances();
    void showSequence();
    TextTable::Cell simulatedCell(double Simulated::*which) const;
    void addSimulatedVerdict(std::vector<TextTable::Row> &rows, double Simulated::*which) const;
    void simulate(std::int64_t spins);
    void received(const std::shared_ptr<const roulette::NullDistribution> &null);

    const roulette::Module1 *m_series;    // null when the spins are stored ones
    const roulette::PooledSpins m_pooled; // the stored spins
    std::unique_ptr<roulette::Study> m_study;
    roulette::NullCache m_cache;
    std::optional<Simulated> m_simulated;   // the latest, maybe for an earlier length
    BackgroundWork *m_simulation = nullptr; // the length being simulated, on a worker

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
    QLabel *m_level = nullptr;
    QLabel *m_sentence = nullptr;
    TextTable *m_figures = nullptr;
    std::optional<roulette::HeadlineLevel> m_shownLevel;
    TextTable *m_summary = nullptr;
    WheelChart *m_wheel = nullptr;
    TextTable *m_wheelLine = nullptr;
    TextTable *m_arcs = nullptr;
    TextTable *m_sectors = nullptr;
    TextTable *m_numbers = nullptr;
    TextTable *m_overdue = nullptr;
    TextTable *m_groups = nullptr;
    TextTable *m_chances = nullptr;
    WheelChart *m_distanceChart = nullptr;
    TextTable *m_sequence = nullptr;
    std::vector<Section> m_sections;
};
