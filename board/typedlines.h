#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "board/board.h"

namespace roulette
{

/// The lines of a text typed or pasted in the last-number box, empty ones left out: more
/// than one makes a pasted column.
std::vector<std::string> typedLines(std::string_view text);

/// What a pasted column came to.
struct LinesPlayed {
    std::size_t played = 0; ///< how many lines played, from the first
    std::string left;       ///< the lines from the first refused on, one a line; empty when none
    std::string message;    ///< why that line was refused
};

/// A pasted column, in manual mode: each line plays in turn, as Enter after it would. From
/// the first line that is not a roulette number on, the lines stay in the last-number box,
/// to be put right.
LinesPlayed playLines(Board &board, std::span<const std::string> lines);

} // namespace roulette
