#include "sources/permanencetext.h"

#include <utility>

#include "sources/textrules.h"

namespace roulette
{

namespace
{

void appendLatin1(unsigned char byte, std::string &out)
{
    if (byte < 0x80) {
        out += static_cast<char>(byte);
        return;
    }
    out += static_cast<char>(0xC0 | byte >> 6);
    out += static_cast<char>(0x80 | (byte & 0x3F));
}

void appendCodePoint(char32_t c, std::string &out)
{
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (c < 0x80) {
        out += byte(c);
        return;
    }
    if (c < 0x800) {
        out += byte(0xC0 | c >> 6);
    } else if (c < 0x10000) {
        out += byte(0xE0 | c >> 12);
        out += byte(0x80 | (c >> 6 & 0x3F));
    } else {
        out += byte(0xF0 | c >> 18);
        out += byte(0x80 | (c >> 12 & 0x3F));
        out += byte(0x80 | (c >> 6 & 0x3F));
    }
    out += byte(0x80 | (c & 0x3F));
}

// Length of the UTF-8 sequence a lead byte starts (0: none), and the range its second byte
// must fall in so that the form is neither overlong, a surrogate nor past U+10FFFF.
struct Lead {
    std::size_t length;
    int low;
    int high;
};

Lead leadOf(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return {2, 0x80, 0xBF};
    if (lead >= 0xE0 && lead <= 0xEF)
        return {3, lead == 0xE0 ? 0xA0 : 0x80, lead == 0xED ? 0x9F : 0xBF};
    if (lead >= 0xF0 && lead <= 0xF4)
        return {4, lead == 0xF0 ? 0x90 : 0x80, lead == 0xF4 ? 0x8F : 0xBF};
    return {0, 0, 0};
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

} // namespace

ByteOrderMark byteOrderMark(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return {TextEncoding::Utf8, 3};
    if (bytes.starts_with("\xFF\xFE"))
        return {TextEncoding::Utf16LE, 2};
    if (bytes.starts_with("\xFE\xFF"))
        return {TextEncoding::Utf16BE, 2};
    return {};
}

void TextDecoder::decode(std::string_view bytes, std::string &out)
{
    const std::size_t skipped = std::min(m_skip, bytes.size());
    m_skip -= skipped;
    m_offset += static_cast<std::int64_t>(skipped);
    bytes.remove_prefix(skipped);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (m_encoding == TextEncoding::Utf8)
            decodeUtf8(byte, out);
        else if (m_encoding == TextEncoding::Latin1)
            appendLatin1(byte, out);
        else
            decodeUtf16(byte, out);
        ++m_offset;
    }
}

void TextDecoder::finish(std::string &out)
{
    if (m_encoding == TextEncoding::Utf8) {
        flushAsLatin1(out);
    } else if (m_encoding != TextEncoding::Latin1 && (!m_sequence.empty() || m_highSurrogate)) {
        out += '?'; // half a character
        m_sequence.clear();
        m_highSurrogate = 0;
    }
}

void TextDecoder::decodeUtf8(unsigned char byte, std::string &out)
{
    if (m_sequence.empty()) {
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            return;
        }
        m_sequenceLength = leadOf(byte).length;
        m_sequence += static_cast<char>(byte);
        if (m_sequenceLength == 0)
            flushAsLatin1(out);
        return;
    }
    const Lead lead = leadOf(static_cast<unsigned char>(m_sequence[0]));
    const bool fits =
        m_sequence.size() == 1 ? byte >= lead.low && byte <= lead.high : (byte & 0xC0) == 0x80;
    if (!fits) {
        flushAsLatin1(out);
        decodeUtf8(byte, out); // this byte may start a sequence of its own
        return;
    }
    m_sequence += static_cast<char>(byte);
    if (m_sequence.size() == m_sequenceLength) {
        out += m_sequence;
        m_sequence.clear();
    }
}

void TextDecoder::flushAsLatin1(std::string &out)
{
    if (m_sequence.empty())
        return;
    if (!m_firstInvalid)
        m_firstInvalid = m_offset - static_cast<std::int64_t>(m_sequence.size()) + 1;
    m_invalid += static_cast<std::int64_t>(m_sequence.size());
    for (const char c : m_sequence)
        appendLatin1(static_cast<unsigned char>(c), out);
    m_sequence.clear();
}

void TextDecoder::decodeUtf16(unsigned char byte, std::string &out)
{
    if (m_sequence.empty()) {
        m_sequence += static_cast<char>(byte);
        return;
    }
    const auto first = static_cast<unsigned char>(m_sequence[0]);
    m_sequence.clear();
    const auto unit = static_cast<std::uint16_t>(
        m_encoding == TextEncoding::Utf16LE ? byte << 8 | first : first << 8 | byte);
    const bool high = unit >= 0xD800 && unit < 0xDC00;
    const bool low = unit >= 0xDC00 && unit < 0xE000;
    if (const std::uint16_t before = std::exchange(m_highSurrogate, 0); before != 0) {
        if (low) {
            appendCodePoint(0x10000 + (char32_t(before - 0xD800) << 10) + (unit - 0xDC00u), out);
            return;
        }
        out += '?';
    }
    if (high)
        m_highSurrogate = unit;
    else if (low)
        out += '?';
    else
        appendCodePoint(unit, out);
}

void FieldSplitter::split(std::string_view text)
{
    for (const char c : text)
        take(c);
}

void FieldSplitter::finish()
{
    if (m_lineStarted)
        endLine();
}

bool FieldSplitter::separates(char c) const
{
    switch (m_separator) {
    case Separator::Comma:
        return c == ',';
    case Separator::Semicolon:
        return c == ';';
    case Separator::Tab:
        return c == '\t';
    case Separator::Spaces:
        return isBlank(c);
    case Separator::OnePerLine:
        break;
    }
    return false;
}

void FieldSplitter::take(char c)
{
    if (const LineEnds::Byte kind = m_lineEnds.take(c); kind != LineEnds::Byte::Text) {
        if (kind == LineEnds::Byte::LineEnd)
            endLine();
        return;
    }
    m_lineStarted = true;
    ++m_characters;
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && !isBlank(c)) || byte == 0x7F)
        ++m_controls;
    if (m_line.size() < QuoteBytes)
        m_line += c;
    if (c == '"') {
        m_quoted = !m_quoted;
        return;
    }
    if (!m_quoted && separates(c)) {
        if (m_separator != Separator::Spaces || !m_field.empty() || m_fieldCut)
            endField();
        return;
    }
    if (isBlank(c)) {
        m_blankInField = !m_field.empty();
        return;
    }
    const std::size_t room = FieldLimit - std::min(FieldLimit, m_field.size());
    if (room < 1 + std::size_t{m_blankInField}) {
        m_fieldCut = true;
        return;
    }
    if (std::exchange(m_blankInField, false))
        m_field += ' ';
    m_field += c;
}

void FieldSplitter::endField()
{
    m_sink.field(m_field, m_fieldCut);
    m_field.clear();
    m_fieldCut = false;
    m_blankInField = false;
}

void FieldSplitter::endLine()
{
    if (m_separator != Separator::Spaces || !m_field.empty() || m_fieldCut)
        endField();
    m_sink.lineEnd(m_line);
    m_line.clear();
    m_quoted = false;
    m_lineStarted = false;
}

} // namespace roulette
