#include "stats/ecarts.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>

namespace roulette
{

PocketSet categoryPockets(int category)
{
    return category < 37 ? PocketSet{1} << category
                         : Chances[static_cast<std::size_t>(category - 37)];
}

namespace
{

// The categories a number belongs to: itself and the outside bets that hold it.
template <typename Visit> void forEachCategory(int number, Visit &&visit)
{
    visit(number);
    for (int c = 0; c < ChanceCount; ++c) {
        if (contains(Chances[static_cast<std::size_t>(c)], number))
            visit(chanceCategory(c));
    }
}

} // namespace

void Ecarts::add(int number)
{
    const std::int64_t spin = spins() + 1;
    m_previousHit.push_back(static_cast<std::int32_t>(m_lastHit[number]));
    forEachCategory(number, [&](int c) {
        const std::int64_t ended = spin - m_lastHit[c] - 1;
        if (ended > m_longestEnded[c]) {
            m_records.push_back({spin, c, m_longestEnded[c]});
            m_longestEnded[c] = ended;
        }
        m_lastHit[c] = spin;
    });
}

void Ecarts::removeLast(int number)
{
    const std::int64_t spin = spins();
    assert(spin > 0 && m_lastHit[number] == spin);
    for (; !m_records.empty() && m_records.back().spin == spin; m_records.pop_back())
        m_longestEnded[m_records.back().category] = m_records.back().previous;
    m_lastHit[number] = m_previousHit.back();
    m_previousHit.pop_back();
    // A bet last came out where the latest of its numbers did.
    forEachCategory(number, [&](int c) {
        if (c == number)
            return;
        std::int64_t last = 0;
        for (PocketSet left = categoryPockets(c); left != 0; left &= left - 1)
            last = std::max(last, m_lastHit[std::countr_zero(left)]);
        m_lastHit[c] = last;
    });
}

std::int64_t Ecarts::longest(int category) const
{
    return std::max(m_longestEnded[category], current(category));
}

void Ecarts::restart()
{
    for (int c = 0; c < EcartCategories; ++c) {
        m_longestEnded[c] = longest(c);
        m_lastHit[c] = spins();
    }
    m_starts.push_back(spins());
}

std::vector<std::int64_t> Ecarts::sessionLengths() const
{
    std::vector<std::int64_t> lengths;
    std::int64_t from = 0;
    for (const std::int64_t start : m_starts) {
        lengths.push_back(start - from);
        from = start;
    }
    lengths.push_back(spins() - from);
    return lengths;
}

namespace
{

bool disjoint(std::span<const PocketSet> bets)
{
    PocketSet seen = 0;
    for (PocketSet b : bets) {
        if (seen & b)
            return false;
        seen |= b;
    }
    return true;
}

} // namespace

// P(some bet absent) = − Σ over non-empty sets S of bets of (−1)^|S| · (1 − |∪S|/37)^spins.
// Disjoint bets give the weights by multiplying out Π (1 − x^size); others by listing the sets.
AbsenceLaw::AbsenceLaw(std::span<const PocketSet> bets)
{
    if (disjoint(bets)) {
        m_weight[0] = 1;
        for (PocketSet b : bets) {
            const int size = pocketCount(b);
            for (int u = 37; u >= size; --u)
                m_weight[u] -= m_weight[u - size];
        }
        return;
    }
    assert(bets.size() <= 12);
    for (std::uint32_t subset = 1; subset < (1U << bets.size()); ++subset) {
        PocketSet covered = 0;
        for (std::size_t i = 0; i < bets.size(); ++i) {
            if (subset >> i & 1U)
                covered |= bets[i];
        }
        m_weight[pocketCount(covered)] += std::popcount(subset) % 2 ? -1 : 1;
    }
}

double AbsenceLaw::someAbsentFor(std::int64_t spins) const
{
    double sum = 0;
    for (int u = 1; u <= 37; ++u) {
        if (m_weight[u] != 0)
            sum -= m_weight[u] * std::pow(1 - u / 37.0, static_cast<double>(spins));
    }
    return std::clamp(sum, 0.0, 1.0);
}

double expectedCurrentAbsence(double p, std::int64_t spins)
{
    const double q = 1 - p;
    return q * (1 - std::pow(q, static_cast<double>(spins))) / p;
}

namespace
{

// log P(no run of g in `trials` trials), far beyond g. The recursion of exactLongestRuns is
// linear, of characteristic equation 1 − x + s·x^(g+1) = 0 with s = (1 − q)·q^g, and
// P(no run) = (1 − q·x) / ((g + 1 − g·x)(1 − q)) · x^−(trials+1) for x its root nearest 1
// (Feller, vol. I, XIII.7), to a relative error that falls geometrically with trials / g. When
// g + 1 ≤ 1/(1 − q) that root is 1/q, which the numerator cancels; a run of g is then all but
// certain over so many trials: −∞.
double logNoRun(std::int64_t trials, std::int64_t g, double q)
{
    const double s = (1 - q) * std::pow(q, static_cast<double>(g));
    const double power = static_cast<double>(g + 1);
    if (power * (1 - q) <= 1)
        return -std::numeric_limits<double>::infinity();
    double y = s; // x − 1
    for (int i = 0; i < 200; ++i) {
        const double next = s * std::exp(power * std::log1p(y));
        if (std::fabs(next - y) <= 1e-16 * next) {
            y = next;
            break;
        }
        y = next;
    }
    const double x = 1 + y;
    const double factor = (1 - q * x) / ((power - static_cast<double>(g) * x) * (1 - q));
    if (!(factor > 0))
        return -std::numeric_limits<double>::infinity();
    return std::log(factor) - static_cast<double>(trials + 1) * std::log1p(y);
}

double approximateLongestRun(std::int64_t trials, double q)
{
    double expected = 0;
    for (std::int64_t g = 1; g <= trials; ++g) {
        const double atLeast = -std::expm1(std::min(logNoRun(trials, g, q), 0.0));
        expected += atLeast;
        if (atLeast < 1e-15)
            break;
    }
    return expected;
}

// E[longest run] for every session length up to ExactLongestRun, as Σ_g P(longest ≥ g). With
// A(m) the chance of no run of g in m trials, A(m) = A(m − 1) − (1 − q) q^g A(m − g − 1): the
// first such run ends at m. O(length × longest run) once per q.
std::vector<double> exactLongestRuns(double q)
{
    constexpr auto Length = static_cast<std::size_t>(ExactLongestRun);
    std::vector<double> expected(Length + 1, 0.0), none(Length + 1);
    double qg = 1;
    for (std::size_t g = 1; g <= Length; ++g) {
        qg *= q;
        for (std::size_t m = 0; m <= Length; ++m) {
            none[m] = m < g ? 1 : m == g ? 1 - qg : none[m - 1] - (1 - q) * qg * none[m - g - 1];
            expected[m] += 1 - none[m];
        }
        if (1 - none[Length] < 1e-15)
            break;
    }
    return expected;
}

} // namespace

double expectedLongestRun(std::int64_t trials, double q)
{
    if (trials > ExactLongestRun)
        return approximateLongestRun(trials, q);
    static std::mutex guard;
    static std::map<double, std::vector<double>> tables;
    const std::lock_guard lock(guard);
    auto table = tables.find(q);
    if (table == tables.end())
        table = tables.emplace(q, exactLongestRuns(q)).first;
    return table->second[static_cast<std::size_t>(std::max<std::int64_t>(trials, 0))];
}

// Σ_g P(longest ≥ g) again, the stretches being independent: no run of g anywhere is the
// product of none in each, exact for short stretches, by the recursion's root for long ones.
double expectedLongestRun(std::span<const std::int64_t> stretches, double q)
{
    if (stretches.size() == 1)
        return expectedLongestRun(stretches[0], q);
    std::int64_t longest = 0, exactLength = 0;
    for (const std::int64_t t : stretches) {
        longest = std::max(longest, t);
        exactLength = t <= ExactLongestRun ? std::max(exactLength, t) : exactLength;
    }
    std::vector<double> none(static_cast<std::size_t>(exactLength) + 1);
    double expected = 0, qg = 1;
    for (std::int64_t g = 1; g <= longest; ++g) {
        qg *= q;
        for (std::int64_t m = 0; m <= exactLength; ++m) {
            const auto at = static_cast<std::size_t>(m);
            none[at] =
                m < g    ? 1
                : m == g ? 1 - qg
                         : none[at - 1] - (1 - q) * qg * none[at - static_cast<std::size_t>(g) - 1];
        }
        double logNone = 0;
        for (const std::int64_t t : stretches)
            logNone += t < g ? 0
                       : t <= ExactLongestRun
                           ? std::log(std::max(none[static_cast<std::size_t>(t)], 0.0))
                           : std::min(logNoRun(t, g, q), 0.0);
        const double atLeast = -std::expm1(logNone);
        expected += atLeast;
        if (atLeast < 1e-12)
            break;
    }
    return expected;
}

// The first draw opens a series; each next one goes on with it half the time.
double expectedLongestSeries(std::int64_t trials)
{
    return trials > 0 ? 1 + expectedLongestRun(trials - 1, 0.5) : 0;
}

double expectedLongestSeries(std::span<const std::int64_t> stretches)
{
    std::vector<std::int64_t> followers;
    for (const std::int64_t t : stretches)
        if (t > 0)
            followers.push_back(t - 1);
    return followers.empty() ? 0 : 1 + expectedLongestRun(followers, 0.5);
}

} // namespace roulette
