#pragma once

#include <QFont>

class QWidget;

/// font, a pixel smaller at a time, until text takes no more than room pixels of width; at
/// the smallest still legible size it stops there.
QFont fittingFont(QFont font, const QString &text, int room);

/// The width a label or a line edit gives its text, inside its frame and margins.
int textRoom(const QWidget *box);
