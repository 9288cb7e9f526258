// A meter whose device goes away and comes back at the same path, as a USB
// adapter pulled and plugged in again: zt6100-sim is stopped and started
// again at a stable symlink path while zt6100ctl polls through it.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>

#include "support/child_process.h"
#include "tool_process.h"

namespace zt::cli::test {
namespace {

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(Zt6100ctlReplug, ALostDeviceIsToldOnceAndPollingResumesWhenItIsBack) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString stablePath = dir.filePath("meter");
  auto sim = std::make_unique<SimProcess>(QStringList{"--link", stablePath});
  ASSERT_EQ(sim->Device(), stablePath);

  zt::test::ChildProcess poll;
  ASSERT_TRUE(poll.Start(ZT6100CTL_PATH, {"--device", stablePath.toStdString(), "--fast", "poll",
                                          "--period", "200"}))
      << poll.Error();
  ASSERT_TRUE(poll.WaitForOutputLine("successes 2")) << poll.Output();

  sim.reset();
  ASSERT_TRUE(poll.WaitForErrorLine("lost the device")) << poll.Errors();
  ASSERT_TRUE(poll.WaitForOutputLine("live failed")) << poll.Output();

  sim = std::make_unique<SimProcess>(QStringList{"--link", stablePath});
  ASSERT_EQ(sim->Device(), stablePath);
  ASSERT_TRUE(poll.WaitForErrorLine("reopened the device")) << poll.Errors();
  ASSERT_TRUE(poll.WaitForOutputLine("live 1")) << poll.Output();

  poll.Signal(SIGINT);
  EXPECT_EQ(poll.Finish(), 0);
  EXPECT_EQ(Count(poll.Errors(), "lost the device"), 1U) << poll.Errors();
  EXPECT_EQ(Count(poll.Errors(), "reopened the device"), 1U) << poll.Errors();
}

}  // namespace
}  // namespace zt::cli::test
