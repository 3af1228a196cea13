#pragma once

#include <cstdint>
#include <vector>

#include "sources/generator.h"

namespace roulette::testing
{

class FixedClock final : public Clock
{
public:
    explicit FixedClock(std::uint64_t reading = 42) : m_reading(reading) {}
    std::uint64_t now() override { return m_reading; }

private:
    std::uint64_t m_reading;
};

/// Returns the given values in turn, then starts again; counts the re-seeds.
class ScriptedGenerator final : public UniformGenerator
{
public:
    explicit ScriptedGenerator(std::vector<float> values, int *reseeds = nullptr)
        : m_values(std::move(values)), m_reseeds(reseeds)
    {
    }
    void reseed(std::uint64_t) override
    {
        if (m_reseeds)
            ++*m_reseeds;
    }
    float next() override { return m_values[m_next++ % m_values.size()]; }

private:
    std::vector<float> m_values;
    std::size_t m_next = 0;
    int *m_reseeds;
};

/// r for which floor(r * n) == index.
inline float valueFor(int index, int n)
{
    return (static_cast<float>(index) + 0.5f) / static_cast<float>(n);
}

} // namespace roulette::testing
