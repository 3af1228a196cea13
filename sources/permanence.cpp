#include "sources/permanence.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <utility>

#include "sources/textrules.h"

namespace roulette
{

namespace
{

constexpr std::size_t WindowLength = 10;  // the shortest block whose repeat is reported
constexpr std::int64_t RunWarning = 8;    // a number this many times in a row
constexpr std::int64_t PairsWarning = 10; // this many pairs in a row: a fair wheel, never
constexpr std::size_t TextShapesKept = 4096;
constexpr std::size_t PerLineBuckets = 1025;

// An integer as the file writes it: its digits, and whether it is a spin.
struct Integer {
    std::size_t digits = 0;
    bool negative = false;
    int value = -1; // -1: more than the wheel's numbers
};

std::optional<Integer> integerOf(std::string_view text)
{
    Integer integer;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        integer.negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit))
        return std::nullopt;
    integer.digits = text.size();
    const std::size_t first = std::min(text.find_first_not_of('0'), text.size());
    if (text.size() - first <= 2) {
        integer.value = 0;
        for (const char c : text.substr(first))
            integer.value = integer.value * 10 + (c - '0');
    }
    return integer;
}

// A line passed over with its digits masked, so that « Page 3 » comes back as « Page 4 ».
std::string shapeOf(std::string_view line)
{
    std::string shape;
    for (const char c : line) {
        if (!isDigit(c))
            shape += c;
        else if (shape.empty() || shape.back() != '#')
            shape += '#';
    }
    return shape;
}

std::size_t slotOf(std::uint64_t key, int bits)
{
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - bits));
}

constexpr std::uint64_t power37(std::size_t exponent)
{
    std::uint64_t power = 1;
    for (std::size_t i = 0; i < exponent; ++i)
        power *= 37; // wraps past 2^64 by design: a hash, compared before it is believed
    return power;
}

// The table of windows seen: small for a short text, at most 2^16 slots (256 KB) however
// long the file.
constexpr int FewestSlotBits = 10;
constexpr int MostSlotBits = 16;

} // namespace

PermanenceReader::PermanenceReader(const PermanenceLayout &layout, const PermanenceOptions &options)
    : m_decoder(layout.encoding, layout.markLength), m_sink(layout, options),
      m_splitter(layout.separator, m_sink)
{
}

void PermanenceReader::read(std::string_view bytes)
{
    m_text.clear();
    m_decoder.decode(bytes, m_text);
    m_splitter.split(m_text);
}

void PermanenceReader::reserve(std::size_t spins)
{
    m_sink.reserve(spins);
}

void PermanenceReader::Sink::reserve(std::size_t spins)
{
    analysis.spins.reserve(spins);
    if (!analysis.spins.empty())
        return; // the windows seen are where they are
    while (m_slotBits < MostSlotBits && (std::size_t{1} << m_slotBits) < spins / 4)
        ++m_slotBits;
    m_lastSeen.assign(std::size_t{1} << m_slotBits, 0);
}

PermanenceAnalysis PermanenceReader::finish()
{
    m_text.clear();
    m_decoder.finish(m_text);
    m_splitter.split(m_text);
    m_splitter.finish();
    PermanenceAnalysis &analysis = m_sink.analysis;
    m_sink.close();
    analysis.characters = m_splitter.characters();
    analysis.controls = m_splitter.controls();
    analysis.invalidUtf8 = m_decoder.invalidBytes();
    if (const auto first = m_decoder.firstInvalid())
        analysis.firstInvalidUtf8 = *first;
    return std::move(analysis);
}

PermanenceReader::Sink::Sink(const PermanenceLayout &layout, const PermanenceOptions &options)
    : m_layout(layout), m_order(options.order), m_cut(options.cut), m_perLine(PerLineBuckets),
      m_slotBits(FewestSlotBits), m_lastSeen(std::size_t{1} << FewestSlotBits)
{
}

void PermanenceReader::Sink::field(std::string_view text, bool cut)
{
    const int index = m_fieldIndex++;
    m_nonEmpty = m_nonEmpty || !text.empty();
    const bool column = m_layout.column >= 0;
    if ((column && index != m_layout.column) || text.empty())
        return;
    if (value(text, cut))
        return;
    ++m_others;
    if (!column)
        m_lineRefused.add({analysis.lineCount + 1, std::string(text)});
}

