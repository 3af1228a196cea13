#include "sources/drawfile.h"

#include <algorithm>
#include <fstream>
#include <ios>
#include <new>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "sources/fileopen.h"
#include "sources/textrules.h"

namespace roulette
{

namespace
{

constexpr std::size_t ChunkBytes = std::size_t{64} * 1024;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::string badLinesMessage(const DrawFileContent &content)
{
    const std::int64_t count = content.badLineCount;
    if (count == 0)
        return {};
    std::string text =
        count == 1 ? "1 ligne n'est pas un numéro de roulette et ne sera pas jouée : "
                   : decimalText(count) +
                         " lignes ne sont pas des numéros de roulette et ne seront pas jouées : ";
    for (const BadLine &bad : content.firstBadLines) {
        if (&bad != &content.firstBadLines.front())
            text += ", ";
        text += "ligne " + decimalText(bad.line) + " " + quoteText(bad.text);
    }
    const bool allQuoted = count == static_cast<std::int64_t>(content.firstBadLines.size());
    return text + (allQuoted ? "." : ", …");
}

void DrawFileReader::read(std::string_view bytes)
{
    while (m_encoding == Encoding::Unknown && !bytes.empty()) {
        m_start += bytes.front();
        bytes.remove_prefix(1);
        chooseEncoding(false);
    }
    if (m_encoding != Encoding::Utf8) {
        readUtf16(bytes);
        return;
    }
    for (const char c : bytes)
        take(c);
}

DrawFileContent DrawFileReader::finish()
{
    if (m_encoding == Encoding::Unknown)
        chooseEncoding(true);
    if (m_oddByte || m_highSurrogate != 0)
        take('?'); // a character cut short by the end of the file
    if (!m_line.empty())
        endLine();
    return std::move(m_content);
}

// Called with each new first byte until the mark, if any, is known.
void DrawFileReader::chooseEncoding(bool atEnd)
{
    static constexpr std::pair<std::string_view, Encoding> marks[] = {
        {"\xEF\xBB\xBF", Encoding::Utf8},
        {"\xFF\xFE", Encoding::Utf16LE},
        {"\xFE\xFF", Encoding::Utf16BE},
    };
    bool maybeMark = false;
    for (const auto &[mark, encoding] : marks) {
        if (m_start == mark) {
            m_encoding = encoding;
            return;
        }
        maybeMark = maybeMark || mark.starts_with(m_start);
    }
    if (maybeMark && !atEnd)
        return;
    m_encoding = Encoding::Utf8;
    for (const char c : m_start)
        take(c); // not a mark after all: its bytes start the first line
}

void DrawFileReader::readUtf16(std::string_view bytes)
{
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (!m_oddByte) {
            m_oddByte = byte;
            continue;
        }
        const std::uint8_t first = *std::exchange(m_oddByte, std::nullopt);
        const bool littleEndian = m_encoding == Encoding::Utf16LE;
        takeUnit(static_cast<std::uint16_t>(littleEndian ? byte << 8 | first : first << 8 | byte));
    }
}

void DrawFileReader::takeUnit(std::uint16_t unit)
{
    const bool high = unit >= 0xD800 && unit < 0xDC00;
    const bool low = unit >= 0xDC00 && unit < 0xE000;
    if (const std::uint16_t before = std::exchange(m_highSurrogate, 0); before != 0) {
        if (low) {
            takeCodePoint(0x10000 + (char32_t(before - 0xD800) << 10) + (unit - 0xDC00u));
            return;
        }
        take('?'); // half a character, as a message shows bytes that are not text
    }
    if (high)
        m_highSurrogate = unit;
    else if (low)
        take('?');
    else
        takeCodePoint(unit);
}

void DrawFileReader::takeCodePoint(char32_t c)
{
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (c < 0x80) {
        take(byte(c));
        return;
    }
    if (c < 0x800) {
        take(byte(0xC0 | c >> 6));
    } else if (c < 0x10000) {
        take(byte(0xE0 | c >> 12));
        take(byte(0x80 | (c >> 6 & 0x3F)));
    } else {
        take(byte(0xF0 | c >> 18));
        take(byte(0x80 | (c >> 12 & 0x3F)));
        take(byte(0x80 | (c >> 6 & 0x3F)));
    }
    take(byte(0x80 | (c & 0x3F)));
}

void DrawFileReader::take(char c)
{
    if (const LineEnds::Byte kind = m_lineEnds.take(c); kind != LineEnds::Byte::Text) {
        if (kind == LineEnds::Byte::LineEnd)
            endLine();
        return;
    }
    if (m_line.size() < QuoteBytes)
        m_line += c;
    const bool digit = isDigit(c);
    m_numberGroups += digit && !m_afterDigit;
    m_afterDigit = digit;
    m_onlyNumbers = m_onlyNumbers && (digit || isBlank(c) || c == ',' || c == ';');
    if (c == '*')
        m_star = true;
    else if (isBlank(c))
        return;
    else if (m_figures.size() < FigureLimit)
        m_figures += c;
    else
        m_tooLong = true;
}

void DrawFileReader::endLine()
{
    ++m_lineNumber;
    // m_line holds all of a two-byte line, so "==" is matched exactly.
    const bool skipped = m_star || m_figures.empty() || (m_line.size() == 2 && m_line == "==");
    if (!skipped) {
        // Blanks change nothing to a number's value, so the figures give the line's number.
        if (const auto number = m_tooLong ? std::nullopt : recordNumber(m_figures)) {
            if (m_content.numbers.size() >= m_maxRecords)
                throw std::length_error("too many draw records");
            m_content.numbers.append(*number);
        } else {
            badLine();
        }
    }
    m_line.clear();
    m_figures.clear();
    m_star = false;
    m_tooLong = false;
    m_numberGroups = 0;
    m_afterDigit = false;
    m_onlyNumbers = true;
}

void DrawFileReader::badLine()
{
    if (m_content.badLineCount++ < static_cast<std::int64_t>(QuotedBadLines))
        m_content.firstBadLines.push_back({m_lineNumber, m_line});
    if (m_numberGroups < 2 || !m_onlyNumbers)
        return;
    if (m_content.severalNumbersLines++ == 0)
        m_content.firstSeveralNumbers = BadLine{m_lineNumber, m_line};
}

namespace
{

// Thrown when the bytes read are not the bytes the file held when the reading began.
struct FileChanged : std::runtime_error {
    FileChanged() : std::runtime_error("draw file changed while read") {}
};

// A file measured with no size (as /proc's are) is read to its end; any other must give
// exactly its size, and still have it once read, or what was read is a mix of two files.
void checkUnchanged(const std::filesystem::path &path, std::uint64_t size, std::uint64_t read)
{
    std::error_code error;
    const std::uintmax_t sizeNow = std::filesystem::file_size(path, error);
    if (error || sizeNow != size || (size != 0 && read != size))
        throw FileChanged{};
}

// The stream's size lets progress be told the fraction read. Empty when progress stopped it;
// throws std::ios_base::failure on a read error, FileChanged, and what DrawFileReader::read
// throws.
std::optional<DrawFileContent> readContent(std::istream &in, const std::filesystem::path &path,
                                           std::uint64_t size, const ReadProgress &progress)
{
    DrawFileReader reader;
    std::vector<char> chunk(ChunkBytes);
    std::uint64_t done = 0;
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        reader.read({chunk.data(), got});
        done += got;
        const double fraction = size == 0 ? 1.0 : std::min(1.0, double(done) / double(size));
        if (progress && !progress(fraction))
            return std::nullopt;
    }
    if (in.bad())
        throw std::ios_base::failure("draw file read error");
    checkUnchanged(path, size, done);
    return reader.finish();
}

// A draw file holds one number a line: a line of several is a permanence's, which only the
// permanence import reads whole.
std::string permanenceMessage(const std::string &file, const DrawFileContent &content)
{
    const std::int64_t lines = content.severalNumbersLines;
    return "Le fichier " + file + " se lit comme une permanence : " +
           (lines == 1 ? std::string("1 ligne porte") : decimalText(lines) + " lignes portent") +
           " plusieurs numéros (ligne " + decimalText(content.firstSeveralNumbers->line) + " " +
           quoteText(content.firstSeveralNumbers->text) +
           "), qu'un fichier de tirage ne lit pas. « Importer une permanence… (Ctrl+I) », "
           "dans le menu « Fichier », en lit tous les tirages.";
}

DrawFileLoad failure(std::string fileName, std::string message)
{
    return {std::move(fileName), std::nullopt, std::move(message)};
}

} // namespace

