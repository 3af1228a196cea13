#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "sources/permanencetext.h"

namespace roulette
{

/// How a permanence is written, each choice with a short French reason for the preview.
struct PermanenceLayout {
    TextEncoding encoding = TextEncoding::Utf8;
    std::size_t markLength = 0; ///< the byte-order mark's, dropped before reading
    Separator separator = Separator::OnePerLine;
    bool header = false;              ///< the first line that is not blank names the columns
    std::vector<std::string> columns; ///< the header's names (printable), or empty
    /// The CSV column whose cells are the spins, from 0; -1 when every number of a line is one.
    int column = -1;
    /// « 00 » is read as 0 because every number of the file is written with two digits.
    bool twoDigitZero = false;
    std::string encodingReason;
    std::string separatorReason;
    std::string headerReason;
    std::string columnReason; ///< empty when no column is chosen
    std::string zeroReason;   ///< empty unless the file writes « 00 »
};

/// Chooses the layout from the first bytes of a file (the whole file when it is short).
/// complete: prefix is the whole file, so its last line is whole. forcedColumn: the CSV
/// column the user chose, from 0.
PermanenceLayout detectPermanenceLayout(std::string_view prefix, bool complete,
                                        std::optional<int> forcedColumn = std::nullopt);

struct PermanenceAnalysis;

/// Settles how the layout reads « 00 » from a reading of the whole file, and its reason.
/// True when the layout changed, so that the file must be read again.
bool settleZeroZero(PermanenceLayout &layout, const PermanenceAnalysis &analysis);

enum class SpinOrder { OldestFirst, NewestFirst };
enum class SessionCut { WholeFile, BlankLine, EachLine };

struct PermanenceOptions {
    SpinOrder order = SpinOrder::OldestFirst;
    SessionCut cut = SessionCut::WholeFile;
};

/// A line of the file (numbered from 1) and the start of what it holds.
struct QuotedLine {
    std::int64_t line = 0;
    std::string text; ///< up to QuoteBytes bytes
    bool operator==(const QuotedLine &) const = default;
};

/// A number that comes many times in a row: where the run starts, and how long it is.
struct RepeatedNumber {
    std::int64_t line = 0;
    int number = 0;
    std::int64_t times = 0;
    bool operator==(const RepeatedNumber &) const = default;
};

/// A block of spins that repeats the block just before it: where the copy starts.
struct RepeatedBlock {
    std::int64_t line = 0;
    std::int64_t length = 0;
    bool operator==(const RepeatedBlock &) const = default;
};

/// A stretch where every spin is written twice (« 21, 21, 36, 36, 26, 26 »): where it starts,
/// and how many pairs follow one another.
struct DoubledStretch {
    std::int64_t line = 0;
    std::int64_t pairs = 0;
    bool operator==(const DoubledStretch &) const = default;
};

/// The first few items of a kind, and how many there are.
template <typename Item> struct Listed {
    static constexpr std::size_t Kept = 10;
    std::int64_t count = 0;
    std::vector<Item> first;

    void add(Item item)
    {
        if (count++ < static_cast<std::int64_t>(Kept))
            first.push_back(std::move(item));
    }
    bool operator==(const Listed &) const = default;
};

/// What a reading of a permanence gives: the spins, and everything the preview reports.
struct PermanenceAnalysis {
    std::vector<std::uint8_t> spins;         ///< in playing order, 0..36
    std::vector<std::int64_t> sessionStarts; ///< index in spins of each session's first spin
    std::int64_t lineCount = 0;
    Listed<QuotedLine> textLines;   ///< lines without a spin, passed over
    Listed<QuotedLine> blankLines;  ///< text empty
    Listed<QuotedLine> headerLines; ///< the header, and lines that come back as page headers do
    Listed<QuotedLine> refused;     ///< values that are not a single-zero wheel's numbers
    Listed<RepeatedNumber> repeatedNumbers;
    Listed<RepeatedBlock> repeatedBlocks;
    Listed<DoubledStretch> doubledStretches;
    /// Numbers in a line that holds spins: the least, the most, the most frequent.
    std::int64_t minPerLine = 0;
    std::int64_t maxPerLine = 0;
    std::int64_t typicalPerLine = 0;
    bool allTwoDigits = true;                     ///< every number read is written with two digits
    std::int64_t zeroZeroes = 0;                  ///< « 00 » met, read or refused
    std::int64_t characters = 0;                  ///< of the text, line endings aside
    std::int64_t controls = 0;                    ///< characters no text file holds
    std::int64_t invalidUtf8 = 0;                 ///< bytes of a UTF-8 reading that were not UTF-8
    std::optional<std::int64_t> firstInvalidUtf8; ///< offset of the first in the file

