#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

/// How a file write ended.
struct WriteResult {
    bool written = false;
    QString error; ///< French, why the file could not be written; empty when cancelled
};

/// Writes a file of `total` parts, a slice of parts at a time, through a temporary file that
/// replaces the file only once complete: a failure or a cancelled write leaves whatever was
/// there untouched. head goes first; produce(first, last, out) appends parts first..last
/// (1-based) to out. Past half a second a progress dialog offers « Annuler ».
WriteResult
writeInSlices(QWidget *parent, const QString &path, const std::string &head, std::int64_t total,
              const std::function<void(std::int64_t, std::int64_t, std::string &)> &produce);
