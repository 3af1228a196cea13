#pragma once

#include <QString>

/// The folder a file dialog starts in: the folder of the last file the user chose, to open
/// or to write, or the Documents folder (the home folder without one) the first time.
QString lastFolder();

/// Remembers the folder of the file at path for the next dialog, from one run to the next.
void rememberFolder(const QString &path);
