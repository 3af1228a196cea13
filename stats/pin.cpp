#include "stats/pin.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace roulette
{

namespace
{

// The confidence sequence's prior: a Beta of mean the fair share worth this many spins. The
// interval is narrowest some hundreds to thousands of spins after the pin, where a bias of a
// few tens of per cent shows.
constexpr double SequencePrior = 100;
// log ∫ θ^k (1 − θ)^(n−k) dBeta(a, b) less log of θ^k (1 − θ)^(n−k): above log(1/PinMiss), θ
// is out of the sequence (Robbins' mixture: under θ the ratio is a martingale of mean 1).
struct BetaMixture {
    double a, b, logMarginal;
    std::int64_t inside, trials;

    BetaMixture(double fair, std::int64_t k, std::int64_t n)
        : a(SequencePrior * fair), b(SequencePrior * (1 - fair)), inside(k), trials(n)
    {
        const auto logBeta = [](double x, double y) {
            return std::lgamma(x) + std::lgamma(y) - std::lgamma(x + y);
        };
        logMarginal =
            logBeta(a + static_cast<double>(k), b + static_cast<double>(n - k)) - logBeta(a, b);
    }
    double against(double share) const
    {
        return logMarginal - static_cast<double>(inside) * std::log(share) -
               static_cast<double>(trials - inside) * std::log1p(-share);
    }
    // Where `against` crosses the bound between `in` (inside the sequence) and `out`.
    double edge(double in, double out) const
    {
        const double bound = -std::log(PinMiss);
        for (int i = 0; i < 60; ++i) {
            const double middle = (in + out) / 2;
            (against(middle) < bound ? in : out) = middle;
        }
        return (in + out) / 2;
    }
};

} // namespace

Suspect pinSuspect(const Lead &lead)
{
    const bool distances = lead.pattern != Pattern::Pockets && lead.pattern != Pattern::PocketArc;
    if (lead.pattern == Pattern::MirroredDistances)
        return {true, lead.start, 1, AllSpins, lead.excess >= 0};
    return {distances, lead.start, std::max(lead.width, 1), lead.parity, lead.excess >= 0};
}

HeadlineLevel pinLevel(double e, int pins)
{
    const double times = std::max(pins, 1);
    return e >= times * EstablishedLevel ? HeadlineLevel::Established
           : e >= times * HintLevel      ? HeadlineLevel::Hint
                                         : HeadlineLevel::Nothing;
}

// The place the study names is often a cell or two off the biased arc, and wider or narrower:
// the test weighs the arcs next to the one pinned too, each (arc, excess size) as the spins
// before the pin favour it (their likelihood, a posterior fixed before any later spin). Those
// spins chose the place, so they count in the weights alone, never as evidence.
Pin::Pin(const Suspect &suspect, std::int64_t pinnedAt) : m_suspect(suspect), m_pinnedAt(pinnedAt)
{
    const auto &excesses = suspect.hot ? HotExcesses : ColdExcesses;
    for (int first = -1; first <= 1; ++first) {
        for (int last = -1; last <= 1; ++last) {
            const int width = suspect.width - first + last;
            if (width < 1 || width > 36 || std::abs(last - first) > 1)
                continue;
            Alternative &arc = m_arcs[m_arcCount++];
            arc.start = (suspect.start + first + 37) % 37;
            arc.width = width;
            const double fair = width / 37.0;
            for (std::size_t i = 0; i < excesses.size(); ++i) {
                const double share =
                    std::min(fair * (1 + (suspect.hot ? 1 : -1) * excesses[i]), 0.99);
                arc.inside[i] = std::log(share / fair);
                arc.outside[i] = std::log1p(-share) - std::log1p(-fair);
            }
        }
    }
}

void Pin::Counts::add(int cell, int by)
{
    cells[static_cast<std::size_t>(cell)] += by;
    trials += by;
}

int Pin::cellOf(const SpinStep &step) const
{
    if (!m_suspect.distances)
        return step.position;
    if (step.distance < 0 || (m_suspect.reading != AllSpins && step.parity != m_suspect.reading))
        return -1;
    return step.distance;
}

void Pin::count(const SpinStep &step, std::int64_t spin, int by)
{
    const int cell = cellOf(step);
    if (cell < 0)
        return;
    m_all.add(cell, by);
    if (spin > m_pinnedAt)
        m_since.add(cell, by);
}

void Pin::add(int number)
{
    const SpinStep step = m_cursor.add(number);
    count(step, m_cursor.spins(), 1);
}

void Pin::removeLast(int number, int before)
{
    const std::int64_t spin = m_cursor.spins();
    count(m_cursor.removeLast(number, before), spin, -1);
}

// The mixture's likelihood over every spin against its likelihood over the spins before the pin:
// the spins after it weighed by the posterior the earlier ones left. Uniform when nothing came
// before the pin.
double Pin::logE() const
{
    std::array<double, MaxArcs * HotExcesses.size()> before{}, all{};
    std::size_t n = 0;
    for (std::size_t a = 0; a < m_arcCount; ++a) {
        const Alternative &arc = m_arcs[a];
        const auto sinceIn = static_cast<double>(arcCount(m_since.cells, arc.start, arc.width));
        const auto allIn = static_cast<double>(arcCount(m_all.cells, arc.start, arc.width));
        const double beforeIn = allIn - sinceIn;
        const double beforeOut = static_cast<double>(m_all.trials - m_since.trials) - beforeIn;
        const double sinceOut = static_cast<double>(m_since.trials) - sinceIn;
        for (std::size_t i = 0; i < arc.inside.size(); ++i, ++n) {
            before[n] = beforeIn * arc.inside[i] + beforeOut * arc.outside[i];
            all[n] = before[n] + sinceIn * arc.inside[i] + sinceOut * arc.outside[i];
        }
    }
    return logSumExp(std::span(all.data(), n)) - logSumExp(std::span(before.data(), n));
}

PinReading Pin::read() const
{
    const double fair = m_suspect.fairShare();
    PinReading r;
    r.trials = m_since.trials;
    r.inside = arcCount(m_since.cells, m_suspect.start, m_suspect.width);
    r.e = std::exp(logE());
    const auto excessOf = [fair](std::int64_t k, std::int64_t n) {
        return n > 0 ? static_cast<double>(k) / static_cast<double>(n) / fair - 1 : 0;
    };
    r.excess = excessOf(r.inside, r.trials);
    r.allTrials = m_all.trials;
    r.allExcess = excessOf(arcCount(m_all.cells, m_suspect.start, m_suspect.width), m_all.trials);
    const BetaMixture mixture(fair, r.inside, r.trials);
    const double measured =
        r.trials > 0 ? static_cast<double>(r.inside) / static_cast<double>(r.trials) : fair;
    const double low = r.inside > 0 ? mixture.edge(measured, 0) : 0;
    const double high = r.inside < r.trials ? mixture.edge(measured, 1) : 1;
    r.excessLow = low / fair - 1;
    r.excessHigh = high / fair - 1;
    // Staked evenly on the suspect's pockets, a win pays 36 times its pocket's stake.
    r.keptLow = 1 - 36.0 / 37 * (1 + r.excessHigh);
    r.keptHigh = 1 - 36.0 / 37 * (1 + r.excessLow);
    return r;
}

} // namespace roulette
