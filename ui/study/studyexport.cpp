#include "ui/study/studyexport.h"

#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QLocale>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

#include <cmath>
#include <functional>

#include "ui/common/lastfolder.h"
#include "ui/study/wheelchart.h"

namespace
{

constexpr int WebChartWidth = 720; // the window's own width for a chart
constexpr int ChartHeight = 270;

using ImageSource = std::function<QString(int index, const QImage &image)>;

QString now()
{
    return QLocale(QLocale::French)
        .toString(QDateTime::currentDateTime(), QStringLiteral("d MMMM yyyy à HH:mm"));
}

QStringList tableLines(const report::Table &table)
{
    QStringList lines;
    if (!table.header.isEmpty())
        lines << table.header.join(QLatin1Char('\t'));
    for (const report::Row &row : table.rows) {
        QStringList cells;
        for (const report::Cell &c : row)
            cells << c.text.trimmed();
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines;
}

// A wash of colour as it looks on the white page: a document's colours have no alpha.
QString onWhite(const QColor &colour)
{
    const double a = colour.alphaF();
    const auto blend = [a](int c) { return static_cast<int>(std::lround(a * c + (1 - a) * 255)); };
    return QColor(blend(colour.red()), blend(colour.green()), blend(colour.blue())).name();
}

QString cellHtml(const report::Cell &cell, bool first, int span)
{
    QStringList style;
    if (cell.colour.isValid())
        style << QStringLiteral("color:%1").arg(cell.colour.name());
    if (cell.fill.isValid())
        style << QStringLiteral("background-color:%1").arg(onWhite(cell.fill));
    if (cell.bold)
        style << QStringLiteral("font-weight:bold");
    if (span == 1)
        style << QStringLiteral("white-space:nowrap"); // a figure stays on one line
    const bool left = first || span > 1;
    return QStringLiteral("<td%1%2%3>%4</td>")
        .arg(span > 1 ? QStringLiteral(" colspan=\"%1\"").arg(span) : QString(),
             left ? QString()
                  : QStringLiteral(" align=\"%1\"")
                        .arg(cell.fill.isValid() ? QStringLiteral("center")
                                                 : QStringLiteral("right")),
             style.isEmpty() ? QString()
                             : QStringLiteral(" style=\"%1\"").arg(style.join(QLatin1Char(';'))),
             cell.text.trimmed().toHtmlEscaped());
}

QString tableHtml(const report::Table &table)
{
    int columns = static_cast<int>(table.header.size());
    for (const report::Row &row : table.rows)
        columns = std::max(columns, static_cast<int>(row.size()));
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">");
    if (!table.header.isEmpty()) {
        html += QStringLiteral("<tr>");
        for (const QString &title : table.header)
            html += QStringLiteral("<th>%1</th>").arg(title.toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    for (const report::Row &row : table.rows) {
        html += QStringLiteral("<tr>");
        for (std::size_t c = 0; c < row.size(); ++c)
            html += cellHtml(row[c], c == 0, row.size() == 1 ? columns : 1);
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>\n");
}

// The chart drawn as the window draws it, at the width the page has for it.
QImage chartImage(const report::Chart &chart, int width)
{
    WheelChart widget;
    widget.setChart(chart);
    widget.resize(width, ChartHeight);
    return widget.grab().toImage();
}

QString paragraph(const QString &text, const QString &kind = {})
{
    return QStringLiteral("<p%1>%2</p>\n")
        .arg(kind.isEmpty() ? QString() : QStringLiteral(" class=\"%1\"").arg(kind),
             text.toHtmlEscaped());
}

QString sectionHtml(const report::Section &section, int chartWidth, const ImageSource &imageSource,
                    int &charts)
{
    QString html;
    if (!section.title.isEmpty())
        html += QStringLiteral("<h2>%1</h2>\n").arg(section.title.toHtmlEscaped());
    html += paragraph(section.explanation, QStringLiteral("note"));
    if (!section.notYet.isEmpty())
        html += paragraph(section.notYet);
    if (!section.figures)
        return html;
    for (const report::Chart &chart : section.charts) {
        const QImage image = chartImage(chart, chartWidth);
        html += QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"%4\"></p>\n")
                    .arg(imageSource(charts++, image))
                    .arg(image.width())
                    .arg(image.height())
                    .arg(report::chartDescription(chart).toHtmlEscaped());
    }
    for (const report::Table &table : section.tables)
        html += tableHtml(table);
    return html;
}

// imageSource names where a chart's picture is found: a resource, or the picture itself.
QString htmlOf(const QString &title, const report::Document &study, int chartWidth,
               const ImageSource &imageSource)
{
    const report::Headline &h = study.headline;
    QString body = QStringLiteral("<h2>%1</h2>\n").arg(h.figures.name.toHtmlEscaped()) +
                   QStringLiteral("<p style=\"font-size:large;font-weight:bold;color:%1\">%2</p>\n")
                       .arg(h.colour.name(), h.level.toHtmlEscaped()) +
                   paragraph(h.sentence) + tableHtml(h.figures) +
                   paragraph(h.explanation, QStringLiteral("note"));
    int charts = 0;
    for (const auto &column : study.columns)
        for (const report::Section &section : column)
            body += sectionHtml(section, chartWidth, imageSource, charts);
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"fr\"><head><meta charset=\"utf-8\">"
                          "<title>%1</title><style>"
                          "h2 { color: #333333; margin-top: 14px; }"
                          "th { text-align: right; padding: 3px; }"
                          "p.note { color: #555555; }"
                          "img { max-width: 100%; height: auto; }"
                          "</style></head><body>\n<h1>%1</h1>\n<p>%2</p>\n%3</body></html>\n")
        .arg(title.toHtmlEscaped(), now().toHtmlEscaped(), body);
}

QByteArray pngOf(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QByteArray pdfOf(const QString &title, const report::Document &study)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Étude Roulette"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    QTextDocument document;
    QFont small = document.defaultFont(); // the widest tables fit the page's width
    small.setPointSizeF(8);
    document.setDefaultFont(small);
    // Laid out on the page as it prints, in the screen's pixels: a chart as wide as the page
    // between its margins fits it whole.
    constexpr int ScreenDpi = 96;
    document.setPageSize(writer.pageLayout().paintRectPixels(ScreenDpi).size());
    const int chartWidth =
        static_cast<int>(document.pageSize().width() - 2 * document.documentMargin()) - 2;
    document.setHtml(htmlOf(title, study, chartWidth, [&document](int index, const QImage &image) {
        QString name = QStringLiteral("graphe-%1.png").arg(index);
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        return name;
    }));
    document.print(&writer);
    return pdf;
}

} // namespace

QString studyPlainText(const QString &title, const report::Document &study)
{
    const report::Headline &h = study.headline;
    QStringList lines{QStringLiteral("%1 — %2").arg(title, now()), QString(), h.figures.name,
                      h.level, h.sentence};
    lines << tableLines(h.figures);
    for (const auto &column : study.columns) {
        for (const report::Section &section : column) {
            if (!section.title.isEmpty())
                lines << QString() << section.title;
            if (!section.notYet.isEmpty())
                lines << section.notYet;
            if (!section.figures)
                continue;
            for (const report::Chart &chart : section.charts)
                lines << report::chartLines(chart);
            for (const report::Table &table : section.tables)
                lines << tableLines(table);
        }
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString studyHtml(const QString &title, const report::Document &study)
{
    return htmlOf(title, study, WebChartWidth, [](int, const QImage &image) {
        return QStringLiteral("data:image/png;base64,%1")
            .arg(QString::fromLatin1(pngOf(image).toBase64()));
    });
}

WriteResult exportStudy(QWidget *parent, const QString &path, const QString &title,
                        const report::Document &study)
{
    const bool web = path.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) ||
                     path.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive);
    const QByteArray bytes = web ? studyHtml(title, study).toUtf8() : pdfOf(title, study);
    return writeInSlices(parent, path, bytes.toStdString(), 0,
                         [](std::int64_t, std::int64_t, std::string &) {});
}

QString defaultExportPath()
{
    return QDir(lastFolder())
        .filePath(QStringLiteral("etude-%1.pdf").arg(QDate::currentDate().toString(Qt::ISODate)));
}
