// The console with its exchanges on the link thread: the same frames at the
// same virtual times, one job at a time, a window that is never the one
// waiting, and a clean end.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "console/link_executor.h"
#include "support/console_fixture.h"
#include "support/forwarding_port.h"
#include "support/virtual_meter_line.h"
#include "res/console_template.h"

namespace {

namespace id = zt::res::console_id;
using Lines = std::vector<std::string>;
using Op = zt::sim::PortOperation;

class LinkWorkerTest : public testing::Test, protected zt::test::ConsoleFixture {
 protected:
  // The console with a worker thread of its own, on the fixture's port.
  void OpenThreaded() {
    auto worker = std::make_unique<zt::LinkWorker>(
        [this] {
          auto forwarding = std::make_unique<zt::test::ForwardingPort>(port);
          forwarding->afterWrite = [onWrite = onWrite](int) {
            if (onWrite) onWrite();
          };
          return forwarding;
        },
        clock, settings);
    console = std::make_unique<zt::CMeterConsoleDlg>(ui, std::move(worker), settings);
    console->OnInitDialog();
    WaitUntil([this] { return !console->Worker().Busy(); });
  }

  // Lets the window's thread take the worker's results until `done` holds.
  static void WaitUntil(const std::function<bool()>& done) {
    while (!done()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
  }

  std::function<void()> onWrite;
};

TEST_F(LinkWorkerTest, PollsOnTheLinkThreadKeepTheirFramesAndRhythm) {
  OpenThreaded();
  console->OnCommand(id::kStartPolling);
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_TRUE(console->Worker().Busy()) << "the tick returned while its poll runs";
  // Ticks that fall due meanwhile are kept as one.
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  WaitUntil([this] { return Box(id::kSuccessCount) == "2"; });
  WaitUntil([this] { return !console->Worker().Busy(); });
  EXPECT_EQ(Frames(), (Lines{"0: 01 03 00 06 00 01 64 0B", "900: 01 03 00 00 00 01 84 0A",
                             "1500: 01 03 00 06 00 01 64 0B", "2400: 01 03 00 00 00 01 84 0A"}));
  EXPECT_EQ(Box(id::kFailureCount), "0");
  console->OnCommand(id::kStopPolling);
}

TEST_F(LinkWorkerTest, CommandShowsTheWindowBusyUntilItsResultComes) {
  OpenThreaded();
  meter.SetUpperLimit(5000);
  console->OnCommand(id::kReadParameters);
  EXPECT_TRUE(console->IsBusy());
  EXPECT_FALSE(Enabled(id::kReadParameters));
  EXPECT_FALSE(Enabled(id::kCommSettings));
  EXPECT_TRUE(Enabled(id::kStopPolling)) << "stop and leave stay at hand";
  EXPECT_TRUE(Enabled(id::kExit));
  EXPECT_TRUE(console->StateText().contains("正在与仪表通讯"));
  EXPECT_EQ(console->cursor().shape(), Qt::BusyCursor);

  WaitUntil([this] { return !console->IsBusy(); });
  EXPECT_EQ(Box(id::kUpperLimit), "5000");
  EXPECT_TRUE(Enabled(id::kReadParameters));
  EXPECT_EQ(console->StateText(), "");
  EXPECT_EQ(console->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(LinkWorkerTest, CommandDuringAPollRunsNextThenThePendingTick) {
  OpenThreaded();
  console->OnCommand(id::kStartPolling);
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  console->OnCommand(id::kReadSwitchStatus);
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  WaitUntil([this] { return Box(id::kSuccessCount) == "2" && !console->Worker().Busy(); });
  const Lines frames = Frames();
  ASSERT_EQ(frames.size(), 5U);
  EXPECT_EQ(frames[2], "1500: 01 03 00 16 00 01 65 CE") << "the command goes between the polls";
  EXPECT_EQ(frames[3].substr(frames[3].find(':')), ": 01 03 00 06 00 01 64 0B");
  console->OnCommand(id::kStopPolling);
}

// Synchronous, so that the stop lands exactly between the two reads.
TEST_F(LinkWorkerTest, StopSendsNoFurtherRequestOfThePollOnTheLine) {
  zt::test::ForwardingPort hooked(port);
  hooked.afterWrite = [this](int) {
    if (port.Written().size() == 1) console->OnCommand(id::kStopPolling);
  };
  console = std::make_unique<zt::CMeterConsoleDlg>(ui, hooked, clock, settings);
  console->OnInitDialog();
  console->OnCommand(id::kStartPolling);
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_EQ(Frames(), (Lines{"0: 01 03 00 06 00 01 64 0B"}));
  EXPECT_EQ(Box(id::kSuccessCount), "0") << "a stopped poll counts for nothing";
  EXPECT_EQ(Box(id::kFailureCount), "0");
  EXPECT_EQ(Box(id::kStatus), "已停止读测量数据...");
  console.reset();  // before the port it runs on
}

TEST_F(LinkWorkerTest, LeavingLetsTheExchangeFinishThenClosesThePortLast) {
  std::mutex mutex;
  bool closedWhileWriting = false;
  onWrite = [&] {
    std::lock_guard lock(mutex);
    closedWhileWriting |= !port.IsOpen();
  };
  OpenThreaded();
  console->OnCommand(id::kStartPolling);
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  console->OnCommand(id::kExit);
  console.reset();
  EXPECT_FALSE(closedWhileWriting);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.Operations().back(), Op::Close);
  EXPECT_LE(port.Written().size(), 2U) << "at most the poll that was on the line";
}

// Holds what the worker hands it until the test runs it, one piece at a time.
class HeldExecutor final : public zt::LinkExecutor {
 public:
  void Post(std::function<void()> work) override { held.push_back(std::move(work)); }
  void Call(std::function<void()> work) override { work(); }
  void Deliver(const QPointer<QObject>&, std::function<void()> result) override {
    held.push_back(std::move(result));
  }
  void Every(std::chrono::milliseconds period, std::function<void()> work) override {
    every = period;
    periodic = std::move(work);
  }
  void Finish(std::function<void()> last) override {
    while (RunNext()) {
    }
    last();
  }

  bool RunNext() {
    if (held.empty()) return false;
    std::function<void()> work = std::move(held.front());
    held.pop_front();
    work();
    return true;
  }

  std::deque<std::function<void()>> held;
  std::optional<std::chrono::milliseconds> every;
  std::function<void()> periodic;
};

class WorkerOnItsExecutor : public testing::Test, protected zt::test::VirtualMeterLine {
 protected:
  void SetUp() override {
    auto held = std::make_unique<HeldExecutor>();
    executor = held.get();
    worker = std::make_unique<zt::LinkWorker>(port, clock, zt::LinkSettings{}, std::move(held));
    bool opened = false;
    worker->Run<bool>(
        nullptr, [](zt::LinkContext& context) { return context.line.Open().opened; },
        [&opened](bool result) { opened = result; });
    while (executor->RunNext()) {
    }
    ASSERT_TRUE(opened);
  }

  HeldExecutor* executor = nullptr;
  std::unique_ptr<zt::LinkWorker> worker;
};

TEST_F(WorkerOnItsExecutor, AJobRunsWhereTheExecutorSaysAndEndsWhenItsResultIsBack) {
  std::optional<int32_t> shown;
  meter.SetDecimalPoint(2);
  worker->Run<int32_t>(
      nullptr,
      [](zt::LinkContext& context) { return context.session.ReadDecimalPoint().value_or(-1); },
      [&shown](int32_t value) { shown = value; });
  EXPECT_TRUE(worker->Busy());
  EXPECT_TRUE(Frames().empty()) << "nothing runs before the executor runs it";

  ASSERT_TRUE(executor->RunNext());
  EXPECT_EQ(Frames(), (std::vector<std::string>{"0: 01 03 00 06 00 01 64 0B"}));
  EXPECT_TRUE(worker->Busy()) << "busy until the result is back on the window's side";
  EXPECT_FALSE(shown);

  ASSERT_TRUE(executor->RunNext());
  EXPECT_EQ(shown, 2);
  EXPECT_FALSE(worker->Busy());
  EXPECT_TRUE(worker->PortOpen());
}

TEST_F(WorkerOnItsExecutor, TheIdleCheckRunsOnTheRetryPeriodAndTellsTheWatcherThroughIt) {
  int told = 0;
  worker->WatchDevice(nullptr, [&told] { ++told; });
  ASSERT_EQ(executor->every, std::chrono::milliseconds(zt::ReconnectingPort::kRetryPeriodMs));
  ASSERT_TRUE(executor->RunNext());

  port.Vanish();
  executor->periodic();
  EXPECT_TRUE(worker->DeviceLost());
  EXPECT_EQ(told, 0) << "the watcher hears it on its own side";
  ASSERT_TRUE(executor->RunNext());
  EXPECT_EQ(told, 1);
  executor->periodic();
  EXPECT_FALSE(executor->RunNext()) << "a loss is told once";
}

}  // namespace
