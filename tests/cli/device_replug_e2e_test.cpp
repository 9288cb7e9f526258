// A meter whose device goes away and comes back at the same path, as a USB
// adapter pulled and plugged in again: zt6100-sim is stopped and started
// again at a stable symlink path while zt6100ctl polls through it.
#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>

#include "tool_process.h"

namespace zt::cli::test {
namespace {

// Reads the program's output until `done` holds for what came so far.
bool ReadUntil(QProcess& process, QString& out, QString& err,
               const std::function<bool()>& done) {
  const QDeadlineTimer guard(kGuardMs);
  while (!done()) {
    if (guard.hasExpired()) {
      return false;
    }
    process.waitForReadyRead(100);
    out += QString::fromUtf8(process.readAllStandardOutput());
    err += QString::fromUtf8(process.readAllStandardError());
  }
  return true;
}

TEST(Zt6100ctlReplug, ALostDeviceIsToldOnceAndPollingResumesWhenItIsBack) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString stablePath = dir.filePath("meter");
  auto sim = std::make_unique<SimProcess>(QStringList{"--link", stablePath});
  ASSERT_EQ(sim->Device(), stablePath);

  QProcess poll;
  poll.start(QStringLiteral(ZT6100CTL_PATH),
             {"--device", stablePath, "--fast", "poll", "--period", "200"});
  ASSERT_TRUE(poll.waitForStarted(kGuardMs));
  QString out;
  QString err;
  ASSERT_TRUE(ReadUntil(poll, out, err, [&] { return out.contains("successes 2"); }))
      << out.toStdString();

  sim.reset();
  ASSERT_TRUE(ReadUntil(poll, out, err, [&] { return err.contains("lost the device"); }))
      << err.toStdString();
  ASSERT_TRUE(ReadUntil(poll, out, err, [&] { return out.contains("live failed"); }));

  sim = std::make_unique<SimProcess>(QStringList{"--link", stablePath});
  ASSERT_EQ(sim->Device(), stablePath);
  ASSERT_TRUE(ReadUntil(poll, out, err, [&] { return err.contains("reopened the device"); }))
      << err.toStdString();
  const qsizetype back = out.size();
  ASSERT_TRUE(ReadUntil(poll, out, err, [&] { return out.indexOf("live 1", back) >= 0; }))
      << out.toStdString();

  ::kill(static_cast<pid_t>(poll.processId()), SIGINT);
  ASSERT_TRUE(poll.waitForFinished(kGuardMs));
  err += QString::fromUtf8(poll.readAllStandardError());
  EXPECT_EQ(err.count("lost the device"), 1) << err.toStdString();
  EXPECT_EQ(err.count("reopened the device"), 1) << err.toStdString();
  EXPECT_EQ(poll.exitCode(), 0);
}

}  // namespace
}  // namespace zt::cli::test
