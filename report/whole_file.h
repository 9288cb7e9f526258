#pragma once

#include <QByteArray>
#include <QString>

namespace zt {

// Writes `bytes` to `path` whole or not at all: on any failure an earlier
// file at `path` is left as it was and `reason` says why. QSaveFile alone is
// not enough: its commit() links in the new file even when its buffered
// bytes could not be written (a full disk), so they are flushed and checked
// first.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& reason);

}  // namespace zt
