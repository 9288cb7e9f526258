#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <QPointer>
#include <QString>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "console/commission_dlg.h"
#include "console/commission_runner.h"
#include "console/command_focus.h"
#include "console/console_link.h"
#include "console/dialog_builder.h"
#include "console/link_information.h"
#include "console/meter_finder.h"
#include "console/side_windows.h"
#include "console/meter_setup_dlg.h"
#include "link/link_settings.h"
#include "link/port_devices.h"
#include "link/transaction.h"
#include "meter/instrument_setup.h"
#include "meter/link_statistics.h"
#include "meter/measured_quantities.h"
#include "meter/meter_session.h"
#include "meter/recent_failures.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;

namespace zt {

class CFrameMonitorDlg;
class CLinkDiagnosticsDlg;
class CTrendDlg;
class Clock;
class DataExchange;
class ModalUi;
class PortLister;
class SerialPort;
class SettingsMemory;
class StateCharBox;

// The console's main window. It owns, for its whole life, the console's link
// (settings, worker, poll and the rules of the line), the statistics and
// every value on screen; every meter operation is one of its commands. The
// window checks what was typed, asks the link, and shows the results when
// they come back.
class CMeterConsoleDlg final : public QDialog {
 public:
  static constexpr int kPollTimer = 1;
  static constexpr int kLogTimer = 2;

  // Every exchange runs at once on the window's thread: tests on a
  // simulated port and a virtual clock.
  CMeterConsoleDlg(ModalUi& ui, SerialPort& port, Clock& clock, const LinkSettings& settings,
                   QWidget* parent = nullptr);
  // Exchanges run on `worker`, made with the same settings.
  CMeterConsoleDlg(ModalUi& ui, std::unique_ptr<LinkWorker> worker, const LinkSettings& settings,
                   QWidget* parent = nullptr);
  ~CMeterConsoleDlg() override;

  // Which device each port number stands for, from the next open.
  void SetPortDevices(const PortDevices& devices) { link_->SetDevices(devices); }
  const PortDevices& Devices() const { return link_->Devices(); }
  void SetGuardLimit(std::chrono::milliseconds limit) { link_->SetGuardLimit(limit); }
  // The serial ports "通讯设置" offers; without it only the devices given.
  void SetPortLister(PortLister* ports) { ports_ = ports; }
  // Where "通讯设置" and the logging interval are remembered for the next
  // start, and where the interval is taken from at opening; without it
  // nothing is remembered.
  void SetSettingsMemory(SettingsMemory* memory) { memory_ = memory; }
  // Added to the link information at opening: a remembered device gone.
  void SetLinkNote(QString note) { linkNote_ = std::move(note); }

  // The opening sequence: fields, port, link information text.
  void OnInitDialog();
  // Opens the window and runs it modally.
  int DoModal();

  // Runs the command of a control id, shown or hidden; false for an id
  // without a command.
  bool OnCommand(int id);
  void OnTimer(int id);

  bool IsTimerRunning(int id) const;
  const LinkSettings& Settings() const { return link_->Settings(); }
  const LinkStatistics& Statistics() const { return stats_; }
  const std::string& LinkInfoText() const { return linkInfo_; }
  // What the window shows at the right of its menu bar: the port not open
  // or its device lost, logging failing; empty when all is well.
  QString StateText() const;
  // The line under the window that says why the meter does not answer and
  // what to check; empty while the link is well.
  QString HealthText() const;
  // The live value shown is the last good one: the latest poll got none.
  bool IsLiveValueStale() const { return liveStale_; }
  // A command's exchanges are on the line or waiting for the line.
  bool IsBusy() const { return link_->IsBusy(); }
  // Polling, logging or a command: Esc and the close box ask before the
  // console ends.
  bool Communicating() const;
  LinkWorker& Worker() { return link_->Worker(); }
  QWidget* Control(int id) const;
  QAction* MenuAction(int commandId) const;

  void OnStartPolling();
  void OnStopPolling();
  void PollMeasurement();
  void OnReadParameters();
  void OnWriteParameters();
  void OnChangeAddress();
  void OnReadSwitchStatus();
  void OnCommSettings();
  void OnInstrumentSetup();
  void OnReadMeterClock();
  void OnToggleLogging();
  void AppendMeasurementTable();
  void OnTechSupport();
  void OnPhaseCurrentAnalysis();
  // "调试检查": the commissioning window, modal; the console's poll waits
  // while it is open.
  void OnCommissionCheck();
  // Where the commissioning window reads profiles and saves reports; by
  // default the system's file dialogs.
  void SetCommissionPaths(CCommissionDlg::Paths paths) { commissionPaths_ = std::move(paths); }
  // "计数清零": the poll's counts, the failures by cause and the latency
  // start again from zero.
  void OnResetCounters();
  // The windows that watch the line beside the console, shown or raised;
  // they read the link only through the worker and never wait on it.
  CLinkDiagnosticsDlg& OnLinkDiagnostics() { return sideWindows_.OpenDiagnostics(); }
  CFrameMonitorDlg& OnFrameMonitor() { return sideWindows_.OpenFrameMonitor(); }
  // The measured value over time, fed with each poll the window shows.
  CTrendDlg& OnTrend() { return sideWindows_.OpenTrend(); }

  bool IsLogging() const { return m_bLogging; }
  int LogPeriodMs() const { return logPeriodMs_; }
  const ThreePhaseQuantities& Quantities() const { return quantities_; }
  // Where the log goes (Table.txt in the working directory) and the clock
  // that stamps it; tests replace both.
  void SetLogFile(std::filesystem::path file) { logFile_ = std::move(file); }
  void SetWallClock(std::function<std::chrono::system_clock::time_point()> now) {
    wallClock_ = std::move(now);
  }

