// The permanence reader fed arbitrary bytes in arbitrary chunks, in every separator and with
// or without a column, must agree with a reading of the whole buffer at once; reading the
// newest first must give the same spins and sessions backwards; its report must be showable.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sources/permanence.h"
#include "sources/textrules.h"

using namespace roulette;

namespace
{

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

PermanenceAnalysis readInChunks(std::string_view text, const PermanenceLayout &layout,
                                const PermanenceOptions &options, unsigned pattern)
{
    PermanenceReader reader(layout, options);
    std::size_t at = 0;
    for (unsigned i = 1; at < text.size(); ++i) {
        const std::size_t step = pattern == 0 ? text.size() : 1 + (pattern * i) % 61;
        reader.read(text.substr(at, step));
        at += step;
    }
    return reader.finish();
}

// The sessions as lists of spins, so that two orders can be compared.
std::vector<std::vector<std::uint8_t>> sessions(const PermanenceAnalysis &analysis)
{
    std::vector<std::vector<std::uint8_t>> result;
    const auto &starts = analysis.sessionStarts;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const auto end = i + 1 < starts.size() ? starts[i + 1]
                                               : static_cast<std::int64_t>(analysis.spins.size());
        result.emplace_back(analysis.spins.begin() + starts[i], analysis.spins.begin() + end);
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const unsigned pattern = data[0];
    const unsigned shape = data[1];
    const std::string_view text(reinterpret_cast<const char *>(data + 2), size - 2);

    PermanenceLayout layout = detectPermanenceLayout(text, shape % 2 == 0);
    check(layout.column < static_cast<int>(std::max<std::size_t>(1, layout.columns.size())));
    layout.separator = static_cast<Separator>(shape / 2 % 5);
    layout.column = static_cast<int>(shape / 10 % 3) - 1;
    layout.twoDigitZero = shape & 0x80;
    const PermanenceOptions options{SpinOrder::OldestFirst, static_cast<SessionCut>(pattern % 3)};

    const PermanenceAnalysis whole = readInChunks(text, layout, options, 0);
    check(readInChunks(text, layout, options, pattern) == whole);
    check(std::all_of(whole.spins.begin(), whole.spins.end(), [](auto s) { return s <= 36; }));
    check(whole.sessionStarts.empty() == whole.spins.empty());
    check(whole.sessionStarts.empty() || whole.sessionStarts.front() == 0);
    check(std::adjacent_find(whole.sessionStarts.begin(), whole.sessionStarts.end(),
                             std::greater_equal<>()) == whole.sessionStarts.end());
    for (const std::string &line : permanenceReport(whole))
        check(printable(line) == line);

    PermanenceOptions newest = options;
    newest.order = SpinOrder::NewestFirst;
    auto forward = sessions(whole);
    auto backward = sessions(readInChunks(text, layout, newest, pattern));
    std::reverse(backward.begin(), backward.end());
    for (auto &session : backward)
        std::reverse(session.begin(), session.end());
    check(forward == backward);
    if (!whole.spins.empty())
        check(findInStored(whole.spins, whole.spins)->alreadyStored);
    return 0;
}
