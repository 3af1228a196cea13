#include "stats/csvexport.h"

#include <charconv>

namespace roulette
{

const std::string CsvHead =
    "\xEF\xBB\xBF"
    "Tirage;Numéro;N° Pas Sorti;Sorti 1 Fois;Sorti 2 Fois;Sorti 3 Fois;Sorti 4 Fois;"
    "Sorti 5 Fois;Sorti 6 Fois;Sorti 7 Fois;Sorti 8 Fois;Sorti 9 Fois;Sorti 10 Fois;Zéro;"
    "Douzaine 1;Douzaine 2;Douzaine 3\r\n";

namespace
{

void appendNumber(std::string &out, std::int64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

} // namespace

void appendCsvRow(std::string &out, std::int64_t spin, int number, const Tally &tally)
{
    appendNumber(out, spin);
    out += ';';
    appendNumber(out, number);
    for (int kind = 0; kind < SeriesKinds; ++kind) {
        out += ';';
        appendNumber(out, tally.value(kind));
    }
    out += "\r\n";
}

} // namespace roulette
