#include "console/side_windows.h"

#include <QAction>
#include <QMenu>

#include <optional>

#include "console/console_link.h"
#include "console/frame_monitor_dlg.h"
#include "console/link_diagnostics_dlg.h"
#include "console/link_jobs.h"
#include "console/trend_dlg.h"
#include "console/window_text.h"
#include "meter/live_value.h"
#include "res/link_tool_texts.h"
#include "res/trend_texts.h"

namespace zt {

namespace {

template <typename Window>
Window& ShowRaised(Window& window) {
  window.show();
  window.raise();
  window.activateWindow();
  return window;
}

}  // namespace

SideWindows::SideWindows(ModalUi& ui, ConsoleLink& link, const LinkStatistics& polls,
                         QWidget& console)
    : ui_(ui), link_(link), polls_(polls), console_(console) {}

void SideWindows::AddMenuItems(QMenu& menu) {
  QObject::connect(menu.addAction(Tr(res::text::kLinkDiagnosticsItem)), &QAction::triggered,
                   &console_, [this] { OpenDiagnostics(); });
  QObject::connect(menu.addAction(Tr(res::text::kFrameMonitorItem)), &QAction::triggered,
                   &console_, [this] { OpenFrameMonitor(); });
  QObject::connect(menu.addAction(Tr(res::text::kTrendItem)), &QAction::triggered, &console_,
                   [this] { OpenTrend(); });
}

CLinkDiagnosticsDlg& SideWindows::OpenDiagnostics() {
  if (!diagnostics_) {
    diagnostics_ = new CLinkDiagnosticsDlg(link_.Worker(), polls_, &console_);
  }
  return ShowRaised(*diagnostics_);
}

CFrameMonitorDlg& SideWindows::OpenFrameMonitor() {
  if (!monitor_) {
    monitor_ = new CFrameMonitorDlg(link_.Worker(), ui_, &console_);
  }
  return ShowRaised(*monitor_);
}

CTrendDlg& SideWindows::OpenTrend() {
  if (!trend_) {
    trend_ = new CTrendDlg(ui_, &console_);
  }
  return ShowRaised(*trend_);
}

void SideWindows::ShowPoll(const PollOutcome& outcome, std::chrono::system_clock::time_point now) {
  if (!trend_) {
    return;
  }
  // The value as the live value box shows it; a poll without one is a gap.
  const std::optional<double> value =
      outcome.read && outcome.reads.rawValue
          ? std::optional<double>(ScaledLiveValue(*outcome.reads.rawValue, outcome.decimalPoint))
          : std::nullopt;
  const auto timeMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  trend_->AddPoll(timeMs, value, outcome.decimalPoint);
}

}  // namespace zt
