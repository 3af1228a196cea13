// What the study's headline does on simulated wheels, E read after every spin:
//   build/bench/calibrate_headline fair 1000 10000 [FIRST]   share of fair sessions ever at
//                                                          « Indice »
//   build/bench/calibrate_headline planted 400 [BIAS [FIRST]]  median spins until « Indice »,
//                                                          per bias (or all)
//   build/bench/calibrate_headline pinned 400 [arc|pocket [FIRST]]  spins after a pin of the
//                                                          named place until the pin's « Indice »
//   build/bench/calibrate_headline pinfair 1000 100000 [PIN_AT]  fair sessions whose pin of
//                                                          the named place ever reaches it
//   build/bench/calibrate_headline coverage 1000 10000      sessions whose pin's confidence
//                                                          sequence always holds the excess
// One thread; each session has its own seed, so runs can be split (FIRST: the first session's
// number) and repeated. Shares come with Wilson's 95 % interval, medians with the 95 % interval
// of the order statistics around them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "stats/evalue.h"
#include "stats/pin.h"
#include "stats/pockets.h"

using namespace roulette;

namespace
{

using Draw = std::function<int(int last, std::mt19937_64 &random)>;

int uniform(std::mt19937_64 &random)
{
    return std::uniform_int_distribution<int>(0, 36)(random);
}

bool chance(double p, std::mt19937_64 &random)
{
    return std::uniform_real_distribution<double>(0, 1)(random) < p;
}

struct Run {
    std::int64_t hint = -1; // first spin at « Indice », −1 if never
    std::int64_t established = -1;
    Lead lead; // where, at the first « Indice »
};

Run play(const Draw &draw, std::int64_t spins, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    Evidence e;
    Run run;
    int position = uniform(random);
    for (std::int64_t s = 1; s <= spins; ++s) {
        position = draw(position, random);
        e.add(WheelOrder[static_cast<std::size_t>(position)]);
        const double logE = e.logE();
        if (run.hint < 0 && logE >= std::log(HintLevel)) {
            run.hint = s;
            run.lead = e.lead();
        }
        if (logE >= std::log(EstablishedLevel)) {
            run.established = s;
            break;
        }
    }
    return run;
}

// Wilson's score interval for a share of `k` in `n`, at 95 %.
std::pair<double, double> wilson(int k, int n)
{
    constexpr double z = 1.96;
    const double p = static_cast<double>(k) / n, z2n = z * z / n;
    const double centre = (p + z2n / 2) / (1 + z2n);
    const double half = z * std::sqrt(p * (1 - p) / n + z2n / (4.0 * n)) / (1 + z2n);
    return {centre - half, centre + half};
}

int fair(int sessions, std::int64_t spins, int first)
{
    int hints = 0, established = 0;
    for (int i = first; i < first + sessions; ++i) {
        const Run run = play([](int, std::mt19937_64 &r) { return uniform(r); }, spins,
                             0xfa12'0000ULL + static_cast<std::uint64_t>(i));
        hints += run.hint >= 0;
        established += run.established >= 0;
    }
    const auto [low, high] = wilson(hints, sessions);
    std::printf("fair wheel, %d sessions of %lld spins (from %d): ever « Indice » %d (%.2f %%, "
                "95 %% CI %.2f–%.2f %%), ever « Déséquilibre établi » %d\n",
                sessions, static_cast<long long>(spins), first, hints, 100.0 * hints / sessions,
                100 * low, 100 * high, established);
    return 0;
}

int sharedPockets(const Lead &lead, int start, int width)
{
    int shared = 0;
    for (int i = 0; i < lead.width; ++i)
        shared += (lead.start + i - start + 37) % 37 < width;
    return shared;
}

// A share x drawn from the bias, the rest uniform: x + (1 − x)·w/37 = (1 + excess)·w/37.
std::function<Draw(int start)> hotArc(int width, double excess)
{
    const double x = excess * width / 37.0 / (1 - width / 37.0);
    return [x, width](int start) -> Draw {
        return [x, width, start](int, std::mt19937_64 &r) {
            return chance(x, r) ? (start + uniform(r) % width) % 37 : uniform(r);
        };
    };
}

// The median of spins until « Indice » with its 95 % interval: the order statistics
// n/2 ± 1.96·√n/2.
void report(const char *name, std::vector<std::int64_t> found, std::int64_t limit)
{
    std::sort(found.begin(), found.end());
    const double n = static_cast<double>(found.size()), half = 1.96 * std::sqrt(n) / 2;
    const auto rank = [&](double r) {
        return static_cast<long long>(found[static_cast<std::size_t>(std::clamp(r, 0.0, n - 1))]);
    };
    const auto detected =
        std::count_if(found.begin(), found.end(), [&](std::int64_t s) { return s <= limit; });
    std::printf("%s: median %lld spins until « Indice » (95 %% CI %lld–%lld; quartiles %lld, "
                "%lld; %zu seeds, %lld found within %lld)",
                name, rank(n / 2), rank(n / 2 - half), rank(n / 2 + half), rank(n / 4),
                rank(3 * n / 4), found.size(), static_cast<long long>(detected),
                static_cast<long long>(limit));
}

void planted(const char *name, int seeds, int first, std::int64_t limit, int width,
             const std::function<Draw(int start)> &bias)
{
    std::vector<std::int64_t> found;
    int named = 0;
    for (int i = first; i < first + seeds; ++i) {
        const int start = i % 37;
        const Run run = play(bias(start), limit, 0xb1a5'0000ULL + static_cast<std::uint64_t>(i));
        found.push_back(run.hint < 0 ? limit + 1 : run.hint);
        const bool arc =
            run.lead.pattern == Pattern::PocketArc || run.lead.pattern == Pattern::Pockets;
        named +=
            run.hint >= 0 && arc && sharedPockets(run.lead, start, width) >= std::min(3, width);
    }
    report(name, found, limit);
    const auto detected =
        std::count_if(found.begin(), found.end(), [&](std::int64_t s) { return s <= limit; });
    if (width > 0)
        std::printf("; where names the planted pockets (≥ %d shared) in %d of %lld (%.0f %%)",
                    std::min(3, width), named, static_cast<long long>(detected),
                    100.0 * named / static_cast<double>(std::max<std::int64_t>(detected, 1)));
    std::printf("\n");
    std::fflush(stdout);
}

int plantedBiases(int seeds, const char *only, int first)
{
    const auto wanted = [only](const char *name) {
        return !only || std::strcmp(only, "all") == 0 || std::strcmp(only, name) == 0;
    };
    // On a share of spins the dealer puts the ball 10 pockets after the last, give or take
    // `spread` pockets, each as likely.
    const auto dealer = [](double share, int spread) {
        return [share, spread](int) {
            return [share, spread](int last, std::mt19937_64 &r) {
                const int offset = std::uniform_int_distribution<int>(-spread, spread)(r);
                return chance(share, r) ? (last + 10 + offset + 37) % 37 : uniform(r);
            };
        };
    };
    if (wanted("dealer"))
        planted("dealer: 10 pockets after the last on 30 % of spins", seeds, first, 2000, 0,
                dealer(0.3, 0));
    if (wanted("spread30"))
        planted("dealer: 10 ± 2 pockets after the last on 30 % of spins", seeds, first, 5000, 0,
                dealer(0.3, 2));
    if (wanted("spread10"))
        planted("dealer: 10 ± 2 pockets after the last on 10 % of spins", seeds, first, 10000, 0,
                dealer(0.1, 2));
    if (wanted("arc"))
        planted("5-pocket arc 20 % more often", seeds, first, 60000, 5, hotArc(5, 0.2));
    if (wanted("pocket"))
        planted("one pocket 30 % more often", seeds, first, 100000, 1, hotArc(1, 0.3));
    return 0;
}

// Where the headline points, as a pin: the arc, pocket or distances it names, hot or cold.
Suspect suspectOf(const Lead &lead)
{
    const bool distances = lead.pattern != Pattern::Pockets && lead.pattern != Pattern::PocketArc;
    if (lead.pattern == Pattern::MirroredDistances) // d only; −d is another suspect
        return {true, lead.start, 1, AllSpins, lead.excess >= 0};
    return {distances, lead.start, lead.width, lead.parity, lead.excess >= 0};
}

// The headline followed until « Indice »; the place it names is pinned there, and the spins
// after it are counted until the pin's own « Indice ».
void pinnedAfterNamed(const char *name, int seeds, int first, std::int64_t limit,
                      const std::function<Draw(int start)> &bias)
{
    std::vector<std::int64_t> found;
    for (int i = first; i < first + seeds; ++i) {
        const Draw draw = bias(i % 37);
        std::mt19937_64 random(0xb1a5'0000ULL + static_cast<std::uint64_t>(i));
        Evidence e;
        std::vector<int> before;
        int position = uniform(random);
        while (before.size() < 100'000 && e.logE() < std::log(HintLevel)) {
            position = draw(position, random);
            before.push_back(WheelOrder[static_cast<std::size_t>(position)]);
            e.add(before.back());
        }
        Pin pin(suspectOf(e.lead()), static_cast<std::int64_t>(before.size()));
        for (int number : before)
            pin.add(number);
        std::int64_t after = 0;
        while (after < limit && pin.logE() < std::log(HintLevel)) {
            position = draw(position, random);
            pin.add(WheelOrder[static_cast<std::size_t>(position)]);
            ++after;
        }
        found.push_back(pin.logE() >= std::log(HintLevel) ? after : limit + 1);
    }
    report(name, found, limit);
    std::printf("\n");
    std::fflush(stdout);
}

int pinned(int seeds, const char *only, int first)
{
    const auto wanted = [only](const char *name) {
        return !only || std::strcmp(only, "all") == 0 || std::strcmp(only, name) == 0;
    };
    if (wanted("arc"))
        pinnedAfterNamed("pin of the place named, 5-pocket arc 20 % more often", seeds, first,
                         20000, hotArc(5, 0.2));
    if (wanted("pocket"))
        pinnedAfterNamed("pin of the place named, one pocket 30 % more often", seeds, first, 50000,
                         hotArc(1, 0.3));
    return 0;
}

// A fair session pinned at `pinAt` spins on the place the headline names then, whatever its
// level; the pin read after every later spin.
int pinFair(int sessions, std::int64_t spins, std::int64_t pinAt)
{
    std::vector<std::int64_t> firstHints; // spin of each session's first « Indice »
    for (int i = 0; i < sessions; ++i) {
        std::mt19937_64 random(0x919f'0000ULL + static_cast<std::uint64_t>(i));
        Evidence e;
        std::vector<int> before;
        for (std::int64_t s = 0; s < pinAt; ++s) {
            before.push_back(uniform(random));
            e.add(before.back());
        }
        Pin pin(suspectOf(e.lead()), pinAt);
        for (int number : before)
            pin.add(number);
        for (std::int64_t s = pinAt + 1; s <= spins; ++s) {
            pin.add(uniform(random));
            if (pin.logE() >= std::log(HintLevel)) {
                firstHints.push_back(s);
                break;
            }
        }
    }
    for (std::int64_t upTo = 10'000; upTo <= spins; upTo *= 10) {
        const auto hints = static_cast<int>(std::count_if(
            firstHints.begin(), firstHints.end(), [upTo](std::int64_t s) { return s <= upTo; }));
        const auto [low, high] = wilson(hints, sessions);
        std::printf("fair wheel, pin of the place named at spin %lld, %d sessions: ever "
                    "« Indice » by spin %lld in %d (%.2f %%, 95 %% CI %.2f–%.2f %%)\n",
                    static_cast<long long>(pinAt), sessions, static_cast<long long>(upTo), hints,
                    100.0 * hints / sessions, 100 * low, 100 * high);
    }
    return 0;
}

// A 5-pocket arc 20 % more often, pinned from the first spin: the sessions where the true
// excess stays inside the pin's interval at every spin; the same on a fair wheel.
int coverage(int sessions, std::int64_t spins)
{
    for (const double excess : {0.2, 0.0}) {
        const Draw draw = hotArc(5, excess)(0);
        int covered = 0;
        for (int i = 0; i < sessions; ++i) {
            std::mt19937_64 random(0xc0fe'0000ULL + static_cast<std::uint64_t>(i));
            Pin pin({false, 0, 5, AllSpins, true}, 0);
            bool always = true;
            for (std::int64_t s = 0; s < spins && always; ++s) {
                pin.add(WheelOrder[static_cast<std::size_t>(draw(0, random))]);
                const PinReading r = pin.read();
                always = r.excessLow <= excess && excess <= r.excessHigh;
            }
            covered += always;
        }
        const auto [low, high] = wilson(covered, sessions);
        std::printf("confidence sequence, 5-pocket arc %+.0f %%, %d sessions of %lld spins: "
                    "covered at every spin in %d (%.2f %%, 95 %% CI %.2f–%.2f %%)\n",
                    100 * excess, sessions, static_cast<long long>(spins), covered,
                    100.0 * covered / sessions, 100 * low, 100 * high);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "fair") == 0)
        return fair(std::atoi(argv[2]), std::atoll(argv[3]), argc >= 5 ? std::atoi(argv[4]) : 0);
    if (argc >= 3 && std::strcmp(argv[1], "pinned") == 0)
        return pinned(std::atoi(argv[2]), argc >= 4 ? argv[3] : nullptr,
                      argc >= 5 ? std::atoi(argv[4]) : 0);
    if (argc >= 4 && std::strcmp(argv[1], "pinfair") == 0)
        return pinFair(std::atoi(argv[2]), std::atoll(argv[3]),
                       argc >= 5 ? std::atoll(argv[4]) : 1000);
    if (argc >= 4 && std::strcmp(argv[1], "coverage") == 0)
        return coverage(std::atoi(argv[2]), std::atoll(argv[3]));
    if (argc >= 3 && std::strcmp(argv[1], "planted") == 0)
        return plantedBiases(std::atoi(argv[2]), argc >= 4 ? argv[3] : nullptr,
                             argc >= 5 ? std::atoi(argv[4]) : 0);
    std::fprintf(stderr,
                 "usage: %s fair SESSIONS SPINS [FIRST] | planted SEEDS "
                 "[all|dealer|spread30|spread10|arc|pocket [FIRST]] | pinned SEEDS "
                 "[all|arc|pocket [FIRST]] | pinfair "
                 "SESSIONS SPINS [PIN_AT] | coverage SESSIONS SPINS\n",
                 argv[0]);
    return 2;
}
