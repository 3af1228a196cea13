#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace roulette
{

using HitCounts = std::array<std::int64_t, 37>;
inline constexpr int SpreadClasses = 11; // hit counts 0..10

/// Counts the outcome in HitCount and gives, for k = 0..10, how many numbers have come out
/// exactly k times. Numbers out more than ten times fall in no class. An outcome outside
/// 0..36 changes nothing and returns false.
bool ComputeSpread(HitCounts &HitCount, int CurrentNumber,
                   std::span<std::int32_t, SpreadClasses> spread);

} // namespace roulette
