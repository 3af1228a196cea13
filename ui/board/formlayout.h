#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "board/boardstate.h"

namespace roulette::layout
{

/// Positions and sizes are kept in twips, as the layout was drawn; this is the only place
/// that turns them into pixels: 15 twips a pixel at 96 dpi and 100 %, times the board's zoom
/// (Qt scales further on high-DPI screens). Rounded to the nearest pixel.
constexpr int pixels(int twips, double zoom = 1.0)
{
    const double exact = twips * zoom / 15.0;
    return static_cast<int>(exact < 0 ? exact - 0.5 : exact + 0.5);
}

/// Font sizes are given in points; at 96 dpi a point is 4/3 of a pixel, times the zoom.
inline int fontPixels(double points, double zoom = 1.0)
{
    return static_cast<int>(std::lround(points * 96.0 / 72.0 * zoom));
}

struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr Twips MainClientArea{0, 0, 15810, 10785};
inline constexpr Twips WheelClientArea{0, 0, 4680, 3195};
/// Lines are this many pixels thick, centred on their y coordinate.
inline constexpr int LinePixels = 3;

enum class Kind { Label, TextBox, Button, Option, Frame, Line, Chart };

enum class Font {
    Default, // 8.25 pt regular
    Bold,    // 9.75 pt bold
    Regular, // 9.75 pt regular
    Large,   // 12 pt bold
};

/// One widget of the main window (its tooltip is in tooltips.h). An empty colour means the
/// desktop's own colour for that kind of widget. A line's height is 0: it runs from (left, top) to
/// (left + width, top).
struct Control {
    Kind kind = Kind::Label;
    std::string name{};   // objectName, arrays as "Label1(17)"
    std::string parent{}; // objectName of the frame holding it; empty on the window
    Twips place{};
    std::string text{}; // empty for the captions the board keeps: they come from its state
    std::optional<Colour> back{};
    std::optional<Colour> fore{};
    Font font = Font::Default;
    bool bordered = false;
    bool visible = true;
};

/// Every widget of the main window, frames before their contents; each widget lies on top
/// of those before it.
const std::vector<Control> &formControls();

/// "Label1" and 17 give "Label1(17)".
std::string arrayName(const char *name, int index);

Twips numberCell(int n);
Twips hitCell(int n);
Twips marker(int n);
Twips historyCell(int i);

} // namespace roulette::layout