// False when the text is not an integer.
bool PermanenceReader::Sink::value(std::string_view text, bool cut)
{
    const std::optional<Integer> integer = integerOf(text);
    if (!integer)
        return false;
    ++m_integers;
    m_lineTwoDigits = m_lineTwoDigits && integer->digits == 2 && !cut;
    const bool zeroZero = integer->digits == 2 && integer->value == 0;
    m_lineZeroZeroes += zeroZero;
    const bool spin = !cut && !integer->negative && integer->value >= 0 && integer->value <= 36 &&
                      (!zeroZero || m_layout.twoDigitZero);
    if (spin)
        analysis.spins.push_back(static_cast<std::uint8_t>(integer->value));
    else
        m_lineRefused.add({analysis.lineCount + 1, std::string(text)});
    return true;
}

void PermanenceReader::Sink::lineEnd(std::string_view line)
{
    ++analysis.lineCount;
    if (!m_nonEmpty) {
        analysis.blankLines.add({analysis.lineCount, {}});
        m_newSession = m_newSession || m_cut == SessionCut::BlankLine;
    } else if (m_layout.header && !m_seenData) {
        analysis.headerLines.add({analysis.lineCount, std::string(line)});
        m_textShapes.insert(shapeOf(line));
    } else if (m_integers > m_others) {
        keepLine();
    } else {
        passOver(line);
    }
    m_seenData = m_seenData || m_nonEmpty;
    analysis.spins.resize(m_lineStart); // nothing is left of a line passed over
    m_lineStart = analysis.spins.size();
    m_fieldIndex = 0;
    m_nonEmpty = false;
    m_integers = 0;
    m_others = 0;
    m_lineTwoDigits = true;
    m_lineZeroZeroes = 0;
    m_lineRefused = {};
}

void PermanenceReader::Sink::keepLine()
{
    const std::size_t end = analysis.spins.size();
    if (end > m_lineStart && (m_newSession || m_cut == SessionCut::EachLine)) {
        analysis.sessionStarts.push_back(static_cast<std::int64_t>(m_lineStart));
        m_newSession = false;
    }
    for (std::size_t i = m_lineStart; i < end; ++i)
        follow(analysis.spins[i], i);
    ++m_perLine[static_cast<std::size_t>(
        std::min<std::int64_t>(m_integers, static_cast<std::int64_t>(PerLineBuckets - 1)))];
    analysis.minPerLine =
        analysis.maxPerLine == 0 ? m_integers : std::min(analysis.minPerLine, m_integers);
    analysis.maxPerLine = std::max(analysis.maxPerLine, m_integers);
    for (QuotedLine &refused : m_lineRefused.first)
        analysis.refused.add(std::move(refused));
    analysis.refused.count +=
        m_lineRefused.count - static_cast<std::int64_t>(m_lineRefused.first.size());
    analysis.allTwoDigits = analysis.allTwoDigits && m_lineTwoDigits;
    analysis.zeroZeroes += m_lineZeroZeroes;
    m_lineStart = end;
}

void PermanenceReader::Sink::passOver(std::string_view line)
{
    std::string shape = shapeOf(line);
    if (m_textShapes.contains(shape)) {
        analysis.headerLines.add({analysis.lineCount, std::string(line)});
        return;
    }
    analysis.textLines.add({analysis.lineCount, std::string(line)});
    if (m_textShapes.size() < TextShapesKept)
        m_textShapes.insert(std::move(shape));
}

// Watches each spin kept for a long run of one number and for a block that repeats the block
// just before it. A repeat is found through the last place each ten spins were seen, in a
// table of fixed size: a repeat long enough to matter shows in many windows, so the table
// losing one of them now and then costs nothing.
void PermanenceReader::Sink::follow(std::uint8_t spin, std::size_t index)
{
    const std::int64_t line = analysis.lineCount;
    m_lineRing[index % std::size(m_lineRing)] = line;
    if (spin == m_runNumber) {
        ++m_runLength;
    } else {
        endRun();
        m_runNumber = spin;
        m_runLength = 1;
        m_runLine = line;
    }

    followPairs(index);

    const std::vector<std::uint8_t> &spins = analysis.spins;
    if (m_period != 0) {
        if (spins[index] != spins[index - m_period])
            m_period = 0;
        else if (++m_matched == m_period)
            analysis.repeatedBlocks.add({m_blockLine, static_cast<std::int64_t>(m_period)});
    }
    static constexpr std::uint64_t top = power37(WindowLength - 1);
    if (index >= WindowLength)
        m_window -= spins[index - WindowLength] * top;
    m_window = m_window * 37 + spin; // exact: 37^10 < 2^64
    if (index + 1 < WindowLength)
        return;
    // The slot keeps an index's low 32 bits: the distance back is right below 2^32.
    std::uint32_t &seenAt = m_lastSeen[slotOf(m_window, m_slotBits)];
    const std::size_t period = static_cast<std::uint32_t>(index) - seenAt;
    const bool seen =
        period >= WindowLength && period + WindowLength <= index + 1 &&
        std::equal(spins.begin() + static_cast<std::ptrdiff_t>(index + 1 - WindowLength),
                   spins.begin() + static_cast<std::ptrdiff_t>(index + 1),
                   spins.begin() + static_cast<std::ptrdiff_t>(index + 1 - WindowLength - period));
    if (m_period == 0 && seen && m_runLength < static_cast<std::int64_t>(WindowLength)) {
        m_period = period;
        m_matched = WindowLength;
        m_blockLine = m_lineRing[(index + 1 - WindowLength) % std::size(m_lineRing)];
        if (m_matched == m_period)
            analysis.repeatedBlocks.add({m_blockLine, static_cast<std::int64_t>(m_period)});
    }
    seenAt = static_cast<std::uint32_t>(index);
}

