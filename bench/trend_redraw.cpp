// How long the trend window takes to redraw its plot, at the window's
// default size, with a full day of polls: at the fixed waits' pace (one poll
// every 1.5 s) and with the series full (a fast poll). Prints the median and
// the 95th percentile of repeated redraws for each span, and the time of the
// column reduction alone. Not part of the suite: the figures depend on the
// machine.
//
// usage: zt_trend_redraw [--save PNG]   (the day's plot, to look at)

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "console/modal_ui.h"
#include "console/trend_dlg.h"
#include "console/trend_plot.h"
#include "meter/trend_columns.h"

namespace {

class SilentUi final : public zt::ModalUi {
 public:
  void ShowMessage(QWidget*, const QString& text) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
  }
  int RunDialog(QDialog&) override { return 0; }
};

constexpr int64_t kDayMs = 24LL * 60 * 60 * 1000;

// A day of a load that drifts over the hours, with noise, a failed poll in
// fifty and a change of the decimal point in the afternoon.
void FillDay(zt::CTrendDlg& trend, int64_t start, std::size_t polls) {
  uint32_t noise = 12345;
  const double step = static_cast<double>(kDayMs) / static_cast<double>(polls);
  for (std::size_t i = 0; i < polls; ++i) {
    const auto t = start + static_cast<int64_t>(static_cast<double>(i) * step);
    noise = noise * 1664525U + 1013904223U;
    const double hours = static_cast<double>(t - start) / 3.6e6;
    const double value = 12.0 + 4.0 * std::sin(hours / 24.0 * 2 * M_PI) +
                         static_cast<double>(noise >> 24) / 256.0;
    const bool failed = noise % 50 == 0;
    trend.AddPoll(t, failed ? std::nullopt : std::optional<double>(value), hours < 15 ? 2 : 3);
  }
}

struct Figures {
  double median;
  double p95;
};

template <typename Work>
Figures Time(int rounds, Work work) {
  std::vector<double> ms;
  QElapsedTimer timer;
  for (int i = 0; i < rounds; ++i) {
    timer.start();
    work();
    ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms[ms.size() * 95 / 100]};
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  const std::string save = argc > 2 && std::string(argv[1]) == "--save" ? argv[2] : "";

  SilentUi ui;
  constexpr int64_t kStart = 1'796'000'000'000;
  const std::vector<std::pair<const char*, std::size_t>> days = {
      {"a day at 1.5 s a poll", static_cast<std::size_t>(kDayMs / 1500)},
      {"a full series", zt::TrendSeries::kDefaultCapacity},
  };
  for (const auto& [name, polls] : days) {
    zt::CTrendDlg trend(ui, nullptr, [](QWidget*, const QString&, const QString&) {
      return QString();
    });
    trend.show();
    QApplication::processEvents();
    FillDay(trend, kStart, polls);
    zt::TrendPlot& plot = trend.Plot();
    QImage image(plot.size(), QImage::Format_RGB32);
    std::printf("%s: %zu polls kept, plot %dx%d px (window %dx%d)\n", name,
                trend.Series().Size(), plot.width(), plot.height(), trend.width(),
                trend.height());
    const std::pair<const char*, zt::CTrendDlg::Span> spans[] = {
        {"1 min", zt::CTrendDlg::Span::kMinute},
        {"1 h", zt::CTrendDlg::Span::kHour},
        {"all", zt::CTrendDlg::Span::kAll},
    };
    for (const auto& [spanName, span] : spans) {
      trend.SetSpan(span);
      const Figures redraw = Time(200, [&] { plot.render(&image); });
      const Figures reduce = Time(200, [&] {
        const auto columns = zt::ReduceToColumns(trend.Series(), plot.ViewFrom(), plot.ViewTo(),
                                                 static_cast<std::size_t>(plot.PlotArea().width()));
        if (columns.empty()) std::abort();
      });
      const Figures refresh = Time(50, [&] { trend.Refresh(); });
      std::printf("  span %-5s redraw median %.2f ms, p95 %.2f ms; columns alone %.2f ms; "
                  "figures %.2f ms\n",
                  spanName, redraw.median, redraw.p95, reduce.median, refresh.median);
    }
    if (!save.empty() && polls == days.front().second) {
      trend.SetSpan(zt::CTrendDlg::Span::kAll);
      plot.render(&image);
      if (!image.save(QString::fromStdString(save))) {
        std::fprintf(stderr, "could not save %s\n", save.c_str());
        return 1;
      }
    }
  }
  return 0;
}
