#include "sources/forroulette.h"

#include "board/formlayout.h"

ForRoulette::ForRoulette(const roulette::WheelTable &table) : m_table(table)
{
    using namespace roulette::layout;
    setObjectName(QStringLiteral("ForRoulette"));
    setWindowTitle(QStringLiteral("Simulation Roulette"));
    resize(pixels(WheelClientArea.width), pixels(WheelClientArea.height));
}
