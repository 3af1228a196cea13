#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <set>

#include "board/board.h"
#include "sources/textrules.h"
#include "sources/wheel.h"
#include "tests/fakes.h"

using namespace roulette;
using roulette::testing::FixedClock;
using roulette::testing::ScriptedGenerator;

// Leading numbers, half-to-even rounding, and text made printable: valid UTF-8 of one to four
// bytes is kept; controls, overlong forms, surrogates, values past U+10FFFF and cut sequences
// become one "?" per byte that starts no character.
TEST(TextRules, NumbersAndPrintableText)
{
    const std::pair<const char *, std::optional<double>> leading[] = {
        {"17", 17.0},        {" 5", 5.0},           {"1 2", 12.0},      {"2.5", 2.5},
        {"-3", -3.0},        {"12abc", 12.0},       {".5", 0.5},        {"3.5.1", 3.5},
        {"00", 0.0},         {"abc", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt},
        {".", std::nullopt}, {"+-1", std::nullopt}};
    for (const auto &[text, value] : leading)
        EXPECT_EQ(leadingNumber(text), value) << '"' << text << '"';
    EXPECT_EQ(wholeNumber("3.5.1"), std::nullopt);
    EXPECT_EQ(numericValue("abc"), 0.0);
    EXPECT_EQ(numericValue("00000"), 0.0);
    EXPECT_EQ(leadingNumber(std::string(400, '9')), HUGE_VAL);
    EXPECT_EQ(leadingNumber("0." + std::string(400, '0') + "1"), 0.0);
    const auto most = std::numeric_limits<std::int64_t>::max();
    const std::pair<double, std::int64_t> rounded[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.51, 3}, {-0.4, 0}, {std::nan(""), 0}, {1e300, most}};
    for (const auto &[value, integer] : rounded)
        EXPECT_EQ(roundHalfEven(value), integer) << value;

    const std::pair<std::string, std::string> printed[] = {
        {"a éĀ€ 😀 \xF4\x8F\xBF\xBF \xC2\xA0", "a éĀ€ 😀 \xF4\x8F\xBF\xBF \xC2\xA0"},
        {"\t\x1F\x7F\xC2\x85\u2028\u2029\x80\xC1\xBF\xF5\xE0\x9F\xBF\xED\xA0\x80",
         "????????????????"},
        {"\xF0\x8F\xBF\xBF\xF4\x90\x80\x80\xE2\x41\xA1\xF0\x9F\x41\x80\xF0\x9F\x98",
         "?????????A???A????"},
        // The controls of text direction, between neighbours that stay.
        {"\u200D\u200E\u200F\u2010\u2027\u202A\u202B\u202C\u202D\u202E\u202F\u2065\u2066\u2067"
         "\u2068\u2069\u206A\u061B\u061C\u061D",
         "\u200D??\u2010\u2027?????\u202F\u2065????\u206A\u061B?\u061D"}};
    for (const auto &[text, shown] : printed)
        EXPECT_EQ(printable(text), shown) << text;
    Board board = roulette::testing::loadedBoard();
    board.loadDrawFile({}, "\u202Etxt.exe\n.txt");
    EXPECT_EQ(board.state().fileNameCaption, "?txt.exe?.txt") << "a file name is text as well";
    std::string accents;
    for (std::size_t i = 0; i < QuoteLimit + 10; ++i)
        accents += "é";
    const std::string fits = accents.substr(0, 2 * QuoteLimit);
    EXPECT_EQ(quoteText(accents), "« " + fits + "… »") << "cut by characters";
    EXPECT_EQ(quoteText(fits), "« " + fits + " »");
}

// Four turns of the wheel, each holding every number once, from the zero on; the extreme
// values of r land on the first and last places.
TEST(Wheel, FourTurnsAndTheirEnds)
{
    const WheelTable table;
    for (int turn = 0; turn < WheelTable::Turns; ++turn) {
        std::set<int> seen;
        for (int p = 0; p < 37; ++p) {
            seen.insert(table[turn * 37 + p]);
            ASSERT_EQ(table[turn * 37 + p], WheelOrder[static_cast<std::size_t>(p)]);
        }
        EXPECT_EQ(seen.size(), 37u);
    }
    FixedClock clock;
    const float largest = std::nextafter(1.0f, 0.0f);
    ScriptedGenerator generator({0.0f, 0.0f, largest, largest, 37.0f / 148.0f});
    RandomDraw draw(generator, clock);
    const auto both = [&] {
        return std::pair<int, int>{NRoulette(table, draw), NRoulette2(table, draw)};
    };
    EXPECT_EQ(both(), std::pair(0, 0));
    EXPECT_EQ(both(), std::pair(26, 26));
    EXPECT_EQ(NRoulette2(table, draw), 0) << "index 37 starts the second turn";
    EXPECT_EQ(scaledIndex(largest, 37), 36);
    EXPECT_EQ(scaledIndex(largest, 148), 147);
}

// Values are 24-bit fractions below one that do not repeat; each source spreads its spins
// evenly over the 37 numbers, even when every re-seed reads the same clock: Pearson's
// statistic stays under the 99.9 % quantile with 36 degrees of freedom.
TEST(Generator, EverySourceIsUniform)
{
    SplitMixGenerator generator(1);
    std::set<float> distinct;
    for (int i = 0; i < 100000; ++i) {
        const float r = generator.next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        ASSERT_EQ(r * 16777216.0f, std::floor(r * 16777216.0f)) << "24 bits";
        distinct.insert(r);
    }
    EXPECT_GT(distinct.size(), 99000u);
    const auto chiSquareOf = [](const std::function<int()> &draw) {
        constexpr int Draws = 37 * 2000;
        std::array<int, 37> counts{};
        for (int i = 0; i < Draws; ++i)
            ++counts[static_cast<std::size_t>(draw())];
        double sum = 0;
        for (const int c : counts)
            sum += (c - Draws / 37.0) * (c - Draws / 37.0) / (Draws / 37.0);
        return sum;
    };
    for (int mode = 0; mode <= 2; ++mode) {
        Board board(std::make_unique<SplitMixGenerator>(2024), std::make_unique<FixedClock>(99));
        board.Form_Load();
        board.Option1_Click(mode);
        EXPECT_LT(chiSquareOf([&board] {
                      board.Command1_Click();
                      return board.state().CurrentNumber;
                  }),
                  67.98)
            << "source " << mode;
    }
}
