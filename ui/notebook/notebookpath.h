#pragma once

#include <QString>

/// The notebook used unless the user opens another: carnet-des-roues.sqlite in the program's
/// data folder, which is made when missing.
QString defaultNotebookPath();

/// A notebook's fault as the user reads it: the program's title, the text as plain text.
void showNotebookFault(class QWidget *parent, const QString &text);
