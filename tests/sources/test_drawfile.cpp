#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <stdexcept>

#include "sources/drawfile.h"
#include "sources/textrules.h"
#include "tests/tempdir.h"

using namespace roulette;
using roulette::testing::TempDir;

namespace
{

DrawFileContent readInChunks(std::string_view bytes, std::size_t chunk)
{
    DrawFileReader reader;
    for (std::size_t at = 0; at < bytes.size(); at += chunk)
        reader.read(bytes.substr(at, chunk));
    return reader.finish();
}

std::vector<int> numbers(const DrawRecords &records)
{
    std::vector<int> result;
    for (std::int64_t k = 1; k <= records.size(); ++k)
        result.push_back(*records.number(k));
    EXPECT_FALSE(records.number(0));
    EXPECT_FALSE(records.number(records.size() + 1));
    return result;
}

// The text in UTF-16 after its byte-order mark, as an editor saves "Unicode".
std::string utf16(std::u16string_view text, bool littleEndian = true)
{
    std::string bytes;
    for (const char16_t unit : u"\uFEFF" + std::u16string(text)) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += littleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

std::string badLines(int count)
{
    return count == 1 ? "1 ligne n'est pas un numéro de roulette et ne sera pas jouée : "
                      : std::to_string(count) + " lignes ne sont pas des numéros de roulette et "
                                                "ne seront pas jouées : ";
}

} // namespace

TEST(DrawFileReader, ReadsTheNumbersAndQuotesTheOtherLinesOnceByTheirLine)
{
    struct Case {
        std::string bytes;
        std::vector<int> numbers;
        std::string message;
    };
    const std::string mark = "\xEF\xBB\xBF";
    std::vector<Case> cases = {
        {"5\n\nx\n7", {5, 7}, badLines(1) + "ligne 3 « x »."},
        {" 5\n3.5\n36.5\n007\n2.5\n1 2\n", {5, 4, 36, 7, 2, 12}, ""},
        {"37\r\n==\r\n-1\r\nabc\r\n\r\n12abc\r\n== \r\n===\r\n5-3\r\n9",
         {9},
         badLines(7) + "ligne 1 « 37 », ligne 3 « -1 », ligne 4 « abc », ligne 6 « 12abc », "
                       "ligne 7 « ==  », …"},
        {"<b>x</b>\n\x01z\xFF\n", {}, badLines(2) + "ligne 1 « <b>x</b> », ligne 2 « ?z? »."},
        {mark.substr(0, 2) + "5\n4\n" + mark + "5\n\xFF",
         {4},
         badLines(3) + "ligne 1 « ??5 », ligne 3 « " + mark + "5 », ligne 4 « ? »."},
        {utf16(u"5\r\n\u00e9t\u00e9\r\n\U00010000\n\xD800x\n\xDC00\xDC01\uE000\n17") + "7",
         {5},
         badLines(5) + "ligne 2 « été », ligne 3 « \U00010000 », ligne 4 « ?x », "
                       "ligne 5 « ??\uE000 », ligne 6 « 17? »."},
        {std::string(1'000'000, '\x9C') + "\n" + std::string(5000, ' ') + "5\n" +
             std::string(DrawFileReader::FigureLimit, '0') + "7\n",
         {5},
         badLines(2) + "ligne 1 « " + std::string(QuoteLimit, '?') + "… », ligne 3 « " +
             std::string(QuoteLimit, '0') + "… »."},
    };
    const std::string layouts[] = {
        "5\r\n17\r\n0\r\n",
        "5\r\r\n17\n\r0\n\n\n",
        "5\n\n==\n*\n17\r\n  \t\r\n0",
        mark + "** tirage du soir\n5\n17 *\n17\n*****\n0\r\n==\r\n*\r\n\r\n",
        utf16(u"5\r\n17\r\n0\r\n"),
        utf16(u" 5\n*\n17\n0", false)};
    for (const std::string &layout : layouts)
        cases.push_back({layout, {5, 17, 0}, ""});
    for (const Case &c : cases) {
        for (const std::size_t chunk : {1, 2, 3, 1 << 16}) {
            const DrawFileContent content = readInChunks(c.bytes, chunk);
            EXPECT_EQ(numbers(content.numbers), c.numbers) << ::testing::PrintToString(c.bytes);
            EXPECT_EQ(badLinesMessage(content), c.message) << "in chunks of " << chunk;
            for (const BadLine &bad : content.firstBadLines)
                EXPECT_LE(bad.text.size(), QuoteBytes) << "only what a message can quote is kept";
        }
    }
}

TEST(DrawFileReader, RefusesMoreNumbersThanItMayCount)
{
    DrawFileReader reader(2);
    reader.read("1\nx\n==\n2\n*\n");
    EXPECT_THROW(reader.read("3\n"), std::length_error) << "other lines do not count";
    DrawFileReader last(2);
    last.read("1\n2\n3");
    EXPECT_THROW(last.finish(), std::length_error) << "nor does a last line escape the count";
}

TEST(DrawFile, LoadingFromDiskSucceedsOrSaysWhyNot)
{
    const TempDir dir;
    const auto path = dir.write("tirage.txt", "5\r\n17\r\nx\r\n0\r\n");
    const DrawFileLoad good = readDrawFile(path);
    ASSERT_TRUE(good.records);
    EXPECT_EQ(good.records->size(), 3u);
    EXPECT_EQ(good.fileName, "tirage.txt");
    EXPECT_EQ(good.message, badLines(1) + "ligne 3 « x ».");
    // A few lines of several numbers among many of one: loaded, and the import is named.
    const DrawFileLoad some = readDrawFile(dir.write("presque.txt", "5\n17\n2, 9\n"));
    ASSERT_TRUE(some.records);
    EXPECT_NE(some.message.find("« Importer une permanence… (Ctrl+I) »"), std::string::npos)
        << some.message;
    const DrawFileLoad stopped =
        readDrawFile(dir.write("long.txt", std::string(200'000, '\n') + "5"),
                     [](double done) { return done < 0.5; });
    EXPECT_FALSE(stopped.records);
    EXPECT_EQ(stopped.message, "") << "the user knows why";

    const std::pair<std::filesystem::path, const char *> failures[] = {
        {dir.path() / "absent.txt", "introuvable"},
        {dir.path(), "dossier"},
        {dir.write("vide.txt", ""), "aucun numéro"},
        {dir.write("commentaires.txt", "\r\n==\r\n* rien\r\n  \r\n"), "aucun numéro"},
        {dir.write("mots.txt", "abc\r\n40\r\n\x01\r\n"), "aucun numéro"},
        {dir.write("permanence.txt", "12\r\n4\r\n21, 5, 17\r\n3;36\r\n"), // two lines of each
         "se lit comme une permanence : 2 lignes portent plusieurs numéros (ligne 3 « 21, 5, 17 "
         "»)"},
        {dir.write("bizarre\xFF.txt", ""), "bizarre?.txt"},
        {"/proc/self/mem", "Erreur de lecture"}};
    for (const auto &[failing, cause] : failures) {
        const DrawFileLoad load = readDrawFile(failing);
        EXPECT_FALSE(load.records) << failing;
        EXPECT_NE(load.message.find(cause), std::string::npos) << load.message;
        EXPECT_NE(load.message.find(printable(failing.filename().string())), std::string::npos)
            << load.message << " names the file";
    }
}

// A file cut short or grown while it is read, or grown once all of it was read, loads nothing:
// what was read is part of two different files.
TEST(DrawFile, AFileThatChangesWhileReadLoadsNothing)
{
    const TempDir dir;
    std::string lines;
    for (int i = 0; i < 100'000; ++i)
        lines += "17\r\n"; // several chunks
    const auto path = dir.path() / "tirage.txt";
    const auto grow = [&path] { std::ofstream(path, std::ios::app) << "5\r\n"; };
    const std::pair<double, std::function<void()>> changes[] = {
        {0.0, [&path] { std::filesystem::resize_file(path, 1001); }}, {0.0, grow}, {1.0, grow}};
    for (const auto &entry : changes) {
        const double when =
            entry.first; // a lambda may not capture a structured binding in clang 14
        const auto &change = entry.second;
        dir.write("tirage.txt", lines);
        bool changed = false;
        const DrawFileLoad load = readDrawFile(path, [&](double done) {
            if (done >= when && !std::exchange(changed, true))
                change();
            return true;
        });
        EXPECT_TRUE(changed) << "changed once " << when << " was read";
        EXPECT_FALSE(load.records);
        EXPECT_NE(load.message.find("a changé pendant la lecture"), std::string::npos)
            << load.message;
    }
}
