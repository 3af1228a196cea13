#pragma once

#include <QWidget>

/// The hidden window that holds the wheel table.
class ForRoulette : public QWidget
{
    Q_OBJECT
public:
    explicit ForRoulette(QWidget *parent = nullptr);
};
