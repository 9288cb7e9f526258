#include "console/analysis_launcher.h"

#include <QDir>
#include <QProcess>

namespace zt {

std::optional<QString> StartAnalysisProgram() {
  QProcess process;
  process.setProgram(QString::fromUtf8(kAnalysisProgram));
  process.setWorkingDirectory(QDir::currentPath());
  if (process.startDetached()) {
    return std::nullopt;
  }
  return process.errorString();
}

}  // namespace zt
