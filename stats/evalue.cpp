#include "stats/evalue.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "stats/pockets.h"

namespace roulette
{

double logSumExp(std::span<const double> values)
{
    const double top = *std::max_element(values.begin(), values.end());
    if (!std::isfinite(top))
        return top;
    double sum = 0;
    for (double v : values)
        sum += std::exp(v - top);
    return top + std::log(sum);
}

std::int64_t arcCount(const std::array<std::int64_t, 37> &counts, int start, int width)
{
    std::int64_t sum = 0;
    for (int i = 0; i < width; ++i)
        sum += counts[static_cast<std::size_t>((start + i) % 37)];
    return sum;
}

namespace
{

constexpr double Cells = 37;

// log Γ(x) by Stirling's series from 8 up, where its next term is below 1e-11: half the cost
// of std::lgamma, which the headline calls a few thousand times a read.
double logGamma(double x)
{
    if (x < 8)
        return std::lgamma(x);
    const double r = 1 / x, r2 = r * r;
    constexpr double halfLogTwoPi = 0.91893853320467274178;
    return (x - 0.5) * std::log(x) - x + halfLogTwoPi +
           r * (1.0 / 12 - r2 * (1.0 / 360 - r2 * (1.0 / 1260 - r2 / 1680)));
}

double logSumExp(std::initializer_list<double> values)
{
    return roulette::logSumExp(std::span<const double>(values.begin(), values.size()));
}

// What an arc's factor needs besides its count, for each concentration and width.
struct ArcPrior {
    double a, b, constant, logOdds, logOutside;
    double overInside, overOutside; // 1/p, 1/(1 − p)
};

ArcPrior arcPrior(double total, int width)
{
    const double inside = width / Cells;
    const double a = total * inside, b = total - a;
    return {a,
            b,
            std::lgamma(total) - std::lgamma(a) - std::lgamma(b),
            std::log(inside) - std::log1p(-inside),
            std::log1p(-inside),
            1 / inside,
            1 / (1 - inside)};
}

// `logGammaAll` is log Γ(concentration + trials), the same for every arc.
double arcFactor(const ArcPrior &p, double logGammaAll, double inside, double trials)
{
    return p.constant + logGamma(p.a + inside) + logGamma(p.b + trials - inside) - logGammaAll -
           inside * p.logOdds - trials * p.logOutside;
}

} // namespace

double logTiltFactor(std::span<const std::int64_t, 37> counts, double concentration)
{
    const double each = concentration / Cells;
    double trials = 0, sum = 0;
    for (std::int64_t c : counts) {
        sum += logGamma(each + static_cast<double>(c)) - logGamma(each);
        trials += static_cast<double>(c);
    }
    return sum + logGamma(concentration) - logGamma(concentration + trials) +
           trials * std::log(Cells);
}

double logArcFactor(std::int64_t inside, std::int64_t trials, int width, double concentration)
{
    const double n = static_cast<double>(trials);
    return arcFactor(arcPrior(concentration, width), logGamma(concentration + n),
                     static_cast<double>(inside), n);
}

// The arcs' priors of one group, by concentration and width.
struct Evidence::Priors {
    std::size_t count = 0;
    std::array<double, MaxConcentrations> totals{};
    std::array<ArcPrior, std::size_t{MaxConcentrations} * MaxEvidenceArc> arcs{};

    explicit Priors(std::span<const double> concentrations) : count(concentrations.size())
    {
        for (std::size_t c = 0; c < count; ++c) {
            totals[c] = concentrations[c];
            for (int w = 1; w <= MaxEvidenceArc; ++w)
                arcs[c * MaxEvidenceArc + static_cast<std::size_t>(w - 1)] =
                    arcPrior(concentrations[c], w);
        }
    }

