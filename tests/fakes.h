#pragma once

#include <cstdint>
#include <vector>

#include "board/board.h"
#include "sources/generator.h"
#include "sources/wheel.h"

namespace roulette::testing
{

struct FixedClock final : Clock {
    explicit FixedClock(std::uint64_t r = 42) : reading(r) {}
    std::uint64_t now() override { return reading; }

    std::uint64_t reading;
};

/// Returns the given values in turn, then starts again.
struct ScriptedGenerator final : UniformGenerator {
    explicit ScriptedGenerator(std::vector<float> v) : values(std::move(v)) {}
    void reseed(std::uint64_t) override {}
    float next() override { return values[drawn++ % values.size()]; }

    std::vector<float> values;
    std::size_t drawn = 0;
};

/// r for which floor(r * n) == index.
inline float valueFor(int index, int n)
{
    return (static_cast<float>(index) + 0.5f) / static_cast<float>(n);
}

/// The records of a draw file holding `numbers`.
inline DrawRecords records(const std::vector<int> &numbers)
{
    DrawRecords r;
    for (const int n : numbers)
        r.append(n);
    return r;
}

/// A dealer's spins: the ball 10 pockets on from the last one, every other spin.
inline std::vector<int> dealerSpins(int count)
{
    std::vector<int> spins;
    for (int s = 0, position = 0; s < count; ++s) {
        position = (position + (s % 2 ? 10 : 1 + s % 7)) % 37;
        spins.push_back(WheelOrder[static_cast<std::size_t>(position)]);
    }
    return spins;
}

/// A started board whose random draws are the values given, in turn.
inline Board loadedBoard(std::vector<float> draws = {0.0f})
{
    Board board(std::make_unique<ScriptedGenerator>(std::move(draws)),
                std::make_unique<FixedClock>());
    board.Form_Load();
    return board;
}

} // namespace roulette::testing
