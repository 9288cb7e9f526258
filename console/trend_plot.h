#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

#include <cstdint>

namespace zt {

class TrendSeries;

// The colours of the plot. It paints its own dark ground, so that its line
// reads the same beside the application's blue dialogs and in a dark desktop
// theme.
struct TrendColours {
  static constexpr QRgb kGround = qRgb(12, 30, 56);
  static constexpr QRgb kFrame = qRgb(120, 150, 190);
  static constexpr QRgb kGrid = qRgb(44, 70, 104);
  static constexpr QRgb kText = qRgb(235, 240, 245);
  static constexpr QRgb kLine = qRgb(255, 214, 10);
  // Failed polls: a mark at the foot of the plot and a shade over the gap.
  static constexpr QRgb kFailure = qRgb(255, 96, 96);
  static constexpr QRgb kScale = qRgb(90, 220, 255);
};

// The measured value against local time, drawn by pixel column: each
// column a stroke from its minimum to its maximum, joined to the next
// column unless a failed poll or a pause of the poll lies between them.
class TrendPlot final : public QWidget {
 public:
  // Good polls further apart than this are not joined: the poll was stopped
  // or a long command held the link.
  static constexpr int64_t kJoinMs = 10'000;

  explicit TrendPlot(const TrendSeries& series, QWidget* parent = nullptr);

  void SetView(int64_t fromMs, int64_t toMs);
  int64_t ViewFrom() const { return fromMs_; }
  int64_t ViewTo() const { return toMs_; }
  void SetPaused(bool paused);

  // Where the polls are drawn, and the pixel column of a time in it.
  QRect PlotArea() const;
  int XOf(int64_t timeMs) const;

  QSize sizeHint() const override { return {640, 300}; }
  QSize minimumSizeHint() const override { return {320, 160}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TrendSeries& series_;
  int64_t fromMs_ = 0;
  int64_t toMs_ = 60'000;
  bool paused_ = false;
};

}  // namespace zt
