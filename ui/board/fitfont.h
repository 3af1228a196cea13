#pragma once

#include <QFont>
#include <QHash>

#include <utility>

class QWidget;

/// The font of the boxes that show counts, and how small it must be drawn for a count to fit
/// its box. What the font's digits measure is learnt once: laying text out is most of what a
/// spin costs, and counts are digits.
class CountFont
{
public:
    explicit CountFont(const QFont &font = QFont()) : m_font(font) {}

    const QFont &font() const { return m_font; }

    /// The font, a pixel smaller at a time, until text takes no more than room pixels of
    /// width; at the smallest still legible size it stops there.
    QFont fitting(const QString &text, int room);

private:
    void measureDigits();

    QFont m_font;
    int m_widestDigit = 0; // 0 until the digits are measured
    /// Every digit as wide as the others at every size the fitting tries, as most fonts draw
    /// them so that columns of figures line up: a count is then as wide as any other count
    /// of as many digits, and the size found for one serves them all.
    bool m_tabular = false;
    QHash<std::pair<qsizetype, int>, int> m_fitted; // pixel size by digits and room
};

/// The width a label or a line edit gives its text, inside its frame and margins.
int textRoom(const QWidget *box);
