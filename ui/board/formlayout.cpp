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
        c.push_back({Kind::Label,
                     arrayName("Label1", n),
                     {},
                     numberCell(n),
                     "00",
                     DarkRed,
                     White,
                     Font::Bold,
                     true});
    for (int n = 0; n < NumberCount; ++n)
        c.push_back({Kind::Label,
                     arrayName("Label2", n),
                     {},
                     hitCell(n),
                     "0",
                     White,
                     {},
                     Font::Bold,
                     true});
    for (int n = 0; n < NumberCount; ++n)
        c.push_back({Kind::Label, arrayName("Label3", n), {}, marker(n), {}, Yellow, {}});
    c.push_back({Kind::Line, "Line1", {}, {600, 960, 6360 - 600, 0}, {}, Green});
    c.push_back({Kind::Line, "Line2", {}, {6360, 960, 9240 - 6360, 0}, {}, LightBlue});
    c.push_back({Kind::Line, "Line3", {}, {120, 2400, 3000 - 120, 0}, {}, LightBlue});
    c.push_back({Kind::Line, "Line4", {}, {3000, 2400, 8760 - 3000, 0}, {}, Yellow});
}

void addTopAndBottomRows(std::vector<Control> &c)
{
    for (int i = 0; i < HistoryLength; ++i)
        c.push_back({Kind::Label,
                     arrayName("Label5", i),
                     {},
                     historyCell(i),
                     "-",
                     White,
                     {},
                     Font::Bold,
                     true});
    c.push_back({Kind::Label,
                 "Label4",
                 {},
                 {3360, 3480, 2295, 375},
                 NormalCaption,
                 DarkRed,
                 White,
                 Font::Bold,
                 true,
                 "Choisir les n° à la main , cliquer sur le N°  que vous voulez valider"});
    c.push_back({Kind::Label,
                 "Label6",
                 {},
                 {3360, 3960, 2295, 375},
                 "GAGNE",
                 White,
                 Red,
                 Font::Large,
                 true,
                 {},
                 false});
    c.push_back({Kind::Label,
                 "Label10",
                 {},
                 {13560, 3000, 2055, 735},
                 "Étude Roulette\nversion 1.0",
                 {},
                 {},
                 Font::Default,
                 false,
                 "Étude Roulette : les tirages d'une roulette à un zéro, spin par spin"});
    c.push_back({Kind::TextBox, "Text2", {}, {0, 0, 615, 375}, "00", DarkRed, White, Font::Bold});
    c.push_back(
        {Kind::TextBox, "Text1", {}, {6360, 3600, 615, 375}, "00", DarkRed, White, Font::Bold});
    c.push_back({Kind::Button,
                 "Command3",
                 {},
                 {120, 3600, 2415, 615},
                 "Remettre a  Zero Données",
                 Red,
                 {},
                 Font::Bold});
    c.push_back({Kind::Button, "Command1", {}, {7200, 3600, 1335, 495}, "Lancer 1 N°"});
}

void addDozensFrame(std::vector<Control> &c)
{
    c.push_back({Kind::Frame, "Frame1", {}, {9480, 600, 3135, 1815}, "Douzaines", DarkRed, White});
    static constexpr Colour headerColours[4] = {LightRed, Green, LightBlue, Yellow};
    static constexpr int headerLefts[4] = {360, 1080, 1800, 2400};
    for (int i = 0; i < 4; ++i)
        c.push_back({Kind::Label,
                     arrayName("Label8", i),
                     "Frame1",
                     {headerLefts[i], 240, 375, 255},
                     std::to_string(i),
                     DarkRed,
                     headerColours[i],
                     Font::Bold});
    for (int i = 0; i < 4; ++i)
        c.push_back({Kind::Label,
                     arrayName("Label7", i),
                     "Frame1",
                     {360 + 720 * i, 600, 495, 375},
                     "0",
                     White,
                     {},
                     Font::Bold,
                     true});
    c.push_back({Kind::Button, "Command2", "Frame1", {960, 1200, 1455, 375}, "Voir graphe"});
}

void addSourceFrame(std::vector<Control> &c)
{
    c.push_back({Kind::Frame,
                 "Frame2",
                 {},
                 {12720, 480, 2775, 1935},
                 "Choix du Flux",
                 DarkRed,
                 White,
                 Font::Regular});
    static constexpr const char *captions[3] = {"De votre PC", "Moyen Réél", "Extréme Réél"};
    for (int i = 0; i < 3; ++i)
        c.push_back({Kind::Option,
                     arrayName("Option1", i),
                     "Frame2",
                     {240, 360 + 480 * i, 1695, 375},
                     captions[i],
                     DarkRed,
                     White,
                     Font::Regular});
}

void addFileFrame(std::vector<Control> &c)
{
    c.push_back(
        {Kind::Frame,
         "Frame3",
         {},
         {9000, 2520, 4455, 1695},
         "Tirage sur Fichier",
         DarkRed,
         White,
         Font::Default,
         false,
         "Pour un tirage sur fichier , votre fichier doit etre en .TXT avec un n° par ligne "
         ", sans espace ni autre signe."});
    c.push_back({Kind::Label,
                 "Label9",
                 "Frame3",
                 {135, 420, 2475, 255},
                 "Nom du fichier !",
                 DarkRed,
                 White,
                 Font::Default,
                 true});
    c.push_back(
        {Kind::Button, "Command4", "Frame3", {120, 840, 1335, 300}, "Ouvre", {}, {}, Font::Bold});
    c.push_back({Kind::Label,
                 arrayName("Label8", 4),
                 "Frame3",
                 {1635, 840, 975, 255},
                 "00000",
                 DarkRed,
                 White,
                 Font::Default,
                 true});
    c.push_back({Kind::Button,
                 "Command5",
                 "Frame3",
                 {600, 1200, 1815, 300},
                 "Lancer en auto",
                 {},
                 {},
                 Font::Bold,
                 false,
                 {},
                 false});
    c.push_back({Kind::Button,
                 "Command6",
                 "Frame3",
                 {2760, 360, 1455, 660},
                 "Lancer Manuel",
                 {},
                 {},
                 Font::Bold,
                 false,
                 {},
                 false});
    c.push_back({Kind::TextBox,
                 "Text3",
                 "Frame3",
                 {3240, 1080, 615, 375},
                 "00",
                 DarkRed,
                 White,
                 Font::Bold});
}

std::vector<Control> buildControls()
{
    std::vector<Control> c;
    addBoard(c);
    addTopAndBottomRows(c);
    addDozensFrame(c);
    addSourceFrame(c);
    addFileFrame(c);
    c.push_back({Kind::Chart, "MSChart2", {}, {-240, 4320, 15375, 6015}});
    c.push_back({Kind::Chart, "MSChart1", {}, {-480, 4320, 15375, 6135}});
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

const std::vector<std::string> &tabOrder()
{
    static const std::vector<std::string> order = {
        "MSChart1", "Command1", "Text1",    "Text2", "MSChart2",   "Command2",   "Command6",
        "Command5", "Command4", "Command3", "Text3", "Option1(0)", "Option1(1)", "Option1(2)"};
    return order;
}

} // namespace roulette::layout
