#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <random>
#include <vector>

namespace roulette
{

/// The 37 hit counts of a fair session of `spins` spins, drawn directly as conditional
/// binomials: the cost does not grow with the number of spins.
std::array<std::int64_t, 37> drawFairCounts(std::int64_t spins, std::mt19937_64 &random);

/// What fair sessions of one length give for the extremes the study looks at, from Monte
/// Carlo samples. A p-value is (1 + samples as extreme) / (samples + 1), ties counted as
/// extreme, so it is never zero and never too small.
class NullDistribution
{
public:
    static constexpr int DefaultSamples = 1999;

    /// Samples drawn from a generator seeded from `spins` alone: one length always gives
    /// the same distribution.
    NullDistribution(std::int64_t spins, int samples = DefaultSamples);

    std::int64_t spins() const { return m_spins; }

    double pHottestArc(double z) const; ///< share of best arc scores >= z
    double pColdestArc(double z) const; ///< share of worst arc scores <= z
    double pHighestCount(std::int64_t count) const;
    double pLowestCount(std::int64_t count) const;
    /// Share of sessions with at least this many numbers outside mean ± 2σ.
    double pOutsideBand(int numbers) const;
    /// The best arc score that fair sessions reach with probability `level`.
    double hottestArcQuantile(double level) const;

private:
    std::int64_t m_spins;
    std::vector<double> m_hottest, m_coldest; // each sorted
    std::vector<std::int64_t> m_highest, m_lowest, m_outside;
};

/// How many of the counts lie outside spins/37 ± 2σ.
int countOutsideBand(const std::array<std::int64_t, 37> &hits, std::int64_t spins);

/// The distributions of the last few session lengths asked for, so that an undo and the
/// spin after it cost no new simulation.
class NullCache
{
public:
    const NullDistribution *find(std::int64_t spins) const;
    void insert(NullDistribution distribution);

private:
    static constexpr std::size_t Capacity = 8;
    std::deque<NullDistribution> m_entries; // most recent first
};

} // namespace roulette
