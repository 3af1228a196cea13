#include "ui/board/forroulette.h"

#include "ui/board/formlayout.h"

ForRoulette::ForRoulette(const roulette::WheelTable &table) : m_table(table)
{
    using namespace roulette::layout;
    setObjectName(QStringLiteral("ForRoulette"));
    setWindowTitle(QStringLiteral("Simulation Roulette"));
    resize(pixels(WheelClientArea.width), pixels(WheelClientArea.height));
    // Shown and hidden again at start-up, it must not flash on the screen in between.
    setAttribute(Qt::WA_DontShowOnScreen);
}
