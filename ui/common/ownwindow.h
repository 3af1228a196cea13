#pragma once

#include <QKeySequence>
#include <QList>
#include <QRect>
#include <QString>

class QAction;
class QWidget;

/// Where a window of the given size opens: centred in the screen's available area, no larger
/// than that area, so that nothing starts cut off.
QRect placeWithin(const QRect &available, const QSize &size);

/// Gives a window of its own the size it asks for, or less when its screen's free area is
/// smaller (room kept for the frame the system draws around it), centred in that area.
void fitOnScreen(QWidget &window, const QSize &wanted);

/// A command of the window, its keys working wherever the focus is in it.
QAction *windowAction(QWidget &window, const QString &text, const QList<QKeySequence> &keys);

/// Escape and Ctrl+W close the window.
QAction *addCloseKeys(QWidget &window);
