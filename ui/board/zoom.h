#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "ui/board/formlayout.h"

/// The board's zoom: one factor multiplies the conversion of the layout's twips to pixels and
/// every font size, so the board is drawn anew, crisp, at any size with its proportions kept.
namespace boardzoom
{

inline constexpr double Smallest = 0.5;
inline constexpr double Largest = 3.0;

/// A rectangle of the layout, in pixels at this zoom.
QRect toPixels(const roulette::layout::Twips &t, double zoom);
/// Where a widget of the layout goes at this zoom; a line is a band as thick as the zoomed
/// line, centred on its y.
QRect placeOf(const roulette::layout::Control &c, double zoom);
/// One of the layout's fonts, in the board's family, at this zoom.
QFont fontFor(roulette::layout::Font kind, double zoom);

/// The next step of « Zoom avant » above zoom, and of « Zoom arrière » below it; at the
/// ends, the end.
double zoomedIn(double zoom);
double zoomedOut(double zoom);
/// The largest zoom at which the whole board fits in room.
double fitting(const QSize &room);

/// The zoom last chosen (QSettings), 100 % the first time; and keeping it.
double remembered();
void remember(double zoom);

} // namespace boardzoom
