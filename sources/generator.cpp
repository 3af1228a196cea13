#include "sources/generator.h"

#include <chrono>

namespace roulette
{

std::uint64_t SystemClock::now()
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count());
}

namespace
{

std::uint64_t mix64(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

} // namespace

void SplitMixGenerator::reseed(std::uint64_t clockReading)
{
    m_state = mix64(m_state ^ mix64(clockReading));
}

std::uint64_t SplitMixGenerator::nextBits()
{
    m_state += 0x9E3779B97F4A7C15ULL;
    return mix64(m_state);
}

float SplitMixGenerator::next()
{
    // The top 24 bits fill a float's mantissa exactly: r = k / 2^24, never 1.
    const auto bits = static_cast<std::uint32_t>(nextBits() >> 40);
    return static_cast<float>(bits) * 0x1.0p-24f;
}

int scaledIndex(float r, int n)
{
    // A float times a small integer is exact in double, so no rounding can reach n.
    return static_cast<int>(static_cast<double>(r) * static_cast<double>(n));
}

int RandomDraw::index(int n)
{
    m_generator.reseed(m_clock.now());
    return scaledIndex(m_generator.next(), n);
}

} // namespace roulette
