#pragma once

#include <QPointer>
#include <QWidget>

/// A frame drawn around whichever widget of the board has the keyboard focus, over the board
/// and let through by the mouse: the board's labels and dark boxes draw no focus of their own.
class FocusMark : public QWidget
{
    Q_OBJECT
public:
    /// board: the area every widget of the board lies in.
    explicit FocusMark(QWidget *board);

    /// Moves round the focused widget again, after the board changed size.
    void follow();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void focusChanged(QWidget *now);

    QPointer<QWidget> m_target;
};