    bool operator==(const PermanenceAnalysis &) const = default;
    /// Mostly not text: binary data, whose "lines" mean nothing.
    bool isBinary() const { return controls * 20 > characters; }
};

/// Reads a permanence in the given layout a chunk at a time, so that a file is never held
/// whole: memory beyond the spins kept is a few lines' quotes and a fixed table. A value is
/// a spin when it is an integer 0..36 (« 00 » only in a two-digit file); an integer past
/// that, negative or longer than a field may be is refused, never turned into 0. A line is
/// passed over when it is blank, or when it holds no more integers than other text.
class PermanenceReader
{
public:
    PermanenceReader(const PermanenceLayout &layout, const PermanenceOptions &options);
    PermanenceReader(const PermanenceReader &) = delete;
    PermanenceReader &operator=(const PermanenceReader &) = delete;

    /// Spins the reading should make room for, to grow no copy of them.
    void reserve(std::size_t spins);
    /// The next bytes of the file; a line, a character or the mark may straddle two calls.
    void read(std::string_view bytes);
    /// The end of the file: the spins in playing order, with their sessions.
    PermanenceAnalysis finish();

private:
    class Sink : public LineSink
    {
    public:
        Sink(const PermanenceLayout &layout, const PermanenceOptions &options);
        void field(std::string_view text, bool cut) override;
        void lineEnd(std::string_view line) override;
        void close();
        void reserve(std::size_t spins);

        PermanenceAnalysis analysis;

    private:
        bool value(std::string_view text, bool cut);
        void keepLine();
        void passOver(std::string_view line);
        void follow(std::uint8_t spin, std::size_t index);
        void endRun();
        void followPairs(std::size_t index);
        void endPairs(std::size_t phase);

        PermanenceLayout m_layout;
        SpinOrder m_order;
        SessionCut m_cut;
        int m_fieldIndex = 0;
        bool m_seenData = false;     // a line that is not blank came before
        bool m_nonEmpty = false;     // in this line
        std::int64_t m_integers = 0; // of this line
        std::int64_t m_others = 0;   // fields of this line that are not empty nor integers
        bool m_lineTwoDigits = true;
        std::int64_t m_lineZeroZeroes = 0;
        std::size_t m_lineStart = 0; // index of the line's first spin
        Listed<QuotedLine> m_lineRefused;
        std::vector<std::int64_t> m_perLine; // lines holding spins, by count (the last: more)
        std::unordered_set<std::string> m_textShapes; // of lines passed over, digits masked
        bool m_newSession = true;
        // A run of one number, and a repeat of the block before with its period.
        int m_runNumber = -1;
        std::int64_t m_runLength = 0;
        std::int64_t m_runLine = 0;
        std::uint64_t m_window = 0; // the last ten spins, as digits base 37
        int m_slotBits;
        std::vector<std::uint32_t> m_lastSeen; // where each window of spins was last, by hash
        std::size_t m_period = 0;
        std::size_t m_matched = 0;
        std::int64_t m_blockLine = 0;
        std::int64_t m_lineRing[16] = {};
        // Pairs in a row, apart for pairs that end on even and on odd spins.
        std::int64_t m_pairs[2] = {};
        std::int64_t m_pairLine[2] = {};
    };

    TextDecoder m_decoder;
    Sink m_sink;
    FieldSplitter m_splitter;
    std::string m_text;
};

/// French lines for the preview: the lines passed over, the values refused and the warnings,
/// each with its first line numbers and then a count. Empty when all went well.
std::vector<std::string> permanenceReport(const PermanenceAnalysis &analysis);

/// How much of a permanence a wheel already holds.
struct StoredOverlap {
    std::int64_t spinsFound = 0;   ///< spins of the file inside a block the wheel holds
    std::int64_t longestBlock = 0; ///< the longest run of such spins
    /// Half of the file or more, or a block of BlockLength, is there already.
    bool alreadyStored = false;
    static constexpr std::int64_t BlockLength = 20;
};

/// Looks for the spins read in the spins a wheel stores, by blocks of BlockLength (or the
/// whole file when shorter): a fair wheel repeats such a block by chance almost never.
/// Linear in both, whatever their shape. progress is told the fraction of stored looked
/// through; a false from it stops the search, which then gives nothing.
std::optional<StoredOverlap> findInStored(std::span<const std::uint8_t> spins,
                                          std::span<const std::uint8_t> stored,
                                          const std::function<bool(double)> &progress = {});

} // namespace roulette
