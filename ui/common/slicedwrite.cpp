#include "ui/common/slicedwrite.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h> // fsync
#endif

#include "ui/common/batchprogress.h"
#include "ui/common/plaintext.h"

namespace
{

// A QSaveFile whose every step is checked, and which keeps the system's reason for the first
// step that failed. Qt 6.4's commit() renames the temporary file over the target even after
// a short write or a failed flush, so nothing may reach commit() once a step has failed.
class CheckedSaveFile
{
public:
    explicit CheckedSaveFile(const QString &path) : m_file(path) {}

    bool open()
    {
        if (QFileInfo(m_file.fileName()).isDir()) {
            m_error = EISDIR;
            return false;
        }
        return step([this] { return m_file.open(QIODevice::WriteOnly); });
    }
    bool write(const std::string &bytes)
    {
        const auto size = static_cast<qint64>(bytes.size());
        return step([&] { return m_file.write(bytes.data(), size) == size; });
    }
    /// The temporary file replaces the target only once every byte is on the disk: a full
    /// disk may show only as the last bytes leave Qt's buffer, or the system's.
    bool commit()
    {
        if (!step([this] { return m_file.flush() && synced(); })) {
            cancel();
            return false;
        }
        return step([this] { return m_file.commit(); });
    }
    void cancel()
    {
        m_file.cancelWriting();
        m_file.commit(); // removes the temporary file
    }
    QString reason() const;

private:
    template <typename Step> bool step(const Step &run)
    {
        errno = 0;
        if (run())
            return true;
        m_error = errno;
        m_qtReason = m_file.errorString();
        return false;
    }
    bool synced()
    {
#ifdef Q_OS_UNIX
        // A file system that cannot sync this file says so with these; the others are faults.
        return ::fsync(m_file.handle()) == 0 || errno == EINVAL || errno == EROFS ||
               errno == ENOSYS;
#else
        return true; // commit() syncs, as far as the system lets it
#endif
    }

    QSaveFile m_file;
    int m_error = 0;
    QString m_qtReason;
};

// The reasons a user can act on in French, the system's own words only for the rare others.
QString CheckedSaveFile::reason() const
{
    switch (m_error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("vous n'avez pas le droit d'écrire à cet endroit");
    case EISDIR:
        return QStringLiteral("c'est un dossier et non un fichier");
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return QStringLiteral("le disque est plein");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("le dossier n'existe pas");
    case EROFS:
        return QStringLiteral("le disque est en lecture seule");
    case ENAMETOOLONG:
        return QStringLiteral("le nom du fichier est trop long");
    case EIO:
        return QStringLiteral("le support ne répond pas (retiré ou endommagé)");
    case 0:
        return QStringLiteral("erreur du système : %1").arg(printableText(m_qtReason));
    default:
        return QStringLiteral("erreur du système : %1")
            .arg(QString::fromLocal8Bit(std::generic_category().message(m_error)));
    }
}

using SliceProducer = std::function<void(std::int64_t, std::int64_t, std::string &)>;

enum class Slices { Written, Failed, Cancelled };

// The progress dialog lives as long as the slices are written, and no longer: it is gone
// before the file is committed or a failure is told.
Slices writeSlices(QWidget *parent, CheckedSaveFile &file, const QString &path,
                   const std::string &head, std::int64_t total, const SliceProducer &produce)
{
    BatchProgress progress(parent, QStringLiteral("Écriture de %1…").arg(printableText(path)));
    if (!file.write(head))
        return Slices::Failed;
    std::string out;
    for (std::int64_t done = 0; done < total;) {
        const std::int64_t last = std::min(total, done + progress.slice());
        out.clear();
        produce(done + 1, last, out);
        if (!file.write(out))
            return Slices::Failed;
        done = last;
        progress.advance(done, total);
        if (progress.wasCanceled())
            return Slices::Cancelled;
    }
    return Slices::Written;
}

} // namespace

WriteResult writeInSlices(QWidget *parent, const QString &path, const std::string &head,
                          std::int64_t total, const SliceProducer &produce)
{
    CheckedSaveFile file(path);
    if (!file.open())
        return {false, file.reason()};
    switch (writeSlices(parent, file, path, head, total, produce)) {
    case Slices::Cancelled:
        file.cancel();
        return {};
    case Slices::Failed:
        file.cancel();
        return {false, file.reason()};
    case Slices::Written:
        break;
    }
    if (!file.commit())
        return {false, file.reason()};
    return {true, {}};
}
