#include "store/notebook.h"

#include <array>
#include <cstdint>

namespace roulette
{

namespace
{

// A letter of Latin-1 and Latin Extended-A as its base letter and combining mark
// (U+0300 + mark), as Unicode decomposes it; no base for the letters that do not decompose.
struct Decomposed {
    char base = 0;
    std::uint8_t mark = 0;
};
constexpr char32_t FirstDecomposed = 0xC0;
constexpr std::array<Decomposed, 0x180 - 0xC0> Decompositions = {{
    {'A', 0x00}, {'A', 0x01}, {'A', 0x02}, {'A', 0x03}, {'A', 0x08}, {'A', 0x0A}, {},
    {'C', 0x27}, {'E', 0x00}, {'E', 0x01}, {'E', 0x02}, {'E', 0x08}, {'I', 0x00}, {'I', 0x01},
    {'I', 0x02}, {'I', 0x08}, {},          {'N', 0x03}, {'O', 0x00}, {'O', 0x01}, {'O', 0x02},
    {'O', 0x03}, {'O', 0x08}, {},          {},          {'U', 0x00}, {'U', 0x01}, {'U', 0x02},
    {'U', 0x08}, {'Y', 0x01}, {},          {},          {'a', 0x00}, {'a', 0x01}, {'a', 0x02},
    {'a', 0x03}, {'a', 0x08}, {'a', 0x0A}, {},          {'c', 0x27}, {'e', 0x00}, {'e', 0x01},
    {'e', 0x02}, {'e', 0x08}, {'i', 0x00}, {'i', 0x01}, {'i', 0x02}, {'i', 0x08}, {},
    {'n', 0x03}, {'o', 0x00}, {'o', 0x01}, {'o', 0x02}, {'o', 0x03}, {'o', 0x08}, {},
    {},          {'u', 0x00}, {'u', 0x01}, {'u', 0x02}, {'u', 0x08}, {'y', 0x01}, {},
    {'y', 0x08}, {'A', 0x04}, {'a', 0x04}, {'A', 0x06}, {'a', 0x06}, {'A', 0x28}, {'a', 0x28},
    {'C', 0x01}, {'c', 0x01}, {'C', 0x02}, {'c', 0x02}, {'C', 0x07}, {'c', 0x07}, {'C', 0x0C},
    {'c', 0x0C}, {'D', 0x0C}, {'d', 0x0C}, {},          {},          {'E', 0x04}, {'e', 0x04},
    {'E', 0x06}, {'e', 0x06}, {'E', 0x07}, {'e', 0x07}, {'E', 0x28}, {'e', 0x28}, {'E', 0x0C},
    {'e', 0x0C}, {'G', 0x02}, {'g', 0x02}, {'G', 0x06}, {'g', 0x06}, {'G', 0x07}, {'g', 0x07},
    {'G', 0x27}, {'g', 0x27}, {'H', 0x02}, {'h', 0x02}, {},          {},          {'I', 0x03},
    {'i', 0x03}, {'I', 0x04}, {'i', 0x04}, {'I', 0x06}, {'i', 0x06}, {'I', 0x28}, {'i', 0x28},
    {'I', 0x07}, {},          {},          {},          {'J', 0x02}, {'j', 0x02}, {'K', 0x27},
    {'k', 0x27}, {},          {'L', 0x01}, {'l', 0x01}, {'L', 0x27}, {'l', 0x27}, {'L', 0x0C},
    {'l', 0x0C}, {},          {},          {},          {},          {'N', 0x01}, {'n', 0x01},
    {'N', 0x27}, {'n', 0x27}, {'N', 0x0C}, {'n', 0x0C}, {},          {},          {},
    {'O', 0x04}, {'o', 0x04}, {'O', 0x06}, {'o', 0x06}, {'O', 0x0B}, {'o', 0x0B}, {},
    {},          {'R', 0x01}, {'r', 0x01}, {'R', 0x27}, {'r', 0x27}, {'R', 0x0C}, {'r', 0x0C},
    {'S', 0x01}, {'s', 0x01}, {'S', 0x02}, {'s', 0x02}, {'S', 0x27}, {'s', 0x27}, {'S', 0x0C},
    {'s', 0x0C}, {'T', 0x27}, {'t', 0x27}, {'T', 0x0C}, {'t', 0x0C}, {},          {},
    {'U', 0x03}, {'u', 0x03}, {'U', 0x04}, {'u', 0x04}, {'U', 0x06}, {'u', 0x06}, {'U', 0x0A},
    {'u', 0x0A}, {'U', 0x0B}, {'u', 0x0B}, {'U', 0x28}, {'u', 0x28}, {'W', 0x02}, {'w', 0x02},
    {'Y', 0x02}, {'y', 0x02}, {'Y', 0x08}, {'Z', 0x01}, {'z', 0x01}, {'Z', 0x07}, {'z', 0x07},
    {'Z', 0x0C}, {'z', 0x0C}, {},
}};

// The lower case of a code point of the Latin alphabets; others as they are.
char32_t lowerLatin(char32_t c)
{
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 32;
    if (c == 0x178) // Ÿ
        return 0xFF;
    const bool evenUpper = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1))
        return c + 1;
    return c;
}

