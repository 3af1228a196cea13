#include "ui/common/ownwindow.h"

#include <QAction>
#include <QScreen>
#include <QWidget>

namespace
{

// The frame and title bar the system adds around a window, about: it is known only once the
// window has been shown.
constexpr QSize FrameRoom(16, 48);

} // namespace

QRect placeWithin(const QRect &available, const QSize &size)
{
    const QSize room = (available.size() - size).expandedTo(QSize(0, 0));
    return QRect(available.topLeft() + QPoint(room.width() / 2, room.height() / 2),
                 size.boundedTo(available.size()));
}

void fitOnScreen(QWidget &window, const QSize &wanted)
{
    const QScreen *screen = window.screen();
    if (!screen) {
        window.resize(wanted);
        return;
    }
    const QRect framed = placeWithin(screen->availableGeometry(), wanted + FrameRoom);
    window.resize(framed.size() - FrameRoom);
    window.move(framed.topLeft()); // where the frame goes
}

QAction *windowAction(QWidget &window, const QString &text, const QList<QKeySequence> &keys)
{
    auto *action = new QAction(text, &window);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
    return action;
}

QAction *addCloseKeys(QWidget &window)
{
    QAction *close = windowAction(window, QStringLiteral("Fermer"),
                                  {Qt::Key_Escape, QKeySequence(Qt::CTRL | Qt::Key_W)});
    QObject::connect(close, &QAction::triggered, &window, &QWidget::close);
    return close;
}