// A pair is a spin written again right after itself, and not a third time: a run of one
// number is its own warning.
void PermanenceReader::Sink::followPairs(std::size_t index)
{
    const std::vector<std::uint8_t> &spins = analysis.spins;
    if (index == 0)
        return;
    const std::size_t phase = index % 2;
    if (spins[index] != spins[index - 1] || (index >= 2 && spins[index - 2] == spins[index])) {
        endPairs(phase);
        return;
    }
    if (m_pairs[phase]++ == 0)
        m_pairLine[phase] = m_lineRing[(index - 1) % std::size(m_lineRing)];
}

void PermanenceReader::Sink::endPairs(std::size_t phase)
{
    if (m_pairs[phase] >= PairsWarning)
        analysis.doubledStretches.add({m_pairLine[phase], m_pairs[phase]});
    m_pairs[phase] = 0;
}

void PermanenceReader::Sink::endRun()
{
    if (m_runLength >= RunWarning)
        analysis.repeatedNumbers.add({m_runLine, m_runNumber, m_runLength});
}

void PermanenceReader::Sink::close()
{
    endRun();
    m_runLength = 0;
    endPairs(0);
    endPairs(1);
    const auto typical = std::max_element(m_perLine.begin(), m_perLine.end());
    analysis.typicalPerLine = *typical == 0 ? 0 : typical - m_perLine.begin();
    if (m_order == SpinOrder::OldestFirst)
        return;
    std::vector<std::uint8_t> &spins = analysis.spins;
    std::reverse(spins.begin(), spins.end());
    // A session [start, end) of the file is [n - end, n - start) once reversed.
    std::vector<std::int64_t> &starts = analysis.sessionStarts;
    const auto n = static_cast<std::int64_t>(spins.size());
    for (std::size_t i = 0; i < starts.size(); ++i)
        starts[i] = n - (i + 1 < starts.size() ? starts[i + 1] : n);
    std::reverse(starts.begin(), starts.end());
}

namespace
{

template <typename Item>
std::string listText(const Listed<Item> &listed, const std::string &what,
                     const std::function<std::string(const Item &)> &show)
{
    std::string text = what + " : ";
    for (const Item &item : listed.first)
        text += (&item == &listed.first.front() ? "" : ", ") + show(item);
    const auto more = listed.count - static_cast<std::int64_t>(listed.first.size());
    return text + (more > 0 ? " et " + decimalText(more) + " autres." : ".");
}

std::string counted(std::int64_t count, const std::string &one, const std::string &many)
{
    return decimalText(count) + " " + (count == 1 ? one : many);
}

std::string quotedLine(const QuotedLine &line)
{
    return "ligne " + decimalText(line.line) + " " + quoteText(line.text);
}

} // namespace

