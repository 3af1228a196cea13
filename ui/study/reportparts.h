#pragma once

// What the builders of the study's report share: the study they read, and the French words
// its figures are written in. Private to ui/study.

#include "stats/evalue.h"
#include "stats/fairness.h"
#include "ui/study/studyreport.h"

namespace report
{

struct Context {
    const roulette::Study &study;
    const roulette::StudySimulation &simulation;
    Source source;
    roulette::HeadlineLevel level; ///< the headline's, which every verdict is read beside
    std::int64_t spins;
};

// The sections, in the window's reading order.
Section pinSection(const roulette::PinBook &book);
Section introSection(const Context &c);
Section wheelSection(const Context &c, const std::optional<roulette::ArcExtremes> &arcs);
Section arcSection(const Context &c, const std::optional<roulette::ArcExtremes> &arcs);
Section sectorSection(const Context &c);
Section numberSection(const Context &c);
Section ecartSection(const Context &c);
Section chanceSection(const Context &c);
Section sequenceSection(const Context &c);

// Words and cells.
QString count(std::int64_t value);
QString signedPercent(double share);
QString meanAndSigma(roulette::Expectation e);
/// A p-value in a column headed "p".
Cell pCell(double pValue);
/// The verdict on one figure, on a row of its own; beside a very rare one that the headline
/// does not follow, why both hold.
void addVerdict(std::vector<Row> &rows, const Context &c, double pValue, const QString &note = {});
/// A simulated p-value: « calcul… » until the first is in, greyed while it is an earlier
/// length's.
Cell simulatedCell(const Context &c, double roulette::SimulatedPValues::*which);
void addSimulatedVerdict(std::vector<Row> &rows, const Context &c,
                         double roulette::SimulatedPValues::*which);
QString arcPockets(int start, int width);
/// Where the headline's evidence lies, in words: « l'arc 16 33 1 20 14 (+21 %) », « le 17 »,
/// « la case à 10 cases du tirage précédent, tirages pairs ».
QString whereText(const roulette::Lead &lead);
/// A suspect in words: « l'arc 16 33 1 20 14, plus souvent », « le 17, moins souvent ».
QString suspectText(const roulette::Suspect &suspect);
/// The headline's words for a level, and their colour.
QString levelName(roulette::HeadlineLevel level);
QColor levelColour(roulette::HeadlineLevel level);
/// E as a reader weighs it: "4,2", "57", "1 250", or "plus d'un million".
QString evidenceText(double e);
/// The outside bets by name, in the order of Chances, and what each holds.
extern const QStringList ChanceNames;
extern const QStringList ChanceDetails;

} // namespace report
