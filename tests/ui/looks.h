#pragma once

#include <QtWidgets>

#include <qcustomplot.h>

namespace roulette::testing
{

using namespace Qt::StringLiterals;

inline QString placeText(const QRectF &r)
{
    const QRect p = r.toAlignedRect();
    return u"%1,%2 %3×%4"_s.arg(p.x()).arg(p.y()).arg(p.width()).arg(p.height());
}

// « trait #ff0000ff 1 px 2, fond #80ffffff », the pen's style by its number.
inline QString styleText(const QPen &pen, const QBrush &brush = Qt::NoBrush)
{
    const QString line = u"trait %1 %2 px %3"_s.arg(pen.color().name(QColor::HexArgb))
                             .arg(pen.widthF())
                             .arg(pen.style());
    const QString fill = u", fond "_s + brush.color().name(QColor::HexArgb);
    return (pen.style() == Qt::NoPen ? u"sans trait"_s : line) +
           (brush.style() == Qt::NoBrush ? u""_s : fill);
}

/// A board as its user sees it: its window's title and icon, then its named widgets, one a line:
/// name, place, text, ink and face, font, whether bold, framed, hidden, and its tooltip.
inline QStringList looksOf(const QWidget &board)
{
    QStringList lines{board.window()->windowTitle() +
                      (board.window()->windowIcon().isNull() ? u""_s : u" (icône)"_s)};
    for (const QWidget *w : board.findChildren<QWidget *>(QRegularExpression(u"^[A-Z]"_s))) {
        const QFont f = w->font();
        const auto *frame = qobject_cast<const QFrame *>(w);
        lines << u"%1 %2 « %3%4 » %5 sur %6 "_s.arg(
                     w->objectName(), placeText(QRect(w->mapTo(&board, QPoint()), w->size())),
                     w->property("text").toString(), w->property("title").toString(),
                     w->palette().color(w->foregroundRole()).name(),
                     w->palette().color(w->backgroundRole()).name()) +
                     (f.pixelSize() > 0 ? u"%1 px"_s.arg(f.pixelSize())
                                        : u"%1 pt"_s.arg(f.pointSizeF()));
        for (const auto &[on, mark] :
             {std::pair{f.bold(), u" gras"_s},
              {frame && frame->frameShape(), u" cadre"_s},
              {w->autoFillBackground(), u" rempli"_s},
              {w->focusPolicy() != Qt::NoFocus, u" focus %1"_s.arg(w->focusPolicy())},
              {w->isHidden(), u" caché"_s},
              {!w->toolTip().isEmpty(), u' ' + w->toolTip()}})
            lines.last() += on ? mark : u""_s;
    }
    return lines.join(u'\n').split(u'\n');
}

/// What a chart plots: each graph's name, pen, fill, whether smoothed, and points (the first
/// and last of many); each axis' range and tick labels; where the legend stands.
inline QStringList plotOf(const QCustomPlot &plot)
{
    QStringList lines;
    for (int i = 0; i < plot.graphCount(); ++i) {
        const QCPGraphDataContainer &data = *plot.graph(i)->data();
        lines << u"« %1 » %2%3, %4 points"_s
                     .arg(plot.graph(i)->name(),
                          styleText(plot.graph(i)->pen(), plot.graph(i)->brush()),
                          plot.graph(i)->antialiased() ? u" lissé"_s : u""_s)
                     .arg(data.size());
        for (int at = 0; at < data.size(); at += data.size() <= 12 ? 1 : data.size() - 1)
            lines.last() += u" (%1 ; %2)"_s.arg(data.at(at)->key).arg(data.at(at)->value);
    }
    for (const QCPAxis *axis : {plot.xAxis, plot.yAxis})
        lines << u"%1 à %2 : %3"_s.arg(axis->range().lower)
                     .arg(axis->range().upper)
                     .arg(axis->tickVectorLabels().join(u' '));
    return lines << u"légende "_s + placeText(plot.legend->outerRect());
}

/// Records what a widget paints, an operation a line: each shape with its pen and fill, each
/// text where it starts, in the widget's pixels. Read in place of the pixels, it tells which
/// part of a drawing moved.
class PaintLog : public QImage, QPaintEngine
{
public:
    explicit PaintLog(QSize size) : QImage(size, Format_ARGB32), QPaintEngine(AllFeatures) {}
    QStringList lines;
    QPaintEngine *paintEngine() const override { return const_cast<PaintLog *>(this); }

private:
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState &s) override
    {
        m_pen = s.state() & DirtyPen ? s.pen() : m_pen;
        m_brush = s.state() & DirtyBrush ? s.brush() : m_brush;
        m_to = s.state() & DirtyTransform ? s.transform() : m_to;
    }
    void drawRects(const QRectF *rects, int count) override
    {
        for (const QRectF &r : QList(rects, rects + count))
            lines << u"rect %1 %2"_s.arg(placeText(m_to.mapRect(r)), styleText(m_pen, m_brush));
    }
    void drawLines(const QLineF *all, int count) override
    {
        for (const QLineF &l : QList(all, all + count))
            lines << u"ligne %1 %2"_s.arg(placeText(QRectF(m_to.map(l.p1()), m_to.map(l.p2()))),
                                          styleText(m_pen));
    }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode) override
    {
        drawShape(QPolygonF(QList(points, points + count)).boundingRect());
    }
    void drawPath(const QPainterPath &path) override { drawShape(path.boundingRect()); }
    void drawShape(const QRectF &r)
    {
        lines << u"forme %1 %2"_s.arg(placeText(m_to.mapRect(r)), styleText(m_pen, m_brush));
    }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawTextItem(const QPointF &p, const QTextItem &text) override
    {
        const QPoint to = m_to.map(p).toPoint();
        lines << u"texte %1,%2 %3 « %4 »"_s.arg(to.x()).arg(to.y()).arg(
            m_pen.color().name(QColor::HexArgb), text.text());
    }

    QPen m_pen;
    QBrush m_brush;
    QTransform m_to;
};

/// What `widget` paints, as PaintLog records it.
inline QStringList paintedBy(QWidget &widget)
{
    PaintLog log(widget.size());
    widget.render(&log);
    return log.lines;
}

} // namespace roulette::testing
