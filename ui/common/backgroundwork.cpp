#include "ui/common/backgroundwork.h"

#include <QProgressDialog>

#include "ui/common/batchprogress.h"

namespace
{

constexpr int PollMilliseconds = 30;
constexpr int ShowAfterMilliseconds = 500;

} // namespace

BackgroundWork::BackgroundWork(QWidget *window, const QString &label, Work work, Done done)
    : QObject(window), m_done(std::move(done)), m_dialog(new QProgressDialog(window))
{
    setUpProgressDialog(*m_dialog, label);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(ShowAfterMilliseconds);
    m_dialog->setValue(0); // the half second starts now
    connect(m_dialog, &QProgressDialog::canceled, this, [this] { m_worker.request_stop(); });
    connect(m_dialog, &QDialog::rejected, this, [this] { m_worker.request_stop(); });
    start(std::move(work));
}

BackgroundWork::BackgroundWork(QObject *owner, Work work, Done done)
    : QObject(owner), m_done(std::move(done))
{
    start(std::move(work));
}

void BackgroundWork::start(Work work)
{
    connect(&m_poll, &QTimer::timeout, this, &BackgroundWork::poll);
    m_poll.start(PollMilliseconds);
    m_worker = std::jthread([this, work = std::move(work)](const std::stop_token &stop) {
        work([this, &stop](double fraction) {
            m_permille.store(static_cast<int>(fraction * ProgressSteps), std::memory_order_relaxed);
            return !stop.stop_requested();
        });
        m_finished.store(true, std::memory_order_release);
    });
}

BackgroundWork::~BackgroundWork()
{
    m_worker = {}; // stops and joins before the dialog goes
    delete m_dialog;
}

// A timer rather than a queued call from the worker: the modal dialog's setValue() runs the
// event loop, where a queued call could delete the dialog under it.
void BackgroundWork::poll()
{
    if (!m_finished.load(std::memory_order_acquire)) {
        if (m_dialog)
            m_dialog->setValue(m_permille.load(std::memory_order_relaxed));
        return;
    }
    m_poll.stop();
    m_worker.join();
    delete m_dialog;
    m_done(!m_worker.get_stop_token().stop_requested());
}