std::vector<std::string> permanenceReport(const PermanenceAnalysis &analysis)
{
    std::vector<std::string> report;
    if (analysis.textLines.count > 0)
        report.push_back(listText<QuotedLine>(
            analysis.textLines,
            counted(analysis.textLines.count, "ligne de texte passée", "lignes de texte passées"),
            quotedLine));
    if (analysis.headerLines.count > 0)
        report.push_back(listText<QuotedLine>(
            analysis.headerLines,
            counted(analysis.headerLines.count, "en-tête passé", "en-têtes passés"), quotedLine));
    if (analysis.blankLines.count > 0)
        report.push_back(listText<QuotedLine>(
            analysis.blankLines, counted(analysis.blankLines.count, "ligne vide", "lignes vides"),
            [](const QuotedLine &line) { return "ligne " + decimalText(line.line); }));
    if (analysis.refused.count > 0)
        report.push_back(listText<QuotedLine>(
            analysis.refused,
            counted(analysis.refused.count, "valeur refusée", "valeurs refusées") +
                " (une roue à un seul zéro n'a que les numéros 0 à 36)",
            quotedLine));
    if (analysis.repeatedNumbers.count > 0)
        report.push_back(listText<RepeatedNumber>(
            analysis.repeatedNumbers,
            "Attention, un même numéro sort au moins 8 fois de suite (erreur d'enregistrement ?)",
            [](const RepeatedNumber &run) {
                return "le " + decimalText(run.number) + " " + decimalText(run.times) +
                       " fois à partir de la ligne " + decimalText(run.line);
            }));
    if (analysis.repeatedBlocks.count > 0)
        report.push_back(listText<RepeatedBlock>(
            analysis.repeatedBlocks,
            "Attention, un bloc de tirages répète le bloc qui le précède (erreur "
            "d'enregistrement ?)",
            [](const RepeatedBlock &block) {
                return decimalText(block.length) + " tirages à partir de la ligne " +
                       decimalText(block.line);
            }));
    if (analysis.doubledStretches.count > 0)
        report.push_back(listText<DoubledStretch>(
            analysis.doubledStretches,
            "Attention, des tirages sont écrits deux fois chacun, « 21, 21, 36, 36… » "
            "(erreur d'enregistrement ?)",
            [](const DoubledStretch &stretch) {
                return decimalText(stretch.pairs) + " paires à partir de la ligne " +
                       decimalText(stretch.line);
            }));
    return report;
}

namespace
{

constexpr std::size_t Ahead = 16; // blocks between a prefetch and their use

// The file's blocks of k spins, each distinct block held once and found by a hash of its
// spins. A block that comes back many times (a repeated stretch, a period) is one entry, so
// that no probe sequence grows with the file's repeats: building and looking up stay linear
// whatever the file's shape.
class BlockTable
{
public:
    BlockTable(std::span<const std::uint8_t> spins, std::size_t k)
        : m_spins(spins), m_k(k), m_top(power37(k - 1)), m_firstOf(spins.size() - k + 1),
          m_hashes(spins.size() - k + 1)
    {
        while ((std::size_t{1} << m_bits) < 2 * m_firstOf.size())
            ++m_bits;
        m_slots.assign(std::size_t{1} << m_bits, Empty);
        std::uint64_t hash = 0;
        for (std::size_t i = 0; i < spins.size(); ++i) {
            hash = roll(hash, spins, i);
            if (i + 1 >= k)
                m_hashes[i + 1 - k] = hash;
        }
        std::size_t distinct = 0;
        for (std::size_t start = 0; start < m_hashes.size(); ++start) {
            if (start + Ahead < m_hashes.size())
                __builtin_prefetch(&m_slots[slotOf(m_hashes[start + Ahead], m_bits)]);
            distinct += add(start);
        }
        while (m_filterBits < MostFilterBits && (std::size_t{1} << m_filterBits) < 16 * distinct)
            ++m_filterBits;
        m_filter.assign((std::size_t{1} << m_filterBits) / 64, 0);
        for (const std::uint32_t start : m_slots) {
            if (start != Empty) {
                const std::size_t bit = slotOf(m_hashes[start], m_filterBits);
                m_filter[bit / 64] |= std::uint64_t{1} << (bit % 64);
            }
        }
    }

    /// Brings in early what find will read for this hash: lookups far apart in memory then
    /// wait for memory together rather than one after the other.
    void prefetch(std::uint64_t hash) const
    {
        __builtin_prefetch(&m_filter[slotOf(hash, m_filterBits) / 64]);
    }

    /// The hash of the k spins ending at s[i], from that of the k ending at s[i - 1].
    std::uint64_t roll(std::uint64_t hash, std::span<const std::uint8_t> s, std::size_t i) const
    {
        if (i >= m_k)
            hash -= s[i - m_k] * m_top;
        return hash * 37 + s[i]; // wraps past 2^64: a hash, compared before it is believed
    }

