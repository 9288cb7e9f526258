#include "console/trend_dlg.h"

#include <QComboBox>
#include <QDateTime>
#include <QFontMetrics>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QBuffer>
#include <QStyle>
#include <QTimerEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

#include "console/modal_ui.h"
#include "console/trend_plot.h"
#include "report/whole_file.h"
#include "console/window_text.h"
#include "res/trend_texts.h"

namespace zt {

namespace {

namespace text = res::text;

struct SpanChoice {
  CTrendDlg::Span span;
  const char* caption;
  int64_t ms;  // 0: every poll kept
};

constexpr std::array<SpanChoice, 4> kSpans = {{
    {CTrendDlg::Span::kMinute, text::kTrendSpanMinute, 60'000},
    {CTrendDlg::Span::kTenMinutes, text::kTrendSpanTenMinutes, 600'000},
    {CTrendDlg::Span::kHour, text::kTrendSpanHour, 3'600'000},
    {CTrendDlg::Span::kAll, text::kTrendSpanAll, 0},
}};

QString AskSystemForPath(QWidget* parent, const QString& title, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, title, QString(), filter);
}

QString Value(std::optional<double> value) {
  return value ? QString::number(*value, 'f', 4) : QStringLiteral("-");
}

// Local time with its offset from UTC, so that a file read elsewhere or
// across a change of summer time still tells the instant.
QString LocalTimeText(int64_t timeMs) {
  const QDateTime local = QDateTime::fromMSecsSinceEpoch(timeMs);
  return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

}  // namespace

CTrendDlg::CTrendDlg(ModalUi& ui, QWidget* parent, SavePathChooser choosePath)
    : QDialog(parent),
      ui_(ui),
      choosePath_(choosePath ? std::move(choosePath) : SavePathChooser(AskSystemForPath)) {
  setWindowTitle(Tr(text::kTrendTitle));
  setModal(false);
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(Tr(text::kTrendSpan)));
  spans_ = new QComboBox;
  for (const SpanChoice& choice : kSpans) {
    spans_->addItem(Tr(choice.caption));
  }
  top->addWidget(spans_);
  top->addStretch();
  pause_ = new QPushButton(Tr(text::kTrendPause));
  auto* reset = new QPushButton(Tr(text::kTrendReset));
  auto* saveImage = new QPushButton(Tr(text::kTrendSaveImage));
  auto* saveData = new QPushButton(Tr(text::kTrendSaveData));
  for (QPushButton* button : {pause_, reset, saveImage, saveData}) {
    button->setAutoDefault(false);
    // Some styles size a button closer to its text than they draw it; the
    // pause button also has room for "继续".
    const int frame = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                      button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    const QFontMetrics metrics(button->font());
    int text = metrics.horizontalAdvance(button->text());
    if (button == pause_) {
      text = std::max(text, metrics.horizontalAdvance(Tr(text::kTrendResume)));
    }
    button->setMinimumWidth(std::max(button->sizeHint().width(), text + 2 * frame + 8));
    top->addWidget(button);
  }
  layout->addLayout(top);

  plot_ = new TrendPlot(series_);
  layout->addWidget(plot_, 1);

  auto* grid = new QGridLayout;
  AddFigure(*grid, 0, text::kTrendLast, "last");
  AddFigure(*grid, 1, text::kTrendMin, "min");
  AddFigure(*grid, 2, text::kTrendMax, "max");
  AddFigure(*grid, 3, text::kTrendMean, "mean");
  AddFigure(*grid, 4, text::kTrendPolls, "polls");
  AddFigure(*grid, 5, text::kTrendFailed, "failed");
  layout->addLayout(grid);

  resize(kDefaultWidth, kDefaultHeight);

  connect(spans_, &QComboBox::currentIndexChanged, this,
          [this](int index) { SetSpan(kSpans[static_cast<std::size_t>(index)].span); });
  connect(pause_, &QPushButton::clicked, this, [this] { SetPaused(!paused_); });
  connect(reset, &QPushButton::clicked, this, [this] { Reset(); });
  connect(saveImage, &QPushButton::clicked, this, [this] { SaveImage(); });
  connect(saveData, &QPushButton::clicked, this, [this] { SaveData(); });
  Refresh();
}

void CTrendDlg::AddFigure(QGridLayout& grid, int column, const char* caption,
                          const std::string& name) {
  grid.addWidget(new QLabel(Tr(caption)), 0, column);
  auto* figure = new QLabel;
  figure->setObjectName(QString::fromStdString(name));
  figure->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid.addWidget(figure, 1, column);
  figures_[name] = figure;
}

void CTrendDlg::AddPoll(int64_t timeMs, std::optional<double> value, int32_t decimalPoint) {
  series_.Add(timeMs, value, decimalPoint);
  // A hidden window records only; it is brought up to date when shown.
  if (!paused_ && isVisible() && !refresh_.isActive()) {
    refresh_.start(kRefreshMs, this);
  }
}

void CTrendDlg::SetSpan(Span span) {
  span_ = span;
  for (std::size_t i = 0; i < kSpans.size(); ++i) {
    if (kSpans[i].span == span && spans_->currentIndex() != static_cast<int>(i)) {
      spans_->setCurrentIndex(static_cast<int>(i));
    }
  }
  Refresh();
}

void CTrendDlg::SetPaused(bool paused) {
  paused_ = paused;
  pause_->setText(Tr(paused ? text::kTrendResume : text::kTrendPause));
  plot_->SetPaused(paused);
  Refresh();
}

void CTrendDlg::Reset() {
  series_.Clear();
  Refresh();
}

void CTrendDlg::Refresh() {
  refresh_.stop();
  const std::size_t chosen = static_cast<std::size_t>(spans_->currentIndex());
  const int64_t spanMs = kSpans[chosen].ms;
  // Paused, the view keeps its end; a span chosen meanwhile ends there too.
  const int64_t end = paused_ ? toMs_ : (series_.Empty() ? toMs_ : series_.Newest().timeMs);
  if (spanMs > 0) {
    fromMs_ = end - spanMs;
  } else {
    fromMs_ = series_.Empty() ? end : series_[0].timeMs;
  }
  toMs_ = end;
  // A single poll, or none, still gets a second of time to stand in.
  plot_->SetView(fromMs_, std::max(toMs_, fromMs_ + 1000));

  const TrendFigures figures = Figures();
  figures_["last"]->setText(Value(figures.last));
  figures_["min"]->setText(Value(figures.min));
  figures_["max"]->setText(Value(figures.max));
  figures_["mean"]->setText(Value(figures.mean));
  figures_["polls"]->setText(QString::number(figures.polls));
  figures_["failed"]->setText(QString::number(figures.failed));
}

TrendFigures CTrendDlg::Figures() const { return series_.Figures(fromMs_, toMs_); }

QString CTrendDlg::Figure(const std::string& name) const {
  const auto it = figures_.find(name);
  return it == figures_.end() ? QString() : it->second->text();
}

void CTrendDlg::SaveImage() { Save(text::kTrendImageFilter, &CTrendDlg::SaveImageTo); }
void CTrendDlg::SaveData() { Save(text::kTrendDataFilter, &CTrendDlg::SaveDataTo); }

void CTrendDlg::Save(const char* filter,
                     bool (CTrendDlg::*saveTo)(const QString&, QString&) const) {
  const QString path = choosePath_(this, Tr(text::kTrendSaveTitle), Tr(filter));
  if (path.isEmpty()) {
    return;
  }
  QString reason;
  if (!(this->*saveTo)(path, reason)) {
    ui_.ShowMessage(this, Tr(text::kTrendSaveFailed).arg(path, reason));
  }
}

bool CTrendDlg::SaveImageTo(const QString& path, QString& reason) const {
  QImage image(plot_->size(), QImage::Format_RGB32);
  plot_->render(&image);
  QByteArray png;
  QBuffer buffer(&png);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
    reason = QStringLiteral("PNG encoding failed");
    return false;
  }
  return WriteWholeFile(path, png, reason);
}

bool CTrendDlg::SaveDataTo(const QString& path, QString& reason) const {
  QByteArray bytes = "time,value,ok\n";
  for (const std::span<const TrendPoint> run :
       series_.Runs(series_.LowerBound(fromMs_), series_.UpperBound(toMs_))) {
    for (const TrendPoint& point : run) {
      bytes += LocalTimeText(point.timeMs).toLatin1();
      bytes += ',';
      if (point.ok) {
        bytes += QByteArray::number(point.value, 'f', 4);
      }
      bytes += point.ok ? ",1\n" : ",0\n";
    }
  }
  return WriteWholeFile(path, bytes, reason);
}

void CTrendDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Refresh();
}

void CTrendDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() == refresh_.timerId()) {
    Refresh();
    return;
  }
  QDialog::timerEvent(event);
}

}  // namespace zt
