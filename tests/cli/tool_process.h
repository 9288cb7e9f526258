#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

#include "support/child_process.h"

namespace zt::cli::test {

struct ToolRun {
  bool finished = false;  // false if it crashed, did not start or outlived the guard
  int exitCode = -1;
  QString out;
  QString err;

  QStringList Lines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

// One JSON line of zt6100ctl's output as an object; a line that does not
// parse fails the test.
QJsonObject JsonLine(const QString& line);

// Runs zt6100ctl with `arguments` to its end.
ToolRun RunCtl(const QStringList& arguments, const QString& workingDirectory = {});
// The same with standard output going to `file` (/dev/full, say) instead.
ToolRun RunCtlWritingTo(const QString& file, const QStringList& arguments);

// zt6100-sim as a process of its own on a fresh pty, stopped with SIGTERM
// when the object goes.
class SimProcess {
 public:
  explicit SimProcess(const QStringList& arguments = {});

  // The pty the simulator printed, or nothing if it did not start.
  const std::optional<QString>& Device() const { return device_; }
  // Stops the simulator and returns what it wrote on standard error.
  QString StopAndTakeErrors();

 private:
  zt::test::ChildProcess process_;
  std::optional<QString> device_;
};

}  // namespace zt::cli::test
