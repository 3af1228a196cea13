#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <vector>

/// A table of short texts painted in one go: setting its rows at every spin costs no widget
/// of its own per cell, and no new layout of the window unless its size changes. A row of a
/// single cell spans the whole width (a verdict, a note).
class TextTable : public QWidget
{
    Q_OBJECT
public:
    struct Cell {
        QString text;
        QColor colour = {}; ///< the text's colour; the palette's when invalid
        QColor fill = {};   ///< a box behind the text, as a pocket's colour
        bool bold = false;
    };
    using Row = std::vector<Cell>;

    explicit TextTable(QWidget *parent = nullptr);

    /// Column titles; a column's cells are right-aligned unless it is the first.
    void setHeader(const QStringList &titles);
    void setRows(std::vector<Row> rows);
    /// Every cell's text, row by row, cells joined by " | ".
    QStringList texts() const;

    /// Measures the cells now, rather than when the event loop next runs.
    void fit();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<int> columnWidths() const;
    int rowHeight() const;
    void changed();
    void measure() const;

    QStringList m_header;
    std::vector<Row> m_rows;
    // Measured when the event loop next runs, not at each change.
    mutable bool m_measured = false;
    mutable std::vector<int> m_widths;
    mutable QSize m_hint;
    QSize m_announced; // the size the layout was last told of
};
