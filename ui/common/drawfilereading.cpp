#include "ui/common/drawfilereading.h"

#include <QFileInfo>
#include <QProgressDialog>

#include <filesystem>

#include "ui/common/batchprogress.h"
#include "ui/common/plaintext.h"

namespace
{

constexpr int PollMilliseconds = 30;
constexpr int ShowAfterMilliseconds = 500;

} // namespace

DrawFileReading::DrawFileReading(const QString &path, QWidget *window, Done done)
    : QObject(window), m_done(std::move(done)), m_dialog(new QProgressDialog(window))
{
    setUpProgressDialog(*m_dialog, QStringLiteral("Lecture du fichier « %1 »…")
                                       .arg(printableText(QFileInfo(path).fileName())));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(ShowAfterMilliseconds);
    m_dialog->setValue(0); // the half second starts now
    connect(m_dialog, &QProgressDialog::canceled, this, [this] { m_worker.request_stop(); });
    connect(m_dialog, &QDialog::rejected, this, [this] { m_worker.request_stop(); });

    connect(&m_poll, &QTimer::timeout, this, &DrawFileReading::poll);
    m_poll.start(PollMilliseconds);
    m_worker = std::jthread([this, file = std::filesystem::path(path.toStdU16String())](
                                const std::stop_token &stop) {
        m_load = roulette::readDrawFile(file, [this, &stop](double fraction) {
            m_permille.store(static_cast<int>(fraction * ProgressSteps), std::memory_order_relaxed);
            return !stop.stop_requested();
        });
        m_finished.store(true, std::memory_order_release);
    });
}

DrawFileReading::~DrawFileReading()
{
    delete m_dialog;
}

// A timer rather than a queued call from the worker: the modal dialog's setValue() runs the
// event loop, where a queued call could delete the dialog under it; a timer's slot is never
// re-entered from there.
void DrawFileReading::poll()
{
    if (!m_finished.load(std::memory_order_acquire)) {
        if (m_dialog)
            m_dialog->setValue(m_permille.load(std::memory_order_relaxed));
        return;
    }
    m_poll.stop();
    m_worker.join();
    delete m_dialog;
    const bool stopped = m_worker.get_stop_token().stop_requested();
    m_done(stopped ? std::nullopt : std::optional(std::move(m_load)));
}