  // OK reads every box back and ends the console only when they are valid.
  void accept() override;
  // Ends the console, whichever way: the window is destroyed.
  void done(int result) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  // True when the console may end now: nothing is communicating, or the
  // technician confirmed.
  bool ExitConfirmed();
  void BuildWindow();
  void BindFields();
  void BuildMenu(QMenuBar& menuBar);
  void AddCommissionItem(QMenu& menu);
  // The commissioning runs and what the meter confirmed, made at first use.
  ConsoleCommissionRunner& Commissioning();
  // After an apply: the console's settings, address box, link information
  // and instrument settings as the meter now has them.
  void FollowCommissionedMeter(const CommissionApplyOutcome& outcome);
  // Configures and opens the port at opening.
  void OpenPort();
  // Tells the technician when the port could not be opened.
  void ReportOpen(const OpenResult& opened);
  // Runs `job` as a command on the link, then `done` with its result.
  template <typename Result>
  void RunCommand(std::function<Result(LinkContext&)> job, std::function<void(Result)> done) {
    link_->Exchange<Result>(true, std::move(job), std::move(done));
  }
  // 仪表设置 with `shown` in its boxes.
  void RunInstrumentSetup(const InstrumentSettings& shown);
  void StartPoll();
  void ShowParameterReads(const ParameterReads& reads);
  // The boxes of the values read; the captions of those not read.
  QString ShowParameterValues(const ParameterReads& reads);
  // What a commissioning check read, in the console's own boxes.
  void ShowCheckedMeter(const CheckReport& check);
  void ShowSwitchStatus(const SwitchStatus& status);
  void ShowCommandStates();
  void ShowLinkInformation(bool afterChange);
  // Shows the link information again once an exchange has found out that
  // the line echoes.
  void ShowLocalEchoOnce();
  // The controls as "停止运行" leaves them.
  void ShowStopped();
  void SetButtonsEnabled(std::initializer_list<int> ids, bool enabled);
  QLineEdit* Box(int controlId) const;
  // The technician has typed in the box since the console last wrote it.
  bool BeingEdited(int controlId) const;
  void ShowLiveValueStale(bool stale, bool unscaled);
  void RememberLinkIfConfirmed();
  void ShowState();
  // The button's and the menu item's captions for logging on or off.
  void ShowLoggingCaptions(bool logging);
  QBasicTimer& Timer(int id);
  const QBasicTimer& Timer(int id) const;
  void StartTimer(int id, int periodMs);
  void StopTimer(int id);
  void ShowMessage(const QString& text);
  bool UpdateData(bool save);
  // Stops timer 1, closes the port; the window then goes the Qt way.
  void DestroyWindow();

  ModalUi& ui_;
  std::unique_ptr<ConsoleLink> link_;
  PortLister* ports_ = nullptr;
  SettingsMemory* memory_ = nullptr;
  // After a change of the link settings: whether the meter has yet to
  // confirm them (none: nothing waits to be remembered).
  std::optional<bool> linkUnconfirmed_;
  QString linkNote_;
  std::unique_ptr<MeterFinder> finder_;
  // The commissioning window's runs and what the meter confirmed in them,
  // for the console's whole run; made at the window's first opening.
  std::unique_ptr<ConsoleCommissionRunner> commission_;
  CCommissionDlg::Paths commissionPaths_;
  QString commissionProfile_;
  SideWindows sideWindows_{ui_, *link_, stats_, *this};
  // Copies of what the link's poll counted and measured.
  LinkStatistics stats_;
  ThreePhaseQuantities quantities_;
  ControlMap controls_;
  std::unique_ptr<DataExchange> exchange_;
  // Timers 1 and 2, in this order.
  std::array<QBasicTimer, 2> timers_;
  std::map<int, QAction*> menuActions_;
  bool destroyed_ = false;
  // The exit question is open.
  bool asking_ = false;
  CommandFocus commandFocus_{*this};
  // "读测量数据" was pressed and "停止运行" not since.
  bool polling_ = false;
  QLabel* stateLabel_ = nullptr;
  QLabel* healthLabel_ = nullptr;
  RecentFailures recentFailures_;
  // An append has failed and none has succeeded since: one message only.
  bool logFailing_ = false;
  bool liveStale_ = false;
  // The parameter boxes that hold a value read from the meter or typed by
  // the technician; only those may be written to the meter.
  std::set<int> knownParameters_;

  int32_t m_nMeterBaud = 0;
  int32_t m_nUpperLimit = 0;
  int32_t m_nDecimalPoint = 0;
  int32_t m_nLowerLimit = 0;
  int32_t m_nDeviceAddress = 0;
  QString m_strStatus;
  QString m_strLiveValue;
  // PT ratio, CT ratio and wiring mode last confirmed by the meter.
  InstrumentSettings instrument_;
  std::string linkInfo_;
  bool linkInfoAfterChange_ = false;
  bool echoShown_ = false;

  int32_t m_nSaveHours = 0;
  int32_t m_nSaveMinutes = 0;
  int32_t m_nSaveSeconds = 1;
  bool m_bLogging = false;
  int logPeriodMs_ = 0;
  // The meter measures no energy: the log's unit texts stay empty.
  EnergyUnits m_strEnergyUnit;
  std::filesystem::path logFile_ = "Table.txt";
  std::function<std::chrono::system_clock::time_point()> wallClock_ = [] {
    return std::chrono::system_clock::now();
  };
};

}  // namespace zt
