#pragma once

#include <QColor>
#include <QFontDatabase>
#include <QString>

#include <cstdint>

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

} // namespace palette
