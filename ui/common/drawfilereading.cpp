#include "ui/common/drawfilereading.h"

#include <QFileInfo>
#include <QWidget>

#include <filesystem>

#include "ui/common/backgroundwork.h"
#include "ui/common/plaintext.h"

DrawFileReading::DrawFileReading(const QString &path, QWidget *window, Done done)
    : QObject(window), m_load(std::make_shared<roulette::DrawFileLoad>())
{
    const QString label =
        QStringLiteral("Lecture du fichier « %1 »…").arg(printableText(QFileInfo(path).fileName()));
    m_work = new BackgroundWork(
        window, label,
        [load = m_load, file = std::filesystem::path(path.toStdU16String())](
            const BackgroundWork::Progress &progress) {
            *load = roulette::readDrawFile(file, progress);
        },
        [load = m_load, done = std::move(done)](bool completed) {
            done(completed ? std::optional(std::move(*load)) : std::nullopt);
        });
}

DrawFileReading::~DrawFileReading()
{
    delete m_work.data(); // stops the worker and waits for it
}
