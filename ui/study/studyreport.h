#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "stats/arcscan.h"
#include "stats/pinbook.h"
#include "stats/studysimulation.h"

namespace roulette
{
class Study;
}

/// « Étude du cylindre » as a document, without widgets: what the window shows, what a copy
/// and an export hold, what a screen reader reads. Built again from the study at each spin.
namespace report
{

struct Cell {
    QString text;
    QColor colour = {}; ///< the text's colour; the reader's own when invalid
    QColor fill = {};   ///< a box behind the text, as a pocket's colour
    bool bold = false;
    /// The place the row names, which the user may pin or unpin from it.
    std::optional<roulette::Suspect> suspect = {};
    bool operator==(const Cell &) const = default;
};
/// A row of a single cell spans the table's width: a verdict, a note.
using Row = std::vector<Cell>;

struct Table {
    QString name; ///< what a screen reader calls it
    QStringList header;
    std::vector<Row> rows;
};

/// The 37 pockets in wheel order, or the 37 distances from one spin's pocket to the next, each
/// with its count, against the fair count `mean` and its σ; the arcs to mark, if any.
struct Chart {
    enum class Cells { Pockets, Distances };
    Cells cells = Cells::Pockets;
    QString name;
    std::array<std::int64_t, 37> counts{};
    double mean = 0, sigma = 0;
    std::optional<roulette::ArcExtremes> arcs;
};

/// A box of the study: its figures, or why there are none yet.
struct Section {
    QString title; ///< none for the lines above the boxes
    QString explanation;
    QString notYet;      ///< shown above the figures: too few spins so far
    bool figures = true; ///< whether the charts and tables are shown
    std::vector<Chart> charts;
    std::vector<Table> tables; ///< under the charts
};

/// The verdict on the whole wheel, the only figure that judges.
struct Headline {
    QString level; ///< « Rien d'anormal », « Indice de déséquilibre », « Déséquilibre établi »
    QColor colour;
    QString sentence;
    Table figures;
    QString explanation;
};

struct Document {
    Headline headline;
    std::array<std::vector<Section>, 2> columns; ///< side by side when the window is wide enough
};

/// What the study is of: the board since its last reset, or stored sessions, chosen from a
/// wheel's or all of them.
struct Source {
    bool board = true;
    bool pickedSessions = false;
};

inline constexpr std::int64_t MinimumSpins = 37;

/// The study as it stands, with the simulated p-values known so far (maybe for an earlier
/// length); with `pins`, « Pistes épinglées » first.
Document build(const roulette::Study &study, const roulette::StudySimulation &simulation,
               Source source, const roulette::PinBook *pins = nullptr);

/// The chart's cells in its order, then their counts, cells joined by tabs.
QStringList chartLines(const Chart &chart);
/// Every figure of the chart in sentences, for a screen reader.
QString chartDescription(const Chart &chart);
/// The cell's number: a pocket, or a distance.
int cellNumber(const Chart &chart, int index);

} // namespace report
