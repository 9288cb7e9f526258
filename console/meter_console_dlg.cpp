#include "console/meter_console_dlg.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>

#include <cstdio>
#include <span>

#include "console/about_dlg.h"
#include "console/analysis_launcher.h"
#include "console/comm_settings_dlg.h"
#include "console/data_exchange.h"
#include "console/meter_setup_dlg.h"
#include "console/save_interval_dlg.h"
#include "console/modal_ui.h"
#include "console/state_char_box.h"
#include "link/serial_port.h"
#include "meter/encoding.h"
#include "meter/measurement_log.h"
#include "meter/parameter_write.h"
#include "meter/periods.h"
#include "meter/value_ranges.h"
#include "res/console_template.h"
#include "res/texts.h"

namespace zt {

namespace id = res::console_id;

namespace {

struct Command {
  int id;
  void (CMeterConsoleDlg::*handler)();
};

// Control id to handler. Hidden buttons have their entries like the shown ones.
constexpr std::array kCommands = {
    Command{id::kReadParameters, &CMeterConsoleDlg::OnReadParameters},
    Command{id::kStartPolling, &CMeterConsoleDlg::OnStartPolling},
    Command{id::kStopPolling, &CMeterConsoleDlg::OnStopPolling},
    Command{id::kWriteParameters, &CMeterConsoleDlg::OnWriteParameters},
    Command{id::kReadSwitchStatus, &CMeterConsoleDlg::OnReadSwitchStatus},
    Command{id::kChangeAddress, &CMeterConsoleDlg::OnChangeAddress},
    Command{id::kCommSettings, &CMeterConsoleDlg::OnCommSettings},
    Command{id::kInstrumentSetup, &CMeterConsoleDlg::OnInstrumentSetup},
    Command{id::kReadMeterClock, &CMeterConsoleDlg::OnReadMeterClock},
    Command{id::kToggleLogging, &CMeterConsoleDlg::OnToggleLogging},
    Command{id::kTechSupport, &CMeterConsoleDlg::OnTechSupport},
    Command{id::kPhaseCurrentAnalysis, &CMeterConsoleDlg::OnPhaseCurrentAnalysis},
};

constexpr QColor kOnColour{255, 0, 0};
constexpr QColor kOffColour{50, 255, 0};

// The data exchange's prompt for a value out of `range`.
QString RangePrompt(const ValueRange& range) {
  return QString::fromUtf8(res::text::kEnterIntegerBetween).arg(range.min).arg(range.max);
}

// The parameter boxes in the order they are written, with their captions.
struct ParameterBox {
  int id;
  const char* caption;
};
constexpr std::array kParameterBoxes = {
    ParameterBox{id::kDecimalPoint, res::text::kDecimalPointCaption},
    ParameterBox{id::kUpperLimit, res::text::kUpperLimitCaption},
    ParameterBox{id::kLowerLimit, res::text::kLowerLimitCaption},
    ParameterBox{id::kMeterBaud, res::text::kMeterBaudCaption},
};

}  // namespace

std::string LinkInformationText(const LinkSettings& settings, bool afterChange,
                                bool lineEchoes) {
  char text[160];
  std::snprintf(text, sizeof text, res::text::kLinkInfoFormat, settings.address, settings.port,
                settings.baudRate);
  std::string info = text;
  switch (settings.parity) {
    case kParityNone:
      info += afterChange ? res::text::kParityNoneAfterChange : res::text::kParityNoneAtOpening;
      break;
    case kParityOdd:
      info += res::text::kParityOdd;
      break;
    case kParityEven:
      info += res::text::kParityEven;
      break;
    default:
      break;
  }
  if (lineEchoes) {
    info += res::text::kLocalEchoDetected;
  }
  return info;
}

CMeterConsoleDlg::CMeterConsoleDlg(ModalUi& ui, SerialPort& port, Clock& clock,
                                   const LinkSettings& settings, QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      port_(port),
      settings_(settings),
      link_(port, clock),
      session_(link_, settings_),
      poll_(session_),
      exchange_(std::make_unique<DataExchange>(ui, *this)) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(QIcon(QStringLiteral(":/zt6100/icon.png")));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  auto* menuBar = new QMenuBar(this);
  layout->setMenuBar(menuBar);
  auto* client = new QWidget(this);
  layout->addWidget(client);
  controls_ = BuildDialog(*client, res::kConsoleTemplate);
  BuildMenu(*menuBar);
  stateLabel_ = new QLabel(menuBar);
  stateLabel_->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0); padding: 0 6px;"));
  menuBar->setCornerWidget(stateLabel_, Qt::TopRightCorner);
  BindFields();
  for (const ParameterBox& parameter : kParameterBoxes) {
    connect(Box(parameter.id), &QLineEdit::textEdited, this,
            [this, boxId = parameter.id] { knownParameters_.insert(boxId); });
  }

