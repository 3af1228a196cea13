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

inline QString penText(const QPen &pen)
{
    return pen.style() == Qt::NoPen ? u"sans trait"_s
                                    : u"trait %1 %2 px %3"_s.arg(pen.color().name(QColor::HexArgb))
                                          .arg(pen.widthF())
                                          .arg(pen.style());
}

inline QString brushText(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? u""_s
                                        : u", fond "_s + brush.color().name(QColor::HexArgb);
}

/// The named widgets of a board as its user sees them, one a line: name, place, text, ink and
/// face, font, « gras », « cadre » when framed, « caché » when hidden.
inline QStringList looksOf(const QWidget &board)
{
    QStringList lines;
    for (const QWidget *w : board.findChildren<QWidget *>()) {
        const QFont f = w->font();
        const auto *frame = qobject_cast<const QFrame *>(w);
        QStringList look{
            w->objectName(),
            placeText(QRect(w->mapTo(&board, QPoint()), w->size())),
            u"« %1 »"_s.arg(w->property("text").toString() + w->property("title").toString()),
            w->palette().color(w->foregroundRole()).name(),
            u"sur"_s,
            w->palette().color(w->backgroundRole()).name(),
            f.pixelSize() > 0 ? u"%1 px"_s.arg(f.pixelSize()) : u"%1 pt"_s.arg(f.pointSizeF())};
        look << (f.bold() ? u"gras"_s : u""_s)
             << (frame && frame->frameShape() ? u"cadre"_s : u""_s)
             << (w->isHidden() ? u"caché"_s : u""_s);
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(u"qt_"_s))
            lines << look.filter(QRegularExpression(u"."_s)).join(u' ');
    }
    return lines.join(u'\n').split(u'\n');
}

/// What a chart plots: each graph's name, pen, fill and how many points from where to where;
/// each axis' range and tick labels.
inline QStringList plotOf(const QCustomPlot &plot)
{
    QStringList lines;
    for (int i = 0; i < plot.graphCount(); ++i) {
        const QCPGraph *g = plot.graph(i);
        QStringList points;
        for (int at : {0, g->data()->size() - 1})
            if (at >= 0)
                points << u"(%1 ; %2)"_s.arg(g->data()->at(at)->key).arg(g->data()->at(at)->value);
        lines << u"« %1 » %2%3, %4 points %5"_s
                     .arg(g->name(), penText(g->pen()), brushText(g->brush()))
                     .arg(g->data()->size())
                     .arg(points.join(u" … "_s));
    }
    for (const QCPAxis *axis : {plot.xAxis, plot.yAxis})
        lines << u"%1 à %2 : %3"_s.arg(axis->range().lower)
                     .arg(axis->range().upper)
                     .arg(axis->tickVectorLabels().join(u' '));
    return lines;
}

/// Records what a widget paints, an operation a line: each rectangle filled with its colour,
/// each line with its pen, each text where it starts, in the widget's pixels. Read in place of
/// the pixels, it tells which part of a drawing moved.
class PaintLog : public QImage
{
public:
    explicit PaintLog(const QWidget &widget) : QImage(widget.size(), Format_ARGB32) {}
    QStringList lines;
    QPaintEngine *paintEngine() const override { return &m_engine; }

private:
    struct Engine : QPaintEngine {
        explicit Engine(QStringList &lines) : QPaintEngine(AllFeatures), m_lines(lines) {}
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
                m_lines << u"rect %1 %2%3"_s.arg(placeText(m_to.mapRect(r)), penText(m_pen),
                                                 brushText(m_brush));
        }
        void drawLines(const QLineF *lines, int count) override
        {
            for (const QLineF &l : QList(lines, lines + count))
                m_lines << u"ligne %1 %2"_s.arg(
                    placeText(QRectF(m_to.map(l.p1()), m_to.map(l.p2()))), penText(m_pen));
        }
        void drawPolygon(const QPointF *points, int count, PolygonDrawMode) override
        {
            QPainterPath path;
            path.addPolygon(QPolygonF(QList(points, points + count)));
            drawPath(path);
        }
        void drawPath(const QPainterPath &path) override
        {
            m_lines << u"forme %1 %2%3"_s.arg(placeText(m_to.map(path).boundingRect()),
                                              penText(m_pen), brushText(m_brush));
        }
        void drawPixmap(const QRectF &r, const QPixmap &, const QRectF &) override
        {
            m_lines << u"image "_s + placeText(m_to.mapRect(r));
        }
        void drawTextItem(const QPointF &p, const QTextItem &text) override
        {
            const QPoint to = m_to.map(p).toPoint();
            m_lines << u"texte %1,%2 %3 « %4 »"_s.arg(to.x()).arg(to.y()).arg(
                m_pen.color().name(QColor::HexArgb), text.text());
        }

        QStringList &m_lines;
        QPen m_pen;
        QBrush m_brush;
        QTransform m_to;
    };
    mutable Engine m_engine{lines};
};

/// What `widget` paints, as PaintLog records it.
inline QStringList paintedBy(QWidget &widget)
{
    PaintLog log(widget);
    widget.render(&log);
    return log.lines;
}

} // namespace roulette::testing
