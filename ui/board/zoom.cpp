#include "ui/board/zoom.h"

#include <QSettings>

#include <algorithm>
#include <array>

#include "ui/common/palette.h"

namespace boardzoom
{

namespace
{

using roulette::layout::pixels;

// Steps a user can tell apart, through 100 % both ways.
constexpr std::array Steps{0.5, 0.6, 0.7, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};
constexpr double Tolerance = 1e-6;
const QString SettingsKey = QStringLiteral("affichage/zoom");

double bounded(double zoom)
{
    return std::clamp(zoom, Smallest, Largest);
}

} // namespace

QRect toPixels(const roulette::layout::Twips &t, double zoom)
{
    return QRect(pixels(t.left, zoom), pixels(t.top, zoom), pixels(t.width, zoom),
                 pixels(t.height, zoom));
}

QRect placeOf(const roulette::layout::Control &c, double zoom)
{
    QRect r = toPixels(c.place, zoom);
    if (c.kind == roulette::layout::Kind::Line) {
        // The band a line covers at 100 %, scaled as a whole.
        constexpr int Thickness = roulette::layout::LinePixels * 15;
        constexpr int AboveCentre = roulette::layout::LinePixels / 2 * 15;
        r = QRect(r.left(), pixels(c.place.top - AboveCentre, zoom), r.width(),
                  std::max(1, pixels(Thickness, zoom)));
    }
    return r;
}

QFont fontFor(roulette::layout::Font kind, double zoom)
{
    using roulette::layout::Font;
    using roulette::layout::fontPixels;
    QFont font(palette::boardFontFamily());
    font.setBold(kind == Font::Bold || kind == Font::Large);
    switch (kind) {
    case Font::Default:
        font.setPixelSize(fontPixels(8.25, zoom));
        break;
    case Font::Bold:
    case Font::Regular:
        font.setPixelSize(fontPixels(9.75, zoom));
        break;
    case Font::Large:
        font.setPixelSize(fontPixels(12, zoom));
        break;
    }
    return font;
}

double zoomedIn(double zoom)
{
    const auto *next = std::find_if(Steps.begin(), Steps.end(),
                                    [zoom](double step) { return step > zoom + Tolerance; });
    return next == Steps.end() ? Largest : *next;
}

double zoomedOut(double zoom)
{
    const auto next = std::find_if(Steps.rbegin(), Steps.rend(),
                                   [zoom](double step) { return step < zoom - Tolerance; });
    return next == Steps.rend() ? Smallest : *next;
}

// Rounding to whole pixels may take a pixel more than the exact ratio: step down until the
// board's drawn size fits.
double fitting(const QSize &room)
{
    const roulette::layout::Twips &area = roulette::layout::MainClientArea;
    double zoom = std::min(room.width() * 15.0 / area.width, room.height() * 15.0 / area.height);
    while (zoom > Smallest &&
           (pixels(area.width, zoom) > room.width() || pixels(area.height, zoom) > room.height()))
        zoom -= 0.001;
    return bounded(zoom);
}

double remembered()
{
    const double zoom = QSettings().value(SettingsKey, 1.0).toDouble();
    return zoom > 0 ? bounded(zoom) : 1.0;
}

void remember(double zoom)
{
    QSettings().setValue(SettingsKey, zoom);
}

} // namespace boardzoom