  for (const Command& command : kCommands) {
    connect(static_cast<QPushButton*>(Control(command.id)), &QPushButton::clicked, this,
            [this, commandId = command.id] { OnCommand(commandId); });
  }
  connect(static_cast<QPushButton*>(Control(id::kExit)), &QPushButton::clicked, this,
          [this] { OnCommand(res::kIdCancel); });
}

CMeterConsoleDlg::~CMeterConsoleDlg() { DestroyWindow(); }

void CMeterConsoleDlg::BuildMenu(QMenuBar& menuBar) {
  const auto addItems = [this](QMenu& menu, std::span<const res::MenuItem> items) {
    for (const res::MenuItem& item : items) {
      QAction* action = menu.addAction(QString::fromUtf8(item.text));
      connect(action, &QAction::triggered, this,
              [this, commandId = item.command] { OnCommand(commandId); });
      menuActions_[item.id] = action;
    }
  };
  QMenu* system = menuBar.addMenu(QString::fromUtf8(res::kSystemMenuTitle));
  addItems(*system, res::kSystemMenuItems);
  system->addSeparator();
  addItems(*system, res::kHiddenCommandItems);
  addItems(*menuBar.addMenu(QString::fromUtf8(res::kHelpMenuTitle)), res::kHelpMenuItems);
}

void CMeterConsoleDlg::BindFields() {
  const auto box = [this](int controlId) { return static_cast<QLineEdit*>(Control(controlId)); };
  exchange_->BindInt(m_nMeterBaud, box(id::kMeterBaud));
  exchange_->BindInt(m_nUpperLimit, box(id::kUpperLimit));
  exchange_->BindInt(m_nDecimalPoint, box(id::kDecimalPoint));
  exchange_->BindInt(m_nLowerLimit, box(id::kLowerLimit));
  exchange_->BindInt(m_nDeviceAddress, box(id::kDeviceAddress));
  exchange_->BindText(m_strStatus, box(id::kStatus));
  exchange_->BindText(m_strLiveValue, box(id::kLiveValue));
  LinkStatistics& stats = poll_.Statistics();
  exchange_->BindText(stats.errorRate, box(id::kErrorRate));
  exchange_->BindInt(stats.successCount, box(id::kSuccessCount));
  exchange_->BindInt(stats.failureCount, box(id::kFailureCount));
}

QWidget* CMeterConsoleDlg::Control(int controlId) const {
  const auto it = controls_.find(controlId);
  return it == controls_.end() ? nullptr : it->second;
}

QLineEdit* CMeterConsoleDlg::Box(int controlId) const {
  return static_cast<QLineEdit*>(Control(controlId));
}

bool CMeterConsoleDlg::BeingEdited(int controlId) const {
  const QLineEdit* box = Box(controlId);
  return box->hasFocus() || box->isModified();
}

QAction* CMeterConsoleDlg::MenuAction(int menuId) const {
  const auto it = menuActions_.find(menuId);
  return it == menuActions_.end() ? nullptr : it->second;
}

void CMeterConsoleDlg::OnInitDialog() {
  UpdateData(false);
  instrument_ = InstrumentSettings{};
  m_bLogging = false;
  m_nSaveHours = 0;
  m_nSaveMinutes = 0;
  m_nSaveSeconds = 1;
  poll_.Statistics() = LinkStatistics{};
  OpenPort();
  m_nDeviceAddress = settings_.address;
  UpdateData(false);
  ShowLinkInformation(false);
}

