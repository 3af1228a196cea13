#include "ui/common/batchprogress.h"

#include <QCoreApplication>
#include <QLabel>

#include <limits>

namespace
{

constexpr qint64 ShowAfterMs = 500;
constexpr qint64 SliceMs = 16;

} // namespace

void setUpProgressDialog(QProgressDialog &dialog, const QString &label)
{
    auto *text = new QLabel(label);
    text->setTextFormat(Qt::PlainText);
    dialog.setLabel(text);
    dialog.setCancelButtonText(QStringLiteral("Annuler"));
    // What is in progress, then the program, as a window list shows it.
    QString task = label;
    if (task.endsWith(u'…'))
        task.chop(1);
    dialog.setWindowTitle(task + QStringLiteral(" — ") +
                          dialog.parentWidget()->window()->windowTitle());
    dialog.setRange(0, ProgressSteps);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
}

BatchProgress::BatchProgress(QWidget *parent, const QString &label) : m_dialog(parent)
{
    setUpProgressDialog(m_dialog, label);
    // Shown by advance() once the task has taken long enough, not by the dialog's own timer.
    m_dialog.setMinimumDuration(std::numeric_limits<int>::max());
    m_sinceStart.start();
    m_sinceReport.start();
}

void BatchProgress::advance(std::int64_t done, std::int64_t total)
{
    const qint64 ms = m_sinceReport.restart();
    if (ms < SliceMs / 2 && m_slice < (std::int64_t{1} << 24))
        m_slice *= 2;
    else if (ms > 2 * SliceMs && m_slice > 1)
        m_slice /= 2;
    if (!m_dialog.isVisible() && m_sinceStart.elapsed() >= ShowAfterMs) {
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.show();
    }
    m_dialog.setValue(total > 0 ? static_cast<int>(done * ProgressSteps / total) : ProgressSteps);
    // Once shown, the dialog is modal and keeps the user's input off the window.
    QCoreApplication::processEvents(m_dialog.isVisible() ? QEventLoop::AllEvents
                                                         : QEventLoop::ExcludeUserInputEvents);
}
