#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace roulette
{

/// The leading number of a text: blanks are ignored, "." separates the decimals,
/// reading stops at the first character that cannot continue the number.
/// Empty when the text does not start with a number.
std::optional<double> leadingNumber(std::string_view text);

/// Like leadingNumber, but empty unless the number is all the text holds (blanks aside).
std::optional<double> wholeNumber(std::string_view text);

/// The numeric value of a text: its leading number, 0 when there is none.
double numericValue(std::string_view text);

/// Rounds to the nearest integer, a value exactly halfway going to the even neighbour.
/// Values beyond the 64-bit range are clamped to it.
std::int64_t roundHalfEven(double value);

/// Decimal digits without leading zeros or blanks, "-" before a negative value.
std::string decimalText(std::int64_t value);

} // namespace roulette
