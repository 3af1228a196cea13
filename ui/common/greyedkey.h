#pragma once

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

/// The reason a greyed action of `window` gives when its shortcut is pressed, or nothing: a
/// disabled action's key reaches the window as a plain key, and the window says why instead.
inline QString greyedReason(const QWidget &window, const QKeyEvent &event)
{
    const QKeySequence keys(event.keyCombination());
    for (const QAction *action : window.actions()) {
        if (!action->isEnabled() && action->shortcuts().contains(keys))
            return action->statusTip();
    }
    return {};
}