    static const Priors &of(int group)
    {
        static const Priors pockets(ArcConcentrations), distances(DistanceConcentrations);
        return group == 0 ? pockets : distances;
    }
};

// Past these many steps, or once the arcs' sum leaves [1e-100, 1e100], the factors are worked
// out again: an arc set to zero below e^-690 gains at most log 37 a step, so it stays below
// e^-200 of the sum, and rounding stays near 1e-14.
constexpr int MaxSteps = 64;
constexpr double Underflow = 1e-300;

// Plain stores only: a batch of spins must not wait on what the last spin found.
void Evidence::Group::add(int cell)
{
    ++counts[static_cast<std::size_t>(cell)];
    ++total;
    pending = cell;
}

void Evidence::Group::remove(int cell)
{
    --counts[static_cast<std::size_t>(cell)];
    --total;
    // Taking back the one spin the factors lack brings them back to the counts.
    if (total != factorsAt)
        factorsAt = -1;
}

namespace
{

bool overlap(int start, int width, int otherStart, int otherWidth)
{
    return (otherStart - start + 37) % 37 < width || (start - otherStart + 37) % 37 < otherWidth;
}

} // namespace

// Where an arc bias lies, from all the hot (or cold) arcs at once: one arc's share alone splits
// a hot arc among its sub-arcs and neighbours. Each cell weighs the shares of the arcs that
// hold it; the arc told holds the cells that more than half of that weight places in an arc,
// as many as it can, and carries the shares of all the arcs it overlaps.
Lead Evidence::Group::arcFamily(const std::array<double, Arcs> &shares, bool hot) const
{
    const auto at = [](int width, int start) {
        return (static_cast<std::size_t>(width) - 1) * 37 + static_cast<std::size_t>(start);
    };
    std::array<bool, Arcs> side{};
    for (int start = 0; start < 37; ++start) {
        std::int64_t inside = 0;
        for (int w = 1; w <= MaxEvidenceArc; ++w) {
            inside += counts[static_cast<std::size_t>((start + w - 1) % 37)];
            side[at(w, start)] = (inside * 37 > total * w) == hot;
        }
    }
    const auto sameSide = [&](int width, int start) { return side[at(width, start)]; };
    std::array<double, 37> weight{};
    double all = 0;
    for (int w = 1; w <= MaxEvidenceArc; ++w) {
        for (int start = 0; start < 37; ++start) {
            if (!sameSide(w, start))
                continue;
            all += shares[at(w, start)];
            for (int i = 0; i < w; ++i)
                weight[static_cast<std::size_t>((start + i) % 37)] += shares[at(w, start)];
        }
    }
    Lead family;
    if (all <= 0)
        return family;
    double bestScore = -1;
    for (int start = 0; start < 37; ++start) {
        double score = 0;
        for (int w = 1; w <= MaxEvidenceArc; ++w) {
            score += weight[static_cast<std::size_t>((start + w - 1) % 37)] / all - 0.5;
            if (score > bestScore) {
                bestScore = score;
                family.start = start;
                family.width = w;
            }
        }
    }
    for (int w = 1; w <= MaxEvidenceArc; ++w)
        for (int start = 0; start < 37; ++start)
            if (sameSide(w, start) && overlap(family.start, family.width, start, w))
                family.share += shares[at(w, start)];
    const double expected = static_cast<double>(total) * family.width / Cells;
    family.excess =
        expected > 0
            ? static_cast<double>(arcCount(counts, family.start, family.width)) / expected - 1
            : 0;
    return family;
}

double Evidence::Group::exact(const Priors &priors) const
{
    for (std::size_t c = 0; c < 3; ++c)
        tilt[c] = logTiltFactor(counts, TiltConcentrations[c]);
    const double n = static_cast<double>(total);
    std::array<double, MaxConcentrations> logGammaAll{};
    for (std::size_t c = 0; c < priors.count; ++c)
        logGammaAll[c] = logGamma(priors.totals[c] + n);
    for (int start = 0; start < 37; ++start) {
        std::int64_t inside = 0;
        for (int w = 1; w <= MaxEvidenceArc; ++w) {
            inside += counts[static_cast<std::size_t>((start + w - 1) % 37)];
            for (std::size_t c = 0; c < priors.count; ++c) {
                const std::size_t at = c * MaxEvidenceArc + static_cast<std::size_t>(w - 1);
                arcs[at * 37 + static_cast<std::size_t>(start)] =
                    arcFactor(priors.arcs[at], logGammaAll[c], static_cast<double>(inside), n);
            }
        }
    }
    const auto used = arcs.begin() + static_cast<std::ptrdiff_t>(priors.count * Arcs);
    arcScale = *std::max_element(arcs.begin(), used);
    double sum = 0;
    for (auto v = arcs.begin(); v != used; ++v) {
        *v = std::exp(*v - arcScale);
        if (*v < Underflow)
            *v = 0; // kept out of the subnormal numbers, slow to multiply
        sum += *v;
    }
    sinceExact = 0;
    return sum;
}

// The pending spin's predictive probability over the fair wheel's, alternative by alternative:
// for an arc with k of n inside, (a + k) / (a + b + n) / p if the spin fell inside, else
// (b + n − k) / (a + b + n) / (1 − p). Returns the arcs' sum.
double Evidence::Group::step(const Priors &priors) const
{
    const std::int64_t before = total - 1;
    const double n = static_cast<double>(before);
    const std::size_t cell = static_cast<std::size_t>(pending);
    for (std::size_t c = 0; c < 3; ++c) {
        const double each = TiltConcentrations[c] / Cells;
        tilt[c] += std::log(Cells * (each + static_cast<double>(counts[cell] - 1)) /
                            (TiltConcentrations[c] + n));
    }
    // Each arc's count before the spin, and whether the spin fell in it, by width and start.
    std::array<double, Arcs> inside{};
    std::array<bool, Arcs> hit{};
    for (std::size_t start = 0; start < 37; ++start) {
        double k = 0;
        bool in = false;
        for (std::size_t w = 0; w < MaxEvidenceArc; ++w) {
            const std::size_t at = (start + w) % 37;
            in = in || at == cell;
            k += static_cast<double>(counts[at]) - (at == cell);
            inside[w * 37 + start] = k;
            hit[w * 37 + start] = in;
        }
    }
    double sum = 0;
    for (std::size_t prior = 0; prior < priors.count * MaxEvidenceArc; ++prior) {
        const ArcPrior &p = priors.arcs[prior];
        const double perTrial = 1 / (priors.totals[prior / MaxEvidenceArc] + n);
        const double overInside = p.overInside * perTrial, overOutside = p.overOutside * perTrial;
        const double outsideAll = p.b + n;
        const std::size_t w = prior % MaxEvidenceArc;
        for (std::size_t start = 0; start < 37; ++start) {
            const double k = inside[w * 37 + start];
            const double ratio =
                hit[w * 37 + start] ? (p.a + k) * overInside : (outsideAll - k) * overOutside;
            double &v = arcs[prior * 37 + start];
            v = v * ratio < Underflow ? 0 : v * ratio;
            sum += v;
        }
    }
    ++sinceExact;
    return sum;
}

void Evidence::Group::refresh(double tiltWeight, double arcWeight, const Priors &priors) const
{
    if (factorsAt == total)
        return;
    double sum = 0;
    if (factorsAt >= 0 && factorsAt + 1 == total && sinceExact < MaxSteps)
        sum = step(priors);
    if (!(sum >= 1e-100 && sum <= 1e100))
        sum = exact(priors);
    logSum[0] = std::log(tiltWeight) + logSumExp(tilt);
    logSum[1] = std::log(arcWeight) + arcScale + std::log(sum);
    factorsAt = total;
}

// Each alternative's weight: its kind's share, split evenly over concentrations, arcs and,
// for the distances, the three readings.
double Evidence::groupWeight(int group, bool arcs) const
{
    const Pattern pattern = group == 0 ? (arcs ? Pattern::PocketArc : Pattern::Pockets)
                                       : (arcs ? Pattern::DistanceArc : Pattern::Distances);
    const double concentrations =
        arcs ? static_cast<double>(Priors::of(group).count) : TiltConcentrations.size();
    const double alternatives = concentrations * (arcs ? Arcs : 1) * (group == 0 ? 1 : 3);
    return PatternWeights[static_cast<std::size_t>(pattern)] / alternatives;
}

const Evidence::Group &Evidence::fresh(int group) const
{
    const Group &g = m_groups[static_cast<std::size_t>(group)];
    g.refresh(groupWeight(group, false), groupWeight(group, true), Priors::of(group));
    return g;
}

namespace
{

// d and −d fall in one cell: 0 alone, then 1 and 36, 2 and 35, … 18 and 19.
int mirroredCell(int distance)
{
    return std::min(distance, 37 - distance);
}

double mirroredWidth(int cell)
{
    return cell == 0 ? 1 : 2;
}

} // namespace

void Evidence::Mirrored::add(int cell)
{
    ++counts[static_cast<std::size_t>(cell)];
    ++total;
    pending = cell;
}

void Evidence::Mirrored::remove(int cell)
{
    --counts[static_cast<std::size_t>(cell)];
    --total;
    if (total != factorsAt)
        factorsAt = -1;
}

// As the arcs: one predictive probability each after a single spin, the closed forms otherwise.
void Evidence::Mirrored::refresh(double weight) const
{
    if (factorsAt == total)
        return;
    const bool oneStep = factorsAt >= 0 && factorsAt + 1 == total && sinceExact < MaxSteps;
    const double n = static_cast<double>(total - (oneStep ? 1 : 0));
    for (std::size_t c = 0; c < DistanceConcentrations.size(); ++c) {
        const double concentration = DistanceConcentrations[c];
        for (int cell = 0; cell < Size; ++cell) {
            const double p = mirroredWidth(cell) / Cells;
            double &f = factors[c * Size + static_cast<std::size_t>(cell)];
            const auto k = counts[static_cast<std::size_t>(cell)];
            if (!oneStep) {
                f = logArcFactor(k, total, cell == 0 ? 1 : 2, concentration);
                continue;
            }
            const double before = static_cast<double>(k - (cell == pending));
            f += cell == pending ? std::log((concentration * p + before) / (concentration + n) / p)
                                 : std::log((concentration * (1 - p) + n - before) /
                                            (concentration + n) / (1 - p));
        }
    }
    sinceExact = oneStep ? sinceExact + 1 : 0;
    logSum = std::log(weight) + logSumExp(factors);
    factorsAt = total;
}

const Evidence::Mirrored &Evidence::freshMirrored() const
{
    m_mirrored.refresh(PatternWeights[static_cast<std::size_t>(Pattern::MirroredDistances)] /
                       static_cast<double>(m_mirrored.factors.size()));
    return m_mirrored;
}

void Evidence::add(int number)
{
    const SpinStep step = m_cursor.add(number);
    m_groups[0].add(step.position);
    if (step.distance < 0)
        return;
    m_groups[1 + static_cast<std::size_t>(step.parity)].add(step.distance);
    m_groups[1 + AllSpins].add(step.distance);
    m_mirrored.add(mirroredCell(step.distance));
}

void Evidence::removeLast(int number, int before)
{
    const SpinStep step = m_cursor.removeLast(number, before);
    m_groups[0].remove(step.position);
    if (step.distance < 0)
        return;
    m_groups[1 + static_cast<std::size_t>(step.parity)].remove(step.distance);
    m_groups[1 + AllSpins].remove(step.distance);
    m_mirrored.remove(mirroredCell(step.distance));
}

double Evidence::logE() const
{
    std::array<double, 9> sums{};
    for (int g = 0; g < 4; ++g)
        for (std::size_t arcs = 0; arcs < 2; ++arcs)
            sums[static_cast<std::size_t>(g) * 2 + arcs] = fresh(g).logSum[arcs];
    sums[8] = freshMirrored().logSum;
    return logSumExp(sums);
}

double Evidence::logE(Pattern pattern) const
{
    const bool arcs = pattern == Pattern::PocketArc || pattern == Pattern::DistanceArc;
    double sum = 0;
    if (pattern == Pattern::MirroredDistances)
        sum = freshMirrored().logSum;
    else if (pattern == Pattern::Pockets || pattern == Pattern::PocketArc)
        sum = fresh(0).logSum[arcs];
    else
        sum = logSumExp({fresh(1).logSum[arcs], fresh(2).logSum[arcs], fresh(3).logSum[arcs]});
    return sum - std::log(PatternWeights[static_cast<std::size_t>(pattern)]);
}

// The mirrored distance that carries the largest share, told with its excess over its two
// cells (one for d = 0).
Lead Evidence::mirroredLead(double logTotal) const
{
    const Mirrored &m = freshMirrored();
    const double perUnit = m.logSum - logSumExp(m.factors) - logTotal;
    Lead best{Pattern::MirroredDistances, AllSpins, 0, 1, 0, 0};
    for (int cell = 0; cell < Mirrored::Size; ++cell) {
        double share = 0;
        for (std::size_t c = 0; c < DistanceConcentrations.size(); ++c)
            share +=
                std::exp(perUnit + m.factors[c * Mirrored::Size + static_cast<std::size_t>(cell)]);
        if (share <= best.share)
            continue;
        const double expected = static_cast<double>(m.total) * mirroredWidth(cell) / Cells;
        best.start = cell;
        best.share = share;
        best.excess =
            expected > 0
                ? static_cast<double>(m.counts[static_cast<std::size_t>(cell)]) / expected - 1
                : 0;
    }
    return best;
}

Lead Evidence::lead() const
{
    const double total = logE();
    Lead best = mirroredLead(total);
    for (int g = 0; g < 4; ++g) {
        const Group &group = fresh(g);
        const int parity = g == 0 ? EvenSpins : g - 1;
        const double tiltShare = std::exp(group.logSum[0] - total);
        if (tiltShare > best.share) {
            // A tilt is told by its most frequent cell.
            const auto top = std::max_element(group.counts.begin(), group.counts.end());
            const double expected = static_cast<double>(group.total) / Cells;
            best = {g == 0 ? Pattern::Pockets : Pattern::Distances,
                    parity,
                    static_cast<int>(top - group.counts.begin()),
                    1,
                    expected > 0 ? static_cast<double>(*top) / expected - 1 : 0,
                    tiltShare};
        }
        const double perUnit = std::exp(std::log(groupWeight(g, true)) + group.arcScale - total);
        std::array<double, Arcs> shares{};
        for (std::size_t c = 0; c < Priors::of(g).count; ++c)
            for (std::size_t i = 0; i < shares.size(); ++i)
                shares[i] += perUnit * group.arcs[c * Arcs + i];
        for (bool hot : {true, false}) {
            const Lead family = group.arcFamily(shares, hot);
            if (family.share > best.share) {
                best = family;
                best.pattern = g == 0 ? Pattern::PocketArc : Pattern::DistanceArc;
                best.parity = parity;
            }
        }
    }
    return best;
}

} // namespace roulette
