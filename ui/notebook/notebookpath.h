#pragma once

#include <QString>

/// The notebook used unless the user opens another: carnet-des-roues.sqlite in the program's
/// data folder, which is made when missing.
QString defaultNotebookPath();

/// A notebook's fault as the user reads it: the program's title, the text as plain text.
void showNotebookFault(class QWidget *parent, const QString &text);

namespace roulette
{
class Notebook;
}

/// Copies the notebook into `target` (Notebook::backupTo). The copy under way is noted in the
/// settings until it ends, so that what a crash cuts short is removed at the next start.
void backUpNotebook(const roulette::Notebook &notebook, const QString &target);
/// Removes the partial copies of backups that a crash cut short.
void removeUnfinishedBackups();
