#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <streambuf>

#include "sources/textrules.h"
#include "sources/drawfile.h"
#include "tests/tempdir.h"

using namespace roulette;
using roulette::testing::TempDir;

namespace
{

DrawRecords readInChunks(std::string_view bytes, std::size_t chunk)
{
    DrawFileReader reader;
    for (std::size_t at = 0; at < bytes.size(); at += chunk)
        reader.read(bytes.substr(at, chunk));
    return reader.finish();
}

std::vector<std::string> texts(const DrawRecords &records)
{
    std::vector<std::string> result;
    for (std::int64_t k = 1; k <= records.size(); ++k)
        result.push_back(records.text(k));
    return result;
}

// Gives its bytes, then fails as a disk would.
class FailingBuffer : public std::streambuf
{
public:
    explicit FailingBuffer(std::string bytes) : m_bytes(std::move(bytes))
    {
        setg(m_bytes.data(), m_bytes.data(), m_bytes.data() + m_bytes.size());
    }

protected:
    int_type underflow() override { throw std::runtime_error("I/O error"); }

private:
    std::string m_bytes;
};

} // namespace

TEST(DrawFileReader, EveryLayoutOfTheSameThreeRecordsReadsAlike)
{
    const std::string files[] = {"5\r\n17\r\n0\r\n",
                                 "5\n17\n0\n",
                                 "5\r17\r0\r",
                                 "5\r\n17\r\n0",
                                 "5\n\n==\n*\n17\r\n  \t\r\n0\n",
                                 "5\r\r\n17\n\r0",
                                 "5\n17\n0\n\n\n",
                                 "5\n17\n0\r\n==\r\n*\r\n\r\n",
                                 "\xEF\xBB\xBF"
                                 "5\n17\n0",
                                 "** tirage du soir\n5\n17 *\n17\n*****\n0\n"};
    for (const std::string &file : files) {
        for (const std::size_t chunk : {1, 2, 3, 5, 1 << 16}) {
            EXPECT_EQ(texts(readInChunks(file, chunk)), (std::vector<std::string>{"5", "17", "0"}))
                << ::testing::PrintToString(file) << " in chunks of " << chunk;
        }
    }
}

TEST(DrawFileReader, WhatARecordReadsAs)
{
    struct Case {
        const char *line;
        std::optional<int> number;
    };
    const std::optional<int> none;
    const Case cases[] = {
        {" 5", 5},     {"5 \t", 5},        {"0", 0},        {"36", 36},    {"2.5", 2},
        {"3.5", 4},    {"36.5", 36},       {"007", 7},      {"37", none},  {"-1", none},
        {"abc", none}, {"5 5", none},      {"12abc", none}, {"== ", none}, {"===", none},
        {"\f", none},  {"\xFF\xFE", none}, {"5-3", none},
    };
    for (const Case &c : cases) {
        const DrawRecords records = readInChunks(std::string(c.line) + "\n", 1);
        ASSERT_EQ(records.size(), 1) << ::testing::PrintToString(c.line);
        EXPECT_EQ(records.number(1), c.number) << ::testing::PrintToString(c.line);
        if (!c.number) {
            EXPECT_EQ(records.text(1), c.line);
        }
    }
}

TEST(DrawFileReader, OnlyAWholeMarkAtTheVeryStartIsDropped)
{
    const std::string mark = "\xEF\xBB\xBF";
    EXPECT_EQ(texts(readInChunks(mark.substr(0, 2) + "5\n", 1)),
              std::vector<std::string>{mark.substr(0, 2) + "5"});
    EXPECT_EQ(texts(readInChunks(mark.substr(0, 1), 1)), std::vector<std::string>{"\xEF"});
    const DrawRecords second = readInChunks("4\n" + mark + "5\n", 2);
    EXPECT_EQ(second.number(1), 4);
    EXPECT_EQ(second.number(2), std::nullopt) << "a mark inside the file is not dropped";
}

TEST(DrawFileReader, LongLinesCostABoundedAmountOfMemory)
{
    const std::string binary(1'000'000, '\x9C');
    const DrawRecords records =
        readInChunks(binary + "\n" + std::string(5000, ' ') + "5\n" +
                         std::string(DrawFileReader::FigureLimit, '0') + "7\n",
                     4096);
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records.number(1), std::nullopt);
    EXPECT_EQ(records.text(1).size(), QuoteBytes) << "only what a message can quote is kept";
    EXPECT_EQ(records.number(2), 5) << "blanks do not count";
    EXPECT_EQ(records.number(3), std::nullopt) << "past FigureLimit figures, not a number";
}

TEST(DrawFileReader, RefusesMoreRecordsThanItMayCount)
{
    DrawFileReader reader(2);
    reader.read("1\n\n==\n2\n*\n");
    EXPECT_THROW(reader.read("3\n"), std::length_error) << "skipped lines do not count";
    DrawFileReader last(2);
    last.read("1\n2\n3");
    EXPECT_THROW(last.finish(), std::length_error) << "nor does a last line escape the count";
}

TEST(DrawFileReader, AReadErrorIsNotTakenForTheEndOfTheFile)
{
    FailingBuffer buffer("5\n17\n");
    std::istream in(&buffer);
    EXPECT_THROW(readDrawRecords(in), std::ios_base::failure);

    std::istringstream whole("5\n17\n0");
    EXPECT_EQ(readDrawRecords(whole).size(), 3);
}

TEST(DrawFile, LoadingFromDiskSucceedsOrSaysWhyNot)
{
    const TempDir dir;
    const DrawFileLoad good = readDrawFile(dir.write("tirage.txt", "5\r\n17\r\n0\r\n"));
    ASSERT_TRUE(good.records);
    EXPECT_EQ(texts(*good.records), (std::vector<std::string>{"5", "17", "0"}));
    EXPECT_EQ(good.error, "");

    struct Case {
        std::filesystem::path path;
        const char *cause;
    };
    const Case failures[] = {
        {dir.path() / "absent.txt", "introuvable"},
        {dir.path(), "dossier"},
        {dir.write("vide.txt", ""), "aucun numéro"},
        {dir.write("commentaires.txt", "\r\n==\r\n* rien\r\n  \r\n"), "aucun numéro"},
        {dir.write("bizarre\xFF.txt", ""), "bizarre?.txt"}};
    for (const Case &c : failures) {
        const DrawFileLoad load = readDrawFile(c.path);
        EXPECT_FALSE(load.records) << c.path;
        EXPECT_NE(load.error.find(c.cause), std::string::npos) << load.error;
        EXPECT_NE(load.error.find(printable(c.path.filename().string())), std::string::npos)
            << load.error << " names the file";
    }
}