DrawFileLoad readDrawFile(const std::filesystem::path &path, const ReadProgress &progress)
{
    const std::u8string bareName = path.filename().u8string();
    std::string name(bareName.begin(), bareName.end());
    const std::string file = quotedFileName(path);
    const std::string nothingLoaded = " : rien n'a été chargé.";

    std::ifstream in;
    if (auto problem = openRegularFile(path, in, "un fichier de tirage", nothingLoaded))
        return failure(name, std::move(*problem));
    std::error_code error;
    try {
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (error)
            return failure(name, openFailure(file, error));
        std::optional<DrawFileContent> content = readContent(in, path, size, progress);
        if (!content)
            return failure(name, {});
        if (content->severalNumbersLines > 0 &&
            content->severalNumbersLines >= content->numbers.size())
            return failure(name, permanenceMessage(file, *content) + " Rien n'a été chargé.");
        if (content->numbers.size() == 0)
            return failure(name,
                           "Le fichier " + file + " ne contient aucun numéro" + nothingLoaded);
        std::string message = badLinesMessage(*content);
        if (content->severalNumbersLines > 0)
            message += " " + permanenceMessage(file, *content);
        return {std::move(name), std::move(content->numbers), std::move(message)};
    } catch (const std::bad_alloc &) {
        return failure(name,
                       "Mémoire insuffisante pour charger le fichier " + file + nothingLoaded);
    } catch (const std::length_error &) {
        return failure(name, "Le fichier " + file + " compte plus de " +
                                 decimalText(DrawFileReader::MaxRecords) + " numéros" +
                                 nothingLoaded);
    } catch (const std::ios_base::failure &) {
        return failure(name, "Erreur de lecture du fichier " + file + nothingLoaded);
    } catch (const FileChanged &) {
        return failure(name, "Le fichier " + file + " a changé pendant la lecture" + nothingLoaded);
    }
}

void appendDrawFileLine(std::string &out, int number)
{
    out += decimalText(number);
    out += "\r\n";
}

} // namespace roulette