void CMeterConsoleDlg::ShowLinkInformation(bool afterChange) {
  linkInfoAfterChange_ = afterChange;
  echoShown_ = link_.LineEchoes().value_or(false);
  linkInfo_ = LinkInformationText(settings_, afterChange, echoShown_);
  static_cast<QPlainTextEdit*>(Control(id::kLinkInfo))
      ->setPlainText(QString::fromStdString(linkInfo_).replace("\r\n", "\n"));
}

void CMeterConsoleDlg::ShowLocalEchoOnce() {
  if (!echoShown_ && link_.LineEchoes().value_or(false)) {
    ShowLinkInformation(linkInfoAfterChange_);
  }
}

int CMeterConsoleDlg::DoModal() {
  OnInitDialog();
  return ui_.RunDialog(*this);
}

void CMeterConsoleDlg::OpenPort() {
  ConfigurePort();
  port_.ClearReceiveBuffer();
}

void CMeterConsoleDlg::ConfigurePort() {
  port_.SelectPort(settings_.port);
  port_.SetLineFormat(SettingsText(settings_));
  const OpenResult opened = port_.Open();
  // Perhaps another line: whether it echoes is found out again.
  link_.ForgetLine();
  NotePortState(opened.opened);
  if (!opened) {
    ShowMessage(QStringLiteral("串口 %1 打开不成功：%2")
                    .arg(QString::fromStdString(opened.device),
                         QString::fromStdString(opened.reason)));
  }
}

bool CMeterConsoleDlg::OnCommand(int commandId) {
  if (commandId == res::kIdOk) {
    accept();
    return true;
  }
  if (commandId == res::kIdCancel) {
    reject();
    return true;
  }
  for (const Command& command : kCommands) {
    if (command.id == commandId) {
      (this->*command.handler)();
      ShowLocalEchoOnce();
      NotePortState(port_.IsOpen());
      return true;
    }
  }
  return false;
}

void CMeterConsoleDlg::OnTimer(int timerId) {
  if (timerId == kPollTimer) {
    PollMeasurement();
    ShowLocalEchoOnce();
    NotePortState(port_.IsOpen());
  } else if (timerId == kLogTimer) {
    AppendMeasurementTable();
  }
}

void CMeterConsoleDlg::NotePortState(bool open) {
  portOpen_ = open;
  ShowState();
}

QString CMeterConsoleDlg::StateText() const {
  QStringList states;
  if (!portOpen_) {
    states << QString::fromUtf8(res::text::kPortNotOpen);
  }
  if (logFailing_) {
    states << QString::fromUtf8(res::text::kLoggingFailing);
  }
  return states.join(QStringLiteral("  "));
}

void CMeterConsoleDlg::ShowState() { stateLabel_->setText(StateText()); }

void CMeterConsoleDlg::ShowLiveValueStale(bool stale) {
  liveStale_ = stale;
  QLineEdit* box = Box(id::kLiveValue);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Text, stale ? QColor(Qt::gray) : QApplication::palette().color(QPalette::Text));
  box->setPalette(palette);
  box->setToolTip(stale ? QString::fromUtf8(res::text::kLiveValueStale) : QString());
}

void CMeterConsoleDlg::timerEvent(QTimerEvent* event) {
  for (const int timerId : {kPollTimer, kLogTimer}) {
    if (event->timerId() == Timer(timerId).timerId()) {
      OnTimer(timerId);
      return;
    }
  }
  QDialog::timerEvent(event);
}

QBasicTimer& CMeterConsoleDlg::Timer(int timerId) {
  return timers_.at(static_cast<std::size_t>(timerId - kPollTimer));
}

const QBasicTimer& CMeterConsoleDlg::Timer(int timerId) const {
  return timers_.at(static_cast<std::size_t>(timerId - kPollTimer));
}

void CMeterConsoleDlg::StartTimer(int timerId, int periodMs) {
  // The log's time stamps follow one another to the second only on a
  // precise timer; the poll keeps the window timer's coarse one.
  Timer(timerId).start(periodMs, timerId == kLogTimer ? Qt::PreciseTimer : Qt::CoarseTimer, this);
}

bool CMeterConsoleDlg::IsTimerRunning(int timerId) const { return Timer(timerId).isActive(); }

