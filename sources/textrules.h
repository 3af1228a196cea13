#pragma once

#include <cstddef>
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

/// Most characters of a user's text that a message quotes.
inline constexpr std::size_t QuoteLimit = 40;
/// Bytes of a text that always suffice to quote it exactly as the whole text.
inline constexpr std::size_t QuoteBytes = 4 * (QuoteLimit + 1);

/// A text as a message or a label may show it: valid UTF-8 on one line, in the order it was
/// written; control characters (text direction controls among them) and bytes that are not
/// UTF-8 shown as "?"; past maxChars characters it is cut and ends with "…".
std::string printable(std::string_view text, std::size_t maxChars = std::string_view::npos);

/// An ASCII digit, whatever the locale (std::isdigit asks the C locale and takes an int).
constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

/// A user's text between « », printable and cut after QuoteLimit characters.
std::string quoteText(std::string_view text);

/// Line ends as text files write them: CR LF, LF or a lone CR each end one line.
class LineEnds
{
public:
    enum class Byte { Text, LineEnd, SecondHalf };

    /// What c is to a reader fed one byte at a time: text, a line's end, or the LF of a CR LF
    /// whose end was already counted.
    Byte take(char c)
    {
        if (c == '\n' && m_afterCr) {
            m_afterCr = false;
            return Byte::SecondHalf;
        }
        m_afterCr = c == '\r';
        return c == '\r' || c == '\n' ? Byte::LineEnd : Byte::Text;
    }

private:
    bool m_afterCr = false;
};

} // namespace roulette
