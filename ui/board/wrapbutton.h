#pragma once

#include <QPushButton>

/// A push button whose caption wraps onto a second line when it is wider than the button.
class WrapButton : public QPushButton
{
public:
    WrapButton(const QString &text, QWidget *parent) : QPushButton(text, parent) {}

protected:
    void paintEvent(QPaintEvent *event) override;
};
