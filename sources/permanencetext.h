#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sources/textrules.h"

namespace roulette
{

/// How the bytes of a permanence become text.
enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Latin1 };

/// What separates the numbers of a line.
enum class Separator { Comma, Semicolon, Tab, Spaces, OnePerLine };

/// The encoding a byte-order mark at the start of bytes gives, and the mark's length.
struct ByteOrderMark {
    TextEncoding encoding = TextEncoding::Utf8;
    std::size_t length = 0; ///< 0 when the bytes start with no mark
};
ByteOrderMark byteOrderMark(std::string_view bytes);

/// Turns bytes of a known encoding into UTF-8, a chunk at a time; a character may straddle two
/// chunks. In UTF-8, each byte that starts no valid sequence is taken as Latin-1, so that no
/// byte is lost and a line stays a line.
class TextDecoder
{
public:
    /// skip: the length of the byte-order mark to drop first.
    TextDecoder(TextEncoding encoding, std::size_t skip) : m_encoding(encoding), m_skip(skip) {}

    /// Appends the text of the next bytes to out.
    void decode(std::string_view bytes, std::string &out);
    /// Appends what a character cut short by the end of the bytes leaves, as "?" or Latin-1.
    void finish(std::string &out);
    /// Bytes of a UTF-8 reading that were not UTF-8, and the offset of the first.
    std::int64_t invalidBytes() const { return m_invalid; }
    std::optional<std::int64_t> firstInvalid() const { return m_firstInvalid; }

private:
    void decodeUtf8(unsigned char byte, std::string &out);
    void decodeUtf16(unsigned char byte, std::string &out);
    void flushAsLatin1(std::string &out);

    TextEncoding m_encoding;
    std::size_t m_skip;
    std::int64_t m_offset = 0;
    std::int64_t m_invalid = 0;
    std::optional<std::int64_t> m_firstInvalid;
    std::string m_sequence; // a UTF-8 sequence begun, or the first byte of a UTF-16 unit
    std::size_t m_sequenceLength = 0;
    std::uint16_t m_highSurrogate = 0;
};

/// Receives the fields and the ends of the lines a FieldSplitter finds.
class LineSink
{
public:
    virtual ~LineSink() = default;
    /// A field without its blanks around and its quotes; cut when it held more than
    /// FieldSplitter::FieldLimit characters (text is then its start).
    virtual void field(std::string_view text, bool cut) = 0;
    /// The line's start, up to QuoteBytes bytes, after its last field.
    virtual void lineEnd(std::string_view line) = 0;
};

/// Cuts UTF-8 text into lines (CR LF, LF or a lone CR) and lines into fields, without ever
/// holding more of a line than a field's and a quote's length. Double quotes group a field
/// that holds the separator, as in CSV. With Spaces, runs of blanks separate and no field is
/// empty; with OnePerLine, the line is one field.
class FieldSplitter
{
public:
    /// A longer field is no number, so only its start is kept.
    static constexpr std::size_t FieldLimit = 64;

    FieldSplitter(Separator separator, LineSink &sink) : m_separator(separator), m_sink(sink) {}

    void split(std::string_view text);
    /// The end of the text: a last line without a line ending counts like any other.
    void finish();

    /// Characters seen, and among them controls that no text file holds (NUL, most of C0, DEL).
    std::int64_t characters() const { return m_characters; }
    std::int64_t controls() const { return m_controls; }

private:
    void take(char c);
    bool separates(char c) const;
    void endField();
    void endLine();

    Separator m_separator;
    LineSink &m_sink;
    std::string m_line;
    std::string m_field;
    bool m_fieldCut = false;
    bool m_blankInField = false;
    bool m_quoted = false;
    LineEnds m_lineEnds;
    bool m_lineStarted = false;
    std::int64_t m_characters = 0;
    std::int64_t m_controls = 0;
};

} // namespace roulette
