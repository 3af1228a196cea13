#include "ui/board/formlayout.h"

namespace roulette::layout
{

namespace
{

constexpr Colour DarkRed = colours::DarkRed;
constexpr Colour White = colours::White;
constexpr Colour Yellow = 0x0000FFFF;
constexpr Colour Green = 0x0000C000;
constexpr Colour LightBlue = 0x00FF8080;
constexpr Colour LightRed = 0x008080FF;
constexpr Colour Red = 0x000000FF;

// The number board runs over two rows: 0 to 18, then 19 to 36.
int boardRow(int n)
{
    return n < 19 ? 0 : 1;
}

int boardColumn(int n)
{
    return n - 19 * boardRow(n);
}

void addBoard(std::vector<Control> &c)
{
    for (int n = 0; n < NumberCount; ++n)
        c.push_back({.kind = Kind::Label,
                     .name = arrayName("Label1", n),
                     .place = numberCell(n),
                     .back = DarkRed,
                     .fore = White,
                     .font = Font::Bold,
                     .bordered = true});
    for (int n = 0; n < NumberCount; ++n)
        c.push_back({.kind = Kind::Label,
                     .name = arrayName("Label2", n),
                     .place = hitCell(n),
                     .back = White,
                     .font = Font::Bold,
                     .bordered = true});
    for (int n = 0; n < NumberCount; ++n)
        c.push_back({.kind = Kind::Label,
                     .name = arrayName("Label3", n),
                     .place = marker(n),
                     .back = Yellow});
    c.push_back(
        {.kind = Kind::Line, .name = "Line1", .place = {600, 960, 6360 - 600, 0}, .back = Green});
    c.push_back({.kind = Kind::Line,
                 .name = "Line2",
                 .place = {6360, 960, 9240 - 6360, 0},
                 .back = LightBlue});
    c.push_back({.kind = Kind::Line,
                 .name = "Line3",
                 .place = {120, 2400, 3000 - 120, 0},
                 .back = LightBlue});
    c.push_back({.kind = Kind::Line,
                 .name = "Line4",
                 .place = {3000, 2400, 8760 - 3000, 0},
                 .back = Yellow});
}

void addTopAndBottomRows(std::vector<Control> &c)
{
    for (int i = 0; i < HistoryLength; ++i)
        c.push_back({.kind = Kind::Label,
                     .name = arrayName("Label5", i),
                     .place = historyCell(i),
                     .back = White,
                     .font = Font::Bold,
                     .bordered = true});
    c.push_back({.kind = Kind::Label,
                 .name = "Label4",
                 .place = {3360, 3480, 2295, 375},
                 .back = DarkRed,
                 .fore = White,
                 .font = Font::Bold,
                 .bordered = true});
    c.push_back({.kind = Kind::Label,
                 .name = "Label6",
                 .place = {3360, 3960, 2295, 375},
                 .text = "GAGNE",
                 .back = White,
                 .fore = Red,
                 .font = Font::Large,
                 .bordered = true,
                 .visible = false});
    c.push_back({.kind = Kind::Label,
                 .name = "Label10",
                 .place = {13560, 3000, 2055, 735},
                 .text = "Étude Roulette\nversion 1.0"});
    c.push_back({.kind = Kind::TextBox,
                 .name = "Text2",
                 .place = {0, 0, 615, 375},
                 .back = DarkRed,
                 .fore = White,
                 .font = Font::Bold});
    c.push_back({.kind = Kind::TextBox,
                 .name = "Text1",
                 .place = {6360, 3600, 615, 375},
                 .back = DarkRed,
                 .fore = White,
                 .font = Font::Bold});
    c.push_back({.kind = Kind::Button,
                 .name = "Command3",
                 .place = {120, 3600, 2415, 615},
                 .text = "Remettre a  Zero Données",
                 .back = Red,
                 .font = Font::Bold});
    c.push_back({.kind = Kind::Button,
                 .name = "Command1",
                 .place = {7200, 3600, 1335, 495},
                 .text = "Lancer 1 N°"});
}

void addDozensFrame(std::vector<Control> &c)
{
    c.push_back({.kind = Kind::Frame,
                 .name = "Frame1",
                 .place = {9480, 600, 3135, 1815},
                 .text = "Douzaines",
                 .back = DarkRed,
                 .fore = White});
    static constexpr Colour headerColours[4] = {LightRed, Green, LightBlue, Yellow};
    static constexpr int headerLefts[4] = {360, 1080, 1800, 2400};
    for (int i = 0; i < 4; ++i)
        c.push_back({.kind = Kind::Label,
                     .name = arrayName("Label8", i),
                     .parent = "Frame1",
                     .place = {headerLefts[i], 240, 375, 255},
                     .text = std::to_string(i),
                     .back = DarkRed,
                     .fore = headerColours[i],
                     .font = Font::Bold});
    for (int i = 0; i < 4; ++i)
        c.push_back({.kind = Kind::Label,
                     .name = arrayName("Label7", i),
                     .parent = "Frame1",
                     .place = {360 + 720 * i, 600, 495, 375},
                     .text = "0",
                     .back = White,
                     .font = Font::Bold,
                     .bordered = true});
    c.push_back({.kind = Kind::Button,
                 .name = "Command2",
                 .parent = "Frame1",
                 .place = {960, 1200, 1455, 375},
                 .text = "Voir graphe"});
}

void addSourceFrame(std::vector<Control> &c)
{
    c.push_back({.kind = Kind::Frame,
                 .name = "Frame2",
                 .place = {12720, 480, 2775, 1935},
                 .text = "Choix du Flux",
                 .back = DarkRed,
                 .fore = White,
                 .font = Font::Regular});
    static constexpr const char *captions[3] = {"De votre PC", "Moyen Réél", "Extréme Réél"};
    for (int i = 0; i < 3; ++i)
        c.push_back({.kind = Kind::Option,
                     .name = arrayName("Option1", i),
                     .parent = "Frame2",
                     .place = {240, 360 + 480 * i, 1695, 375},
                     .text = captions[i],
                     .back = DarkRed,
                     .fore = White,
                     .font = Font::Regular});
}

void addFileFrame(std::vector<Control> &c)
{
    c.push_back({.kind = Kind::Frame,
                 .name = "Frame3",
                 .place = {9000, 2520, 4455, 1695},
                 .text = "Tirage sur Fichier",
                 .back = DarkRed,
                 .fore = White});
    c.push_back({.kind = Kind::Label,
                 .name = "Label9",
                 .parent = "Frame3",
                 .place = {135, 420, 2475, 255},
                 .back = DarkRed,
                 .fore = White,
                 .bordered = true});
    c.push_back({.kind = Kind::Button,
                 .name = "Command4",
                 .parent = "Frame3",
                 .place = {120, 840, 1335, 300},
                 .text = "Ouvre",
                 .font = Font::Bold});
    c.push_back({.kind = Kind::Label,
                 .name = arrayName("Label8", 4),
                 .parent = "Frame3",
                 .place = {1635, 840, 975, 255},
                 .back = DarkRed,
                 .fore = White,
                 .bordered = true});
    c.push_back({.kind = Kind::Button,
                 .name = "Command5",
                 .parent = "Frame3",
                 .place = {600, 1200, 1815, 300},
                 .text = "Lancer en auto",
                 .font = Font::Bold,
                 .visible = false});
    c.push_back({.kind = Kind::Button,
                 .name = "Command6",
                 .parent = "Frame3",
                 .place = {2760, 360, 1455, 660},
                 .text = "Lancer Manuel",
                 .font = Font::Bold,
                 .visible = false});
    c.push_back({.kind = Kind::TextBox,
                 .name = "Text3",
                 .parent = "Frame3",
                 .place = {3240, 1080, 615, 375},
                 .back = DarkRed,
                 .fore = White,
                 .font = Font::Bold});
}

std::vector<Control> buildControls()
{
    std::vector<Control> c;
    addBoard(c);
    addTopAndBottomRows(c);
    addDozensFrame(c);
    addSourceFrame(c);
    addFileFrame(c);
    c.push_back({.kind = Kind::Chart, .name = "MSChart2", .place = {-240, 4320, 15375, 6015}});
    c.push_back({.kind = Kind::Chart, .name = "MSChart1", .place = {-480, 4320, 15375, 6135}});
    return c;
}

} // namespace

std::string arrayName(const char *name, int index)
{
    return std::string(name) + "(" + std::to_string(index) + ")";
}

Twips numberCell(int n)
{
    return {120 + 480 * boardColumn(n), 1080 + 1440 * boardRow(n), 495, 375};
}

Twips hitCell(int n)
{
    return {120 + 480 * boardColumn(n), 1440 + 1440 * boardRow(n), 495, 375};
}

Twips marker(int n)
{
    return {240 + 480 * boardColumn(n), 480 + 1440 * boardRow(n), 255, 255};
}

Twips historyCell(int i)
{
    return {840 + 480 * i, 0, 495, 375};
}

const std::vector<Control> &formControls()
{
    static const std::vector<Control> controls = buildControls();
    return controls;
}

} // namespace roulette::layout
