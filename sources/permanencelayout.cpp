#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <string>
#include <utility>

#include "sources/permanence.h"
#include "sources/textrules.h"

namespace roulette
{

namespace
{

// Lines of the prefix weighed to choose the layout.
constexpr std::size_t LinesWeighed = 2000;

bool isSpinText(std::string_view cell)
{
    if (cell.empty() || cell.size() > 2 || !std::all_of(cell.begin(), cell.end(), isDigit))
        return false;
    return std::stoi(std::string(cell)) <= 36;
}

bool isIntegerText(std::string_view cell)
{
    if (!cell.empty() && (cell[0] == '-' || cell[0] == '+'))
        cell.remove_prefix(1);
    return !cell.empty() && std::all_of(cell.begin(), cell.end(), isDigit);
}

// The fields of each line that is not blank, as the reader will cut them.
class Rows : public LineSink
{
public:
    void field(std::string_view text, bool) override { m_row.emplace_back(text); }
    void lineEnd(std::string_view) override
    {
        if (std::any_of(m_row.begin(), m_row.end(), [](auto &f) { return !f.empty(); }))
            rows.push_back(std::move(m_row));
        m_row.clear();
    }
    std::vector<std::vector<std::string>> rows;

private:
    std::vector<std::string> m_row;
};

// The first row names the columns when it holds text where the rows under it mostly hold
// whole numbers: a spin written « 12;rouge » has as many words as numbers, and is no header.
// A row alone is text when it holds more words than numbers.
bool isHeaderRow(const std::vector<std::vector<std::string>> &rows)
{
    const std::vector<std::string> &first = rows.front();
    const auto isText = [](const std::string &f) { return !f.empty() && !isIntegerText(f); };
    if (rows.size() == 1)
        return std::count_if(first.begin(), first.end(), isText) >
               std::count_if(first.begin(), first.end(), isIntegerText);
    for (std::size_t column = 0; column < first.size(); ++column) {
        if (!isText(first[column]))
            continue;
        const auto numbers = std::count_if(rows.begin() + 1, rows.end(), [column](auto &row) {
            return column < row.size() && isIntegerText(row[column]);
        });
        if (static_cast<std::size_t>(numbers) * 2 >= rows.size() - 1)
            return true;
    }
    return false;
}

// A column name brought to lower-case ASCII letters, accents dropped: « Numéro » → numero.
std::string plainName(std::string_view name)
{
    static constexpr std::string_view accented = "aaaaaaaceeeeiiiidnooooo/ouuuuyty";
    std::string plain;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte == 0xC3 && i + 1 < name.size()) {
            const auto next = static_cast<unsigned char>(name[++i]);
            if (next >= 0x80 && next <= 0xBF)
                plain += accented[(next - 0x80) % 0x20];
        } else if (byte < 0x80 && std::isalpha(byte)) {
            plain += static_cast<char>(std::tolower(byte));
        }
    }
    return plain;
}

bool namesSpins(std::string_view name)
{
    static constexpr std::string_view names[] = {"numero", "number", "nummer", "zahl",    "salido",
                                                 "value",  "valeur", "result", "ergebnis"};
    const std::string plain = plainName(name);
    return std::any_of(std::begin(names), std::end(names),
                       [&plain](std::string_view key) { return plain.find(key) != plain.npos; });
}

void chooseEncoding(std::string_view prefix, bool complete, PermanenceLayout &layout)
{
    const ByteOrderMark mark = byteOrderMark(prefix);
    layout.markLength = mark.length;
    layout.encoding = mark.encoding;
    if (mark.length > 0) {
        layout.encodingReason = mark.encoding == TextEncoding::Utf8
                                    ? "marque d'ordre des octets UTF-8 en tête"
                                : mark.encoding == TextEncoding::Utf16LE
                                    ? "marque d'ordre des octets UTF-16 (petit-boutiste) en tête"
                                    : "marque d'ordre des octets UTF-16 (gros-boutiste) en tête";
        return;
    }
    TextDecoder decoder(TextEncoding::Utf8, 0);
    std::string text;
    decoder.decode(prefix, text);
    if (complete)
        decoder.finish(text); // otherwise a character may continue past the prefix
    if (const auto invalid = decoder.firstInvalid()) {
        layout.encoding = TextEncoding::Latin1;
        layout.encodingReason =
            "octet " + decimalText(*invalid) + " invalide en UTF-8 : lu en Latin-1 (ISO 8859-1)";
    } else {
        layout.encodingReason = "tous les octets lus forment de l'UTF-8 valide";
    }
}

// The text of the prefix, without a last line that may go on past it.
std::string prefixText(std::string_view prefix, bool complete, const PermanenceLayout &layout)
{
    TextDecoder decoder(layout.encoding, layout.markLength);
    std::string text;
    decoder.decode(prefix, text);
    if (complete) {
        decoder.finish(text);
        return text;
    }
    const std::size_t lastEnd = text.find_last_of("\r\n");
    return lastEnd == text.npos ? text : text.substr(0, lastEnd);
}

