#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>

#include <cstdint>

/// The steps a progress dialog counts, whatever the size of its task.
inline constexpr int ProgressSteps = 1000;

/// Sets a progress dialog up as every long task of the program shows one: its label as plain
/// text (it may hold a file name), a title that says what is in progress and in which
/// window, « Annuler », ProgressSteps steps, and no closing or resetting of its own once the
/// steps are done.
void setUpProgressDialog(QProgressDialog &dialog, const QString &label);

/// Progress of a long task done on the window's thread in slices: the task asks how much
/// to do next, does it, then reports. Past half a second a window-modal dialog shows how
/// far the task is and offers « Annuler »; before that, the window takes no input. Timers
/// still fire between slices: what they would change under the task must wait for its end.
class BatchProgress
{
public:
    explicit BatchProgress(QWidget *parent,
                           const QString &label = QStringLiteral("Tirages en cours…"));

    /// Units to do before the next report: about a sixtieth of a second's worth.
    std::int64_t slice() const { return m_slice; }
    /// done of total units are done; lets the window breathe.
    void advance(std::int64_t done, std::int64_t total);
    bool wasCanceled() const { return m_dialog.wasCanceled(); }
    void close() { m_dialog.close(); }

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_sinceReport;
    std::int64_t m_slice = 256;
};
