#pragma once

#include <cstdint>

namespace roulette
{

/// Where a re-seed takes its clock reading from; tests substitute a fixed clock.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual std::uint64_t now() = 0;
};

/// The wall clock, in nanoseconds.
class SystemClock final : public Clock
{
public:
    std::uint64_t now() override;
};

/// The uniform source behind every random draw.
class UniformGenerator
{
public:
    virtual ~UniformGenerator() = default;
    /// Mixes a clock reading into the current state. Two re-seeds with the same reading
    /// still give different draws, because the state has moved on in between.
    virtual void reseed(std::uint64_t clockReading) = 0;
    /// The next value r, 0 <= r < 1, in single precision from 24 random bits.
    virtual float next() = 0;
};

/// SplitMix64: small, fast, and every 64-bit state is a valid one.
class SplitMixGenerator final : public UniformGenerator
{
public:
    explicit SplitMixGenerator(std::uint64_t seed = 0) : m_state(seed) {}
    void reseed(std::uint64_t clockReading) override;
    float next() override;

private:
    std::uint64_t nextBits();
    std::uint64_t m_state;
};

/// floor(r * n) with the product taken exactly, so the largest r below 1 still gives n - 1.
int scaledIndex(float r, int n);

/// A re-seed from the clock followed by one draw, as every random-source spin does.
class RandomDraw
{
public:
    RandomDraw(UniformGenerator &generator, Clock &clock) : m_generator(generator), m_clock(clock)
    {
    }
    /// Re-seeds from the clock and returns an index in 0..n-1.
    int index(int n);

private:
    UniformGenerator &m_generator;
    Clock &m_clock;
};

} // namespace roulette
