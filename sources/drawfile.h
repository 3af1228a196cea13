#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sources/textrules.h"

#include "sources/drawrecords.h"

namespace roulette
{

/// A line of a draw file that is neither passed over nor a roulette number.
struct BadLine {
    std::int64_t line; ///< as an editor numbers it: the first line is 1, passed-over lines count
    std::string text;  ///< its start, enough to quote it
    bool operator==(const BadLine &) const = default;
};

/// What a draw file holds: the numbers that will play, and the lines that will not.
struct DrawFileContent {
    DrawRecords numbers;
    std::int64_t badLineCount = 0;
    std::vector<BadLine> firstBadLines; ///< at most DrawFileReader::QuotedBadLines
    /// Bad lines that hold several numbers and nothing else, as a permanence writes them
    /// (« 21, 5, 17 »), and the first of them.
    std::int64_t severalNumbersLines = 0;
    std::optional<BadLine> firstSeveralNumbers;
    bool operator==(const DrawFileContent &) const = default;
};

/// The French warning about the lines that will not play; empty when there are none.
std::string badLinesMessage(const DrawFileContent &content);

/// Turns the bytes of a draw file into its numbers, a chunk at a time, so that a file is
/// never held whole. The text is UTF-8, or UTF-16 when it starts with a UTF-16 byte-order
/// mark; a UTF-8 mark at the start is dropped. Lines end with CR LF, LF or a lone CR. A line
/// is passed over when it is empty, holds only blanks, is "==", or contains "*"; every
/// other line is a number 0..36 or a bad line.
class DrawFileReader
{
public:
    /// FileLineCount is a 32-bit count.
    static constexpr std::int64_t MaxRecords = std::numeric_limits<std::int32_t>::max();
    /// A record with more characters than this besides its blanks is not read as a number.
    static constexpr std::size_t FigureLimit = 1024;
    /// Bad lines kept to be quoted; the others are only counted.
    static constexpr std::size_t QuotedBadLines = 5;

    explicit DrawFileReader(std::int64_t maxRecords = MaxRecords) : m_maxRecords(maxRecords) {}

    /// The next bytes of the file; a line, a line ending, a character or the byte-order
    /// mark may straddle two calls. Throws std::length_error on a number past maxRecords.
    void read(std::string_view bytes);
    /// The end of the file: a last line without a line ending counts like any other.
    DrawFileContent finish();

private:
    enum class Encoding { Unknown, Utf8, Utf16LE, Utf16BE };

    void chooseEncoding(bool atEnd);
    void readUtf16(std::string_view bytes);
    void takeUnit(std::uint16_t unit);
    void takeCodePoint(char32_t c);
    void take(char c);
    void endLine();
    void badLine();

    std::int64_t m_maxRecords;
    DrawFileContent m_content;
    std::int64_t m_lineNumber = 0; // of the line being read
    std::string m_line;            // the line so far, up to QuoteBytes bytes
    std::string m_figures;         // the line so far without its blanks, up to FigureLimit bytes
    bool m_star = false;
    bool m_tooLong = false;    // more than FigureLimit figures
    int m_numberGroups = 0;    // runs of digits in the line
    bool m_afterDigit = false; // the last character was a digit
    bool m_onlyNumbers = true; // digits, blanks, commas and semicolons
    LineEnds m_lineEnds;
    Encoding m_encoding = Encoding::Unknown;
    std::string m_start;                   // the first bytes, while they may be a mark
    std::optional<std::uint8_t> m_oddByte; // the first byte of a UTF-16 unit
    std::uint16_t m_highSurrogate = 0;     // waiting for its low half
};

/// Told between chunks the fraction of the bytes read so far; returns false to stop.
using ReadProgress = std::function<bool(double done)>;

/// A draw file read from disk, ready to be loaded.
struct DrawFileLoad {
    std::string fileName;               ///< the bare name, as the system gives it
    std::optional<DrawRecords> records; ///< empty when nothing is to be loaded
    /// French: why nothing is loaded, or which lines will not play. Empty when there is
    /// nothing to say, or when the reading was stopped.
    std::string message;
};

/// Reads the draw file at path. A file that cannot be opened or read, holds no number, or
/// does not fit in memory gives a message and no records; so does a file that reads as a
/// permanence, with as many lines of several numbers as of one, whose message names the
/// permanence import. Fewer such lines load, and the message names that import too.
DrawFileLoad readDrawFile(const std::filesystem::path &path, const ReadProgress &progress = {});

/// Adds one record to a draw file in the program's own format: the number, then CR LF.
void appendDrawFileLine(std::string &out, int number);

} // namespace roulette
