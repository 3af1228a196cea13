#include "board/form1.h"

Form1::Form1(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    m_board.Form_Load();
}
