#include "stats/runs.h"

#include <algorithm>
#include <cmath>

#include "stats/binomial.h"

namespace roulette
{

namespace
{

double logChoose(std::int64_t n, std::int64_t k)
{
    if (k < 0 || k > n)
        return -INFINITY;
    return std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0);
}

// log P(R = r): r = 2k takes k runs of each kind, r = 2k + 1 one kind once more.
double logRunsProbability(std::int64_t a, std::int64_t b, std::int64_t r)
{
    const double all = logChoose(a + b, a);
    const std::int64_t k = r / 2;
    if (r % 2 == 0)
        return std::log(2.0) + logChoose(a - 1, k - 1) + logChoose(b - 1, k - 1) - all;
    const double x = logChoose(a - 1, k - 1) + logChoose(b - 1, k);
    const double y = logChoose(a - 1, k) + logChoose(b - 1, k - 1);
    const double top = std::max(x, y);
    return top == -INFINITY ? top : top + std::log(std::exp(x - top) + std::exp(y - top)) - all;
}

// The terms shrink away from the mean, so the walk stops once two in a row (one of each
// parity) no longer count.
double tailFrom(std::int64_t a, std::int64_t b, std::int64_t r, int step)
{
    double sum = 0;
    int negligible = 0;
    for (std::int64_t x = r; x >= 2 && x <= a + b && negligible < 2; x += step) {
        const double term = std::exp(logRunsProbability(a, b, x));
        negligible = term <= sum * 1e-17 ? negligible + 1 : 0;
        sum += term;
    }
    return sum;
}

// The runs' mean and variance when the order is random; one side alone makes one run.
struct RunsLaw {
    double mean, variance;
};
RunsLaw runsLaw(std::int64_t first, std::int64_t second)
{
    const double a = static_cast<double>(first), b = static_cast<double>(second);
    const double n = a + b;
    if (first == 0 || second == 0)
        return {n > 0 ? 1.0 : 0.0, 0};
    return {2 * a * b / n + 1, 2 * a * b * (2 * a * b - n) / (n * n * (n - 1))};
}

RunsTest normalRunsTest(RunsLaw law, std::int64_t runs)
{
    if (law.variance <= 0)
        return {law.mean, 1};
    const double z = std::max(0.0, std::fabs(static_cast<double>(runs) - law.mean) - 0.5) /
                     std::sqrt(law.variance);
    return {law.mean, std::min(1.0, 2 * normalUpperTail(z))};
}

} // namespace

RunsTest exactRunsTest(std::int64_t first, std::int64_t second, std::int64_t runs)
{
    const double a = static_cast<double>(first), b = static_cast<double>(second);
    if (first == 0 || second == 0)
        return {a + b > 0 ? 1.0 : 0.0, 1};
    const double mean = 2 * a * b / (a + b) + 1;
    const double far = tailFrom(first, second, runs, static_cast<double>(runs) > mean ? +1 : -1);
    const double near = 1 - far + std::exp(logRunsProbability(first, second, runs));
    return {mean, std::clamp(2 * std::min(far, near), 0.0, 1.0)};
}

RunsTest runsTest(std::int64_t first, std::int64_t second, std::int64_t runs)
{
    if (first + second <= ExactRunsLength || first == 0 || second == 0)
        return exactRunsTest(first, second, runs);
    return normalRunsTest(runsLaw(first, second), runs);
}

void ChanceRuns::add(int number, std::int64_t spin)
{
    if (number == 0)
        return;
    const int side = sideOf(number);
    ++m_count[side];
    if (side == m_lastSide) {
        ++m_runLength;
    } else {
        ++m_runs;
        m_runLength = 1;
        m_lastSide = side;
    }
    if (m_runLength > m_longest) {
        m_longest = m_runLength;
        m_longestRises.push_back(spin);
    }
}

void ChanceRuns::removeLast(int number, std::int64_t spin,
                            const ChunkedArray<std::uint8_t, 16> &outcomes)
{
    if (number == 0)
        return;
    --m_count[sideOf(number)];
    if (!m_longestRises.empty() && m_longestRises.back() == spin) {
        --m_longest;
        m_longestRises.pop_back();
    }
    if (--m_runLength > 0)
        return;
    // The spin opened a run: the one before it is the present one again. On any real wheel
    // it is a few spins long.
    --m_runs;
    m_lastSide = -1;
    for (std::int64_t s = spin - 1; s > m_sessionStart; --s) {
        const int n = outcomes[s - 1];
        if (n == 0)
            continue;
        if (m_lastSide >= 0 && sideOf(n) != m_lastSide)
            break;
        m_lastSide = sideOf(n);
        ++m_runLength;
    }
}

void ChanceRuns::restart(std::int64_t spin)
{
    const std::int64_t a = m_count[0] - m_countAtStart[0], b = m_count[1] - m_countAtStart[1];
    const RunsLaw law = runsLaw(a, b);
    m_closedDraws.push_back(a + b);
    m_closedMean += law.mean;
    m_closedVariance += law.variance;
    m_countAtStart[0] = m_count[0];
    m_countAtStart[1] = m_count[1];
    m_sessionStart = spin;
    m_lastSide = -1;
    m_runLength = 0;
}

// Sessions are independent: the sum of their runs has the sum of their means and variances.
RunsTest ChanceRuns::test() const
{
    if (m_closedDraws.empty())
        return runsTest(m_count[0], m_count[1], m_runs);
    const RunsLaw last = runsLaw(m_count[0] - m_countAtStart[0], m_count[1] - m_countAtStart[1]);
    return normalRunsTest({m_closedMean + last.mean, m_closedVariance + last.variance}, m_runs);
}

std::vector<std::int64_t> ChanceRuns::sessionDraws() const
{
    std::vector<std::int64_t> draws = m_closedDraws;
    draws.push_back(m_count[0] - m_countAtStart[0] + m_count[1] - m_countAtStart[1]);
    return draws;
}

} // namespace roulette
