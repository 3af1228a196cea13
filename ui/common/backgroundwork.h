#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <functional>
#include <thread>

class QProgressDialog;
class QWidget;

/// Work done on a worker thread, so that the window stays responsive. A window-modal progress
/// dialog with « Annuler » shows once the work has lasted about half a second. Destroying it
/// stops the work and waits for the worker.
class BackgroundWork : public QObject
{
    Q_OBJECT
public:
    /// Told the fraction done; returns false once the user stopped the work.
    using Progress = std::function<bool(double fraction)>;
    /// Runs on the worker: what it makes, it keeps where done can find it.
    using Work = std::function<void(const Progress &progress)>;
    /// On the window's thread once the worker is done: false when the user stopped it. The
    /// work may be deleted later from done, not in it.
    using Done = std::function<void(bool completed)>;

    BackgroundWork(QWidget *window, const QString &label, Work work, Done done);
    /// The same without a dialog, for work the user need not wait for.
    BackgroundWork(QObject *owner, Work work, Done done);
    ~BackgroundWork() override;

private:
    void start(Work work);
    void poll();

    Done m_done;
    QPointer<QProgressDialog> m_dialog; // a child of the window, which may delete it first
    QTimer m_poll;
    std::atomic<int> m_permille = 0;
    std::atomic<bool> m_finished = false;
    std::jthread m_worker; // last: stopped and joined before the rest goes
};