void CMeterConsoleDlg::StopTimer(int timerId) { Timer(timerId).stop(); }

void CMeterConsoleDlg::SetButtonsEnabled(std::initializer_list<int> ids, bool enabled) {
  for (const int controlId : ids) {
    Control(controlId)->setEnabled(enabled);
    for (const res::MenuItem& item : res::kSystemMenuItems) {
      if (item.command == controlId) {
        menuActions_.at(item.id)->setEnabled(enabled);
      }
    }
  }
}

void CMeterConsoleDlg::ShowMessage(const QString& text) { ui_.ShowMessage(this, text); }

bool CMeterConsoleDlg::UpdateData(bool save) { return exchange_->UpdateData(save); }

void CMeterConsoleDlg::OnStartPolling() {
  SetButtonsEnabled({id::kStartPolling, id::kWriteParameters}, false);
  m_strStatus = QString::fromUtf8(res::text::kPolling);
  UpdateData(false);
  StartTimer(kPollTimer, static_cast<int>(kPollPeriodMs));
}

void CMeterConsoleDlg::OnStopPolling() {
  StopTimer(kPollTimer);
  ShowStopped();
}

void CMeterConsoleDlg::ShowStopped() {
  SetButtonsEnabled({id::kStartPolling, id::kWriteParameters}, true);
  m_strStatus = QString::fromUtf8(res::text::kStopped);
  UpdateData(false);
}

void CMeterConsoleDlg::PollMeasurement() {
  // A tick checks and rewrites no parameter box: a decimal point typed in its
  // box scales the value when the meter's cannot be read, a half-typed one
  // is left alone.
  if (const std::optional<int32_t> typed = ParseBoxInteger(Box(id::kDecimalPoint)->text())) {
    m_nDecimalPoint = *typed;
  }
  poll_.SetDecimalPoint(m_nDecimalPoint);
  const bool read = poll_.Tick();
  m_nDecimalPoint = poll_.DecimalPoint();
  if (poll_.LastReads().decimalPoint) {
    knownParameters_.insert(id::kDecimalPoint);
    if (!BeingEdited(id::kDecimalPoint)) {
      exchange_->ShowFields({Box(id::kDecimalPoint)});
    }
  }
  if (read) {
    m_strLiveValue = QString::fromStdString(*poll_.LiveText());
  }
  ShowLiveValueStale(!read);
  exchange_->ShowFields({Box(id::kLiveValue), Box(id::kSuccessCount), Box(id::kFailureCount),
                         Box(id::kErrorRate)});
}

void CMeterConsoleDlg::OnReadParameters() {
  const ParameterReads reads = session_.ReadParameters();
  struct Read {
    const std::optional<int32_t>& value;
    int32_t& field;
    int box;
    const char* caption;
  };
  const std::array<Read, 4> outcomes = {{
      {reads.upperLimit, m_nUpperLimit, id::kUpperLimit, res::text::kUpperLimitCaption},
      {reads.lowerLimit, m_nLowerLimit, id::kLowerLimit, res::text::kLowerLimitCaption},
      {reads.decimalPoint, m_nDecimalPoint, id::kDecimalPoint, res::text::kDecimalPointCaption},
      {reads.meterBaud, m_nMeterBaud, id::kMeterBaud, res::text::kMeterBaudCaption},
  }};
  // A box whose value did not come keeps what it shows, typed or read before.
  QString notRead;
  for (const Read& read : outcomes) {
    if (read.value) {
      read.field = *read.value;
      knownParameters_.insert(read.box);
      exchange_->ShowFields({Box(read.box)});
    } else {
      notRead += QStringLiteral(" ") + QString::fromUtf8(read.caption);
    }
  }
  m_strStatus = QString::fromUtf8(notRead.isEmpty() ? res::text::kParametersRead
                                                     : res::text::kParametersReadFailed);
  exchange_->ShowFields({Box(id::kStatus)});
  if (!notRead.isEmpty()) {
    ShowMessage(QString::fromUtf8(res::text::kParametersNotRead) + notRead);
  }
}

