// The console's link without its window: one exchange on the line at a time,
// commands in the order asked, and one poll tick at most waiting for a busy
// line, behind the commands.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console/console_link.h"
#include "console/link_jobs.h"
#include "support/virtual_meter_line.h"

namespace {

class ConsoleLinkTest : public testing::Test, protected zt::test::VirtualMeterLine {
 protected:
  ConsoleLinkTest()
      : consoleLink(std::make_unique<zt::LinkWorker>(port, clock, settings,
                                                     zt::LinkWorker::kOwnThread),
                    settings) {
    consoleLink.SetEvents({
        .commandsChanged = [this] { busyShown.push_back(consoleLink.IsBusy()); },
        .lineChanged = [] {},
        .exchangesJudged = [](const zt::ExchangeVerdicts&) {},
        .exchangeEnded = [] {},
        .pendingTickDue = [this] { events.push_back("tick"); },
    });
  }

  // A job that notes that it ran alone on the line; `name` is noted when its
  // result reaches the window's thread.
  void Ask(bool command, const std::string& name) {
    consoleLink.Exchange<int>(
        command,
        [this](zt::LinkContext&) {
          if (onLine.fetch_add(1) != 0) overlapped = true;
          onLine.fetch_sub(1);
          return 0;
        },
        [this, name](int) { events.push_back(name); });
  }

  void WaitUntilIdle() {
    while (consoleLink.Worker().Busy()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
  }

  zt::LinkSettings settings;
  zt::ConsoleLink consoleLink;
  std::vector<std::string> events;
  std::vector<bool> busyShown;
  std::atomic<int> onLine = 0;
  std::atomic<bool> overlapped = false;
};

TEST_F(ConsoleLinkTest, CommandsAskedWhileTheLineIsBusyRunOneAtATimeInTheOrderAsked) {
  Ask(false, "poll");
  Ask(true, "read");
  Ask(true, "write");
  EXPECT_TRUE(consoleLink.IsBusy()) << "a waiting command counts as busy";
  WaitUntilIdle();

  EXPECT_EQ(events, (std::vector<std::string>{"poll", "read", "write"}));
  EXPECT_FALSE(overlapped);
  EXPECT_FALSE(consoleLink.IsBusy());
  // Busy from the first ask to the last result, never idle in between while
  // the second command still waited.
  ASSERT_FALSE(busyShown.empty());
  EXPECT_TRUE(busyShown.front());
  EXPECT_FALSE(busyShown.back());
  EXPECT_EQ(std::count(busyShown.begin(), busyShown.end(), false), 1);
}

TEST_F(ConsoleLinkTest, APollIsNotACommandAndLeavesTheWindowIdle) {
  Ask(false, "poll");
  EXPECT_FALSE(consoleLink.IsBusy());
  EXPECT_TRUE(busyShown.empty());
  WaitUntilIdle();
  EXPECT_EQ(events, (std::vector<std::string>{"poll"}));
}

TEST_F(ConsoleLinkTest, TicksDueWhileBusyBecomeOnePendingTickThatRunsAfterTheWaitingCommands) {
  EXPECT_TRUE(consoleLink.TakeTick()) << "a free line takes the tick at once";
  Ask(true, "read");
  Ask(true, "write");
  EXPECT_FALSE(consoleLink.TakeTick());
  EXPECT_FALSE(consoleLink.TakeTick());
  EXPECT_FALSE(consoleLink.TakeTick());
  EXPECT_TRUE(consoleLink.TickPending());
  WaitUntilIdle();

  EXPECT_EQ(events, (std::vector<std::string>{"read", "write", "tick"}));
  EXPECT_FALSE(consoleLink.TickPending());
}

TEST_F(ConsoleLinkTest, StopDropsThePendingTick) {
  Ask(true, "read");
  EXPECT_FALSE(consoleLink.TakeTick());
  consoleLink.StopPoll();
  WaitUntilIdle();
  EXPECT_EQ(events, (std::vector<std::string>{"read"}));
}

TEST_F(ConsoleLinkTest, AfterShutNothingWaitingRunsNothingNewIsTakenAndThePortCloses) {
  bool opened = false;
  consoleLink.Open([&](const zt::OpenResult& result) { opened = result.opened; });
  WaitUntilIdle();
  ASSERT_TRUE(opened);
  ASSERT_TRUE(consoleLink.PortOpen());

  Ask(true, "on the line");
  Ask(true, "waiting");
  EXPECT_FALSE(consoleLink.TakeTick());
  consoleLink.Shut();
  Ask(true, "after shut");
  WaitUntilIdle();
  // The exchange on the line ends whole and hands on its result.
  EXPECT_EQ(events, (std::vector<std::string>{"on the line"}));
  EXPECT_FALSE(consoleLink.TickPending());
  // The close is queued on the link's thread behind that exchange: a
  // snapshot asked now comes back after it.
  QObject receiver;
  bool snapshotTaken = false;
  consoleLink.Worker().Snapshot(&receiver, std::nullopt,
                                [&](const zt::LinkSnapshot&) { snapshotTaken = true; });
  while (!snapshotTaken) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  EXPECT_FALSE(consoleLink.Worker().PortOpen());
}

TEST_F(ConsoleLinkTest, AChangeOfLinkRunsOnTheNewSettingsAndReportsThem) {
  bool opened = false;
  consoleLink.Open([&](const zt::OpenResult& result) { opened = result.opened; });
  WaitUntilIdle();
  ASSERT_TRUE(opened);

  zt::LinkSettings chosen = settings;
  chosen.parity = zt::kParityEven;
  chosen.address = 7;
  std::optional<zt::LinkChange> change;
  consoleLink.Change(chosen, true, std::nullopt,
                     [&](const zt::LinkChange& result) { change = result; });
  EXPECT_TRUE(consoleLink.IsBusy());
  WaitUntilIdle();
  ASSERT_TRUE(change);
  EXPECT_TRUE(change->opened.opened);
  EXPECT_FALSE(change->baudRefused);
  EXPECT_EQ(change->settings, chosen);
  // The window adopts them; the link keeps the ones it was given until then.
  EXPECT_EQ(consoleLink.Settings(), settings);
}

}  // namespace

namespace {

TEST_F(ConsoleLinkTest, TheGuardLimitChosenIsTheLinksBeforeItsNextExchange) {
  EXPECT_EQ(consoleLink.GuardLimit(), zt::Transaction::kDefaultGuardLimit);
  consoleLink.SetGuardLimit(std::chrono::milliseconds(450));
  std::optional<std::chrono::milliseconds> seen;
  consoleLink.Exchange<int>(
      true,
      [&seen](zt::LinkContext& context) {
        seen = context.transaction.GuardLimit();
        return 0;
      },
      [](int) {});
  WaitUntilIdle();

  EXPECT_EQ(consoleLink.GuardLimit(), std::chrono::milliseconds(450));
  EXPECT_EQ(seen, std::chrono::milliseconds(450));
}

}  // namespace
