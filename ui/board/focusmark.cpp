#include "ui/board/focusmark.h"

#include <QApplication>
#include <QPainter>

namespace
{

constexpr int Margin = 3; // drawn outside the widget, so that its own text stays clear

} // namespace

FocusMark::FocusMark(QWidget *board) : QWidget(board)
{
    setObjectName(QStringLiteral("focusMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { focusChanged(now); });
}

void FocusMark::focusChanged(QWidget *now)
{
    m_target = now && parentWidget()->isAncestorOf(now) ? now : nullptr;
    follow();
}

void FocusMark::follow()
{
    if (!m_target || !m_target->isVisible()) {
        hide();
        return;
    }
    const QRect around(m_target->mapTo(parentWidget(), QPoint(0, 0)), m_target->size());
    setGeometry(around.marginsAdded(QMargins(Margin, Margin, Margin, Margin)));
    raise();
    show();
    update();
}

// Black under white dashes: seen on the dark red board as on the white counts.
void FocusMark::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(1, 1, -2, -2);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawRect(frame);
    painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
    painter.drawRect(frame);
}
