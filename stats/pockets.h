#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <initializer_list>

#include "sources/wheel.h"

namespace roulette
{

/// A set of numbers 0..36, bit n standing for number n.
using PocketSet = std::uint64_t;

constexpr PocketSet pocketSet(std::initializer_list<int> numbers)
{
    PocketSet set = 0;
    for (int n : numbers)
        set |= PocketSet{1} << n;
    return set;
}
constexpr bool contains(PocketSet set, int number)
{
    return (set >> number) & 1U;
}
constexpr int pocketCount(PocketSet set)
{
    return std::popcount(set);
}

inline constexpr PocketSet AllPockets = (PocketSet{1} << 37) - 1;
inline constexpr PocketSet RedPockets =
    pocketSet({1, 3, 5, 7, 9, 12, 14, 16, 18, 19, 21, 23, 25, 27, 30, 32, 34, 36});
inline constexpr PocketSet BlackPockets = AllPockets & ~RedPockets & ~PocketSet{1};

/// Where each number sits around the wheel: the index of its pocket in WheelOrder.
inline constexpr std::array<int, 37> WheelPosition = [] {
    std::array<int, 37> position{};
    for (int i = 0; i < 37; ++i)
        position[static_cast<std::size_t>(WheelOrder[static_cast<std::size_t>(i)])] = i;
    return position;
}();

/// The sectors players bet on: voisins du zéro, tiers du cylindre, orphelins, jeu zéro.
inline constexpr std::array<PocketSet, 4> ClassicSectors = {
    pocketSet({22, 18, 29, 7, 28, 12, 35, 3, 26, 0, 32, 15, 19, 4, 21, 2, 25}),
    pocketSet({27, 13, 36, 11, 30, 8, 23, 10, 5, 24, 16, 33}),
    pocketSet({17, 34, 6, 1, 20, 14, 31, 9}),
    pocketSet({12, 35, 3, 26, 0, 32, 15}),
};

/// The outside bets, in this order: the three dozens, the three columns (1, 4, …, 34 first),
/// then rouge, noir, pair, impair, manque, passe.
inline constexpr int ChanceCount = 12;
inline constexpr std::array<PocketSet, ChanceCount> Chances = [] {
    std::array<PocketSet, ChanceCount> sets{};
    for (int n = 1; n <= 36; ++n) {
        const PocketSet bit = PocketSet{1} << n;
        sets[static_cast<std::size_t>((n - 1) / 12)] |= bit;
        sets[static_cast<std::size_t>(3 + (n - 1) % 3)] |= bit;
        sets[contains(RedPockets, n) ? 6 : 7] |= bit;
        sets[n % 2 == 0 ? 8 : 9] |= bit;
        sets[n <= 18 ? 10 : 11] |= bit;
    }
    return sets;
}();
inline constexpr int FirstDozen = 0, FirstColumn = 3, FirstSimpleChance = 6;

} // namespace roulette
