#pragma once

#include <QWidget>

#include "sources/wheel.h"

/// The wheel window: never seen, it holds the wheel table the random sources draw from.
class ForRoulette : public QWidget
{
    Q_OBJECT
public:
    explicit ForRoulette(const roulette::WheelTable &table);

    const roulette::WheelTable &wheelTable() const { return m_table; }

private:
    const roulette::WheelTable &m_table;
};
