#include "board/numberlist.h"

#include <algorithm>

#include "board/boardstate.h"
#include "sources/textrules.h"

namespace roulette
{

namespace
{

constexpr std::string_view Separators = " \t\r\n,;";

// Digits only, so that « 7.5 », « -3 » or « 1e1 » are refused rather than rounded.
bool isRouletteItem(std::string_view item)
{
    if (item.empty() || item.size() > 2 || !std::all_of(item.begin(), item.end(), isDigit))
        return false;
    const int value = std::stoi(std::string(item));
    return value < NumberCount;
}

} // namespace

NumberList parseNumberList(std::string_view text)
{
    NumberList list;
    std::size_t at = text.find_first_not_of(Separators);
    while (at != std::string_view::npos) {
        const std::size_t end = std::min(text.find_first_of(Separators, at), text.size());
        const std::string_view item = text.substr(at, end - at);
        if (!isRouletteItem(item)) {
            return {{}, quoteText(item) + " n'est pas un numéro de roulette (0 à 36)."};
        }
        const int n = std::stoi(std::string(item));
        if (std::find(list.numbers.begin(), list.numbers.end(), n) == list.numbers.end())
            list.numbers.push_back(n);
        at = text.find_first_not_of(Separators, end);
    }
    return list;
}

} // namespace roulette
