#pragma once

#include <optional>
#include <span>
#include <vector>

#include <qcustomplot.h>

#include "stats/decimate.h"
#include "stats/series.h"

enum class ChartKind {
    Spread,     // MSChart1: how many numbers came out 0..10 times
    ZeroDozens, // MSChart2: running counts of zero and the three dozens
};

/// One of the two charts: one line per column, x the spin number since the last reset,
/// y the count. It shows placeholder rows until its first refresh, then reads the series
/// of the core in place and redraws only what the new rows changed.
///
/// The graphs hold the points that no longer change; the newest points of each line, the
/// tail, are painted over them, so a spin repaints a small rectangle. The graphs take the
/// settled part of the tails in, with one full replot, when the tails grow long, when a
/// range moves, or while the chart is hidden.
class ChartView : public QCustomPlot
{
    Q_OBJECT
public:
    struct Column {
        const char *label;
        std::uint32_t colour; // 0x00BBGGRR
        int series;           // index in Module1::series
    };

    ChartView(ChartKind kind, const roulette::Module1 &series, QWidget *parent = nullptr);

    std::span<const Column> columns() const { return m_columns; }

    /// Draws the axes' labels and the legend at this zoom of the board (1 at its own size),
    /// so that the chart's text grows and shrinks with the board around it.
    void setTextZoom(double zoom);

    /// Brings every line up to the last row of the series and queues one repaint; repaints
    /// of spins that come faster than the screen merge into one.
    void refresh();

    /// The points the line of a column shows, graph and newest points together; none while
    /// the placeholder rows show.
    std::span<const roulette::DrawnPoint> drawnPoints(std::size_t column) const
    {
        if (m_decimations.empty())
            return {};
        return m_decimations[column].points();
    }

    /// The checkable item of the chart's context menu that shows, under the lines, what a
    /// fair wheel gives on average.
    QAction *expectationAction() const { return m_expectationAction; }
    /// The graphs of that expectation, none while it is hidden.
    const std::vector<QCPGraph *> &expectationGraphs() const { return m_expectation; }

    /// What the chart says of the spin under a point of it; empty where there is no spin.
    QString readOut(QPoint pos) const;

protected:
    bool event(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setUpLooks();
    void placeLegend();
    void showPlaceholder();
    void leavePlaceholder();
    bool setDensity(std::int64_t rows);
    bool setRanges(std::int64_t rows);
    /// The series of a column as drawn: after a reset, until the next spin, those before it.
    roulette::Series shown(const Column &column) const { return m_module.series(column.series); }
    int plotWidth() const;
    void takeInTails(const std::vector<std::size_t> &firstChanged);
    QPolygonF tail(std::size_t column) const;
    QRect changedRect(const std::vector<std::size_t> &firstChanged) const;
    void showExpectation(bool shown);
    bool sampleExpectation();
    QCPGraph *addExpectationGraph(const QPen &pen);

    ChartKind m_kind;
    const roulette::Module1 &m_module;
    std::span<const Column> m_columns;
    std::vector<roulette::Decimation> m_decimations; // empty while the placeholder shows
    std::vector<std::size_t> m_held;                 // points of each line its graph holds
    std::optional<bool> m_sparse;
    bool m_stale = true; // changed since the last repaint, while hidden
    QAction *m_expectationAction = nullptr;
    std::vector<QCPGraph *> m_expectation;
    QCPRange m_sampledRange; // the x range and width the expectation was sampled for
    int m_sampledWidth = 0;
};
