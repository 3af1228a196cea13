#include "ui/common/slicedwrite.h"

#include <QSaveFile>

#include <algorithm>

#include "ui/common/batchprogress.h"

namespace
{

// The reasons a user can act on; Qt's own texts are the system's, often English.
QString reasonOf(const QSaveFile &file)
{
    switch (file.error()) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return QStringLiteral("le dossier n'existe pas ou n'accepte pas de nouveau fichier");
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return QStringLiteral("l'écriture a échoué (disque plein ?)");
    default:
        return QStringLiteral("le fichier n'a pas pu remplacer l'ancien");
    }
}

} // namespace

WriteResult
writeInSlices(QWidget *parent, const QString &path, const std::string &head, std::int64_t total,
              const std::function<void(std::int64_t, std::int64_t, std::string &)> &produce)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, reasonOf(file)};
    BatchProgress progress(parent, QStringLiteral("Écriture de %1…").arg(path));
    const auto put = [&file](const std::string &bytes) {
        return file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
    };
    bool ok = put(head);
    std::string out;
    for (std::int64_t done = 0; ok && done < total;) {
        const std::int64_t last = std::min(total, done + progress.slice());
        out.clear();
        produce(done + 1, last, out);
        ok = put(out);
        done = last;
        progress.advance(done, total);
        if (progress.wasCanceled()) {
            file.cancelWriting();
            file.commit();
            return {};
        }
    }
    progress.close();
    // A failed write makes the commit fail too, and the old file stays.
    if (!file.commit())
        return {false, reasonOf(file)};
    return {true, {}};
}
