// The trend window on its own: spans and their figures, pause, reset, and
// saving the plot and the polls whole or not at all.

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

#include "console/trend_dlg.h"
#include "console/trend_plot.h"
#include "support/console_fixture.h"

namespace {

using zt::CTrendDlg;

constexpr int64_t kStart = 1'796'000'000'000;
constexpr int64_t kPollMs = 1500;

class TrendWindow : public testing::Test {
 protected:
  // `count` polls 1.5 s apart from `kStart`: value i / 10, every tenth
  // failed.
  void Feed(int count, int first = 0) {
    for (int i = first; i < first + count; ++i) {
      trend.AddPoll(kStart + i * kPollMs,
                    i % 10 == 9 ? std::nullopt : std::optional<double>(i / 10.0), 1);
    }
    trend.Refresh();
  }

  zt::test::RecordingUi ui;
  QString chosen;
  CTrendDlg trend{ui, nullptr, [this](QWidget*, const QString&, const QString&) { return chosen; }};
};

TEST_F(TrendWindow, EachSpanShowsTheFiguresOfItsPollsAndPauseHoldsThemWhilePollsComeIn) {
  EXPECT_EQ(trend.Figure("polls"), "0");
  EXPECT_EQ(trend.Figure("last"), "-");

  Feed(4800);  // two hours
  const int64_t newest = kStart + 4799 * kPollMs;
  EXPECT_EQ(trend.ViewTo(), newest);
  // One minute back from the newest poll, both ends included: polls 4759
  // to 4799, 5 of them failed (4759, 4769, ..., 4799).
  EXPECT_EQ(trend.ViewFrom(), newest - 60'000);
  EXPECT_EQ(trend.Figure("polls"), "41");
  EXPECT_EQ(trend.Figure("failed"), "5");
  EXPECT_EQ(trend.Figure("last"), "479.8000");  // the newest good value
  EXPECT_EQ(trend.Figure("min"), "476.0000");
  EXPECT_EQ(trend.Figure("mean"), "477.9000");
  EXPECT_EQ(trend.Figure("max"), "479.8000");

  trend.SetSpan(CTrendDlg::Span::kHour);
  EXPECT_EQ(trend.Figure("polls"), "2401");
  trend.SetSpan(CTrendDlg::Span::kAll);
  EXPECT_EQ(trend.Figure("polls"), "4800");
  EXPECT_EQ(trend.Figure("failed"), "480");
  EXPECT_EQ(trend.Figure("min"), "0.0000");
  EXPECT_EQ(trend.Plot().ViewFrom(), kStart);

  trend.SetSpan(CTrendDlg::Span::kMinute);
  trend.SetPaused(true);
  Feed(100, 4800);
  EXPECT_EQ(trend.Series().Size(), 4900U);  // the data keeps coming
  EXPECT_EQ(trend.ViewTo(), newest);        // the view does not
  EXPECT_EQ(trend.Figure("polls"), "41");
  trend.SetSpan(CTrendDlg::Span::kTenMinutes);  // a span chosen while paused ends there too
  EXPECT_EQ(trend.ViewTo(), newest);
  EXPECT_EQ(trend.ViewFrom(), newest - 600'000);

  trend.SetPaused(false);
  EXPECT_EQ(trend.ViewTo(), kStart + 4899 * kPollMs);

  trend.Reset();
  EXPECT_TRUE(trend.Series().Empty());
  EXPECT_EQ(trend.Figure("polls"), "0");
  Feed(1, 5000);
  EXPECT_EQ(trend.Figure("polls"), "1");
}

TEST_F(TrendWindow, SavesThePollsOfTheSpanShownAsCsvWithLocalTimesThatReadBack) {
  Feed(60);
  trend.SetSpan(CTrendDlg::Span::kMinute);  // polls 19 to 59
  QTemporaryDir dir;
  chosen = dir.filePath("trend.csv");
  trend.SaveData();
  EXPECT_TRUE(ui.messages.empty());

  QFile file(chosen);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 42);
  EXPECT_EQ(lines[0], "time,value,ok");
  for (int row = 1; row < lines.size(); ++row) {
    const int i = 19 + row - 1;
    const QStringList fields = lines[row].split(',');
    ASSERT_EQ(fields.size(), 3) << lines[row].toStdString();
    const QDateTime time = QDateTime::fromString(fields[0], Qt::ISODateWithMs);
    ASSERT_TRUE(time.isValid()) << fields[0].toStdString();
    EXPECT_EQ(time.toMSecsSinceEpoch(), kStart + i * kPollMs);
    EXPECT_EQ(time.offsetFromUtc(), QDateTime::fromMSecsSinceEpoch(kStart).offsetFromUtc());
    if (i % 10 == 9) {
      EXPECT_EQ(fields[1], "");
      EXPECT_EQ(fields[2], "0");
    } else {
      EXPECT_EQ(fields[1], QString::number(i / 10.0, 'f', 4));
      EXPECT_EQ(fields[2], "1");
    }
  }
}

TEST_F(TrendWindow, ASaveThatFailsNamesTheFileAndTheReasonAndLeavesNothingBehind) {
  Feed(30);
  QTemporaryDir dir;
  // A path below a plain file cannot be created.
  QFile blocker(dir.filePath("plain"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  for (const bool image : {false, true}) {
    ui.messages.clear();
    chosen = dir.filePath(image ? "plain/trend.png" : "plain/trend.csv");
    image ? trend.SaveImage() : trend.SaveData();
    ASSERT_EQ(ui.messages.size(), 1U);
    const QString message = ui.messages[0];
    EXPECT_TRUE(message.contains(chosen)) << message.toStdString();
    QString reason;
    EXPECT_FALSE(image ? trend.SaveImageTo(chosen, reason) : trend.SaveDataTo(chosen, reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_TRUE(message.endsWith(reason)) << message.toStdString();
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
            QStringList{"plain"});

  // An earlier file is replaced only by a whole new one.
  chosen = dir.filePath("trend.csv");
  trend.SaveData();
  QFile saved(chosen);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll().count('\n'), 31);
  // Cancelling the file dialog saves nothing and says nothing.
  ui.messages.clear();
  chosen.clear();
  trend.SaveData();
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TrendWindow, SavesThePlotAsShownAsAPng) {
  Feed(40);
  trend.show();
  QTemporaryDir dir;
  chosen = dir.filePath("trend.png");
  trend.SaveImage();
  ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].toStdString();
  const QImage image(chosen);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), trend.Plot().size());
  int line = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (pixel.red() > 200 && pixel.green() > 150 && pixel.blue() < 100) ++line;  // the yellow
    }
  }
  EXPECT_GT(line, 100);
}

}  // namespace
