#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

#include "sources/drawfile.h"

class BackgroundWork;
class QWidget;

/// A draw file read in the background (BackgroundWork), so that the window stays responsive,
/// with the usual progress dialog past half a second. Destroying the reading stops it.
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
    std::shared_ptr<roulette::DrawFileLoad> m_load; // the worker's until it is done
    QPointer<BackgroundWork> m_work;
};