void CMeterConsoleDlg::OnWriteParameters() {
  QString unknown;
  for (const ParameterBox& parameter : kParameterBoxes) {
    if (!knownParameters_.contains(parameter.id)) {
      unknown += QStringLiteral(" ") + QString::fromUtf8(parameter.caption);
    }
  }
  if (!unknown.isEmpty()) {
    ShowMessage(QString::fromUtf8(res::text::kParametersUnknown) + unknown);
    return;
  }
  if (!UpdateData(true)) {
    return;
  }
  if (const std::optional<EnteredValue> refused = FirstParameterOutOfRange(
          {m_nUpperLimit, m_nLowerLimit, m_nDecimalPoint, m_nMeterBaud})) {
    ShowMessage(QStringLiteral("%1: %2").arg(QString::fromUtf8(refused->caption),
                                             RangePrompt(refused->range)));
    return;
  }
  // The box shows the code that was sent, not the rate, until the next read.
  m_nMeterBaud = BaudRateToIndex(m_nMeterBaud);
  const ParameterWrites writes =
      session_.WriteParameters({m_nUpperLimit, m_nLowerLimit, m_nDecimalPoint, m_nMeterBaud});
  m_strStatus = QString::fromUtf8(res::text::kWritingParameters);
  UpdateData(false);
  ShowMessage(QString::fromStdString(ParameterWriteReport(writes)));
}

void CMeterConsoleDlg::OnChangeAddress() {
  if (!UpdateData(true)) {
    return;
  }
  if (!value::kDeviceAddress.range.Contains(m_nDeviceAddress)) {
    ShowMessage(RangePrompt(value::kDeviceAddress.range));
    auto* box = static_cast<QLineEdit*>(Control(id::kDeviceAddress));
    box->setFocus();
    box->selectAll();
    return;
  }
  const bool confirmed = session_.ChangeAddress(m_nDeviceAddress);
  m_strStatus = QString::fromUtf8(res::text::kChangingAddress);
  UpdateData(false);
  ShowMessage(QString::fromUtf8(AddressChangeReport(confirmed)));
}

void CMeterConsoleDlg::OnReadSwitchStatus() {
  const std::optional<SwitchStatus> status = session_.ReadSwitchStatus();
  if (!status) {
    return;
  }
  static_cast<StateCharBox*>(Control(id::kRelayOutput))
      ->SetState(QString::fromUtf8(status->RelayOn() ? res::text::kRelayOn : res::text::kRelayOff),
                 status->RelayOn() ? kOnColour : kOffColour);
  static_cast<StateCharBox*>(Control(id::kSwitchInput))
      ->SetState(
          QString::fromUtf8(status->InputClosed() ? res::text::kInputClosed : res::text::kInputOpen),
          status->InputClosed() ? kOnColour : kOffColour);
  UpdateData(false);
}

void CMeterConsoleDlg::OnCommSettings() {
  const bool wasPolling = IsTimerRunning(kPollTimer);
  StopTimer(kPollTimer);
  CCommSettingsDlg dialog(ui_, this);
  dialog.SetSettings(settings_);
  if (dialog.DoModal() == QDialog::Accepted) {
    const LinkSettings chosen = dialog.Settings();
    // The meter is told its new rate at the old settings, old address included.
    if (chosen.baudRate != settings_.baudRate) {
      if (session_.ChangeLinkBaud(chosen.baudRate)) {
        settings_.baudRate = chosen.baudRate;
      } else {
        ShowMessage(QString::fromUtf8(res::text::kBaudChangeFailed));
      }
    }
    settings_.port = chosen.port;
    settings_.parity = chosen.parity;
    settings_.address = chosen.address;
    port_.Close();
    ConfigurePort();
    ShowLinkInformation(true);
  }
  port_.DiscardPendingInput();
  // The poll stays stopped, and the window says so.
  if (wasPolling) {
    ShowStopped();
  }
}

void CMeterConsoleDlg::OnInstrumentSetup() {
  const bool wasPolling = IsTimerRunning(kPollTimer);
  CMeterSetupDlg dialog(ui_, this);
  dialog.SetValues({instrument_.ptRatio, instrument_.ctRatio, instrument_.wiringMode});
  StopTimer(kPollTimer);
  if (dialog.DoModal() == QDialog::Accepted) {
    WriteInstrumentSettings(dialog.GetValues());
  }
  port_.DiscardPendingInput();
  if (wasPolling) {
    StartTimer(kPollTimer, static_cast<int>(kPollPeriodMs));
  }
}

