#pragma once

#include <QPointer>

#include <chrono>

class QMenu;
class QWidget;

namespace zt {

class CFrameMonitorDlg;
class CLinkDiagnosticsDlg;
class CTrendDlg;
class ConsoleLink;
class ModalUi;
struct LinkStatistics;
struct PollOutcome;

// The modeless windows beside the console, opened from its system menu.
// 通讯诊断 and 通讯监视 read the link only through the worker and never wait
// on it; 趋势图 is only given the polls the console shows. Each is made at
// its first opening and then shown and raised; closing one only hides it.
class SideWindows {
 public:
  SideWindows(ModalUi& ui, ConsoleLink& link, const LinkStatistics& polls, QWidget& console);

  // Their items, at the end of `menu`.
  void AddMenuItems(QMenu& menu);

  CLinkDiagnosticsDlg& OpenDiagnostics();
  CFrameMonitorDlg& OpenFrameMonitor();
  CTrendDlg& OpenTrend();

  // One poll as the console has just shown it, at `now`: a value good and
  // scaled, or a gap. A trend never opened records nothing.
  void ShowPoll(const PollOutcome& outcome, std::chrono::system_clock::time_point now);

 private:
  ModalUi& ui_;
  ConsoleLink& link_;
  const LinkStatistics& polls_;
  QWidget& console_;
  QPointer<CLinkDiagnosticsDlg> diagnostics_;
  QPointer<CFrameMonitorDlg> monitor_;
  QPointer<CTrendDlg> trend_;
};

}  // namespace zt
