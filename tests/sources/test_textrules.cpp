#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sources/textrules.h"

using namespace roulette;

TEST(TextRules, LeadingNumberReadsWhatTheBoardTypes)
{
    struct Case {
        const char *text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"17", 17.0},        {" 5", 5.0},           {"1 2", 12.0},      {"2.5", 2.5},
        {"-3", -3.0},        {"12abc", 12.0},       {".5", 0.5},        {"3.5.1", 3.5},
        {"00", 0.0},         {"abc", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt},
        {".", std::nullopt}, {"+-1", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(leadingNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(numericValue("abc"), 0.0);
    EXPECT_EQ(numericValue("00000"), 0.0);
}

TEST(TextRules, NumbersTooLongForADoubleAreHugeNotZero)
{
    const std::string digits(400, '9');
    EXPECT_EQ(leadingNumber(digits), HUGE_VAL);
    EXPECT_EQ(leadingNumber("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(TextRules, RoundingGoesHalfToEven)
{
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.51), 3);
    EXPECT_EQ(roundHalfEven(-0.4), 0);
    EXPECT_EQ(roundHalfEven(1e300), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(roundHalfEven(std::nan("")), 0);
}

TEST(TextRules, QuotesAreShortValidTextWhateverTheBytes)
{
    EXPECT_EQ(quoteText("37"), "« 37 »");
    EXPECT_EQ(printable("a\tb\x01\x7F"), "a?b??");
    EXPECT_EQ(printable("\xFF\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80"
                        "\xE9"),
              std::string(11, '?'))
        << "stray, overlong, surrogate, past U+10FFFF, cut short";
    EXPECT_EQ(printable("\xC2\x85\xE2\x80\xA8"), "??") << "C1 control, line separator";
    EXPECT_EQ(printable("Numéro 5 €"), "Numéro 5 €");

    std::string accents;
    for (int i = 0; i < 50; ++i)
        accents += "é";
    const std::string cut = quoteText(accents);
    EXPECT_EQ(cut, "« " + accents.substr(0, 2 * QuoteLimit) + "… »") << "cut by characters";
    EXPECT_EQ(quoteText(accents.substr(0, 2 * QuoteLimit)),
              "« " + accents.substr(0, 2 * QuoteLimit) + " »");
}