// The blanks a name may hold that look like a space: tab, no-break, the typographic spaces.
bool isBlank(char32_t c)
{
    return c == U' ' || c == U'\t' || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

// Characters that show nothing: a name holding one looks like the name without it.
bool isInvisible(char32_t c)
{
    return c == 0xAD || c == 0x200B || c == 0x200C || c == 0x200D || c == 0x2060 || c == 0xFEFF;
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point of one- to three-byte sequences starting at `at`, with its length; a byte
// that starts none of them is its own length-one "code point" above U+10FFFF, kept as it is.
struct Decoded {
    char32_t code = 0;
    std::size_t length = 1;
};
constexpr char32_t RawByte = 0x110000;

Decoded decodeUtf8(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t k) {
        return at + k < text.size() ? static_cast<unsigned char>(text[at + k]) : 0U;
    };
    const unsigned lead = byte(0);
    if (lead < 0x80)
        return {lead, 1};
    if ((lead & 0xE0) == 0xC0 && (byte(1) & 0xC0) == 0x80)
        return {(lead & 0x1FU) << 6 | (byte(1) & 0x3FU), 2};
    if ((lead & 0xF0) == 0xE0 && (byte(1) & 0xC0) == 0x80 && (byte(2) & 0xC0) == 0x80)
        return {(lead & 0x0FU) << 12 | (byte(1) & 0x3FU) << 6 | (byte(2) & 0x3FU), 3};
    return {RawByte + lead, 1};
}

void appendFolded(std::string &key, char32_t c)
{
    if (c >= RawByte) {
        key += static_cast<char>(c - RawByte);
        return;
    }
    if (c >= FirstDecomposed && c - FirstDecomposed < Decompositions.size()) {
        if (const Decomposed d = Decompositions[c - FirstDecomposed]; d.base != 0) {
            appendUtf8(key, lowerLatin(static_cast<char32_t>(d.base)));
            appendUtf8(key, 0x300 + d.mark);
            return;
        }
    }
    appendUtf8(key, lowerLatin(c));
}

} // namespace

// Composed letters are decomposed rather than the decomposed ones composed: either way the
// two spellings meet, and a table from letters to their parts is the smaller.
std::string wheelNameKey(std::string_view name)
{
    std::string key;
    key.reserve(name.size());
    bool blankPending = false;
    for (std::size_t at = 0; at < name.size();) {
        const Decoded next = decodeUtf8(name, at);
        at += next.length;
        if (isInvisible(next.code))
            continue;
        if (isBlank(next.code)) {
            blankPending = !key.empty();
            continue;
        }
        if (blankPending)
            key += ' ';
        blankPending = false;
        appendFolded(key, next.code);
    }
    return key;
}

std::size_t characterCount(std::string_view text)
{
    std::size_t count = 0;
    for (const char byte : text)
        count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

} // namespace roulette
