#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include "sources/drawfile.h"

class QProgressDialog;
class QWidget;

/// A draw file read on a worker thread, so that the window stays responsive. A progress
/// dialog with « Annuler » shows once the reading has lasted about half a second. Destroying
/// the reading stops it and waits for the worker.
class DrawFileReading : public QObject
{
    Q_OBJECT
public:
    /// Once the worker is done, done receives on the window's thread the file read, or
    /// nothing when the user stopped it. The reading may be deleted later from done, not
    /// in it.
    using Done = std::function<void(std::optional<roulette::DrawFileLoad>)>;

    DrawFileReading(const QString &path, QWidget *window, Done done);
    ~DrawFileReading() override;

private:
    void poll();

    Done m_done;
    QPointer<QProgressDialog> m_dialog; // a child of the window, which may delete it first
    QTimer m_poll;
    std::atomic<int> m_permille = 0;
    std::atomic<bool> m_finished = false;
    roulette::DrawFileLoad m_load; // the worker's until m_finished
    std::jthread m_worker;         // last: stopped and joined before what it writes goes
};
