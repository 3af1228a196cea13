#include "ui/study/texttable.h"

#include <QPainter>

#include <algorithm>
#include <numeric>

namespace
{

constexpr int Gap = 14;    // between columns
constexpr int Padding = 3; // around a filled cell's text

QFont boldOf(QFont font)
{
    font.setBold(true);
    return font;
}

} // namespace

TextTable::TextTable(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
}

void TextTable::setHeader(const QStringList &titles)
{
    m_header = titles;
    changed();
}

void TextTable::setRows(std::vector<Row> rows)
{
    m_rows = std::move(rows);
    changed();
}

QStringList TextTable::texts() const
{
    QStringList lines;
    for (const Row &row : m_rows) {
        QStringList cells;
        for (const Cell &c : row)
            cells << c.text;
        lines << cells.join(QStringLiteral(" | "));
    }
    return lines;
}

int TextTable::rowHeight() const
{
    return fontMetrics().height() + 2 * Padding;
}

std::vector<int> TextTable::columnWidths() const
{
    const QFontMetrics plain(font());
    const QFontMetrics bold(boldOf(font()));
    std::vector<int> widths(static_cast<std::size_t>(m_header.size()), 0);
    for (int c = 0; c < m_header.size(); ++c)
        widths[static_cast<std::size_t>(c)] = bold.horizontalAdvance(m_header[c]) + 2 * Padding;
    for (const Row &row : m_rows) {
        if (row.size() < 2)
            continue;
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t c = 0; c < row.size(); ++c) {
            const QFontMetrics &m = row[c].bold ? bold : plain;
            widths[c] = std::max(widths[c], m.horizontalAdvance(row[c].text) + 2 * Padding);
        }
    }
    return widths;
}

void TextTable::changed()
{
    update();
    if (m_measured) {
        m_measured = false;
        QMetaObject::invokeMethod(this, &TextTable::fit, Qt::QueuedConnection);
    }
}

// Counts change at every spin, their widths seldom: the window is laid out again only then.
void TextTable::fit()
{
    measure();
    if (m_hint != m_announced) {
        m_announced = m_hint;
        updateGeometry();
    }
}

void TextTable::measure() const
{
    if (m_measured)
        return;
    m_measured = true;
    m_widths = columnWidths();
    int width = std::accumulate(m_widths.begin(), m_widths.end(), 0) +
                Gap * std::max(0, static_cast<int>(m_widths.size()) - 1);
    for (const Row &row : m_rows) {
        if (row.size() == 1)
            width = std::max(width, QFontMetrics(boldOf(font())).horizontalAdvance(row[0].text));
    }
    const int lines = static_cast<int>(m_rows.size()) + (m_header.isEmpty() ? 0 : 1);
    m_hint = QSize(width, lines * rowHeight());
}

QSize TextTable::sizeHint() const
{
    measure();
    return m_hint;
}

void TextTable::paintEvent(QPaintEvent *)
{
    fit();
    QPainter painter(this);
    const std::vector<int> &widths = m_widths;
    const int h = rowHeight();
    auto drawRow = [&](int y, const Row &row, bool header) {
        if (row.size() == 1) {
            painter.setFont(row[0].bold ? boldOf(font()) : font());
            painter.setPen(row[0].colour.isValid() ? row[0].colour
                                                   : palette().color(QPalette::WindowText));
            painter.drawText(QRect(0, y, width(), h), Qt::AlignLeft | Qt::AlignVCenter,
                             row[0].text);
            return;
        }
        int x = 0;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const QRect box(x, y, widths[c], h);
            const Cell &cell = row[c];
            if (cell.fill.isValid())
                painter.fillRect(box.adjusted(0, 1, 0, -1), cell.fill);
            painter.setFont(cell.bold || header ? boldOf(font()) : font());
            painter.setPen(cell.colour.isValid() ? cell.colour
                                                 : palette().color(QPalette::WindowText));
            const Qt::Alignment align = cell.fill.isValid() ? Qt::AlignHCenter
                                        : c == 0            ? Qt::AlignLeft
                                                            : Qt::AlignRight;
            painter.drawText(box.adjusted(Padding, 0, -Padding, 0), align | Qt::AlignVCenter,
                             cell.text);
            x += widths[c] + Gap;
        }
    };
    int y = 0;
    if (!m_header.isEmpty()) {
        Row header;
        for (const QString &title : m_header)
            header.push_back({title});
        drawRow(y, header, true);
        y += h;
    }
    for (const Row &row : m_rows) {
        drawRow(y, row, false);
        y += h;
    }
}
