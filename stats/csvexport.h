#pragma once

#include <cstdint>
#include <string>

#include "stats/series.h"

namespace roulette
{

/// The first bytes of the CSV export: a UTF-8 byte-order mark and the header row, with a
/// French spreadsheet's separator so that it opens as columns.
extern const std::string CsvHead;

/// One row of the export: the spin, its number, then the fifteen series after it.
void appendCsvRow(std::string &out, std::int64_t spin, int number, const Tally &tally);

} // namespace roulette
