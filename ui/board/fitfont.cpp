#include "ui/board/fitfont.h"

#include <QFontMetrics>
#include <QHash>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>
#include <utility>

namespace
{

constexpr int SmallestPixels = 6;
// A line edit keeps this margin on each side of its text, and a pixel for the cursor.
constexpr int LineEditMargin = 2;

/// What a font's digits say of the width of a count, measured once per font: laying text out
/// is most of what a spin costs, and counts are digits.
struct DigitWidths {
    int widest = 0;
    /// Every digit as wide as the others at every size the fitting tries, as most fonts draw
    /// them so that columns of figures line up: a count is then as wide as any other count
    /// of as many digits.
    bool tabular = false;
    /// The pixel size found for a count of so many digits in so much room, when tabular.
    QHash<std::pair<qsizetype, int>, int> fitted;
};

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

DigitWidths measureDigits(QFont font)
{
    DigitWidths widths;
    const QFontMetrics metrics(font);
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
        widths.widest = std::max(widths.widest, metrics.horizontalAdvance(QChar(digit)));
    widths.tabular = true;
    for (; widths.tabular && font.pixelSize() >= SmallestPixels;
         font.setPixelSize(font.pixelSize() - 1))
        widths.tabular = sameDigitAdvances(font);
    return widths;
}

DigitWidths &digitWidths(const QFont &font)
{
    static QHash<QString, DigitWidths> byFont; // by the font's key
    const QString key = font.key();
    auto found = byFont.find(key);
    if (found == byFont.end())
        found = byFont.insert(key, measureDigits(font));
    return *found;
}

bool isCount(const QString &text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QFont shrunkToFit(QFont font, const QString &text, int room)
{
    while (font.pixelSize() > SmallestPixels && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

} // namespace

QFont fittingFont(QFont font, const QString &text, int room)
{
    if (!isCount(text) || font.pixelSize() <= 0)
        return shrunkToFit(font, text, room);
    DigitWidths &digits = digitWidths(font);
    // One spare digit's room covers any kerning: such a count fits without being laid out.
    if ((text.size() + 1) * digits.widest <= room)
        return font;
    if (!digits.tabular)
        return shrunkToFit(font, text, room);
    const std::pair key(text.size(), room);
    if (const auto found = digits.fitted.constFind(key); found != digits.fitted.cend()) {
        font.setPixelSize(*found);
        return font;
    }
    font = shrunkToFit(font, text, room);
    digits.fitted.insert(key, font.pixelSize());
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
