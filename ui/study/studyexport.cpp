#include "ui/study/studyexport.h"

#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

#include <cmath>
#include <functional>
#include <vector>

#include "ui/common/lastfolder.h"
#include "ui/study/texttable.h"
#include "ui/study/wheelchart.h"

namespace
{

const char *const ExplanationProperty = "studyExplanation";
constexpr int ChartWidth = 640; // in the document's pixels: an A4 page's width, margins off

// One thing the page shows, in reading order.
struct Part {
    enum class Kind { Heading, Text, Explanation, Table, Chart };
    Kind kind;
    QString text;
    const TextTable *table = nullptr;
    WheelChart *chart = nullptr;
    QColor strong = {}; // a label in bold: its colour
};

void collect(const QLayout *layout, std::vector<Part> &parts);

void collect(QWidget *w, std::vector<Part> &parts)
{
    if (w->isHidden())
        return;
    if (const auto *table = qobject_cast<const TextTable *>(w)) {
        parts.push_back({Part::Kind::Table, {}, table});
    } else if (auto *chart = qobject_cast<WheelChart *>(w)) {
        parts.push_back({Part::Kind::Chart, {}, nullptr, chart});
    } else if (const auto *label = qobject_cast<const QLabel *>(w)) {
        if (!label->text().isEmpty())
            parts.push_back(
                {label->property(ExplanationProperty).toBool() ? Part::Kind::Explanation
                                                               : Part::Kind::Text,
                 label->text(), nullptr, nullptr,
                 label->font().bold() ? label->palette().color(QPalette::WindowText) : QColor()});
    } else {
        if (const auto *box = qobject_cast<const QGroupBox *>(w))
            parts.push_back({Part::Kind::Heading, box->title()});
        if (w->layout())
            collect(w->layout(), parts);
    }
}

// The layouts' order is the reading order, whichever way the columns are laid out.
void collect(const QLayout *layout, std::vector<Part> &parts)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget())
            collect(item->widget(), parts);
        else if (item->layout())
            collect(item->layout(), parts);
    }
}

std::vector<Part> partsOf(const QWidget *page)
{
    std::vector<Part> parts;
    if (page->layout())
        collect(page->layout(), parts);
    return parts;
}

QString now()
{
    return QLocale(QLocale::French)
        .toString(QDateTime::currentDateTime(), QStringLiteral("d MMMM yyyy à HH:mm"));
}

// A wash of colour as it looks on the white page: a document's colours have no alpha.
QString onWhite(const QColor &colour)
{
    const double a = colour.alphaF();
    const auto blend = [a](int c) { return static_cast<int>(std::lround(a * c + (1 - a) * 255)); };
    return QColor(blend(colour.red()), blend(colour.green()), blend(colour.blue())).name();
}

QString cellHtml(const TextTable::Cell &cell, bool first, int span)
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

QString tableHtml(const TextTable &table)
{
    int columns = static_cast<int>(table.header().size());
    for (const TextTable::Row &row : table.rows())
        columns = std::max(columns, static_cast<int>(row.size()));
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">");
    if (!table.header().isEmpty()) {
        html += QStringLiteral("<tr>");
        for (const QString &title : table.header())
            html += QStringLiteral("<th>%1</th>").arg(title.toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    for (const TextTable::Row &row : table.rows()) {
        html += QStringLiteral("<tr>");
        for (std::size_t c = 0; c < row.size(); ++c)
            html += cellHtml(row[c], c == 0, row.size() == 1 ? columns : 1);
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

// imageSource names where a chart's picture is found: a resource, or the picture itself.
QString htmlOf(const QString &title, const QWidget *page,
               const std::function<QString(int, const QImage &)> &imageSource)
{
    QString body;
    int charts = 0;
    for (const Part &part : partsOf(page)) {
        switch (part.kind) {
        case Part::Kind::Heading:
            body += QStringLiteral("<h2>%1</h2>\n").arg(part.text.toHtmlEscaped());
            break;
        case Part::Kind::Text:
            body += part.strong.isValid()
                        ? QStringLiteral("<p style=\"font-size:large;font-weight:bold;color:%1\">"
                                         "%2</p>\n")
                              .arg(part.strong.name(), part.text.toHtmlEscaped())
                        : QStringLiteral("<p>%1</p>\n").arg(part.text.toHtmlEscaped());
            break;
        case Part::Kind::Explanation:
            body += QStringLiteral("<p class=\"note\">%1</p>\n").arg(part.text.toHtmlEscaped());
            break;
        case Part::Kind::Table:
            body += tableHtml(*part.table) + QLatin1Char('\n');
            break;
        case Part::Kind::Chart: {
            const QImage image = part.chart->grab().toImage();
            const int height = image.width() > 0 ? ChartWidth * image.height() / image.width() : 0;
            body +=
                QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"%4\"></p>\n")
                    .arg(imageSource(charts++, image))
                    .arg(ChartWidth)
                    .arg(height)
                    .arg(part.chart->description().toHtmlEscaped());
            break;
        }
        }
    }
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"fr\"><head><meta charset=\"utf-8\">"
                          "<title>%1</title><style>"
                          "h2 { color: #333333; margin-top: 14px; }"
                          "th { text-align: right; padding: 3px; }"
                          "p.note { color: #555555; }"
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

QByteArray pdfOf(const QString &title, const QWidget *page)
{
    QTextDocument document;
    QFont small = document.defaultFont(); // the widest tables fit the page's width
    small.setPointSizeF(8);
    document.setDefaultFont(small);
    document.setHtml(htmlOf(title, page, [&document](int index, const QImage &image) {
        QString name = QStringLiteral("graphe-%1.png").arg(index);
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        return name;
    }));
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Étude Roulette"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        document.print(&writer);
    }
    return pdf;
}

} // namespace

void markAsExplanation(QLabel *label)
{
    label->setProperty(ExplanationProperty, true);
}

QString studyPlainText(const QString &title, const QWidget *page)
{
    QStringList lines{QStringLiteral("%1 — %2").arg(title, now())};
    for (const Part &part : partsOf(page)) {
        switch (part.kind) {
        case Part::Kind::Heading:
            lines << QString() << part.text;
            break;
        case Part::Kind::Text:
            lines << part.text;
            break;
        case Part::Kind::Explanation:
            break;
        case Part::Kind::Table:
            lines << part.table->plainLines();
            break;
        case Part::Kind::Chart:
            lines << part.chart->plainLines();
            break;
        }
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString studyHtml(const QString &title, const QWidget *page)
{
    return htmlOf(title, page, [](int, const QImage &image) {
        return QStringLiteral("data:image/png;base64,%1")
            .arg(QString::fromLatin1(pngOf(image).toBase64()));
    });
}

WriteResult exportStudy(QWidget *parent, const QString &path, const QString &title,
                        const QWidget *page)
{
    const bool web = path.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) ||
                     path.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive);
    const QByteArray bytes = web ? studyHtml(title, page).toUtf8() : pdfOf(title, page);
    return writeInSlices(parent, path, bytes.toStdString(), 0,
                         [](std::int64_t, std::int64_t, std::string &) {});
}

QString defaultExportPath()
{
    return QDir(lastFolder())
        .filePath(QStringLiteral("etude-%1.pdf").arg(QDate::currentDate().toString(Qt::ISODate)));
}
