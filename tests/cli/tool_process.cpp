#include "tool_process.h"

#include <QDeadlineTimer>

namespace zt::cli::test {

ToolRun RunCtl(const QStringList& arguments, const QString& workingDirectory) {
  QProcess process;
  if (!workingDirectory.isEmpty()) {
    process.setWorkingDirectory(workingDirectory);
  }
  process.start(QStringLiteral(ZT6100CTL_PATH), arguments);
  ToolRun run;
  run.finished = process.waitForFinished(kGuardMs) && process.exitStatus() == QProcess::NormalExit;
  run.exitCode = process.exitCode();
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

SimProcess::SimProcess(const QStringList& arguments) {
  process_.start(QStringLiteral(ZT6100_SIM_PATH), arguments);
  if (!process_.waitForStarted(kGuardMs)) {
    return;
  }
  const QDeadlineTimer guard(kGuardMs);
  while (!process_.canReadLine()) {
    if (guard.hasExpired() || !process_.waitForReadyRead(static_cast<int>(guard.remainingTime()))) {
      return;
    }
  }
  device_ = QString::fromUtf8(process_.readLine()).trimmed();
}

QString SimProcess::StopAndTakeErrors() {
  process_.terminate();
  process_.waitForFinished(kGuardMs);
  return QString::fromUtf8(process_.readAllStandardError());
}

SimProcess::~SimProcess() {
  if (process_.state() != QProcess::NotRunning) {
    process_.terminate();
    if (!process_.waitForFinished(kGuardMs)) {
      process_.kill();
      process_.waitForFinished(kGuardMs);
    }
  }
}

}  // namespace zt::cli::test
