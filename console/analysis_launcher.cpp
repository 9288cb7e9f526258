#include "console/analysis_launcher.h"

#include <QDir>
#include <QProcess>

namespace zt {

LaunchResult StartAnalysisProgram() {
  QProcess process;
  process.setProgram(QString::fromUtf8(kAnalysisProgram));
  process.setWorkingDirectory(QDir::currentPath());
  if (process.startDetached()) {
    return {true, {}};
  }
  return {false, process.errorString()};
}

}  // namespace zt
