#include "ui/study/wheelchart.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "stats/pockets.h"
#include "ui/common/palette.h"
#include "ui/common/verdict.h"
#include "ui/study/studyaccessible.h"

namespace
{

constexpr int LeftMargin = 64;
constexpr int TopMargin = 22;
constexpr int RightMargin = 8;
constexpr int NumberRow = 20; // the pocket numbers under the plot
constexpr int CountRow = 42;  // the hit counts, written upwards, under them

} // namespace

WheelChart::WheelChart(Cells cells, QWidget *parent) : QWidget(parent), m_cells(cells)
{
    installStudyAccessibility();
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

QStringList WheelChart::plainLines() const
{
    QStringList cells{m_cells == Cells::Pockets ? QStringLiteral("Case")
                                                : QStringLiteral("Distance")};
    QStringList counts{QStringLiteral("Tirages")};
    for (int i = 0; i < 37; ++i) {
        cells << QString::number(cellNumber(i));
        counts << QString::number(m_hits[static_cast<std::size_t>(i)]);
    }
    return {cells.join(QLatin1Char('\t')), counts.join(QLatin1Char('\t'))};
}

QString WheelChart::description() const
{
    QStringList parts;
    for (int i = 0; i < 37; ++i)
        parts << QStringLiteral("%1 : %2")
                     .arg(cellNumber(i))
                     .arg(m_hits[static_cast<std::size_t>(i)]);
    const QString what = m_cells == Cells::Pockets
                             ? QStringLiteral("Tirages par case, dans l'ordre de la roue")
                             : QStringLiteral("Tirages par distance au tirage précédent");
    QString text =
        QStringLiteral("%1 ; attendu %2 par case, bande ±2σ de %3 à %4. %5.")
            .arg(what, frenchNumber(m_mean, 1), frenchNumber(m_mean - 2 * m_sigma, 1),
                 frenchNumber(m_mean + 2 * m_sigma, 1), parts.join(QStringLiteral(" ; ")));
    if (m_arcs) {
        const auto pockets = [this](const roulette::Arc &arc) {
            QStringList numbers;
            for (int i = 0; i < arc.width; ++i)
                numbers << QString::number(cellNumber((arc.start + i) % 37));
            return numbers.join(QLatin1Char(' '));
        };
        text += QStringLiteral(" Arc le plus chaud : %1 ; arc le plus froid : %2.")
                    .arg(pockets(m_arcs->hottest), pockets(m_arcs->coldest));
    }
    return text;
}

void WheelChart::setData(const std::array<std::int64_t, 37> &byPosition, double mean, double sigma,
                         std::optional<roulette::ArcExtremes> arcs)
{
    m_hits = byPosition;
    m_mean = mean;
    m_sigma = sigma;
    m_arcs = arcs;
    double farthest = 2.5 * sigma;
    for (std::int64_t h : byPosition)
        farthest = std::max(farthest, std::fabs(static_cast<double>(h) - mean));
    m_halfRange = std::max(1.0, farthest * 1.1);
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
}

QRect WheelChart::plotArea() const
{
    return QRect(LeftMargin, TopMargin, width() - LeftMargin - RightMargin,
                 height() - TopMargin - NumberRow - CountRow);
}

double WheelChart::yOf(double count, const QRect &plot) const
{
    return plot.center().y() - (count - m_mean) / m_halfRange * plot.height() / 2.0;
}

int WheelChart::cellNumber(int index) const
{
    return m_cells == Cells::Pockets ? roulette::WheelOrder[static_cast<std::size_t>(index)]
                                     : index;
}

QColor WheelChart::cellColour(int index) const
{
    return m_cells == Cells::Pockets ? palette::pocketColour(cellNumber(index))
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
    const double slot = plot.width() / 37.0;

    // The band a fair pocket stays in nineteen times out of twenty, and its centre.
    const double bandTop = yOf(m_mean + 2 * m_sigma, plot);
    const double bandBottom = yOf(m_mean - 2 * m_sigma, plot);
    painter.fillRect(QRectF(plot.left(), bandTop, plot.width(), bandBottom - bandTop),
                     QColor(0xe4, 0xe4, 0xe4));
    if (m_arcs) {
        const QRectF hot = drawArc(painter, m_arcs->hottest, palette::arcWash(true),
                                   QStringLiteral("arc le plus chaud"), plot, QRectF());
        drawArc(painter, m_arcs->coldest, palette::arcWash(false),
                QStringLiteral("arc le plus froid"), plot, hot);
    }
    const double centre = yOf(m_mean, plot);
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), 1, Qt::DashLine));
    painter.drawLine(QPointF(plot.left(), centre), QPointF(plot.right(), centre));

    painter.setPen(palette().color(QPalette::WindowText));
    const QRect labels(0, 0, LeftMargin - 6, 0);
    for (const auto &[count, text] :
         {std::pair{m_mean, QStringLiteral("%1").arg(frenchNumber(m_mean, 1))},
          std::pair{m_mean + 2 * m_sigma,
                    QStringLiteral("+2σ %1").arg(frenchNumber(m_mean + 2 * m_sigma, 0))},
          std::pair{m_mean - 2 * m_sigma,
                    QStringLiteral("−2σ %1").arg(frenchNumber(m_mean - 2 * m_sigma, 0))}}) {
        const int y = static_cast<int>(yOf(count, plot));
        // A band squeezed by one far bar keeps only the mean's label.
        if (count != m_mean && std::abs(y - static_cast<int>(centre)) < fontMetrics().height())
            continue;
        painter.drawText(labels.adjusted(0, y - 10, 0, y + 10), Qt::AlignRight | Qt::AlignVCenter,
                         text);
    }

    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.85);
    for (int i = 0; i < 37; ++i) {
        const int number = cellNumber(i);
        const QColor colour = cellColour(i);
        const double x = plot.left() + i * slot;
        const double top = yOf(static_cast<double>(m_hits[static_cast<std::size_t>(i)]), plot);
        painter.fillRect(QRectF(x + slot * 0.15, std::min(top, centre), slot * 0.7,
                                std::max(1.0, std::fabs(top - centre))),
                         colour);
        const QRectF cell(x + 1, plot.bottom() + 2, slot - 2, NumberRow - 3);
        painter.fillRect(cell, colour);
        painter.setPen(Qt::white);
        painter.setFont(small);
        painter.drawText(cell, Qt::AlignCenter, QString::number(number));
        // The count, written upwards so that five digits fit a narrow pocket.
        painter.save();
        painter.translate(x + slot / 2, plot.bottom() + NumberRow + CountRow);
        painter.rotate(-90);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(2, -slot / 2, CountRow - 4, slot), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::number(m_hits[static_cast<std::size_t>(i)]));
        painter.restore();
        painter.setFont(font());
    }
}
