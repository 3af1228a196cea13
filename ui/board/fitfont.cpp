#include "ui/board/fitfont.h"

#include <QFontMetrics>
#include <QHash>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace
{

constexpr int SmallestPixels = 6;
// A line edit keeps this margin on each side of its text, and a pixel for the cursor.
constexpr int LineEditMargin = 2;

// Counts are digits: one with room for one more of the widest digit fits without being laid
// out (the spare digit covers any kerning). Laying text out is most of what a spin costs.
bool surelyFits(const QFont &font, const QString &text, int room)
{
    if (!std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); }))
        return false;
    static QHash<QString, int> widestDigit; // by the font's key
    int &widest = widestDigit[font.key()];
    if (widest == 0) {
        const QFontMetrics metrics(font);
        for (char16_t digit = u'0'; digit <= u'9'; ++digit)
            widest = std::max(widest, metrics.horizontalAdvance(QChar(digit)));
    }
    return (text.size() + 1) * widest <= room;
}

} // namespace

QFont fittingFont(QFont font, const QString &text, int room)
{
    if (surelyFits(font, text, room))
        return font;
    while (font.pixelSize() > SmallestPixels && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 1);
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
