#include "ui/study/wheelchart.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "stats/pockets.h"
#include "ui/common/palette.h"
#include "ui/common/verdict.h"

namespace
{

constexpr int LeftMargin = 64; // at least: the labels of the scale may need more
constexpr int LabelGap = 6;    // between the labels and the plot
constexpr int TopMargin = 22;
constexpr int RightMargin = 8;
constexpr int NumberRow = 20; // the pocket numbers under the plot
constexpr int CountRow = 42;  // the hit counts, written upwards, under them

} // namespace

WheelChart::WheelChart(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void WheelChart::setChart(report::Chart chart)
{
    m_chart = std::move(chart);
    double farthest = 2.5 * m_chart.sigma;
    for (std::int64_t h : m_chart.counts)
        farthest = std::max(farthest, std::fabs(static_cast<double>(h) - m_chart.mean));
    m_halfRange = std::max(1.0, farthest * 1.1);
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
}

std::vector<std::pair<double, QString>> WheelChart::scaleLabels() const
{
    const double mean = m_chart.mean, band = 2 * m_chart.sigma;
    return {{mean, frenchNumber(mean, 1)},
            {mean + band, QStringLiteral("+2σ %1").arg(frenchNumber(mean + band, 0))},
            {mean - band, QStringLiteral("−2σ %1").arg(frenchNumber(mean - band, 0))}};
}

// Wide enough for the scale's longest label, whole with its sign, however many digits.
int WheelChart::leftMargin() const
{
    int widest = 0;
    for (const auto &[count, text] : scaleLabels())
        widest = std::max(widest, fontMetrics().horizontalAdvance(text));
    return std::max(LeftMargin, widest + LabelGap + 4);
}

QRect WheelChart::plotArea() const
{
    const int left = leftMargin();
    return QRect(left, TopMargin, width() - left - RightMargin,
                 height() - TopMargin - NumberRow - CountRow);
}

double WheelChart::yOf(double count, const QRect &plot) const
{
    return plot.center().y() - (count - m_chart.mean) / m_halfRange * plot.height() / 2.0;
}

QColor WheelChart::cellColour(int index) const
{
    return m_chart.cells == report::Chart::Cells::Pockets
               ? palette::pocketColour(report::cellNumber(m_chart, index))
               : QColor(0x45, 0x5a, 0x64);
}

QRectF WheelChart::drawArc(QPainter &painter, const roulette::Arc &arc, const QColor &colour,
                           const QString &caption, const QRect &plot, const QRectF &taken) const
{
    const double slot = plot.width() / 37.0;
    // An arc past the last pocket goes on from the zero: two strips.
    const int firstPart = std::min(arc.width, 37 - arc.start);
    const int starts[2] = {arc.start, 0};
    const int widths[2] = {firstPart, arc.width - firstPart};
    QRectF captionRect;
    for (int i = 0; i < 2; ++i) {
        if (widths[i] == 0)
            continue;
        const QRectF strip(plot.left() + starts[i] * slot, plot.top(), widths[i] * slot,
                           plot.height() + NumberRow);
        painter.fillRect(strip, colour);
        if (i == 0 || widths[0] < 2) {
            // Centred over the strip, kept inside the widget and clear of the other caption.
            const double textWidth = painter.fontMetrics().horizontalAdvance(caption) + 8;
            double left = std::clamp(strip.center().x() - textWidth / 2, 0.0, width() - textWidth);
            if (taken.isValid() && left < taken.right() && left + textWidth > taken.left()) {
                const double before = taken.left() - textWidth, after = taken.right();
                const bool leftward = strip.center().x() < taken.center().x();
                left = (leftward && before >= 0) || after + textWidth > width() ? before : after;
            }
            captionRect = QRectF(left, 2, textWidth, TopMargin - 4);
            painter.setPen(QColor(colour.rgb()).darker(170)); // opaque, unlike the strip
            painter.drawText(captionRect, Qt::AlignCenter, caption);
        }
    }
    return captionRect;
}

void WheelChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QRect plot = plotArea();

    // The band a fair pocket stays in nineteen times out of twenty, and its centre.
    const double bandTop = yOf(m_chart.mean + 2 * m_chart.sigma, plot);
    const double bandBottom = yOf(m_chart.mean - 2 * m_chart.sigma, plot);
    painter.fillRect(QRectF(plot.left(), bandTop, plot.width(), bandBottom - bandTop),
                     QColor(0xe4, 0xe4, 0xe4));
    if (m_chart.arcs) {
        const QRectF hot = drawArc(painter, m_chart.arcs->hottest, palette::arcWash(true),
                                   QStringLiteral("arc le plus chaud"), plot, QRectF());
        drawArc(painter, m_chart.arcs->coldest, palette::arcWash(false),
                QStringLiteral("arc le plus froid"), plot, hot);
    }
    const double centre = yOf(m_chart.mean, plot);
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), 1, Qt::DashLine));
    painter.drawLine(QPointF(plot.left(), centre), QPointF(plot.right(), centre));
    drawScale(painter, plot);
    drawCells(painter, plot);
}

void WheelChart::drawScale(QPainter &painter, const QRect &plot) const
{
    painter.setPen(palette().color(QPalette::WindowText));
    const int centre = static_cast<int>(yOf(m_chart.mean, plot));
    const QRect labels(0, 0, plot.left() - LabelGap, 0);
    for (const auto &[count, text] : scaleLabels()) {
        const int y = static_cast<int>(yOf(count, plot));
        // A band squeezed by one far bar keeps only the mean's label.
        if (count != m_chart.mean && std::abs(y - centre) < fontMetrics().height())
            continue;
        painter.drawText(labels.adjusted(0, y - 10, 0, y + 10), Qt::AlignRight | Qt::AlignVCenter,
                         text);
    }
}

void WheelChart::drawCells(QPainter &painter, const QRect &plot) const
{
    const double slot = plot.width() / 37.0;
    const double centre = yOf(m_chart.mean, plot);
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.85);
    for (int i = 0; i < 37; ++i) {
        const QColor colour = cellColour(i);
        const double x = plot.left() + i * slot;
        const auto hits = m_chart.counts[static_cast<std::size_t>(i)];
        const double top = yOf(static_cast<double>(hits), plot);
        painter.fillRect(QRectF(x + slot * 0.15, std::min(top, centre), slot * 0.7,
                                std::max(1.0, std::fabs(top - centre))),
                         colour);
        const QRectF cell(x + 1, plot.bottom() + 2, slot - 2, NumberRow - 3);
        painter.fillRect(cell, colour);
        painter.setPen(Qt::white);
        painter.setFont(small);
        painter.drawText(cell, Qt::AlignCenter, QString::number(report::cellNumber(m_chart, i)));
        // The count, written upwards so that five digits fit a narrow pocket.
        painter.save();
        painter.translate(x + slot / 2, plot.bottom() + NumberRow + CountRow);
        painter.rotate(-90);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(2, -slot / 2, CountRow - 4, slot), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::number(hits));
        painter.restore();
        painter.setFont(font());
    }
}
