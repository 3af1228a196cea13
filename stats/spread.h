#pragma once

#include <array>
#include <cstdint>

namespace roulette
{

using HitCounts = std::array<std::int64_t, 37>;
/// The spread counts, for k = 0..10, the numbers out exactly k times; numbers out more than
/// ten times fall in no class.
inline constexpr int SpreadClasses = 11;

} // namespace roulette
