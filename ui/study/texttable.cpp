#include "ui/study/texttable.h"

#include <QAbstractTableModel>
#include <QEvent>
#include <QHeaderView>
#include <QWheelEvent>

#include <algorithm>
#include <map>
#include <numeric>

namespace
{

constexpr int Gap = 14;    // between columns, the cells' own margins included
constexpr int Padding = 3; // above and below a row's text

QFont boldOf(QFont font)
{
    font.setBold(true);
    return font;
}

bool sameShape(const std::vector<TextTable::Row> &a, const std::vector<TextTable::Row> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto &x, const auto &y) { return x.size() == y.size(); });
}

} // namespace

/// The rows behind a TextTable, with the colours, fills and weights as the view's roles.
class TextTableModel : public QAbstractTableModel
{
public:
    explicit TextTableModel(QObject *parent) : QAbstractTableModel(parent) {}

    const QStringList &header() const { return m_header; }
    const std::vector<TextTable::Row> &rows() const { return m_rows; }
    void setBold(const QFont &font) { m_bold = font; }

    void setHeader(const QStringList &titles)
    {
        beginResetModel();
        m_header = titles;
        endResetModel();
    }
    // Same shape: the cells change in place, and the view only repaints.
    void setRows(std::vector<TextTable::Row> rows)
    {
        if (!sameShape(rows, m_rows)) {
            beginResetModel();
            m_rows = std::move(rows);
            endResetModel();
            return;
        }
        m_rows = std::move(rows);
        if (!m_rows.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    // One more than the figures': an empty last column takes the width the table has to
    // spare, so that the figures stay beside their titles.
    int columnCount(const QModelIndex &parent = {}) const override
    {
        if (parent.isValid())
            return 0;
        std::size_t columns = static_cast<std::size_t>(m_header.size());
        for (const TextTable::Row &row : m_rows)
            columns = std::max(columns, row.size());
        return static_cast<int>(columns) + 1;
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        // Views ask for the root's flags too, an index of no row.
        return index.isValid() && static_cast<std::size_t>(index.column()) <
                                      m_rows[static_cast<std::size_t>(index.row())].size()
                   ? Qt::ItemIsSelectable | Qt::ItemIsEnabled
                   : Qt::NoItemFlags;
    }
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section >= m_header.size())
            return {};
        if (role == Qt::DisplayRole)
            return m_header[section];
        if (role == Qt::FontRole)
            return m_bold;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(section == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                                    : Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }

private:
    QStringList m_header;
    std::vector<TextTable::Row> m_rows;
    QFont m_bold;
};

QVariant TextTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const TextTable::Row &row = m_rows[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    if (column >= row.size())
        return {};
    const TextTable::Cell &cell = row[column];
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case Qt::ForegroundRole:
        return cell.colour.isValid() ? QVariant(cell.colour) : QVariant();
    case Qt::BackgroundRole:
        return cell.fill.isValid() ? QVariant(cell.fill) : QVariant();
    case Qt::FontRole:
        return cell.bold ? QVariant(m_bold) : QVariant();
    case Qt::TextAlignmentRole: {
        const Qt::Alignment across = cell.fill.isValid()              ? Qt::AlignHCenter
                                     : column == 0 || row.size() == 1 ? Qt::AlignLeft
                                                                      : Qt::AlignRight;
        return QVariant::fromValue(across | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

TextTable::TextTable(QWidget *parent) : QTableView(parent), m_model(new TextTableModel(this))
{
    m_model->setBold(boldOf(font()));
    setModel(m_model);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAutoScroll(false);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false); // Tab goes on to the next table
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(rowHeight());
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->hide();
    // The window behind shows through, as it did under the painted table.
    viewport()->setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("QTableView { background: transparent; }"));
}

void TextTable::setHeader(const QStringList &titles)
{
    m_model->setHeader(titles);
    horizontalHeader()->setVisible(!titles.isEmpty());
    spanSingleCells();
    changed();
}

void TextTable::setRows(std::vector<Row> rows)
{
    const bool reshaped = !sameShape(rows, m_model->rows());
    m_model->setRows(std::move(rows));
    if (reshaped)
        spanSingleCells();
    changed();
}

const std::vector<TextTable::Row> &TextTable::rows() const
{
    return m_model->rows();
}

void TextTable::spanSingleCells()
{
    clearSpans();
    const int columns = m_model->columnCount();
    for (std::size_t r = 0; r < m_model->rows().size(); ++r) {
        if (m_model->rows()[r].size() == 1)
            setSpan(static_cast<int>(r), 0, 1, columns);
    }
}

QString TextTable::selectedText() const
{
    std::map<int, std::map<int, QString>> byRow;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        byRow[index.row()][index.column()] = index.data().toString().trimmed();
    QStringList lines;
    for (const auto &[row, cells] : byRow) {
        QStringList texts;
        for (const auto &[column, text] : cells)
            texts << text;
        lines << texts.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

int TextTable::rowHeight() const
{
    return fontMetrics().height() + 2 * Padding;
}

std::vector<int> TextTable::columnWidths() const
{
    const QFontMetrics plain(font());
    const QFontMetrics bold(boldOf(font()));
    const QStringList &header = m_model->header();
    std::vector<int> widths(static_cast<std::size_t>(m_model->columnCount()), 0);
    for (int c = 0; c < header.size(); ++c)
        widths[static_cast<std::size_t>(c)] = bold.horizontalAdvance(header[c]) + Gap;
    for (const Row &row : m_model->rows()) {
        if (row.size() < 2)
            continue;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const QFontMetrics &m = row[c].bold ? bold : plain;
            widths[c] = std::max(widths[c], m.horizontalAdvance(row[c].text) + Gap);
        }
    }
    return widths;
}

void TextTable::changed()
{
    m_measured = false;
    if (!m_fitPending) {
        m_fitPending = true;
        QMetaObject::invokeMethod(this, &TextTable::fit, Qt::QueuedConnection);
    }
}

// Counts change at every spin, their widths seldom: the window is laid out again only then.
void TextTable::fit()
{
    m_fitPending = false;
    measure();
    if (m_widths != m_applied) {
        m_applied = m_widths;
        for (std::size_t c = 0; c < m_widths.size(); ++c)
            horizontalHeader()->resizeSection(static_cast<int>(c), m_widths[c]);
    }
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
    int width = std::accumulate(m_widths.begin(), m_widths.end(), 0);
    for (const Row &row : m_model->rows()) {
        if (row.size() == 1)
            width =
                std::max(width, QFontMetrics(boldOf(font())).horizontalAdvance(row[0].text) + Gap);
    }
    const int header = m_model->header().isEmpty() ? 0 : horizontalHeader()->sizeHint().height();
    m_hint = QSize(width, header + static_cast<int>(m_model->rows().size()) * rowHeight());
}

QSize TextTable::sizeHint() const
{
    measure();
    return m_hint;
}

// The window scrolls, never the table: the wheel goes on to the window.
void TextTable::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}

void TextTable::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_model->setBold(boldOf(font()));
        verticalHeader()->setDefaultSectionSize(rowHeight());
        changed();
    }
    QTableView::changeEvent(event);
}
