#include "board/typedlines.h"

#include <algorithm>

namespace roulette
{

std::vector<std::string> typedLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        if (end > start)
            lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

LinesPlayed playLines(Board &board, std::span<const std::string> lines)
{
    LinesPlayed result;
    for (; result.played < lines.size(); ++result.played) {
        board.setLastText(lines[result.played]);
        SpinResult spin = board.Command1_Click();
        if (!spin.spun) {
            result.message = std::move(spin.message);
            break;
        }
    }
    for (std::size_t i = result.played; i < lines.size(); ++i)
        result.left += (i > result.played ? "\n" : "") + lines[i];
    if (!result.left.empty())
        board.setLastText(result.left);
    return result;
}

} // namespace roulette
