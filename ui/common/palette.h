#pragma once

#include <QColor>
#include <QFontDatabase>
#include <QString>

#include <cstdint>

#include "stats/pockets.h"

/// Colours and the typeface that several windows share, so that the board, its charts and
/// the study speak with one look.
namespace palette
{

/// Colours are kept as 0x00BBGGRR, the way the board's layout was drawn.
inline QColor fromBgr(std::uint32_t colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

/// MS Sans Serif where it is installed, else Liberation Sans, which has its metrics, so
/// that every caption fits its box.
inline QString boardFontFamily()
{
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))
                                      ? QStringLiteral("MS Sans Serif")
                                      : QStringLiteral("Liberation Sans");
    return family;
}

/// A pocket's own colour on the wheel: green zero, red or black.
inline QColor pocketColour(int number)
{
    if (number == 0)
        return QColor(0x1b, 0x7a, 0x2e);
    return roulette::contains(roulette::RedPockets, number) ? QColor(0xc6, 0x28, 0x28)
                                                            : QColor(0x21, 0x21, 0x21);
}

/// The see-through washes that mark the hottest and the coldest arc of the wheel.
inline QColor arcWash(bool hot)
{
    return hot ? QColor(255, 152, 0, 110) : QColor(66, 133, 244, 70);
}

} // namespace palette
