#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "meter/trend_series.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace zt {

class ModalUi;
class TrendPlot;

// The measured value over the last minutes beside the console: every value
// the poll showed, scaled as shown, against the time it came, with the
// figures of the span shown. It is given the polls by the console and never
// touches the link. Closing it only hides it; it goes on recording.
class CTrendDlg final : public QDialog {
 public:
  enum class Span { kMinute, kTenMinutes, kHour, kAll };
  // Polls arriving faster than this are drawn together.
  static constexpr int kRefreshMs = 200;
  // The size it opens at; it can be resized.
  static constexpr int kDefaultWidth = 720;
  static constexpr int kDefaultHeight = 440;

  // Asks where to save, given the dialog's title and filter; an empty answer
  // saves nothing. By default the system's file dialog.
  using SavePathChooser =
      std::function<QString(QWidget* parent, const QString& title, const QString& filter)>;

  CTrendDlg(ModalUi& ui, QWidget* parent, SavePathChooser choosePath = {});

  // One poll as the console showed it, at wall-clock `timeMs`: the scaled
  // value, or none when the poll failed.
  void AddPoll(int64_t timeMs, std::optional<double> value, int32_t decimalPoint);

  void SetSpan(Span span);
  Span CurrentSpan() const { return span_; }
  // The view and its figures stand still; the polls are still recorded.
  void SetPaused(bool paused);
  bool Paused() const { return paused_; }
  // Forgets every poll.
  void Reset();
  // Brings the view, its figures and the plot up to date.
  void Refresh();

  // Ask for a path and save there; a failure is told in a message.
  void SaveImage();
  void SaveData();
  // The plot as shown, as a PNG; the polls of the span shown as CSV lines
  // "time,value,ok" (local time with its offset from UTC, the value with
  // four decimals as shown, empty for a failed poll). Either is written
  // whole or not at all; false with the system's reason.
  bool SaveImageTo(const QString& path, QString& reason) const;
  bool SaveDataTo(const QString& path, QString& reason) const;

  const TrendSeries& Series() const { return series_; }
  // The span shown, both ends included.
  int64_t ViewFrom() const { return fromMs_; }
  int64_t ViewTo() const { return toMs_; }
  TrendFigures Figures() const;
  // The text shown for a figure: "last", "min", "max", "mean", "polls",
  // "failed".
  QString Figure(const std::string& name) const;
  TrendPlot& Plot() { return *plot_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void AddFigure(QGridLayout& grid, int column, const char* caption, const std::string& name);
  void Save(const char* filter, bool (CTrendDlg::*saveTo)(const QString&, QString&) const);

  ModalUi& ui_;
  SavePathChooser choosePath_;
  TrendSeries series_;
  Span span_ = Span::kMinute;
  bool paused_ = false;
  int64_t fromMs_ = 0;
  int64_t toMs_ = 0;
  TrendPlot* plot_ = nullptr;
  QComboBox* spans_ = nullptr;
  QPushButton* pause_ = nullptr;
  std::map<std::string, QLabel*> figures_;
  // Polls came since the last refresh.
  QBasicTimer refresh_;
};

}  // namespace zt
