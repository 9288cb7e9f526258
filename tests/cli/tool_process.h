#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

namespace zt::cli::test {

// Every wait on a child is bounded by this guard so that a broken program
// fails the test instead of hanging it; it is generous and never asserted on.
inline constexpr int kGuardMs = 30000;

struct ToolRun {
  bool finished = false;  // false if it crashed or outlived the guard
  int exitCode = -1;
  QString out;
  QString err;

  QStringList Lines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

// Runs zt6100ctl with `arguments` to its end.
ToolRun RunCtl(const QStringList& arguments, const QString& workingDirectory = {});

// zt6100-sim as a process of its own on a fresh pty, stopped with SIGTERM
// when the object goes.
class SimProcess {
 public:
  explicit SimProcess(const QStringList& arguments = {});
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // The pty the simulator printed, or nothing if it did not start.
  const std::optional<QString>& Device() const { return device_; }
  // Stops the simulator and returns what it wrote on standard error.
  QString StopAndTakeErrors();

 private:
  QProcess process_;
  std::optional<QString> device_;
};

}  // namespace zt::cli::test
