#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

#include "sources/permanencefile.h"
#include "tests/tempdir.h"

using namespace roulette;
using roulette::testing::TempDir;

namespace
{

// As the preview reads: the layout from the first bytes, « 00 » settled by a first reading.
PermanenceAnalysis readText(std::string_view bytes, const PermanenceOptions &options = {},
                            std::size_t chunk = std::string_view::npos,
                            PermanenceLayout *layoutRead = nullptr)
{
    constexpr std::size_t prefix = 701; // ends inside a line of the longer texts
    PermanenceLayout layout =
        detectPermanenceLayout(bytes.substr(0, prefix), bytes.size() <= prefix);
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
    const auto withoutLastEnd = [](const std::string &text) {
        return text.substr(0, text.size() - 2);
    };
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
        {"one line", joined(spins, 0, spins.size(), ",  "), Separator::Comma},
        {"semicolon", lines(";", "\n", true), Separator::Semicolon},
        {"tab", lines("\t", "\n", false), Separator::Tab},
        {"spaces", "\xEF\xBB\xBF" + lines(" ", " \n", false), Separator::Spaces},
        {"one a line", "Permanence du 1er mars\n\n" + lines("\n", "\n", false),
         Separator::OnePerLine},
        {"named column", table("Date;Heure;Numéro;Couleur", "2024-03-01; 12:00 ;N;rouge", false),
         Separator::Semicolon, 2},
        {"number and colour", table("", "N;rouge", false), Separator::Semicolon, 0},
        {"only column", table("Time,Spin,Color", "12:01,\"N\",red", false), Separator::Comma, 1},
        {"newest first", table("id,Number", "7,N", true), Separator::Comma, 1, TextEncoding::Utf8,
         SpinOrder::NewestFirst},
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
    // Columns without a header are named by their place, counted from one.
    for (const auto &[text, reason] :
         {std::pair{"2024,15\n,\n2024,17\n", "la seule colonne de numéros, « colonne 2 »"},
          std::pair{"1,15,x\n2,17,y\n3,29,z\n",
                    "la première des 2 colonnes de numéros, « colonne 1 »"}}) {
        PermanenceLayout layout;
        readText(text, {}, std::string_view::npos, &layout);
        EXPECT_EQ(layout.columnReason, reason);
    }
}

TEST(PermanenceReader, RefusesAndWarnsByLine)
{
    const std::string longNumber(200'000, '7');
    const std::string text = "Casino, table 3\n"                            // 1 header
                             "17, 5, 37, 00\n"                              // 2
                             "\r\n"                                         // 3
                             "-1, 4, 4, 4\n"                                // 4
                             "4, 4, 4, 4, 4, x, 9\n"                        // 5
                             "Page 2\n"                                     // 6
                             "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12\n"      // 7
                             "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12\n"      // 8
                             "Page 3\n"                                     // 9
                             "20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30\n" // 10
                             "20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30\n" // 11
                             "5, " +
                             longNumber + ", 6, x\xC3"; // 12, cut short
    const PermanenceAnalysis analysis = readText(text);
    EXPECT_EQ(analysis.spins.size(), 2 + 3 + 6 + 24 + 22 + 2u);
    EXPECT_EQ(analysis.lineCount, 12);
    const auto lines = [](const Listed<QuotedLine> &listed) {
        std::vector<std::int64_t> numbers;
        for (const QuotedLine &line : listed.first)
            numbers.push_back(line.line);
        return numbers;
    };
    EXPECT_EQ(lines(analysis.headerLines), (std::vector<std::int64_t>{1, 9}));
    EXPECT_EQ(lines(analysis.textLines), (std::vector<std::int64_t>{6}));
    EXPECT_EQ(lines(analysis.blankLines), (std::vector<std::int64_t>{3}));
    EXPECT_EQ(readText(std::string(300, 'x') + "\n1, 2\n").headerLines.first.at(0).text,
              std::string(QuoteBytes, 'x')); // as much as a message can quote
    const std::vector<QuotedLine> refused = {
        {2, "37"}, {2, "00"}, {4, "-1"}, {5, "x"}, {12, longNumber.substr(0, 64)}, {12, "xÃ"}};
    EXPECT_EQ(analysis.refused.first, refused);
    EXPECT_EQ(analysis.repeatedNumbers.first, (std::vector<RepeatedNumber>{{4, 4, 8}}));
    EXPECT_EQ(analysis.repeatedBlocks.first, (std::vector<RepeatedBlock>{{8, 12}, {11, 11}}));
    // The shortest block reported is ten spins, repeated right after itself, even at the very
    // start of the file; a block of nine is too short to matter.
    EXPECT_EQ(readText("1 2 3 4 5 6 7 8 9 10\n1 2 3 4 5 6 7 8 9 10\n").repeatedBlocks.first,
              (std::vector<RepeatedBlock>{{2, 10}}));
    EXPECT_EQ(
        readText("1 2 3 4 5 6 7 8 9\n1 2 3 4 5 6 7 8 9\n1 2 3 4 5 6 7 8 9\n").repeatedBlocks.count,
        0);
    EXPECT_EQ(permanenceReport(analysis)[3],
              "6 valeurs refusées (une roue à un seul zéro n'a que les numéros 0 à 36) : ligne 2 "
              "« 37 », ligne 2 « 00 », ligne 4 « -1 », ligne 5 « x », ligne 12 « " +
                  std::string(40, '7') + "… », ligne 12 « xÃ ».");

    // « 00 » is a zero only where every number has two digits.
    EXPECT_EQ(readText("05 17 00\n36 00 01").spins,
              (std::vector<std::uint8_t>{5, 17, 0, 36, 0, 1}));
    EXPECT_EQ(readText("05 17 00\n36 00 1").spins, (std::vector<std::uint8_t>{5, 17, 36, 1}));

    // A line of more words than numbers keeps none of its numbers; nines are digits too; a
    // clean file warns of nothing.
    const PermanenceAnalysis clean = readText("9, 19, 29\nvu, fin, 5\n29, 9\n");
    EXPECT_EQ(clean.spins, (std::vector<std::uint8_t>{9, 19, 29, 29, 9}));
    EXPECT_EQ(clean.lineCount + clean.blankLines.count, 3) << "the last line end ends no more";
    for (const std::string &line : permanenceReport(clean))
        EXPECT_EQ(line.find("Attention"), std::string::npos) << line;

    // A number cut at the field's limit is refused, not read from its kept zeros; past the
    // bytes the encoding was judged on, a Latin-1 « été » counts two bad bytes and « N° € » none.
    EXPECT_EQ(readText("1, " + std::string(100, '0') + "5, 2").spins,
              (std::vector<std::uint8_t>{1, 2}));
    std::string sevens;
    for (int i = 0; i < 400; ++i)
        sevens += "7\n";
    const PermanenceAnalysis late = readText(sevens + "\xE9t\xE9\nN\xC2\xB0 \xE2\x82\xAC voir\n");
    EXPECT_EQ(late.invalidUtf8, 2);
    EXPECT_EQ(late.textLines.first, (std::vector<QuotedLine>{{401, "été"}, {402, "N° € voir"}}));
    // Big-endian UTF-16 within the first plane and beyond it, then half a unit: « ? ».
    const std::string be = utf16("7\n", false) + std::string("\0\xE9\x20\xAC\xD8\x3D\xDE\0", 8) +
                           utf16(" vu\n", false).substr(2);
    EXPECT_EQ(readText(be + '\0').textLines.first,
              (std::vector<QuotedLine>{{2, "é€\xF0\x9F\x98\x80 vu"}, {3, "?"}}));
}

// Spins written twice each, on either parity and across lines, are one warning a stretch from
// ten pairs on; nine pairs, or a run of one number, are not such a stretch.
TEST(PermanenceReader, WarnsOfAStretchWhereEachSpinIsWrittenTwice)
{
    const auto doubled = [](int first, int pairs) {
        std::string text;
        for (int i = 0; i < pairs; ++i)
            text += std::to_string((first + 5 * i) % 37) + ", " +
                    std::to_string((first + 5 * i) % 37) + ", ";
        return text;
    };
    const std::string text = "3, 8, 15\n" // 1
                             "1, " +
                             doubled(21, 12) + "30\n" // 2
                             + doubled(4, 9) +
                             "6\n" // 3
                             "2, 9, 14, " +
                             doubled(7, 4) + "\n" + doubled(27, 6) // 4, 5
                             + "11\n"
                               "5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5\n";
    const PermanenceAnalysis analysis = readText(text);
    EXPECT_EQ(analysis.doubledStretches.first, (std::vector<DoubledStretch>{{2, 12}, {4, 10}}));
    const std::vector<std::string> report = permanenceReport(analysis);
    EXPECT_EQ(report.back(), "Attention, des tirages sont écrits deux fois chacun, « 21, 21, 36, "
                             "36… » (erreur d'enregistrement ?) : 12 paires à partir de la ligne "
                             "2, 10 paires à partir de la ligne 4.");
}

TEST(PermanenceReader, CutsSessionsAndReversesTheNewestFirst)
{
    const std::string text = "1 2 3\n4 5\n\n\n6\nfin\n7 8 9";
    struct Case {
        PermanenceOptions options;
        std::vector<std::uint8_t> spins;
        std::vector<std::int64_t> starts;
    };
    const std::vector<std::uint8_t> forward = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const std::vector<std::uint8_t> backward = {9, 8, 7, 6, 5, 4, 3, 2, 1};
    const Case cases[] = {
        {{SpinOrder::OldestFirst, SessionCut::WholeFile}, forward, {0}},
        {{SpinOrder::OldestFirst, SessionCut::BlankLine}, forward, {0, 5}},
        {{SpinOrder::OldestFirst, SessionCut::EachLine}, forward, {0, 3, 5, 6}},
        {{SpinOrder::NewestFirst, SessionCut::WholeFile}, backward, {0}},
        {{SpinOrder::NewestFirst, SessionCut::BlankLine}, backward, {0, 4}},
        {{SpinOrder::NewestFirst, SessionCut::EachLine}, backward, {0, 3, 4, 6}},
    };
    for (const Case &c : cases) {
        const PermanenceAnalysis analysis = readText(text, c.options);
        EXPECT_EQ(analysis.spins, c.spins);
        EXPECT_EQ(analysis.sessionStarts, c.starts);
    }
    const PermanenceAnalysis analysis = readText(text);
    EXPECT_TRUE(analysis.minPerLine == 1 && analysis.maxPerLine == 3);
    EXPECT_EQ(analysis.typicalPerLine, 3);
}

TEST(PermanenceFile, RefusesWhatIsNoPermanenceAndChangesWhileRead)
{
    const TempDir dir;
    std::string big;
    while (big.size() < 300'000)
        big += "17, 5, 32, 0\n";
    const auto good = dir.write("good.txt", big);
    const PermanenceFile preview = previewPermanence(good, {});
    ASSERT_TRUE(preview.analysis) << preview.message;
    EXPECT_EQ(preview.analysis->spins.size(), big.size() / 13 * 4);
    const PermanenceFile import = readPermanence(good, preview.layout, {});
    EXPECT_EQ(import.analysis, preview.analysis);

    const auto fifo = dir.path() / "fifo";
    ::mkfifo(fifo.c_str(), 0600);
    std::string binary(4096, '\0');
    for (std::size_t i = 0; i < binary.size(); i += 3)
        binary[i] = static_cast<char>(i * 7);
    const std::pair<std::filesystem::path, const char *> refused[] = {
        {fifo, "n'est pas un fichier ordinaire"},
        {dir.write("binary", binary + "17\n"), "n'est pas un fichier texte"},
        {dir.write("words", "rouge\nnoir\n37\n"), "ne contient aucun numéro"},
    };
    for (const auto &[path, why] : refused) {
        const PermanenceFile file = previewPermanence(path, {});
        EXPECT_FALSE(file.analysis) << path;
        EXPECT_NE(file.message.find(why), std::string::npos) << file.message;
    }

    const auto changing = [&](const std::function<void()> &change) {
        return previewPermanence(good, {}, std::nullopt, [&](std::uint64_t done, std::uint64_t) {
            if (done == 1 << 16)
                change();
            return true;
        });
    };
    const PermanenceFile grown = changing([&] { std::ofstream(good, std::ios::app) << "5\n"; });
    const PermanenceFile shrunk = changing([&] { std::filesystem::resize_file(good, 70'000); });
    for (const PermanenceFile &changed : {grown, shrunk}) {
        EXPECT_FALSE(changed.analysis);
        EXPECT_NE(changed.message.find("a changé pendant la lecture"), std::string::npos)
            << changed.message;
    }
    const PermanenceFile stopped = previewPermanence(
        good, {}, std::nullopt, [](std::uint64_t, std::uint64_t) { return false; });
    EXPECT_TRUE(!stopped.analysis && stopped.message.empty());
}

namespace
{

// The overlap as its definition reads: each block of the file looked for in the whole wheel.
StoredOverlap overlapByBruteForce(const std::vector<std::uint8_t> &spins,
                                  const std::vector<std::uint8_t> &stored)
{
    const std::size_t k = std::min<std::size_t>(StoredOverlap::BlockLength, spins.size());
    std::vector<bool> covered(spins.size());
    for (std::size_t i = 0; k > 0 && i + k <= spins.size(); ++i)
        if (std::search(stored.begin(), stored.end(), spins.begin() + i, spins.begin() + i + k) !=
            stored.end())
            std::fill(covered.begin() + i, covered.begin() + i + k, true);
    StoredOverlap overlap;
    std::int64_t run = 0;
    for (const bool here : covered) {
        run = here ? run + 1 : 0;
        overlap.spinsFound += here;
        overlap.longestBlock = std::max(overlap.longestBlock, run);
    }
    overlap.alreadyStored = !spins.empty() && (overlap.spinsFound * 2 >= std::ssize(spins) ||
                                               overlap.longestBlock >= StoredOverlap::BlockLength);
    return overlap;
}

// Spins made of stretches as files and wheels hold them: random, copied from elsewhere,
// periodic, one number again and again.
std::vector<std::uint8_t> stretches(std::mt19937 &random, const std::vector<std::uint8_t> &from,
                                    std::size_t length, int numbers)
{
    std::vector<std::uint8_t> spins;
    while (spins.size() < length) {
        const std::size_t size = 1 + random() % 70;
        const unsigned kind = random() % 4;
        const std::size_t at = from.size() > size ? random() % (from.size() - size) : 0;
        const std::size_t period = 1 + random() % 40;
        for (std::size_t i = 0; i < size; ++i) {
            if (kind == 1 && at + i < from.size())
                spins.push_back(from[at + i]);
            else if (kind == 2 && spins.size() >= period)
                spins.push_back(spins[spins.size() - period]);
            else if (kind == 3 && !spins.empty())
                spins.push_back(spins.back());
            else
                spins.push_back(static_cast<std::uint8_t>(random() % numbers));
        }
    }
    spins.resize(length);
    return spins;
}

} // namespace

TEST(PermanenceFile, FindsTheSpinsAWheelHoldsAlreadyAsBruteForceDoes)
{
    std::mt19937 random(7);
    for (int trial = 0; trial < 300; ++trial) {
        const int numbers = trial % 3 == 0 ? 2 : 37;
        const std::vector<std::uint8_t> stored = stretches(random, {}, random() % 3000, numbers);
        const std::vector<std::uint8_t> spins =
            stretches(random, stored, trial % 10 == 0 ? random() % 25 : random() % 600, numbers);
        const std::optional<StoredOverlap> overlap = findInStored(spins, stored);
        const StoredOverlap expected = overlapByBruteForce(spins, stored);
        ASSERT_TRUE(overlap);
        EXPECT_EQ(overlap->spinsFound, expected.spinsFound) << "trial " << trial;
        EXPECT_EQ(overlap->longestBlock, expected.longestBlock) << "trial " << trial;
        EXPECT_EQ(overlap->alreadyStored, expected.alreadyStored) << "trial " << trial;
    }
    const std::vector<std::uint8_t> many(100, 5);
    EXPECT_FALSE(findInStored(many, many, [](double) { return false; }));
}