void CMeterConsoleDlg::WriteInstrumentSettings(const CMeterSetupDlg::Values& values) {
  // The dialog keeps PT and CT within 16 bits. Each value is remembered once
  // the meter has confirmed it.
  const InstrumentSettings written{static_cast<uint16_t>(values.pt),
                                   static_cast<uint16_t>(values.ct), values.wiringMode};
  const InstrumentSetupOutcome outcome = WriteInstrumentSetup(session_, written);
  instrument_ = ConfirmedSettings(instrument_, written, outcome);
  ShowMessage(QString::fromUtf8(outcome.Report()));
}

void CMeterConsoleDlg::OnReadMeterClock() {
  const bool wasPolling = IsTimerRunning(kPollTimer);
  StopTimer(kPollTimer);
  const std::optional<MeterClock> reading = session_.ReadClock();
  ShowMessage(reading ? QString::fromStdString(FormatMeterClock(*reading))
                      : QString::fromUtf8(res::text::kClockFailed));
  if (wasPolling) {
    StartTimer(kPollTimer, static_cast<int>(kPollPeriodMs));
  }
}

void CMeterConsoleDlg::OnToggleLogging() {
  if (m_bLogging) {
    m_bLogging = false;
    SetLoggingCaption(res::text::kStartLogging);
    StopTimer(kLogTimer);
    logFailing_ = false;
    ShowState();
    return;
  }
  CSaveIntervalDlg dialog(ui_, this);
  dialog.SetInterval({m_nSaveHours, m_nSaveMinutes, m_nSaveSeconds});
  if (dialog.DoModal() != QDialog::Accepted) {
    return;
  }
  m_bLogging = true;
  SetLoggingCaption(res::text::kStopLogging);
  // The dialog has kept the period within 1 s and the largest timer period.
  logPeriodMs_ = static_cast<int>(zt::LogPeriodMs(dialog.GetInterval()));
  StartTimer(kLogTimer, logPeriodMs_);
}

void CMeterConsoleDlg::SetLoggingCaption(const char* caption) {
  static_cast<QPushButton*>(Control(id::kToggleLogging))->setText(QString::fromUtf8(caption));
  menuActions_.at(id::kToggleLogging)->setText(QString::fromUtf8(caption));
}

void CMeterConsoleDlg::AppendMeasurementTable() {
  if (AppendMeasurementBlock(logFile_, poll_.Quantities(), m_strEnergyUnit, wallClock_())) {
    if (logFailing_) {
      logFailing_ = false;
      ShowState();
    }
    return;
  }
  // One message for a failure, however many ticks fall due while it is
  // open or afterwards; the menu bar says logging is failing until an
  // append succeeds again or logging is stopped.
  if (logFailing_) {
    return;
  }
  logFailing_ = true;
  ShowState();
  ShowMessage(QString::fromUtf8(res::text::kLogFileFailed));
}

void CMeterConsoleDlg::OnTechSupport() {
  CAboutDlg about(this);
  ui_.RunDialog(about);
}

void CMeterConsoleDlg::OnPhaseCurrentAnalysis() {
  if (const std::optional<QString> reason = StartAnalysisProgram()) {
    ShowMessage(QString::fromUtf8(res::text::kAnalysisNotStarted)
                    .arg(QString::fromUtf8(kAnalysisProgram), *reason));
  }
}

void CMeterConsoleDlg::accept() {
  if (UpdateData(true)) {
    QDialog::accept();
  }
}

void CMeterConsoleDlg::keyPressEvent(QKeyEvent* event) {
  // No button is the default: Enter on a button presses that button, Enter
  // in an edit box moves on to the next control. The console ends only on
  // Esc, its close box or "退  出".
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->click();
    } else {
      focusNextChild();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void CMeterConsoleDlg::done(int result) {
  DestroyWindow();
  QDialog::done(result);
}

void CMeterConsoleDlg::DestroyWindow() {
  if (destroyed_) {
    return;
  }
  destroyed_ = true;
  StopTimer(kPollTimer);
  port_.Close();
  StopTimer(kLogTimer);
}

}  // namespace zt
