#include "sources/textrules.h"

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

struct Scan {
    std::optional<double> value;
    std::size_t end; // index of the first character not read
};

// Length of the valid UTF-8 sequence that starts text, 0 when the first byte starts none.
std::size_t sequenceLength(std::string_view text)
{
    const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    unsigned char low = 0x80;  // range of the second byte, narrowed where a wider one would
    unsigned char high = 0xBF; // give an overlong form, a surrogate or a value past U+10FFFF
    std::size_t length = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// Characters that would break a message's line or be invisible: C0 and C1 controls, DEL,
// the line and paragraph separators, and the marks, embeddings, overrides and isolates that
// change the direction of text, so that a name cannot show its letters in another order.
bool isControl(std::string_view sequence)
{
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() == 1)
        return lead < 0x20 || lead == 0x7F;
    const auto second = static_cast<unsigned char>(sequence[1]);
    if (sequence.size() == 2)
        return (lead == 0xC2 && second < 0xA0) || sequence == "\u061C";
    if (sequence.size() != 3 || lead != 0xE2)
        return false;
    const auto third = static_cast<unsigned char>(sequence[2]);
    switch (second) {
    case 0x80: // U+200E, U+200F; U+2028, U+2029; U+202A..U+202E
        return third == 0x8E || third == 0x8F || (third >= 0xA8 && third <= 0xAE);
    case 0x81: // U+2066..U+2069
        return third >= 0xA6 && third <= 0xA9;
    default:
        return false;
    }
}

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

std::string printable(std::string_view text, std::size_t maxChars)
{
    std::string shown;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++chars) {
        if (chars == maxChars)
            return shown + "…";
        const std::size_t length = sequenceLength(text.substr(i));
        const std::string_view sequence = text.substr(i, length);
        if (length == 0 || isControl(sequence))
            shown += '?';
        else
            shown += sequence;
        i += length == 0 ? 1 : length;
    }
    return shown;
}

std::string quoteText(std::string_view text)
{
    return "« " + printable(text, QuoteLimit) + " »";
}

} // namespace roulette
