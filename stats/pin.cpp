#include "stats/pin.h"

#include <algorithm>
#include <cmath>

namespace roulette
{

namespace
{

// The confidence sequence's prior: a Beta of mean the fair share worth this many spins. The
// interval is narrowest some hundreds to thousands of spins after the pin, where a bias of a
// few tens of per cent shows.
constexpr double SequencePrior = 100;
// How much the spins before the pin lean the weights of the excess sizes: as a likelihood
// raised to this power, half what they would weigh as fresh spins.
constexpr double PriorTemper = 0.5;

double logLikelihoodRatio(std::int64_t inside, std::int64_t trials, double share, double fair)
{
    return static_cast<double>(inside) * std::log(share / fair) +
           static_cast<double>(trials - inside) * std::log1p(-share) -
           static_cast<double>(trials - inside) * std::log1p(-fair);
}

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

Pin::Trial Pin::trialOf(const SpinStep &step) const
{
    const auto in = [this](int cell) {
        return (cell - m_suspect.start + 37) % 37 < m_suspect.width;
    };
    if (!m_suspect.distances)
        return {true, in(step.position)};
    if (step.distance < 0 || (m_suspect.reading != AllSpins && step.parity != m_suspect.reading))
        return {};
    return {true, in(step.distance)};
}

void Pin::count(const SpinStep &step, std::int64_t spin, int by)
{
    const Trial trial = trialOf(step);
    if (!trial.counts)
        return;
    m_allTrials += by;
    m_allInside += trial.inside ? by : 0;
    if (spin <= m_pinnedAt)
        return;
    m_trials += by;
    m_inside += trial.inside ? by : 0;
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

// The excess sizes weigh as the spins before the pin, tempered, favour them: those spins chose
// the place and overstate its excess, so they only lean the weights, fixed before any later
// spin. Uniform when nothing came before the pin.
double Pin::logE() const
{
    const double fair = m_suspect.fairShare();
    const auto &excesses = m_suspect.hot ? HotExcesses : ColdExcesses;
    std::array<double, HotExcesses.size()> weights{}, terms{};
    for (std::size_t i = 0; i < excesses.size(); ++i) {
        const double share = std::min(fair * (1 + (m_suspect.hot ? 1 : -1) * excesses[i]), 0.99);
        weights[i] = PriorTemper * logLikelihoodRatio(m_allInside - m_inside,
                                                      m_allTrials - m_trials, share, fair);
        terms[i] = logLikelihoodRatio(m_inside, m_trials, share, fair);
    }
    const double weightScale = *std::max_element(weights.begin(), weights.end());
    double weightSum = 0;
    for (double &w : weights) {
        w = std::exp(w - weightScale);
        weightSum += w;
    }
    const double top = *std::max_element(terms.begin(), terms.end());
    double sum = 0;
    for (std::size_t i = 0; i < terms.size(); ++i)
        sum += weights[i] * std::exp(terms[i] - top);
    return top + std::log(sum / weightSum);
}

PinReading Pin::read() const
{
    const double fair = m_suspect.fairShare();
    PinReading r;
    r.trials = m_trials;
    r.inside = m_inside;
    r.e = std::exp(logE());
    const auto excessOf = [fair](std::int64_t k, std::int64_t n) {
        return n > 0 ? static_cast<double>(k) / static_cast<double>(n) / fair - 1 : 0;
    };
    r.excess = excessOf(m_inside, m_trials);
    r.allTrials = m_allTrials;
    r.allExcess = excessOf(m_allInside, m_allTrials);
    const BetaMixture mixture(fair, m_inside, m_trials);
    const double measured =
        m_trials > 0 ? static_cast<double>(m_inside) / static_cast<double>(m_trials) : fair;
    const double low = m_inside > 0 ? mixture.edge(measured, 0) : 0;
    const double high = m_inside < m_trials ? mixture.edge(measured, 1) : 1;
    r.excessLow = low / fair - 1;
    r.excessHigh = high / fair - 1;
    // Staked evenly on the suspect's pockets, a win pays 36 times its pocket's stake.
    r.keptLow = 1 - 36.0 / 37 * (1 + r.excessHigh);
    r.keptHigh = 1 - 36.0 / 37 * (1 + r.excessLow);
    return r;
}

} // namespace roulette
