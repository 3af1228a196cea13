#pragma once

#include <QColor>
#include <QString>
#include <QTableView>

#include <vector>

#include "ui/study/studyreport.h"

class TextTableModel;

/// A table of short texts, shown whole (it never scrolls: the window does), whose cells can
/// be selected, copied and read by a screen reader. Setting rows of the same shape at every
/// spin only repaints it; the window is laid out again only when a column's width changes. A
/// row of a single cell spans the whole width (a verdict, a note).
class TextTable : public QTableView
{
    Q_OBJECT
public:
    using Cell = report::Cell;
    using Row = report::Row;

    explicit TextTable(QWidget *parent = nullptr);

    /// Column titles; a column's cells are right-aligned unless it is the first.
    void setHeader(const QStringList &titles);
    void setRows(std::vector<Row> rows);
    const std::vector<Row> &rows() const;
    /// The selected cells, rows on lines and cells joined by tabs; empty without a selection.
    QString selectedText() const;

    /// Measures the cells now, rather than when the event loop next runs.
    void fit();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void wheelEvent(QWheelEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    std::vector<int> columnWidths() const;
    int rowHeight() const;
    void changed();
    void measure() const;
    void spanSingleCells();

    TextTableModel *m_model;
    // Measured when the event loop next runs, not at each change.
    mutable bool m_measured = false;
    mutable std::vector<int> m_widths;
    mutable QSize m_hint;
    std::vector<int> m_applied; // the column widths the view was last given
    QSize m_announced;          // the size the layout was last told of
    bool m_fitPending = false;
};
