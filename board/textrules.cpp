#include "board/textrules.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace roulette
{

namespace
{

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

struct Scan {
    std::optional<double> value;
    std::size_t end; // index of the first character not read
};

Scan scanNumber(std::string_view text)
{
    // Digits are accumulated as text and converted once, so that "2.5" is exactly 2.5
    // and not the sum of rounded parts.
    std::string digits;
    bool negative = false;
    bool signSeen = false;
    bool pointSeen = false;
    bool digitSeen = false;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isBlank(c))
            continue;
        if ((c == '-' || c == '+') && !signSeen && !digitSeen && !pointSeen) {
            signSeen = true;
            negative = c == '-';
        } else if (c == '.' && !pointSeen) {
            pointSeen = true;
            digits += c;
        } else if (isDigit(c)) {
            digitSeen = true;
            digits += c;
        } else {
            break;
        }
    }
    if (!digitSeen)
        return {std::nullopt, i};
    // from_chars ignores the locale: the point stays the decimal separator under Qt's
    // setlocale() in a French session.
    double magnitude = 0.0;
    const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (parsed.ec == std::errc::result_out_of_range) {
        // Too many digits for a double: huge unless the digits all sit after the point.
        const bool bigInteger = digits.find_first_of("123456789") < digits.find('.');
        magnitude = bigInteger ? HUGE_VAL : 0.0;
    }
    return {negative ? -magnitude : magnitude, i};
}

} // namespace

std::optional<double> leadingNumber(std::string_view text)
{
    return scanNumber(text).value;
}

std::optional<double> wholeNumber(std::string_view text)
{
    const Scan scan = scanNumber(text);
    return scan.end == text.size() ? scan.value : std::nullopt;
}

double numericValue(std::string_view text)
{
    return leadingNumber(text).value_or(0.0);
}

std::int64_t roundHalfEven(double value)
{
    constexpr double limit = 9.2e18; // just inside the 64-bit range
    if (std::isnan(value))
        return 0;
    if (value >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(std::nearbyint(value)); // default mode: half to even
}

std::string decimalText(std::int64_t value)
{
    return std::to_string(value);
}

} // namespace roulette
