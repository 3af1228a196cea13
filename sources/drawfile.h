#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "sources/drawrecords.h"

namespace roulette
{

/// Turns the bytes of a draw file into its records, a chunk at a time, so that a file is
/// never held whole. Lines end with CR LF, LF or a lone CR; a UTF-8 byte-order mark at the
/// start is dropped. A line is passed over when it is empty, holds only blanks, is "==",
/// or contains "*"; every other line is a record.
class DrawFileReader
{
public:
    /// FileLineCount is a 32-bit count.
    static constexpr std::int64_t MaxRecords = std::numeric_limits<std::int32_t>::max();
    /// A record with more characters than this besides its blanks is not read as a number.
    static constexpr std::size_t FigureLimit = 1024;

    explicit DrawFileReader(std::int64_t maxRecords = MaxRecords) : m_maxRecords(maxRecords) {}

    /// The next bytes of the file; a line, a CR LF or the byte-order mark may straddle two
    /// calls. Throws std::length_error on a record past maxRecords.
    void read(std::string_view bytes);
    /// The end of the file: a last line without a line ending counts like any other.
    DrawRecords finish();

private:
    void take(char c);
    void endLine();

    std::int64_t m_maxRecords;
    DrawRecords m_records;
    std::string m_line;    // the line so far, up to QuoteBytes bytes
    std::string m_figures; // the line so far without its blanks, up to FigureLimit bytes
    bool m_star = false;
    bool m_tooLong = false; // more than FigureLimit figures
    bool m_afterCr = false;
    bool m_atStart = true; // still matching the byte-order mark
    std::size_t m_markBytes = 0;
};

/// Reads a draw file from a stream to its end. Throws std::ios_base::failure on a read
/// error, and what DrawFileReader::read throws.
DrawRecords readDrawRecords(std::istream &in);

/// A draw file loaded from disk: its records, or why it could not be loaded.
struct DrawFileLoad {
    std::optional<DrawRecords> records;
    std::string error; ///< French, names the file and the cause
};

/// Loads the draw file at path. A file that cannot be opened or read, holds no record, or
/// does not fit in memory gives an error and no records.
DrawFileLoad readDrawFile(const std::filesystem::path &path);

} // namespace roulette
