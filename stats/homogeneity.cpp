#include "stats/homogeneity.h"

#include <algorithm>
#include <random>

#include "stats/fairness.h"

namespace roulette
{

namespace
{

// Margins of a table whose rows are sessions and whose columns are the 37 numbers.
struct Margins {
    HitCounts columns{};
    std::int64_t total = 0;
    int usedColumns = 0;
};

std::int64_t spinsOf(const HitCounts &row)
{
    std::int64_t spins = 0;
    for (const std::int64_t c : row)
        spins += c;
    return spins;
}

Margins marginsOf(std::span<const HitCounts> rows)
{
    Margins margins;
    for (const HitCounts &row : rows)
        for (std::size_t j = 0; j < 37; ++j)
            margins.columns[j] += row[j];
    for (const std::int64_t c : margins.columns) {
        margins.total += c;
        margins.usedColumns += c > 0;
    }
    return margins;
}

// Pearson's statistic of the 2 × 37 table: `part` (of `partSpins` spins) against the rest.
double partChiSquare(const HitCounts &part, std::int64_t partSpins, const Margins &margins)
{
    const double n = static_cast<double>(margins.total);
    const double r = static_cast<double>(partSpins);
    if (partSpins == 0 || partSpins == margins.total)
        return 0;
    double sum = 0;
    for (std::size_t j = 0; j < 37; ++j) {
        const double column = static_cast<double>(margins.columns[j]);
        if (column > 0) {
            const double gap = static_cast<double>(part[j]) - r * column / n;
            sum += gap * gap / column;
        }
    }
    return sum * n * n / (r * (n - r));
}

double tableChiSquare(std::span<const HitCounts> rows, const Margins &margins)
{
    const double n = static_cast<double>(margins.total);
    double sum = 0;
    for (const HitCounts &row : rows) {
        const double r = static_cast<double>(spinsOf(row));
        for (std::size_t j = 0; j < 37; ++j) {
            const double expected = r * static_cast<double>(margins.columns[j]) / n;
            if (expected > 0) {
                const double gap = static_cast<double>(row[j]) - expected;
                sum += gap * gap / expected;
            }
        }
    }
    return sum;
}

struct Split {
    std::size_t split = 0;
    double chiSquare = 0;
};

Split bestSplit(std::span<const HitCounts> rows, const Margins &margins)
{
    Split best;
    HitCounts before{};
    std::int64_t beforeSpins = 0;
    for (std::size_t s = 1; s < rows.size(); ++s) {
        for (std::size_t j = 0; j < 37; ++j)
            before[j] += rows[s - 1][j];
        beforeSpins += spinsOf(rows[s - 1]);
        const double x = partChiSquare(before, beforeSpins, margins);
        if (s == 1 || x > best.chiSquare)
            best = {s, x};
    }
    return best;
}

// Sessions of the same lengths drawn from the pooled counts' law, a number at a time as
// binomials conditional on the numbers before: the cost does not grow with the spins.
class PooledLaw
{
public:
    explicit PooledLaw(const Margins &margins) : m_margins(margins) {}

    void draw(std::span<const std::int64_t> spins, std::span<HitCounts> rows)
    {
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i] = drawRow(spins[i]);
    }

private:
    HitCounts drawRow(std::int64_t spins)
    {
        HitCounts row{};
        std::int64_t left = spins, weightLeft = m_margins.total;
        for (std::size_t j = 0; j < 37 && left > 0; ++j) {
            const std::int64_t weight = m_margins.columns[j];
            if (weight == weightLeft) {
                row[j] = left;
                break;
            }
            if (weight > 0) {
                std::binomial_distribution<std::int64_t> binomial(
                    left, static_cast<double>(weight) / static_cast<double>(weightLeft));
                row[j] = binomial(m_random);
                left -= row[j];
            }
            weightLeft -= weight;
        }
        return row;
    }

