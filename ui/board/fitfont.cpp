#include "ui/board/fitfont.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace
{

constexpr int SmallestPixels = 6;
// A line edit keeps this margin on each side of its text, and a pixel for the cursor.
constexpr int LineEditMargin = 2;

bool isCount(const QString &text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool sameDigitAdvances(const QFont &font)
{
    const QFontMetricsF metrics(font);
    const qreal zero = metrics.horizontalAdvance(QChar(u'0'));
    for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
        if (metrics.horizontalAdvance(QChar(digit)) != zero)
            return false;
    }
    return true;
}

QFont shrunkToFit(QFont font, const QString &text, int room)
{
    while (font.pixelSize() > SmallestPixels && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

} // namespace

void CountFont::measureDigits()
{
    const QFontMetrics metrics(m_font);
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
        m_widestDigit = std::max(m_widestDigit, metrics.horizontalAdvance(QChar(digit)));
    m_tabular = true;
    for (QFont smaller = m_font; m_tabular && smaller.pixelSize() >= SmallestPixels;
         smaller.setPixelSize(smaller.pixelSize() - 1))
        m_tabular = sameDigitAdvances(smaller);
}

QFont CountFont::fitting(const QString &text, int room)
{
    if (!isCount(text) || m_font.pixelSize() <= 0)
        return shrunkToFit(m_font, text, room);
    if (m_widestDigit == 0)
        measureDigits();
    // One spare digit's room covers any kerning: such a count fits without being laid out.
    if ((text.size() + 1) * m_widestDigit <= room)
        return m_font;
    if (!m_tabular)
        return shrunkToFit(m_font, text, room);
    const std::pair key(text.size(), room);
    if (const auto found = m_fitted.constFind(key); found != m_fitted.cend()) {
        QFont font = m_font;
        font.setPixelSize(*found);
        return font;
    }
    QFont font = shrunkToFit(m_font, text, room);
    m_fitted.insert(key, font.pixelSize());
    return font;
}

int textRoom(const QWidget *box)
{
    const auto *edit = qobject_cast<const QLineEdit *>(box);
    if (!edit)
        return box->contentsRect().width() - 2; // a pixel clear of each side of the box
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    const QRect contents =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins margins = edit->textMargins();
    return contents.width() - margins.left() - margins.right() - 2 * LineEditMargin - 1;
}
