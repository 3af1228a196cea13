#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "stats/spread.h"

namespace roulette
{

/// Replicates behind every simulated p-value here, drawn from a fixed seed so that the same
/// sessions always read the same.
inline constexpr int HomogeneitySamples = 999;

/// Told the share of the replicates drawn; false stops the drawing, and the p-values it
/// leaves are then no answer.
using SampleProgress = std::function<bool(double fraction)>;

/// The 37 counts of each session of pooled spins; session i runs from starts[i] to the next
/// start, the last one to the end.
std::vector<HitCounts> sessionCounts(std::span<const std::uint8_t> numbers,
                                     std::span<const std::size_t> starts);

/// Pearson's chi-square of homogeneity of the sessions' 37 counts: could every session come
/// from one and the same wheel? Sessions without spins and numbers never out count for
/// nothing.
struct Homogeneity {
    double chiSquare = 0;
    int degrees = 0;
    double pValue = 1;
    /// True when some expected count is below 5, where the chi-square law is too rough: the
    /// p-values are then simulated under the pooled law.
    bool simulated = false;
    /// Each session against all the others pooled, in the sessions' order.
    std::vector<double> sessionPValues;
};
Homogeneity homogeneityTest(std::span<const HitCounts> sessions, int samples = HomogeneitySamples,
                            const SampleProgress &progress = {});

/// The split between two sessions where the counts before and after differ most, with a
/// p-value that allows for the split having been chosen as the most different one: the
/// same scan run on the sessions shuffled, or, when they are too few for their orders to
/// be told apart, on sessions simulated under the pooled law.
struct ChangePoint {
    std::size_t split = 0; ///< the first session after the change; 0 with fewer than two
    double chiSquare = 0;  ///< before against after, at that split
    double pValue = 1;
    bool found() const { return split > 0 && pValue < 0.05; }
};
ChangePoint changePoint(std::span<const HitCounts> sessions, int samples = HomogeneitySamples,
                        const SampleProgress &progress = {});
/// From this many sessions on, their orders are many enough to be shuffled.
inline constexpr std::size_t PermutedSessions = 8;

/// Sessions whose own p-value against the others is below this are named when the sessions
/// differ without a clear cut, at most MostDifferentSessions of them, the lowest first.
inline constexpr double DifferentSession = 0.05;
inline constexpr std::size_t MostDifferentSessions = 3;

/// What the user should do about it, in plain French, from both tests: a clear cut, sessions
/// that differ with no cut between a before and an after, or nothing. `splitSession` names
/// the session at the split as the window shows it, by date, time and label (« séance du
/// 12 mars 2026 20:15 « Table 2 » »): several sessions may share a day; `names` every session.
std::string changeAdvice(const Homogeneity &same, const ChangePoint &change,
                         const std::string &splitSession, std::span<const std::string> names);

} // namespace roulette