    /// The first start in the file of the k spins at block, whose hash is given.
    std::optional<std::size_t> find(std::uint64_t hash, const std::uint8_t *block) const
    {
        const std::size_t bit = slotOf(hash, m_filterBits);
        if ((m_filter[bit / 64] >> (bit % 64) & 1) == 0)
            return std::nullopt; // a small table that stays in cache: most misses end here
        for (std::size_t slot = slotOf(hash, m_bits); m_slots[slot] != Empty; slot = next(slot)) {
            const std::uint32_t start = m_slots[slot];
            if (m_hashes[start] == hash && std::memcmp(m_spins.data() + start, block, m_k) == 0)
                return start;
        }
        return std::nullopt;
    }

    /// The first start of the block that starts at start.
    std::size_t firstOf(std::size_t start) const { return m_firstOf[start]; }
    std::size_t blocks() const { return m_firstOf.size(); }

private:
    static constexpr std::uint32_t Empty = std::numeric_limits<std::uint32_t>::max();
    static constexpr int FewestFilterBits = 10;
    static constexpr int MostFilterBits = 26; // 8 MB

    std::size_t next(std::size_t slot) const { return (slot + 1) & (m_slots.size() - 1); }

    // True when the block at start is the first of its kind.
    bool add(std::size_t start)
    {
        const std::uint64_t hash = m_hashes[start];
        std::size_t slot = slotOf(hash, m_bits);
        for (; m_slots[slot] != Empty; slot = next(slot)) {
            const std::uint32_t first = m_slots[slot];
            if (m_hashes[first] == hash &&
                std::memcmp(m_spins.data() + first, m_spins.data() + start, m_k) == 0) {
                m_firstOf[start] = first;
                return false;
            }
        }
        m_slots[slot] = static_cast<std::uint32_t>(start);
        m_firstOf[start] = static_cast<std::uint32_t>(start);
        return true;
    }

    std::span<const std::uint8_t> m_spins;
    std::size_t m_k;
    std::uint64_t m_top;
    int m_bits = 1;
    int m_filterBits = FewestFilterBits;
    std::vector<std::uint32_t> m_firstOf; // each start's first start of the same block
    std::vector<std::uint64_t> m_hashes;  // of the block at each start
    std::vector<std::uint32_t> m_slots;   // the first start of each distinct block
    std::vector<std::uint64_t> m_filter;  // a bit per distinct block's hash
};

constexpr std::size_t StoredProgressStride = std::size_t{1} << 20;

} // namespace

std::optional<StoredOverlap> findInStored(std::span<const std::uint8_t> spins,
                                          std::span<const std::uint8_t> stored,
                                          const std::function<bool(double)> &progress)
{
    StoredOverlap overlap;
    const std::size_t n = spins.size();
    const std::size_t k = std::min<std::size_t>(StoredOverlap::BlockLength, n);
    if (k == 0 || stored.size() < k)
        return overlap;
    const BlockTable table(spins, k);
    std::vector<bool> held(table.blocks()); // by a block's first start
    std::optional<std::size_t> at;          // the file's block the wheel's last block equals
    std::uint64_t hash = 0;
    std::uint64_t ahead = 0; // of the block that ends Ahead spins later
    for (std::size_t j = 0; j < std::min(Ahead, stored.size()); ++j)
        ahead = table.roll(ahead, stored, j);
    for (std::size_t j = 0; j < stored.size(); ++j) {
        if (j + Ahead < stored.size()) {
            ahead = table.roll(ahead, stored, j + Ahead);
            table.prefetch(ahead);
        }
        hash = table.roll(hash, stored, j);
        if (progress && j % StoredProgressStride == 0 &&
            !progress(static_cast<double>(j) / static_cast<double>(stored.size())))
            return std::nullopt;
        if (j + 1 < k)
            continue;
        // Where the wheel holds a stretch of the file, its next block is the file's next one.
        if (at && *at + k < n && spins[*at + k] == stored[j])
            ++*at;
        else
            at = table.find(hash, stored.data() + j + 1 - k);
        if (at)
            held[table.firstOf(*at)] = true;
    }
    std::size_t coveredTo = 0; // the spins before it are in a block the wheel holds
    std::int64_t run = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i < table.blocks() && held[table.firstOf(i)])
            coveredTo = i + k;
        const bool here = i < coveredTo;
        run = here ? run + 1 : 0;
        overlap.spinsFound += here;
        overlap.longestBlock = std::max(overlap.longestBlock, run);
    }
    overlap.alreadyStored = overlap.spinsFound * 2 >= static_cast<std::int64_t>(n) ||
                            overlap.longestBlock >= StoredOverlap::BlockLength;
    return overlap;
}

} // namespace roulette
