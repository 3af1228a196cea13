#pragma once

#include <QWidget>

#include "board/board.h"

/// The main window.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

private:
    roulette::Board m_board;
};