    const Margins &m_margins;
    std::mt19937_64 m_random{0x5e55'1075};
};

bool atLeast(double simulated, double observed)
{
    return simulated >= observed * (1 - 1e-9);
}

double pValueOf(int asExtreme, int samples)
{
    return static_cast<double>(1 + asExtreme) / (samples + 1);
}

// Every few replicates, so that a stop is heard within milliseconds.
bool goOn(const SampleProgress &progress, int replicate, int samples)
{
    constexpr int Every = 16;
    return !progress || replicate % Every != 0 ||
           progress(static_cast<double>(replicate) / samples);
}

std::vector<std::int64_t> spinsOfRows(std::span<const HitCounts> rows)
{
    std::vector<std::int64_t> spins;
    for (const HitCounts &row : rows)
        spins.push_back(spinsOf(row));
    return spins;
}

} // namespace

std::vector<HitCounts> sessionCounts(std::span<const std::uint8_t> numbers,
                                     std::span<const std::size_t> starts)
{
    std::vector<HitCounts> counts(starts.size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : numbers.size();
        for (std::size_t s = starts[i]; s < end; ++s)
            ++counts[i][numbers[s]];
    }
    return counts;
}

Homogeneity homogeneityTest(std::span<const HitCounts> sessions, int samples,
                            const SampleProgress &progress)
{
    const Margins margins = marginsOf(sessions);
    const std::vector<std::int64_t> spins = spinsOfRows(sessions);
    Homogeneity result;
    const auto usedRows = std::count_if(spins.begin(), spins.end(), [](auto s) { return s > 0; });
    if (usedRows < 2 || margins.usedColumns < 2) {
        result.sessionPValues.assign(sessions.size(), 1.0);
        return result;
    }
    result.degrees = static_cast<int>(usedRows - 1) * (margins.usedColumns - 1);
    result.chiSquare = tableChiSquare(sessions, margins);
    std::vector<double> partChi;
    for (std::size_t i = 0; i < sessions.size(); ++i)
        partChi.push_back(partChiSquare(sessions[i], spins[i], margins));

    std::int64_t fewestSpins = margins.total, rarestNumber = margins.total;
    for (const std::int64_t s : spins)
        fewestSpins = s > 0 ? std::min(fewestSpins, s) : fewestSpins;
    for (const std::int64_t c : margins.columns)
        rarestNumber = c > 0 ? std::min(rarestNumber, c) : rarestNumber;
    result.simulated = static_cast<double>(fewestSpins) * static_cast<double>(rarestNumber) <
                       5.0 * static_cast<double>(margins.total);

    if (!result.simulated) {
        result.pValue = chiSquareSurvival(result.chiSquare, result.degrees);
        for (std::size_t i = 0; i < sessions.size(); ++i)
            result.sessionPValues.push_back(
                spins[i] > 0 ? chiSquareSurvival(partChi[i], margins.usedColumns - 1) : 1.0);
        return result;
    }
    PooledLaw law(margins);
    std::vector<HitCounts> replicate(sessions.size());
    int tableExtreme = 0;
    std::vector<int> partExtreme(sessions.size(), 0);
    for (int r = 0; r < samples && goOn(progress, r, samples); ++r) {
        law.draw(spins, replicate);
        const Margins replicateMargins = marginsOf(replicate);
        tableExtreme += atLeast(tableChiSquare(replicate, replicateMargins), result.chiSquare);
        for (std::size_t i = 0; i < sessions.size(); ++i)
            partExtreme[i] +=
                atLeast(partChiSquare(replicate[i], spins[i], replicateMargins), partChi[i]);
    }
    result.pValue = pValueOf(tableExtreme, samples);
    for (std::size_t i = 0; i < sessions.size(); ++i)
        result.sessionPValues.push_back(spins[i] > 0 ? pValueOf(partExtreme[i], samples) : 1.0);
    return result;
}

namespace
{

double simulatedScan(std::span<const HitCounts> sessions, const Margins &margins, double observed,
                     int samples, const SampleProgress &progress)
{
    const std::vector<std::int64_t> spins = spinsOfRows(sessions);
    PooledLaw law(margins);
    std::vector<HitCounts> replicate(sessions.size());
    int asExtreme = 0;
    for (int r = 0; r < samples && goOn(progress, r, samples); ++r) {
        law.draw(spins, replicate);
        asExtreme += atLeast(bestSplit(replicate, marginsOf(replicate)).chiSquare, observed);
    }
    return pValueOf(asExtreme, samples);
}

// Under an unchanged wheel the sessions could have come in any order, and shuffling them
// costs no draw of counts: with many sessions this is far cheaper than simulating them.
double permutedScan(std::span<const HitCounts> sessions, const Margins &margins, double observed,
                    int samples, const SampleProgress &progress)
{
    std::mt19937_64 random(0x5e55'1075);
    std::vector<HitCounts> shuffled(sessions.begin(), sessions.end());
    int asExtreme = 0;
    for (int r = 0; r < samples && goOn(progress, r, samples); ++r) {
        std::shuffle(shuffled.begin(), shuffled.end(), random);
        asExtreme += atLeast(bestSplit(shuffled, margins).chiSquare, observed);
    }
    return pValueOf(asExtreme, samples);
}

} // namespace

ChangePoint changePoint(std::span<const HitCounts> sessions, int samples,
                        const SampleProgress &progress)
{
    if (sessions.size() < 2)
        return {};
    const Margins margins = marginsOf(sessions);
    const Split observed = bestSplit(sessions, margins);
    ChangePoint result{observed.split, observed.chiSquare, 1.0};
    if (observed.chiSquare > 0)
        result.pValue =
            sessions.size() < PermutedSessions
                ? simulatedScan(sessions, margins, observed.chiSquare, samples, progress)
                : permutedScan(sessions, margins, observed.chiSquare, samples, progress);
    return result;
}

namespace
{

// The sessions that differ most from the others, lowest p-value first, as « a, b et c ».
std::string mostDifferent(const Homogeneity &same, std::span<const std::string> names)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < same.sessionPValues.size() && i < names.size(); ++i)
        if (same.sessionPValues[i] < DifferentSession)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return same.sessionPValues[a] < same.sessionPValues[b];
    });
    order.resize(std::min(order.size(), MostDifferentSessions));
    std::string text;
    for (std::size_t i = 0; i < order.size(); ++i)
        text += (i == 0 ? "" : i + 1 == order.size() ? " et " : ", ") + names[order[i]];
    return text;
}

} // namespace

std::string changeAdvice(const Homogeneity &same, const ChangePoint &change,
                         const std::string &splitSession, std::span<const std::string> names)
{
    if (change.split == 0)
        return "Il faut au moins deux séances pour voir si la roue a changé.";
    if (change.found())
        return "À partir de la " + splitSession +
               ", les séances ne ressemblent pas à celles d'avant : la roue a peut-être été "
               "changée ou réglée. Étudier seulement cette séance et les suivantes.";
    if (same.pValue >= 0.05)
        return "Rien n'indique que la roue ait changé d'une séance à l'autre : ses séances "
               "peuvent être étudiées ensemble.";
    const std::string named = mostDifferent(same, names);
    return "Les séances diffèrent plus que le hasard ne le veut, sans coupure nette entre un "
           "avant et un après : la roue a pu varier d'une séance à l'autre, ou certaines "
           "séances viennent d'une autre roue." +
           (named.empty() ? std::string()
                          : " Celles qui s'écartent le plus des autres : " + named + ".") +
           " Les étudier ensemble mêle peut-être des roues différentes : les étudier à part, et "
           "chercher ce qui les distingue.";
}

} // namespace roulette
