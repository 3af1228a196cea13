#pragma once

#include <QWidget>

#include <utility>
#include <vector>

#include "ui/study/studyreport.h"

/// A chart of the study's report, drawn: the pockets in their order around the wheel, each in
/// its colour, a bar per pocket from the fair-wheel line n/37, up when it came out more often,
/// in a grey band of ±2σ; the hottest arc behind them in orange, the coldest in blue. The same
/// for the 37 distances from one spin's pocket to the next, labelled 0 to 36.
class WheelChart : public QWidget
{
    Q_OBJECT
public:
    explicit WheelChart(QWidget *parent = nullptr);

    void setChart(report::Chart chart);
    const report::Chart &chart() const { return m_chart; }

    QSize sizeHint() const override { return {720, 270}; }
    QSize minimumSizeHint() const override { return {560, 240}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    /// The scale's labels, the mean's first, with the counts they stand at.
    std::vector<std::pair<double, QString>> scaleLabels() const;
    int leftMargin() const;
    QRect plotArea() const;
    double yOf(double count, const QRect &plot) const;
    // Returns where the caption went, so that the next one keeps clear of it.
    QRectF drawArc(QPainter &painter, const roulette::Arc &arc, const QColor &colour,
                   const QString &caption, const QRect &plot, const QRectF &taken) const;
    void drawScale(QPainter &painter, const QRect &plot) const;
    void drawCells(QPainter &painter, const QRect &plot) const;
    QColor cellColour(int index) const;

    report::Chart m_chart;
    double m_halfRange = 1; // counts shown above and below the mean
};
