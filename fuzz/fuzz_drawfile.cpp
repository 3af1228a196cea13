// The draw-file reader fed arbitrary bytes in arbitrary chunks must agree with a plain
// reading of the whole buffer, and every record must replay, whatever it holds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "board/board.h"
#include "sources/textrules.h"
#include "sources/drawfile.h"

using namespace roulette;

namespace
{

constexpr std::size_t npos = std::string_view::npos;

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

DrawRecords readWhole(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    DrawRecords records;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == npos ? text.size()
                                       : end + (text.substr(end, 2) == "\r\n" ? 2 : 1));
        if (line.find_first_not_of(" \t") == npos || line == "==" || line.find('*') != npos)
            continue;
        std::size_t figures = 0;
        for (const char c : line)
            figures += c != ' ' && c != '\t';
        records.append(figures > DrawFileReader::FigureLimit ? std::nullopt : recordNumber(line),
                       line);
    }
    return records;
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
    const DrawRecords records = reader.finish();
    check(records == readWhole(text));

    // One board for all inputs: a new one costs more than the rest of a run.
    static Board board;
    if (board.state().SpinCount > 60000)
        board.Command3_Click();
    board.loadDrawFile(records, "fuzz.txt");
    for (std::int64_t k = 1; k <= records.size() && k <= 64; ++k) {
        check(!records.number(k) || *records.number(k) <= 36);
        const SpinResult result = board.Command6_Click();
        check(result.spun == records.number(k).has_value());
        check(isShowable(result.message));
        check(board.state().filePosText == decimalText(k));
    }
    return 0;
}
