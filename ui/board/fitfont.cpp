#include "ui/board/fitfont.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace
{

constexpr int SmallestPixels = 6;
// A line edit keeps this margin on each side of its text, and a pixel for the cursor.
constexpr int LineEditMargin = 2;

} // namespace

QFont fittingFont(QFont font, const QString &text, int room)
{
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
