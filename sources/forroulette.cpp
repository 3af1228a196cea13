#include "sources/forroulette.h"

ForRoulette::ForRoulette(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ForRoulette"));
}
