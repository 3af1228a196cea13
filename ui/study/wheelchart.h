#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

#include "stats/arcscan.h"

/// The pockets in their order around the wheel, each in its colour: a bar per pocket from
/// the fair-wheel line n/37, up when it came out more often, in a grey band of ±2σ; the
/// hottest arc behind them in orange, the coldest in blue. The same for the 37 distances from
/// one spin's pocket to the next, labelled 0 to 36.
class WheelChart : public QWidget
{
    Q_OBJECT
public:
    enum class Cells { Pockets, Distances };
    explicit WheelChart(Cells cells = Cells::Pockets, QWidget *parent = nullptr);

    /// Hits by wheel position, the expected count and σ per pocket, and the arcs to mark.
    void setData(const std::array<std::int64_t, 37> &byPosition, double mean, double sigma,
                 std::optional<roulette::ArcExtremes> arcs);
    const std::optional<roulette::ArcExtremes> &arcs() const { return m_arcs; }

    /// The cells in the chart's order, then their counts, cells joined by tabs.
    QStringList plainLines() const;
    /// Every figure of the chart in sentences, for a screen reader.
    QString description() const;

    QSize sizeHint() const override { return {720, 270}; }
    QSize minimumSizeHint() const override { return {560, 240}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect plotArea() const;
    double yOf(double count, const QRect &plot) const;
    // Returns where the caption went, so that the next one keeps clear of it.
    QRectF drawArc(QPainter &painter, const roulette::Arc &arc, const QColor &colour,
                   const QString &caption, const QRect &plot, const QRectF &taken) const;
    int cellNumber(int index) const;
    QColor cellColour(int index) const;

    Cells m_cells;

    std::array<std::int64_t, 37> m_hits{};
    double m_mean = 0;
    double m_sigma = 0;
    double m_halfRange = 1; // counts shown above and below the mean
    std::optional<roulette::ArcExtremes> m_arcs;
};
