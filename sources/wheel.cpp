#include "sources/wheel.h"

namespace roulette
{

WheelTable::WheelTable()
{
    for (int i = 0; i < Size; ++i)
        m_entries[i] = WheelOrder[i % 37];
}

std::int16_t NRoulette(const WheelTable &table, RandomDraw &draw)
{
    return table[draw.index(37)];
}

std::int16_t NRoulette2(const WheelTable &table, RandomDraw &draw)
{
    return table[draw.index(WheelTable::Size)];
}

} // namespace roulette
