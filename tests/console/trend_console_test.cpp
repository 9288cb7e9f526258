// The trend window beside the console: it records what the poll shows, from
// the moment it is first opened, and its opening and closing change nothing
// the poll does.

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <chrono>

#include "console/trend_dlg.h"
#include "res/console_template.h"
#include "res/trend_texts.h"
#include "support/console_fixture.h"

namespace {

namespace id = zt::res::console_id;
using std::chrono::system_clock;
using zt::CMeterConsoleDlg;
using zt::CTrendDlg;

constexpr int64_t kWallStartMs = 1'796'000'000'000;

class TrendBesideConsole : public testing::Test, protected zt::test::ConsoleFixture {
 protected:
  void SetUp() override {
    Open();
    console->SetWallClock([this] {
      return system_clock::time_point(std::chrono::milliseconds(kWallStartMs)) +
             std::chrono::duration_cast<system_clock::duration>(clock.Now());
    });
    console->OnCommand(id::kStartPolling);
  }
  void Tick() { console->OnTimer(CMeterConsoleDlg::kPollTimer); }
  int64_t WallMs() const {
    return kWallStartMs + std::chrono::duration_cast<std::chrono::milliseconds>(clock.Now()).count();
  }
};

TEST_F(TrendBesideConsole, OpensEmptyAndThenRecordsEachPollAsTheWindowShowedIt) {
  Tick();
  Tick();
  CTrendDlg& trend = console->OnTrend();
  EXPECT_TRUE(trend.Series().Empty());

  const auto expectShown = [&](bool ok) {
    const zt::TrendPoint& point = trend.Series().Newest();
    EXPECT_EQ(point.ok, ok);
    EXPECT_EQ(point.timeMs, WallMs());
    if (ok) {
      EXPECT_EQ(QString::number(point.value, 'f', 4), Box(id::kLiveValue));
    }
  };
  meter.SetDecimalPoint(2);
  Tick();
  expectShown(true);
  Tick();
  expectShown(true);
  Silence();
  Tick();
  expectShown(false);  // the window keeps the last value on show; the trend has a gap
  port.SetFaults({});
  meter.SetDecimalPoint(3);
  Tick();
  expectShown(true);
  EXPECT_TRUE(trend.Series().Newest().scaleChanged);
  EXPECT_EQ(trend.Series().Newest().decimalPoint, 3);
  EXPECT_FALSE(trend.Series()[1].scaleChanged);
  ASSERT_EQ(trend.Series().Size(), 4U);

  trend.Refresh();
  EXPECT_EQ(trend.Figure("polls"), "4");
  EXPECT_EQ(trend.Figure("failed"), "1");
  EXPECT_EQ(trend.Figure("last"), Box(id::kLiveValue));
}

TEST_F(TrendBesideConsole, ClosingOrLosingTheTrendLeavesThePollAsItWas) {
  CTrendDlg& trend = console->OnTrend();
  Tick();
  trend.close();
  Tick();  // still recorded while closed, shown when opened again
  EXPECT_EQ(&console->OnTrend(), &trend);
  EXPECT_EQ(trend.Series().Size(), 2U);
  EXPECT_TRUE(trend.isVisible());

  delete &trend;
  Tick();
  EXPECT_EQ(console->Statistics().successCount, 3);
  EXPECT_TRUE(console->IsTimerRunning(CMeterConsoleDlg::kPollTimer));
  // Opened anew, it starts empty again.
  EXPECT_TRUE(console->OnTrend().Series().Empty());
}

TEST_F(TrendBesideConsole, TheSystemMenuOpensIt) {
  auto* menuBar = console->findChild<QMenuBar*>();
  ASSERT_NE(menuBar, nullptr);
  QAction* item = nullptr;
  for (QAction* menu : menuBar->actions()) {
    for (QAction* action : menu->menu()->actions()) {
      if (action->text() == QString::fromUtf8(zt::res::text::kTrendItem)) item = action;
    }
  }
  ASSERT_NE(item, nullptr);
  item->trigger();
  auto* trend = console->findChild<CTrendDlg*>();
  ASSERT_NE(trend, nullptr);
  EXPECT_TRUE(trend->isVisible());
  EXPECT_FALSE(trend->isModal());
}

}  // namespace