void chooseSeparator(std::string_view text, PermanenceLayout &layout)
{
    struct Candidate {
        Separator separator;
        std::string_view name;
        std::size_t lines = 0;
    };
    std::array<Candidate, 4> candidates = {{{Separator::Tab, "la tabulation"},
                                            {Separator::Semicolon, "le point-virgule"},
                                            {Separator::Comma, "la virgule"},
                                            {Separator::Spaces, "l'espace"}}};
    // Lines that show what separates numbers: two numbers or more, or a separator of CSV.
    // « Page 2 » shows nothing.
    std::size_t lines = 0;
    std::size_t numbered = 0;
    for (std::size_t start = 0; start < text.size() && numbered < LinesWeighed;) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        std::size_t numbers = 0;
        for (std::size_t i = 0; i < line.size(); ++i)
            numbers += isDigit(line[i]) && (i == 0 || !isDigit(line[i - 1]));
        numbered += numbers > 0;
        if (numbers == 0 || (numbers == 1 && line.find_first_of("\t;,") == line.npos))
            continue;
        ++lines;
        candidates[0].lines += line.find('\t') != line.npos;
        candidates[1].lines += line.find(';') != line.npos;
        candidates[2].lines += line.find(',') != line.npos;
        // Blanks between two digits: « 17 5 32 ».
        const std::size_t firstDigit = line.find_first_of("0123456789");
        const std::size_t lastDigit = line.find_last_of("0123456789");
        const std::string_view inside = line.substr(firstDigit, lastDigit - firstDigit);
        candidates[3].lines += inside.find_first_of(" \t") != inside.npos;
    }
    for (const Candidate &candidate : candidates) {
        if (lines * 2 >= numbered && candidate.lines * 2 > lines) {
            layout.separator = candidate.separator;
            layout.separatorReason = std::string(candidate.name) + " sépare les valeurs dans " +
                                     decimalText(static_cast<std::int64_t>(candidate.lines)) +
                                     (candidate.lines == 1 ? " ligne sur " : " lignes sur ") +
                                     decimalText(static_cast<std::int64_t>(lines));
            return;
        }
    }
    layout.separator = Separator::OnePerLine;
    layout.separatorReason = "un numéro par ligne dans la plupart des lignes";
}

void chooseColumn(const std::vector<std::vector<std::string>> &rows,
                  std::optional<int> forcedColumn, PermanenceLayout &layout)
{
    const auto data = rows.begin() + (layout.header ? 1 : 0);
    std::map<std::size_t, std::size_t> widths;
    for (auto row = data; row != rows.end(); ++row)
        ++widths[row->size()];
    const auto mostCommon = std::max_element(widths.begin(), widths.end(),
                                             [](auto &a, auto &b) { return a.second < b.second; });
    const std::size_t width = layout.header                ? rows.front().size()
                              : mostCommon == widths.end() ? 0
                                                           : mostCommon->first;
    const auto rowCount = static_cast<std::size_t>(rows.end() - data);
    // One row without a header is a line of numbers, not a table.
    const bool regular =
        width >= 2 && widths[width] * 5 >= rowCount * 4 && (layout.header || rowCount >= 2);

    std::vector<int> spinColumns;
    for (std::size_t column = 0; column < width; ++column) {
        std::size_t spins = 0;
        std::size_t cells = 0;
        for (auto row = data; row != rows.end(); ++row) {
            const bool cell = row->size() > column && !(layout.header && *row == rows.front());
            cells += cell;
            spins += cell && isSpinText((*row)[column]);
        }
        if (cells > 0 && spins * 10 >= cells * 9)
            spinColumns.push_back(static_cast<int>(column));
    }
    for (std::size_t column = 0; column < width; ++column) {
        const bool named = layout.header && column < rows.front().size();
        layout.columns.push_back(named ? printable(rows.front()[column])
                                       : "colonne " + decimalText(std::int64_t(column) + 1));
    }
    const auto name = [&layout](int column) { return quoteText(layout.columns[column]); };
    if (forcedColumn) {
        layout.column = *forcedColumn;
        layout.columnReason = "colonne choisie";
        return;
    }
    const bool table = regular && (layout.header || spinColumns.size() < width);
    if (!table)
        return;
    for (const int column : spinColumns) {
        if (layout.header && namesSpins(layout.columns[column])) {
            layout.column = column;
            layout.columnReason = "colonne nommée " + name(column);
            return;
        }
    }
    if (spinColumns.empty()) {
        layout.column = 0;
        layout.columnReason = "aucune colonne ne tient que des numéros 0 à 36";
        return;
    }
    layout.column = spinColumns.front();
    layout.columnReason = spinColumns.size() == 1
                              ? "la seule colonne de numéros, " + name(layout.column)
                              : "la première des " + decimalText(std::int64_t(spinColumns.size())) +
                                    " colonnes de numéros, " + name(layout.column);
}

} // namespace

PermanenceLayout detectPermanenceLayout(std::string_view prefix, bool complete,
                                        std::optional<int> forcedColumn)
{
    PermanenceLayout layout;
    chooseEncoding(prefix, complete, layout);
    const std::string text = prefixText(prefix, complete, layout);
    chooseSeparator(text, layout);

    Rows rows;
    FieldSplitter splitter(layout.separator, rows);
    splitter.split(text);
    splitter.finish();
    if (rows.rows.size() > LinesWeighed)
        rows.rows.resize(LinesWeighed);
    layout.header = !rows.rows.empty() && isHeaderRow(rows.rows);
    layout.headerReason = layout.header ? "la première ligne est du texte : elle nomme les colonnes"
                                        : "la première ligne tient des numéros";
    const bool csv = layout.separator == Separator::Comma ||
                     layout.separator == Separator::Semicolon || layout.separator == Separator::Tab;
    if (csv && !rows.rows.empty())
        chooseColumn(rows.rows, forcedColumn, layout);
    return layout;
}

bool settleZeroZero(PermanenceLayout &layout, const PermanenceAnalysis &analysis)
{
    if (analysis.zeroZeroes == 0)
        return false;
    const bool twoDigitZero = analysis.allTwoDigits;
    layout.zeroReason =
        twoDigitZero ? "chaque numéro du fichier s'écrit avec deux chiffres (« 05 ») : « 00 » est 0"
                     : "« 00 » n'est pas sur une roue à un seul zéro : refusé";
    return std::exchange(layout.twoDigitZero, twoDigitZero) != twoDigitZero;
}

} // namespace roulette
