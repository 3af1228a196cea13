// The draw-file reader fed arbitrary bytes in arbitrary chunks must agree with a plain
// reading of the whole buffer, its message must be showable text, and every number must
// replay.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "board/board.h"
#include "sources/drawfile.h"
#include "sources/textrules.h"

using namespace roulette;

namespace
{

constexpr std::size_t npos = std::string_view::npos;

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// UTF-16 text as UTF-8; what is not a character becomes "?".
std::string fromUtf16(std::string_view bytes, bool littleEndian)
{
    std::string text;
    const auto put = [&text](char32_t c, int bytesAfterLead) {
        constexpr unsigned char leads[] = {0x00, 0xC0, 0xE0, 0xF0};
        text += static_cast<char>(leads[bytesAfterLead] | c >> (6 * bytesAfterLead));
        for (int shift = 6 * (bytesAfterLead - 1); shift >= 0; shift -= 6)
            text += static_cast<char>(0x80 | (c >> shift & 0x3F));
    };
    char32_t high = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        const char32_t unit = littleEndian ? (b << 8 | a) : (a << 8 | b);
        const bool isLow = unit >= 0xDC00 && unit < 0xE000;
        if (high != 0 && isLow) {
            put(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00), 3);
            high = 0;
            continue;
        }
        if (high != 0)
            text += '?';
        high = unit >= 0xD800 && unit < 0xDC00 ? unit : 0;
        if (high == 0)
            isLow ? void(text += '?') : put(unit, unit < 0x80 ? 0 : unit < 0x800 ? 1 : 2);
    }
    if (high != 0 || bytes.size() % 2 != 0)
        text += '?';
    return text;
}

// Two runs of digits or more, and nothing but digits, blanks, commas and semicolons.
bool holdsSeveralNumbers(std::string_view line)
{
    int runs = 0;
    bool afterDigit = false;
    for (const char c : line) {
        const bool digit = c >= '0' && c <= '9';
        if (!digit && c != ' ' && c != '\t' && c != ',' && c != ';')
            return false;
        runs += digit && !afterDigit;
        afterDigit = digit;
    }
    return runs >= 2;
}

DrawFileContent readWhole(std::string_view bytes)
{
    std::string text(bytes);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        text = bytes.substr(3);
    else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        text = fromUtf16(bytes.substr(2), bytes[0] == '\xFF');
    DrawFileContent content;
    std::string_view rest = text;
    for (std::int64_t lineNumber = 1; !rest.empty(); ++lineNumber) {
        const std::size_t end = rest.find_first_of("\r\n");
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == npos ? rest.size()
                                       : end + (rest.substr(end, 2) == "\r\n" ? 2 : 1));
        if (line.find_first_not_of(" \t") == npos || line == "==" || line.find('*') != npos)
            continue;
        std::size_t figures = 0;
        for (const char c : line)
            figures += c != ' ' && c != '\t';
        const auto number =
            figures > DrawFileReader::FigureLimit ? std::nullopt : recordNumber(line);
        if (number) {
            content.numbers.append(*number);
            continue;
        }
        const BadLine quoted{lineNumber, std::string(line.substr(0, QuoteBytes))};
        if (content.badLineCount++ < std::int64_t{DrawFileReader::QuotedBadLines})
            content.firstBadLines.push_back(quoted);
        if (holdsSeveralNumbers(line) && content.severalNumbersLines++ == 0)
            content.firstSeveralNumbers = quoted;
    }
    return content;
}

// Checked without the program's own decoder: valid UTF-8, no control character.
bool isShowable(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int more = lead < 0x80         ? 0
                         : (lead >> 5) == 6  ? 1
                         : (lead >> 4) == 14 ? 2
                         : (lead >> 3) == 30 ? 3
                                             : -1;
        if (more < 0 || text.size() - i <= static_cast<std::size_t>(more))
            return false;
        std::uint32_t code = more == 0 ? lead : lead & (0x3Fu >> more);
        for (int k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3Fu);
        }
        constexpr std::uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < smallest[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) ||
            code < 0x20 || (code >= 0x7F && code < 0xA0))
            return false;
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const unsigned pattern = data[0];
    const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);

    DrawFileReader reader;
    std::size_t at = 0;
    for (unsigned i = 1; at < text.size(); ++i) {
        const std::size_t step = 1 + (pattern * i) % 61;
        reader.read(text.substr(at, step));
        at += step;
    }
    const DrawFileContent content = reader.finish();
    check(content == readWhole(text));
    check(isShowable(badLinesMessage(content)));
    const DrawRecords &records = content.numbers;

    // One board for all inputs: a new one costs more than the rest of a run.
    static Board board;
    if (board.state().SpinCount > 60000)
        board.Command3_Click();
    board.loadDrawFile(records, "fuzz.txt");
    for (std::int64_t k = 1; k <= records.size() && k <= 64; ++k) {
        check(*records.number(k) <= 36);
        check(board.Command6_Click().spun);
        check(board.state().filePosText == decimalText(k));
    }
    return 0;
}
