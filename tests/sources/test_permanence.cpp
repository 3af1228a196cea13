#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

#include "sources/permanencefile.h"
#include "tests/tempdir.h"

using namespace roulette;
using roulette::testing::TempDir;

namespace
{

// As the preview reads: the layout from the text, « 00 » settled by a first reading.
PermanenceAnalysis readText(std::string_view bytes, const PermanenceOptions &options = {},
                            std::size_t chunk = std::string_view::npos,
                            PermanenceLayout *layoutRead = nullptr)
{
    PermanenceLayout layout = detectPermanenceLayout(bytes, true);
    const auto read = [&] {
        PermanenceReader reader(layout, options);
        for (std::size_t at = 0; at < bytes.size(); at += chunk)
            reader.read(bytes.substr(at, chunk));
        return reader.finish();
    };
    PermanenceAnalysis analysis = read();
    if (settleZeroZero(layout, analysis))
        analysis = read();
    if (layoutRead)
        *layoutRead = layout;
    return analysis;
}

std::string joined(const std::vector<int> &spins, std::size_t from, std::size_t to,
                   const std::string &separator, bool twoDigits = false)
{
    std::string text;
    for (std::size_t i = from; i < to; ++i)
        text += (i == from ? "" : separator) + (twoDigits && spins[i] < 10 ? "0" : "") +
                std::to_string(spins[i]);
    return text;
}

std::string utf16(std::string_view ascii, bool littleEndian)
{
    std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char c : ascii)
        bytes += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
    return bytes;
}

} // namespace

// Each layout is written from a list of spins, read back whole and in chunks of 1, 2 and 3
// bytes, and must give that list.
TEST(PermanenceReader, ReadsEachLayoutBackToTheListItWasWrittenFrom)
{
    std::mt19937 random(23);
    std::vector<int> spins(300);
    for (int &spin : spins)
        spin = static_cast<int>(random() % 37);
    const auto lines = [&](const std::string &separator, const std::string &end, bool twoDigits) {
        std::string text;
        for (std::size_t at = 0; at < spins.size();) {
            const std::size_t next = std::min(spins.size(), at + 1 + random() % 40);
            text += joined(spins, at, next, separator, twoDigits) + end;
            at = next;
        }
        return text;
    };
    const auto withoutLastEnd = [](std::string text) { return text.substr(0, text.size() - 2); };
    const auto table = [&](const std::string &header, const std::string &row, bool newest) {
        std::string text = header + "\r\n";
        for (std::size_t i = 0; i < spins.size(); ++i) {
            const int spin = spins[newest ? spins.size() - 1 - i : i];
            const std::size_t at = row.find('N');
            text += row.substr(0, at) + std::to_string(spin) + row.substr(at + 1) + "\r\n";
        }
        return text;
    };
    struct Case {
        std::string name;
        std::string bytes;
        Separator separator;
        int column = -1;
        TextEncoding encoding = TextEncoding::Utf8;
        SpinOrder order = SpinOrder::OldestFirst;
    };
    const Case cases[] = {
        {"comma", withoutLastEnd(lines(", ", "\r\n", false)), Separator::Comma},
        {"semicolon", lines(";", "\n", true), Separator::Semicolon},
        {"tab", lines("\t", "\n", false), Separator::Tab},
        {"spaces", "\xEF\xBB\xBF" + lines(" ", " \n", false), Separator::Spaces},
        {"one a line", "Permanence du 1er mars\n\n" + lines("\n", "\n", false),
         Separator::OnePerLine},
        {"named column", table("Date;Heure;Numéro;Couleur", "2024-03-01; 12:00 ;N;rouge", false),
         Separator::Semicolon, 2},
        {"only column", table("Time,Spin,Color", "12:01,\"N\",red", false), Separator::Comma, 1},
        {"newest first", table("id,Number", "7,N", true), Separator::Comma, 1,
         TextEncoding::Utf8, SpinOrder::NewestFirst},
        {"latin-1", table("Zeit\tN\xFAmero", "x\tN", false), Separator::Tab, 1,
         TextEncoding::Latin1},
        {"utf-16", utf16(lines("\n", "\r\n", false), true), Separator::OnePerLine, -1,
         TextEncoding::Utf16LE},
    };
    for (const Case &c : cases) {
        PermanenceLayout layout;
        const PermanenceAnalysis whole = readText(c.bytes, {c.order}, 1 << 16, &layout);
        EXPECT_EQ(std::vector<int>(whole.spins.begin(), whole.spins.end()), spins) << c.name;
        EXPECT_EQ(whole.refused.count, 0) << c.name;
        EXPECT_EQ(layout.separator, c.separator) << c.name << ": " << layout.separatorReason;
        EXPECT_EQ(layout.column, c.column) << c.name << ": " << layout.columnReason;
        EXPECT_EQ(layout.encoding, c.encoding) << c.name << ": " << layout.encodingReason;
        for (const std::size_t chunk : {1, 2, 3})
            EXPECT_EQ(readText(c.bytes, {c.order}, chunk), whole) << c.name << " by " << chunk;
    }
}
