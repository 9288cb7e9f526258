#include "console/trend_plot.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QPolygonF>
#include <QPainter>
#include <QVector>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "console/window_text.h"
#include "meter/trend_columns.h"
#include "meter/trend_series.h"
#include "res/trend_texts.h"

namespace zt {

namespace {

namespace text = res::text;

constexpr int kMargin = 6;
constexpr int kTickLength = 4;
constexpr int kFailureMark = 5;
// Time labels at least this far apart.
constexpr int kTimeLabelRoom = 90;
constexpr int kValueTicks = 5;

// Time steps of the axis, in ms: each divides the local day evenly.
constexpr std::array<int64_t, 17> kTimeSteps = {
    1'000,   2'000,   5'000,     10'000,    15'000,    30'000,    60'000,     120'000,   300'000,
    600'000, 900'000, 1'800'000, 3'600'000, 7'200'000, 10'800'000, 21'600'000, 43'200'000};

// 1, 2 or 5 times a power of ten, at least `raw`.
double NiceStep(double raw) {
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0}) {
    if (factor * power >= raw) {
      return factor * power;
    }
  }
  return 10.0 * power;
}

struct ValueAxis {
  double low = 0.0;
  double high = 1.0;
  double step = 0.2;
  int decimals = 1;
};

// Follows the values shown; a steady value is drawn across the middle.
ValueAxis AxisFor(std::optional<double> low, std::optional<double> high) {
  ValueAxis axis;
  double from = low.value_or(0.0);
  double to = high.value_or(1.0);
  if (to - from < 1e-9) {
    const double pad = std::max(std::abs(from) * 0.01, 0.001);
    from -= pad;
    to += pad;
  }
  axis.step = NiceStep((to - from) / kValueTicks);
  axis.low = std::floor(from / axis.step) * axis.step;
  axis.high = std::ceil(to / axis.step) * axis.step;
  axis.decimals = std::clamp(static_cast<int>(-std::floor(std::log10(axis.step))), 0, 4);
  return axis;
}

}  // namespace

TrendPlot::TrendPlot(const TrendSeries& series, QWidget* parent)
    : QWidget(parent), series_(series) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TrendPlot::SetView(int64_t fromMs, int64_t toMs) {
  fromMs_ = fromMs;
  toMs_ = std::max(toMs, fromMs + 1);
  update();
}

void TrendPlot::SetPaused(bool paused) {
  paused_ = paused;
  update();
}

QRect TrendPlot::PlotArea() const {
  const QFontMetrics metrics(font());
  // Room for value labels such as "-65535.000".
  const int left = kMargin + metrics.horizontalAdvance(QStringLiteral("-65535.000")) + kTickLength;
  const int bottom = kMargin + metrics.height() + kTickLength;
  const int top = kMargin + metrics.height() / 2;
  return QRect(left, top, std::max(1, width() - left - 2 * kMargin),
               std::max(1, height() - top - bottom));
}

int TrendPlot::XOf(int64_t timeMs) const {
  const QRect area = PlotArea();
  const int64_t columns = area.width();
  const int64_t column = std::clamp<int64_t>((timeMs - fromMs_) * columns / (toMs_ - fromMs_), 0,
                                             columns - 1);
  return area.left() + static_cast<int>(column);
}

void TrendPlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(TrendColours::kGround));
  const QRect area = PlotArea();
  const QFontMetrics metrics(font());
  const auto columns =
      ReduceToColumns(series_, fromMs_, toMs_, static_cast<std::size_t>(area.width()));

  std::optional<double> low;
  std::optional<double> high;
  for (const TrendColumn& column : columns) {
    if (column.good > 0) {
      low = low ? std::min(*low, column.min) : column.min;
      high = high ? std::max(*high, column.max) : column.max;
    }
  }
  const ValueAxis axis = AxisFor(low, high);
  const double pixelsPerUnit = area.height() / (axis.high - axis.low);
  const auto yOf = [&](double value) {
    return area.bottom() + 1 - (value - axis.low) * pixelsPerUnit;
  };

  // Value grid and labels.
  painter.setPen(QColor(TrendColours::kGrid));
  for (double v = axis.low; v <= axis.high + axis.step / 2; v += axis.step) {
    const int y = static_cast<int>(std::lround(yOf(v)));
    painter.setPen(QColor(TrendColours::kGrid));
    painter.drawLine(area.left(), y, area.right(), y);
    painter.setPen(QColor(TrendColours::kText));
    const QString label = QString::number(v, 'f', axis.decimals);
    painter.drawText(QRect(kMargin, y - metrics.height() / 2,
                           area.left() - kTickLength - kMargin, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, label);
  }

  // Time grid in local time: steps align with the local clock's minutes and
  // hours.
  const int64_t span = toMs_ - fromMs_;
  int64_t step = kTimeSteps.back();
  for (const int64_t candidate : kTimeSteps) {
    if (candidate * area.width() / span >= kTimeLabelRoom) {
      step = candidate;
      break;
    }
  }
  const int64_t offsetMs =
      int64_t{QDateTime::fromMSecsSinceEpoch(fromMs_).offsetFromUtc()} * 1000;
  const int64_t localFrom = fromMs_ + offsetMs;
  const int64_t firstTick =
      (localFrom / step + (localFrom % step > 0 ? 1 : 0)) * step - offsetMs;
  const QString format = step < 60'000 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
  for (int64_t t = firstTick; t <= toMs_; t += step) {
    const int x = XOf(t);
    painter.setPen(QColor(TrendColours::kGrid));
    painter.drawLine(x, area.top(), x, area.bottom());
    painter.setPen(QColor(TrendColours::kText));
    const QString label = QDateTime::fromMSecsSinceEpoch(t).toString(format);
    const int labelWidth = metrics.horizontalAdvance(label);
    const int labelX = std::clamp(x - labelWidth / 2, area.left() - kTickLength,
                                  width() - kMargin - labelWidth);
    painter.drawText(QRect(labelX, area.bottom() + kTickLength + 1, labelWidth, metrics.height()),
                     Qt::AlignCenter, label);
  }

  painter.setPen(QColor(TrendColours::kFrame));
  painter.drawRect(area.adjusted(0, 0, -1, -1));

  // Scale changes, failed polls and the line. A run of failed polls shades
  // the gap from the good poll before it to the good poll after it (or to
  // the last failure, when the poll went quiet or the view ends there).
  // Joined columns make one polyline: a stroke of its own has caps, and
  // round caps on every column would cost more than the rest of the plot.
  QVector<QPolygonF> lines;
  QPolygonF line;
  QVector<QPointF> lone;
  const auto endLine = [&] {
    if (line.size() == 1) {
      lone.append(line.front());
    } else if (line.size() > 1) {
      lines.append(line);
    }
    line.clear();
  };
  const auto extend = [&](double x, double y) {
    if (line.isEmpty() || line.back() != QPointF(x, y)) {
      line.append(QPointF(x, y));
    }
  };
  QColor shade(TrendColours::kFailure);
  shade.setAlpha(56);
  const auto shadeGap = [&](int fromX, int toX) {
    if (toX >= fromX) {
      painter.fillRect(QRect(QPoint(fromX, area.top()), QPoint(toX, area.bottom())), shade);
    }
  };
  const auto columnStartMs = [&](int x) {
    return fromMs_ + int64_t{x - area.left()} * span / area.width();
  };
  struct Previous {
    int x;
    int64_t timeMs;
  };
  std::optional<Previous> previous;
  bool failedSince = false;  // a failed poll since the previous good one
  int lastFailedX = area.left();
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const TrendColumn& column = columns[c];
    const int x = area.left() + static_cast<int>(c);
    if (column.failed > 0) {
      painter.fillRect(x, area.bottom() - kFailureMark + 1, 1, kFailureMark,
                       QColor(TrendColours::kFailure));
      if (column.good == 0 || column.failedBeforeFirst) {
        lastFailedX = x;
      }
    }
    if (column.good == 0) {
      failedSince = failedSince || column.failed > 0;
      continue;
    }
    if (column.scaleChanged) {
      painter.setPen(QPen(QColor(TrendColours::kScale), 1, Qt::DashLine));
      painter.drawLine(x, area.top(), x, area.bottom());
      painter.drawText(x + 3, area.top() + metrics.ascent() + 2,
                       Tr(text::kTrendScale).arg(column.decimalPoint));
    }
    failedSince = failedSince || column.failedBeforeFirst;
    const int gapFrom = previous ? previous->x + 1 : area.left();
    if (failedSince) {
      const bool resumed = column.firstTimeMs - columnStartMs(lastFailedX) <= kJoinMs;
      shadeGap(gapFrom, resumed ? x - 1 : lastFailedX);
    }
    const bool joined =
        previous && !failedSince && column.firstTimeMs - previous->timeMs <= kJoinMs;
    if (!joined) {
      endLine();
    }
    extend(x, yOf(column.first));
    if (column.max > column.min) {
      extend(x, yOf(column.min));
      extend(x, yOf(column.max));
      extend(x, yOf(column.last));
    }
    previous = Previous{x, column.lastTimeMs};
    failedSince = column.failedAfterLast;
    if (failedSince) {
      lastFailedX = x;
    }
  }
  endLine();
  if (failedSince) {
    shadeGap(previous ? previous->x + 1 : area.left(), lastFailedX);
  }
  painter.setClipRect(area);
  painter.setRenderHint(QPainter::Antialiasing);
  // A wide pen goes through the path stroker, many times slower than the
  // one-pixel cosmetic pen; three one-pixel passes, a pixel apart, draw a
  // line as bold for a fraction of the cost.
  painter.setPen(QPen(QColor(TrendColours::kLine), 0));
  for (const QPointF offset : {QPointF(0, 0), QPointF(1, 0), QPointF(0, 1)}) {
    painter.translate(offset);
    for (const QPolygonF& run : lines) {
      painter.drawPolyline(run);
    }
    painter.translate(-offset);
  }
  // A good poll with no neighbour joined to it still shows, as a dot.
  painter.setPen(QPen(QColor(TrendColours::kLine), 3.5, Qt::SolidLine, Qt::RoundCap));
  painter.drawPoints(lone.data(), static_cast<int>(lone.size()));
  painter.setClipping(false);
  painter.setRenderHint(QPainter::Antialiasing, false);

  painter.setPen(QColor(TrendColours::kText));
  if (series_.Empty()) {
    painter.drawText(area, Qt::AlignCenter, Tr(text::kTrendNoData));
  }
  if (paused_) {
    painter.drawText(area.adjusted(0, 2, -6, 0), Qt::AlignRight | Qt::AlignTop,
                     Tr(text::kTrendPaused));
  }
}

}  // namespace zt
