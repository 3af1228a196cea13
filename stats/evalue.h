#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "stats/spincursor.h"

namespace roulette
{

/// The kinds of bias the headline weighs against a fair wheel.
enum class Pattern {
    Pockets,     ///< any tilt of the 37 pockets
    PocketArc,   ///< an arc of 1 to 9 neighbouring pockets drawn more or less often
    Distances,   ///< any tilt of the distance from one spin's pocket to the next
    DistanceArc, ///< an arc of 1 to 9 neighbouring distances
    /// a distance d or −d, whichever way the wheel turns, over all spins: d = 0 is the same
    /// pocket as the spin before, as when entries are written twice
    MirroredDistances,
};
inline constexpr int PatternCount = 5;
inline constexpr int MaxEvidenceArc = 9;

/// The prior concentrations of each kind: small ones find strong biases early, large ones
/// slight biases over long sessions.
inline constexpr std::array<double, 3> TiltConcentrations = {37, 370, 3700};
inline constexpr std::array<double, 3> ArcConcentrations = {100, 1000, 10000};
/// A dealer may put the ball within a few distances of the last pocket several times as often
/// as a fair wheel does: a concentration of 10 lets the prior reach such rates.
inline constexpr std::array<double, 4> DistanceConcentrations = {10, 100, 1000, 10000};

/// The share of the evidence's prior weight each kind gets, in Pattern's order; within a kind
/// every alternative (concentration, arc, reading of the distances) weighs the same. A k-th of the
/// weight costs a bias log k over what each spin tells of it: a few spins for a dealer, who shows
/// in tens or hundreds of spins, some hundreds for an arc of the wheel, which shows in thousands;
/// so the weight goes to the pockets' arcs.
inline constexpr std::array<double, PatternCount> PatternWeights = {0.05, 0.80, 0.03, 0.08, 0.04};

/// E at or above these: « Indice de déséquilibre », « Déséquilibre établi ».
inline constexpr double HintLevel = 20;
inline constexpr double EstablishedLevel = 1000;
enum class HeadlineLevel { Nothing, Hint, Established };
constexpr HeadlineLevel headlineLevel(double e)
{
    return e >= EstablishedLevel ? HeadlineLevel::Established
           : e >= HintLevel      ? HeadlineLevel::Hint
                                 : HeadlineLevel::Nothing;
}

/// log Σ exp(v) over the values, without overflow.
double logSumExp(std::span<const double> values);

/// The counts of `width` cells from `start` on, around the wheel past the last to the first.
std::int64_t arcCount(const std::array<std::int64_t, 37> &counts, int start, int width);

/// log Bayes factor of counts over 37 cells against equal cells, under a symmetric
/// Dirichlet prior of total `concentration`.
double logTiltFactor(std::span<const std::int64_t, 37> counts, double concentration);
/// log Bayes factor of `inside` of `trials` falling in an arc of `width` of 37 cells against
/// width/37, under a Beta prior of mean width/37 and total `concentration`.
double logArcFactor(std::int64_t inside, std::int64_t trials, int width, double concentration);

/// Where E lies: the alternative that carries the largest share of it, a tilt or a family of
/// arcs — hot or cold ones of one kind and parity, told by the arc they agree on, with the
/// shares of all the arcs that overlap it.
struct Lead {
    Pattern pattern = Pattern::Pockets;
    int parity = EvenSpins; ///< distances: a DistanceReading
    /// Wheel position of the arc's first pocket, or its first distance; for a tilt, its most
    /// frequent cell, as an arc of one; for mirrored distances, d of « d or −d ».
    int start = 0;
    int width = 0;
    double excess = 0; ///< observed over expected, minus one
    double share = 0;  ///< of E: the tilt's, or the arcs' it overlaps
};

/// The headline's evidence against a fair wheel: E, a weighted mean of Bayes factors, each a
/// closed form of counts, so that E is the same whether spins came one by one, in a batch, or
/// were taken back. On a fair wheel E is a martingale of mean 1: it reaches 20 in at most one
/// session in twenty, however often it is read. A spin costs a few counts; reading E after
/// each spin a few thousand multiplications, after a batch or an undo a few thousand
/// log-gammas.
class Evidence
{
public:
    void add(int number);
    /// Takes back the last spin, `number`; `before` is the number of the spin before it in its
    /// session, or −1 when it opened one.
    void removeLast(int number, int before);
    /// The next spin opens another session: no distance joins the two, and the next spin is
    /// the session's spin 1 for the parity of its distances.
    void breakSequence() { m_cursor.breakSequence(); }

    std::int64_t spins() const { return m_cursor.spins(); }
    double logE() const;
    /// E of one kind alone: its alternatives averaged with their own weights.
    double logE(Pattern pattern) const;
    Lead lead() const;

    /// From one spin's pocket to the next, in wheel positions, as a DistanceReading reads them.
    const std::array<std::int64_t, 37> &distances(int parity) const
    {
        return m_groups[static_cast<std::size_t>(parity) + 1].counts;
    }

private:
    static constexpr int Arcs = 37 * MaxEvidenceArc;
    static constexpr int MaxConcentrations = 4;
    struct Priors;
    // Counts over 37 cells, and the Bayes factors worked out from them when last read. Read
    // after every spin, the factors follow by one predictive probability each; otherwise, and
    // every so often to bound rounding and underflow, they are worked out from the closed
    // forms again.
    struct Group {
        std::array<std::int64_t, 37> counts{};
        std::int64_t total = 0;
        // The total the factors hold, or −1 when they hold other counts; one below the total,
        // they lack the last spin, in `pending`.
        mutable std::int64_t factorsAt = -1;
        int pending = 0;
        mutable int sinceExact = 0; // steps since the closed forms
        mutable std::array<double, 3> tilt{};
        // Arcs' factors over exp(arcScale), by concentration, width and start.
        mutable double arcScale = 0;
        mutable std::array<double, std::size_t{MaxConcentrations} * Arcs> arcs{};
        mutable double logSum[2] = {0, 0}; // weighted tilt, weighted arcs

        void add(int cell);
        void remove(int cell);
        void refresh(double tiltWeight, double arcWeight, const Priors &priors) const;
        double exact(const Priors &priors) const; // returns the arcs' sum
        double step(const Priors &priors) const;
        Lead arcFamily(const std::array<double, Arcs> &shares, bool hot) const;
    };

    // The distances folded d ↔ −d, over all spins, by log factor: a few dozen alternatives,
    // each followed by its predictive probability as the arcs are.
    struct Mirrored {
        static constexpr int Size = 19;
        std::array<std::int64_t, Size> counts{};
        std::int64_t total = 0;
        mutable std::int64_t factorsAt = -1;
        int pending = 0;
        mutable int sinceExact = 0;
        mutable std::array<double, std::size_t{MaxConcentrations} * Size> factors{};
        mutable double logSum = 0;

        void add(int cell);
        void remove(int cell);
        void refresh(double weight) const;
    };

    const Group &fresh(int group) const;
    const Mirrored &freshMirrored() const;
    double groupWeight(int group, bool arcs) const;

    Lead mirroredLead(double logTotal) const;

    // Pockets by wheel position; distances of even spins, odd spins, all spins.
    std::array<Group, 4> m_groups;
    Mirrored m_mirrored;
    SpinCursor m_cursor;
};

} // namespace roulette
