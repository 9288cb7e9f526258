// The trend window on an X server (Xvfb in the suite), opened from the
// console while it polls the simulated meter: the meter's moving value is a
// line, a stretch of silence injected in the middle is a gap in it, and a
// screenshot is saved next to the test binary.

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QWindow>

#include <gtest/gtest.h>

#include <chrono>

#include "console/trend_dlg.h"
#include "console/trend_plot.h"
#include "support/console_fixture.h"

namespace {

using std::chrono::system_clock;

constexpr system_clock::time_point kWallStart{std::chrono::milliseconds(1'796'000'000'000)};

bool IsLine(const QColor& pixel) {
  return pixel.red() > 200 && pixel.green() > 150 && pixel.blue() < 100;
}

class TrendScreenshot : public testing::Test, protected zt::test::ConsoleFixture {};

TEST_F(TrendScreenshot, ThePolledValueIsALineWithAGapWhereTheMeterFellSilent) {
  if (QGuiApplication::platformName() != "xcb") {
    GTEST_SKIP() << "needs an X server (run under xvfb-run)";
  }
  Open();
  // The wall clock runs with the virtual one, so that polls lie 1.5 s apart.
  console->SetWallClock([this] {
    return kWallStart + std::chrono::duration_cast<system_clock::duration>(clock.Now());
  });
  zt::CTrendDlg& trend = console->OnTrend();
  console->OnStartPolling();
  const auto poll = [this](int ticks) {
    for (int i = 0; i < ticks; ++i) console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  };
  poll(14);
  Silence();
  poll(5);
  port.SetFaults({});
  poll(14);
  ASSERT_EQ(trend.Series().Size(), 33U);
  const zt::TrendPoint& lastBefore = trend.Series()[13];
  const zt::TrendPoint& firstAfter = trend.Series()[19];
  ASSERT_TRUE(lastBefore.ok && firstAfter.ok && !trend.Series()[14].ok && !trend.Series()[18].ok);

  trend.Refresh();
  for (int i = 0; i < 50 && !(trend.windowHandle() && trend.windowHandle()->isExposed()); ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  QApplication::processEvents();
  // On a loaded machine the X server may show the window a while after Qt
  // has painted it, black until then: wait (a bounded while) for the plot.
  const QPoint plotCentre = trend.Plot().mapToGlobal(trend.Plot().PlotArea().center());
  QImage shot = trend.screen()->grabWindow(0).toImage();
  for (int i = 0; i < 100 && shot.pixelColor(plotCentre) == QColor(Qt::black); ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    shot = trend.screen()->grabWindow(0).toImage();
  }
  const QString path = QCoreApplication::applicationDirPath() + "/trend-window.png";
  ASSERT_TRUE(shot.copy(trend.frameGeometry()).save(path));
  std::printf("screenshot: %s\n", qPrintable(path));

  zt::TrendPlot& plot = trend.Plot();
  const QRect area = plot.PlotArea();
  const QPoint origin = plot.mapToGlobal(QPoint(0, 0));
  // Line pixels in each column from `x0` to `x1` of the plot.
  const auto linePixels = [&](int x0, int x1) {
    int count = 0;
    for (int x = x0; x <= x1; ++x) {
      for (int y = area.top() + 1; y < area.bottom() - 6; ++y) {
        if (IsLine(shot.pixelColor(origin.x() + x, origin.y() + y))) ++count;
      }
    }
    return count;
  };
  const int gapFrom = plot.XOf(lastBefore.timeMs);
  const int gapTo = plot.XOf(firstAfter.timeMs);
  ASSERT_GT(gapTo - gapFrom, 40);
  EXPECT_GT(linePixels(plot.XOf(trend.Series()[0].timeMs), gapFrom), 40);
  EXPECT_GT(linePixels(gapTo, plot.XOf(trend.Series().Newest().timeMs)), 40);
  EXPECT_EQ(linePixels(gapFrom + 3, gapTo - 3), 0);
  // The gap is shaded: redder than the plot's ground.
  const QColor inGap = shot.pixelColor(origin.x() + (gapFrom + gapTo) / 2,
                                       origin.y() + area.top() + area.height() / 3);
  EXPECT_GT(inGap.red(), qRed(zt::TrendColours::kGround) + 20);
}

}  // namespace
