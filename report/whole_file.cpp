#include "report/whole_file.h"

#include <QSaveFile>

namespace zt {

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& reason) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    reason = file.errorString();
    return false;
  }
  if (file.write(bytes) != bytes.size() || !file.flush()) {
    reason = file.errorString();
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    reason = file.errorString();
    return false;
  }
  return true;
}

}  // namespace zt
