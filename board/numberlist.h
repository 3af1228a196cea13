#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace roulette
{

/// What a typed list of roulette numbers came to: the numbers in the order first written,
/// each once, or the French reason the list was refused.
struct NumberList {
    std::vector<int> numbers;
    std::string error; ///< empty when the list was read whole
};

/// Reads a list such as « 7 17 32 » or « 7, 17; 32 »: numbers 0 to 36 in decimal digits,
/// separated by blanks, commas or semicolons. The first item that is not such a number
/// refuses the whole list, so that nothing is half-marked.
NumberList parseNumberList(std::string_view text);

} // namespace roulette
