#include "tool_process.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zt::cli::test {

namespace {

// Bounds a whole run so that a broken program fails the test instead of
// hanging it; generous (a soak run takes tens of seconds) and never asserted on.
constexpr std::chrono::seconds kRunGuard{90};

std::vector<std::string> Arguments(const QStringList& arguments) {
  std::vector<std::string> strings;
  for (const QString& argument : arguments) {
    strings.push_back(argument.toStdString());
  }
  return strings;
}

ToolRun Run(const std::string& program, const std::vector<std::string>& arguments,
            const std::string& workingDirectory) {
  zt::test::ChildProcess process;
  ToolRun run;
  if (!process.Start(program, arguments, workingDirectory)) {
    run.err = QString::fromStdString(process.Error());
    return run;
  }
  const std::optional<int> exitCode = process.Finish(kRunGuard);
  run.finished = exitCode.has_value();
  run.exitCode = exitCode.value_or(-1);
  run.out = QString::fromStdString(process.Output());
  run.err = QString::fromStdString(process.Errors());
  return run;
}

}  // namespace

QJsonObject JsonLine(const QString& line) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
  return document.object();
}

ToolRun RunCtl(const QStringList& arguments, const QString& workingDirectory) {
  return Run(ZT6100CTL_PATH, Arguments(arguments), workingDirectory.toStdString());
}

ToolRun RunCtlWritingTo(const QString& file, const QStringList& arguments) {
  // The shell only redirects, then becomes zt6100ctl.
  std::vector<std::string> shell{"-c", "exec \"$0\" \"$@\" > \"$ZT_OUT\"", ZT6100CTL_PATH};
  const std::vector<std::string> rest = Arguments(arguments);
  shell.insert(shell.end(), rest.begin(), rest.end());
  qputenv("ZT_OUT", file.toLocal8Bit());
  ToolRun run = Run("/bin/sh", shell, {});
  qunsetenv("ZT_OUT");
  return run;
}

SimProcess::SimProcess(const QStringList& arguments) {
  if (!process_.Start(ZT6100_SIM_PATH, Arguments(arguments))) {
    return;
  }
  if (const std::optional<std::string> device = process_.ReadLine()) {
    device_ = QString::fromStdString(*device);
  }
}

QString SimProcess::StopAndTakeErrors() {
  process_.Stop();
  return QString::fromStdString(process_.Errors());
}

}  // namespace zt::cli::test
