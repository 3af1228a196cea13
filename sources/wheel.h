#pragma once

#include <array>
#include <cstdint>

#include "sources/generator.h"

namespace roulette
{

/// The pockets of a single-zero wheel in their order around it, starting at the zero.
inline constexpr std::array<std::int16_t, 37> WheelOrder = {
    0, 32, 15, 19, 4, 21, 2,  25, 17, 34, 6,  27, 13, 36, 11, 30, 8, 23, 10,
    5, 24, 16, 33, 1, 20, 14, 31, 9,  22, 18, 29, 7,  28, 12, 35, 3, 26};

/// Four turns of the wheel in a row: entry i holds the pocket at position i mod 37.
class WheelTable
{
public:
    static constexpr int Turns = 4;
    static constexpr int Size = Turns * 37;

    WheelTable();
    std::int16_t operator[](int index) const { return m_entries[index]; }

private:
    std::array<std::int16_t, Size> m_entries{};
};

/// A wheel draw over one turn: the pocket at a uniform position among 37.
std::int16_t NRoulette(const WheelTable &table, RandomDraw &draw);
/// A wheel draw over four turns: the pocket at a uniform position among 148.
std::int16_t NRoulette2(const WheelTable &table, RandomDraw &draw);

} // namespace roulette
