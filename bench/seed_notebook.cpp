// The notebook of the README's picture, written through the store as the program writes it:
// two wheels of one casino, the first with four evenings of 2,500 spins whose hot arc moved
// after the second. Not a benchmark: scripts/screenshot-notebook.sh runs it.
//   build/bench/seed_notebook carnet-des-roues.sqlite
#include <cstdio>
#include <random>
#include <vector>

#include "sources/wheel.h"
#include "store/notebook.h"

using namespace roulette;

namespace
{

struct Evening {
    const char *startedAt;
    Origin origin;
    const char *label;
    std::size_t hotFrom; // the first of five neighbouring pockets that come out twice as often
};

// 42 equal chances: the 37 pockets, and the five of the hot arc once more.
std::vector<std::uint8_t> spinsOf(const Evening &evening, std::mt19937 &random)
{
    std::vector<std::uint8_t> spins(2500);
    for (std::uint8_t &spin : spins) {
        const std::size_t pick = random() % 42;
        const std::size_t pocket = pick < 37 ? pick : (evening.hotFrom + pick - 37) % 37;
        spin = static_cast<std::uint8_t>(WheelOrder[pocket]);
    }
    return spins;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage : %s carnet.sqlite\n", argv[0]);
        return 2;
    }
    Notebook notebook(argv[1]);
    const std::int64_t wheel = notebook.createWheel("Table 3", "Casino de Divonne");
    notebook.createWheel("Table 5", "Casino de Divonne");
    const Evening evenings[] = {{"2026-02-20T20:10", Origin::Hand, "vendredi", 2},
                                {"2026-02-27T20:30", Origin::Hand, "", 2},
                                {"2026-03-12T20:15", Origin::Hand, "après révision", 17},
                                {"2026-03-19T21:00", Origin::Generator, "", 17}};
    std::mt19937 random(7);
    for (const Evening &evening : evenings)
        notebook.appendSpins(
            notebook.createSession(wheel, evening.startedAt, evening.origin, evening.label),
            spinsOf(evening, random));
    return 0;
}
