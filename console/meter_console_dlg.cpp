#include "console/meter_console_dlg.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>

#include <span>

#include "console/comm_settings_dlg.h"
#include "console/data_exchange.h"
#include "console/frame_monitor_dlg.h"
#include "console/link_jobs.h"
#include "console/link_diagnostics_dlg.h"
#include "console/link_health_text.h"
#include "console/live_value_look.h"
#include "console/menu_bar_keys.h"
#include "console/meter_setup_dlg.h"
#include "console/settings_memory.h"
#include "console/modal_ui.h"
#include "console/open_failure.h"
#include "console/state_char_box.h"
#include "console/window_text.h"
#include "link/network_device.h"
#include "link/serial_port.h"
#include "meter/encoding.h"
#include "meter/parameter_write.h"
#include "meter/periods.h"
#include "meter/value_ranges.h"
#include "res/console_template.h"
#include "res/link_tool_texts.h"
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

CMeterConsoleDlg::CMeterConsoleDlg(ModalUi& ui, SerialPort& port, Clock& clock,
                                   const LinkSettings& settings, QWidget* parent)
    : CMeterConsoleDlg(ui, std::make_unique<LinkWorker>(port, clock, settings), settings, parent) {}

CMeterConsoleDlg::CMeterConsoleDlg(ModalUi& ui, std::unique_ptr<LinkWorker> worker,
                                   const LinkSettings& settings, QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      link_(std::make_unique<ConsoleLink>(std::move(worker), settings)),
      finder_(std::make_unique<ConsoleMeterFinder>(*link_)),
      exchange_(std::make_unique<DataExchange>(ui, *this)) {
  BuildWindow();
  link_->SetEvents({
      .commandsChanged = [this] { ShowCommandStates(); },
      .lineChanged = [this] { ShowState(); },
      // Every exchange of every command tells the health line, in order.
      .exchangesJudged =
          [this](const ExchangeVerdicts& verdicts) {
            for (const std::optional<FailureDiagnosis>& why : verdicts) {
              why ? recentFailures_.Failed(*why) : recentFailures_.Succeeded();
            }
            ShowState();
          },
      .exchangeEnded = [this] { ShowLocalEchoOnce(); },
      .pendingTickDue =
          [this] {
            if (IsTimerRunning(kPollTimer)) {
              StartPoll();
            }
          },
  });
}

void CMeterConsoleDlg::BuildWindow() {
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
  healthLabel_ = new QLabel(this);
  healthLabel_->setObjectName(QStringLiteral("health"));
  healthLabel_->setWordWrap(true);
  healthLabel_->setContentsMargins(8, 0, 8, 4);
  // Two lines, there whether they say something or not: the window keeps its size.
  healthLabel_->setFixedHeight(2 * healthLabel_->fontMetrics().lineSpacing() + 4);
  layout->addWidget(healthLabel_);
  BuildMenu(*menuBar);
  OpenMenuOnF10(*menuBar);
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

CMeterConsoleDlg::~CMeterConsoleDlg() {
  DestroyWindow();
  link_.reset();
}

void CMeterConsoleDlg::BuildMenu(QMenuBar& menuBar) {
  const auto addItems = [this](QMenu& menu, std::span<const res::MenuItem> items) {
    for (const res::MenuItem& item : items) {
      QAction* action = menu.addAction(Tr(item.text));
      connect(action, &QAction::triggered, this,
              [this, commandId = item.command] { OnCommand(commandId); });
      menuActions_[item.id] = action;
    }
  };
  QMenu* system = menuBar.addMenu(Tr(res::kSystemMenuTitle));
  addItems(*system, res::kSystemMenuItems);
  system->addSeparator();
  addItems(*system, res::kHiddenCommandItems);
  AddCommissionItem(*system);
  system->addSeparator();
  sideWindows_.AddMenuItems(*system);
  connect(system->addAction(Tr(res::text::kResetCountersItem)), &QAction::triggered, this,
          [this] { OnResetCounters(); });
  addItems(*menuBar.addMenu(Tr(res::kHelpMenuTitle)), res::kHelpMenuItems);
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
  LinkStatistics& stats = stats_;
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
  const LogInterval interval = memory_ != nullptr ? memory_->Load().logInterval : LogInterval{};
  m_nSaveHours = interval.hours;
  m_nSaveMinutes = interval.minutes;
  m_nSaveSeconds = interval.seconds;
  stats_ = LinkStatistics{};
  link_->MeasurementPoller().Statistics() = stats_;
  OpenPort();
  m_nDeviceAddress = Settings().address;
  UpdateData(false);
  ShowLinkInformation(false);
}

void CMeterConsoleDlg::ShowLinkInformation(bool afterChange) {
  linkInfoAfterChange_ = afterChange;
  echoShown_ = link_->LineEchoes();
  const std::string& device = Devices().For(Settings().port);
  linkInfo_ = LinkInformationText(Settings(), afterChange, echoShown_, device);
  const bool noteShown = !afterChange && !linkNote_.isEmpty();
  if (noteShown) {
    linkInfo_ += linkNote_.toStdString();
  }
  auto* box = static_cast<QPlainTextEdit*>(Control(id::kLinkInfo));
  // The settings fill the box; a note below them (an echoing adapter, a
  // device gone) is reached by a scroll bar instead of being cut off.
  const bool serverShown = NamesNetworkDevice(device);
  box->setVerticalScrollBarPolicy(echoShown_ || noteShown || serverShown ? Qt::ScrollBarAsNeeded
                                                                         : Qt::ScrollBarAlwaysOff);
  box->setPlainText(QString::fromStdString(linkInfo_).replace("\r\n", "\n"));
}

void CMeterConsoleDlg::ShowLocalEchoOnce() {
  if (!echoShown_ && link_->LineEchoes()) {
    ShowLinkInformation(linkInfoAfterChange_);
  }
}

int CMeterConsoleDlg::DoModal() {
  OnInitDialog();
  return ui_.RunDialog(*this);
}

void CMeterConsoleDlg::OpenPort() {
  link_->Open([this](const OpenResult& opened) { ReportOpen(opened); });
}

void CMeterConsoleDlg::ReportOpen(const OpenResult& opened) {
  link_->NotePortOpen(opened.opened);
  ShowState();
  if (!opened) {
    ShowMessage(OpenFailureMessage(opened));
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
      return true;
    }
  }
  return false;
}

void CMeterConsoleDlg::OnTimer(int timerId) {
  if (timerId == kPollTimer) {
    PollMeasurement();
  } else if (timerId == kLogTimer) {
    AppendMeasurementTable();
  }
}

QString CMeterConsoleDlg::StateText() const {
  QStringList states;
  if (link_->DeviceLost()) {
    states << Tr(res::text::kDeviceLost);
  } else if (!link_->PortOpen()) {
    states << Tr(res::text::kPortNotOpen);
  }
  if (logFailing_) {
    states << Tr(res::text::kLoggingFailing);
  }
  if (IsBusy()) {
    states << Tr(res::text::kLinkBusy);
  }
  return states.join(QStringLiteral("  "));
}

QString CMeterConsoleDlg::HealthText() const {
  return LinkHealthText(recentFailures_.MainCause(), link_->DeviceLost());
}

void CMeterConsoleDlg::ShowState() {
  healthLabel_->setText(HealthText());
  stateLabel_->setText(StateText());
  // The menu bar lays out its corner widget anew only when that is shown or
  // hidden: without this a longer text keeps the old width, a sliver.
  stateLabel_->hide();
  stateLabel_->show();
}

void CMeterConsoleDlg::ShowLiveValueStale(bool stale, bool unscaled) {
  liveStale_ = stale;
  ShowLiveValueLook(*Box(id::kLiveValue), stale,
                    Tr(unscaled ? res::text::kDecimalPointUnread : res::text::kLiveValueStale));
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
    if (!enabled) {
      commandFocus_.BeforeDisable(*Control(controlId));
    }
    Control(controlId)->setEnabled(enabled);
    if (enabled) {
      commandFocus_.AfterEnable(*Control(controlId));
    }
    for (const res::MenuItem& item : res::kSystemMenuItems) {
      if (item.command == controlId) {
        menuActions_.at(item.id)->setEnabled(enabled);
      }
    }
    // The hidden commands' menu items carry their control ids.
    if (QAction* action = MenuAction(controlId)) {
      action->setEnabled(enabled);
    }
  }
}

void CMeterConsoleDlg::ShowCommandStates() {
  // While a command's exchanges run, the commands that would talk to the
  // meter wait; menus, 停止运行, logging and leaving stay at hand.
  const bool idle = !IsBusy();
  SetButtonsEnabled({id::kStartPolling}, !polling_);
  SetButtonsEnabled({id::kWriteParameters}, !polling_ && idle);
  SetButtonsEnabled({id::kReadParameters, id::kChangeAddress, id::kReadSwitchStatus,
                     id::kCommSettings, id::kInstrumentSetup, id::kReadMeterClock},
                    idle);
  if (idle) {
    unsetCursor();
  } else {
    setCursor(Qt::BusyCursor);
  }
  ShowState();
}

void CMeterConsoleDlg::ShowMessage(const QString& text) { ui_.ShowMessage(this, text); }

bool CMeterConsoleDlg::UpdateData(bool save) { return exchange_->UpdateData(save); }

void CMeterConsoleDlg::OnStartPolling() {
  polling_ = true;
  ShowCommandStates();
  m_strStatus = Tr(res::text::kPolling);
  exchange_->ShowFields({Box(id::kStatus)});
  StartTimer(kPollTimer, static_cast<int>(kPollPeriodMs));
}

void CMeterConsoleDlg::OnStopPolling() {
  StopTimer(kPollTimer);
  // A poll on the line sends no further request.
  link_->StopPoll();
  ShowStopped();
}

void CMeterConsoleDlg::ShowStopped() {
  polling_ = false;
  ShowCommandStates();
  m_strStatus = Tr(res::text::kStopped);
  exchange_->ShowFields({Box(id::kStatus)});
}

void CMeterConsoleDlg::PollMeasurement() {
  if (link_->TakeTick()) {
    StartPoll();
  }
}

void CMeterConsoleDlg::StartPoll() {
  // A tick checks and rewrites no parameter box: a decimal point typed in its
  // box scales the value when the meter's cannot be read, a half-typed one
  // is left alone.
  if (const std::optional<int32_t> typed = ParseBoxInteger(Box(id::kDecimalPoint)->text())) {
    m_nDecimalPoint = *typed;
  }
  link_->Poll(
      m_nDecimalPoint, [this](const PollOutcome& outcome) {
        if (outcome.stopped) {
          return;
        }
        m_nDecimalPoint = outcome.decimalPoint;
        if (outcome.reads.decimalPoint) {
          knownParameters_.insert(id::kDecimalPoint);
          if (!BeingEdited(id::kDecimalPoint)) {
            exchange_->ShowFields({Box(id::kDecimalPoint)});
          }
        }
        // A value without a known scale is no reading: the box says why instead.
        const bool unscaled = outcome.failure && outcome.failure->decimalPointUnread;
        if (outcome.read || unscaled) {
          m_strLiveValue = unscaled ? Tr(res::text::kDecimalPointUnread)
                                    : QString::fromStdString(*outcome.live);
        }
        if (outcome.read && linkUnconfirmed_) {
          linkUnconfirmed_ = false;
          RememberLinkIfConfirmed();
        }
        stats_ = outcome.stats;
        quantities_ = outcome.quantities;
        ShowState();
        ShowLiveValueStale(!outcome.read, unscaled);
        exchange_->ShowFields({Box(id::kLiveValue), Box(id::kSuccessCount),
                               Box(id::kFailureCount), Box(id::kErrorRate)});
        sideWindows_.ShowPoll(outcome, wallClock_());
      });
}

void CMeterConsoleDlg::OnReadParameters() {
  RunCommand<ParameterReads>(
      [](LinkContext& link) { return link.session.ReadParameters(); },
      [this](const ParameterReads& reads) { ShowParameterReads(reads); });
}

void CMeterConsoleDlg::ShowParameterReads(const ParameterReads& reads) {
  const QString notRead = ShowParameterValues(reads);
  m_strStatus =
      Tr(notRead.isEmpty() ? res::text::kParametersRead : res::text::kParametersReadFailed);
  exchange_->ShowFields({Box(id::kStatus)});
  if (!notRead.isEmpty()) {
    ShowMessage(Tr(res::text::kParametersNotRead) + notRead);
  }
}

QString CMeterConsoleDlg::ShowParameterValues(const ParameterReads& reads) {
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
      notRead += QStringLiteral(" ") + Tr(read.caption);
    }
  }
  return notRead;
}

void CMeterConsoleDlg::OnWriteParameters() {
  QString unknown;
  for (const ParameterBox& parameter : kParameterBoxes) {
    if (!knownParameters_.contains(parameter.id)) {
      unknown += QStringLiteral(" ") + Tr(parameter.caption);
    }
  }
  if (!unknown.isEmpty()) {
    ShowMessage(Tr(res::text::kParametersUnknown) + unknown);
    return;
  }
  if (!UpdateData(true)) {
    return;
  }
  if (const std::optional<EnteredValue> refused = FirstParameterOutOfRange(
          {m_nUpperLimit, m_nLowerLimit, m_nDecimalPoint, m_nMeterBaud})) {
    ShowMessage(QStringLiteral("%1: %2").arg(Tr(refused->caption),
                                             RangePrompt(refused->range)));
    return;
  }
  // The box shows the code that was sent, not the rate, until the next read.
  m_nMeterBaud = BaudRateToIndex(m_nMeterBaud);
  const ParameterValues values{m_nUpperLimit, m_nLowerLimit, m_nDecimalPoint, m_nMeterBaud};
  RunCommand<ParameterWrites>(
      [values](LinkContext& link) { return link.session.WriteParameters(values); },
      [this](const ParameterWrites& writes) {
        m_strStatus = Tr(res::text::kWritingParameters);
        UpdateData(false);
        ShowMessage(QString::fromStdString(ParameterWriteReport(writes, TranslatedText, true)));
      });
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
  const int32_t newAddress = m_nDeviceAddress;
  RunCommand<Explained<bool>>(
      [newAddress](LinkContext& link) {
        return Explained<bool>{link.session.ChangeAddress(newAddress), link.session.LastFailure()};
      },
      [this](const Explained<bool>& change) {
        m_strStatus = Tr(res::text::kChangingAddress);
        UpdateData(false);
        ShowMessage(WithCause(Tr(AddressChangeReport(change.value)), change.why));
      });
}

void CMeterConsoleDlg::OnReadSwitchStatus() {
  RunCommand<std::optional<SwitchStatus>>(
      [](LinkContext& link) { return link.session.ReadSwitchStatus(); },
      [this](const std::optional<SwitchStatus>& status) {
        if (status) {
          ShowSwitchStatus(*status);
        }
      });
}

void CMeterConsoleDlg::ShowSwitchStatus(const SwitchStatus& status) {
  static_cast<StateCharBox*>(Control(id::kRelayOutput))
      ->SetState(Tr(status.RelayOn() ? res::text::kRelayOn : res::text::kRelayOff, res::kSwitchStateMeaning),
                 status.RelayOn() ? StateCharBox::kOnRed : StateCharBox::kOffGreen);
  static_cast<StateCharBox*>(Control(id::kSwitchInput))
      ->SetState(
          Tr(status.InputClosed() ? res::text::kInputClosed : res::text::kInputOpen,
             res::kSwitchStateMeaning),
          status.InputClosed() ? StateCharBox::kOnRed : StateCharBox::kOffGreen);
}

void CMeterConsoleDlg::OnCommSettings() {
  const bool wasPolling = IsTimerRunning(kPollTimer);
  StopTimer(kPollTimer);
  CCommSettingsDlg dialog(ui_, this);
  dialog.SetSettings(Settings());
  dialog.SetDevices(Devices());
  dialog.SetGuardLimit(link_->GuardLimit());
  dialog.SetPortLister(ports_);
  dialog.SetFinder(finder_.get());
  if (dialog.DoModal() != QDialog::Accepted) {
    link_->DiscardInput([this, wasPolling] {
      if (wasPolling) {
        ShowStopped();
      }
    });
    return;
  }
  const LinkSettings chosen = dialog.Settings();
  const bool newAddress = chosen.address != Settings().address;
  SetPortDevices(dialog.Devices());
  link_->SetGuardLimit(dialog.GuardLimit());
  if (memory_ != nullptr) {
    memory_->SaveGuardLimit(dialog.GuardLimit());
  }
  // A rate at which the search found the meter answering is the meter's
  // already: it is taken without telling the meter.
  const bool tellMeter = !dialog.RateFoundOnMeter();
  link_->Change(
      chosen, tellMeter, dialog.FoundMeter(),
      [this, wasPolling, newAddress](const LinkChange& change) {
        if (change.baudRefused) {
          ShowMessage(WithCause(Tr(res::text::kBaudChangeFailed), change.baudWhy));
        }
        if (change.serverRateToSet) {
          ShowMessage(Tr(res::text::kSetServerRate).arg(*change.serverRateToSet));
        }
        link_->SetSettings(change.settings);
        // Remembered as the meter confirmed them: a rate it refused is not,
        // and a new address once a poll has answered there.
        linkUnconfirmed_ = newAddress;
        RememberLinkIfConfirmed();
        // 修改地址 starts from the address the console now talks to: the old
        // one left in the box would move the meter back.
        if (newAddress && !BeingEdited(id::kDeviceAddress)) {
          m_nDeviceAddress = change.settings.address;
          exchange_->ShowFields({Box(id::kDeviceAddress)});
        }
        ReportOpen(change.opened);
        ShowLinkInformation(true);
        // The poll stays stopped, and the window says so.
        if (wasPolling) {
          ShowStopped();
        }
      });
}

void CMeterConsoleDlg::RememberLinkIfConfirmed() {
  if (memory_ != nullptr && !linkUnconfirmed_.value_or(true)) {
    memory_->SaveLink(Settings(), Devices());
    linkUnconfirmed_.reset();
  }
}

void CMeterConsoleDlg::OnInstrumentSetup() { RunInstrumentSetup(instrument_); }

void CMeterConsoleDlg::RunInstrumentSetup(const InstrumentSettings& shown) {
  const bool wasPolling = IsTimerRunning(kPollTimer);
  CMeterSetupDlg dialog(ui_, this);
  dialog.SetValues({shown.ptRatio, shown.ctRatio, shown.wiringMode});
  StopTimer(kPollTimer);
  const bool accepted = dialog.DoModal() == QDialog::Accepted;
  // The dialog keeps PT and CT within 16 bits.
  const CMeterSetupDlg::Values values = dialog.GetValues();
  const InstrumentSettings written{static_cast<uint16_t>(values.pt),
                                   static_cast<uint16_t>(values.ct), values.wiringMode};
  RunCommand<std::optional<InstrumentSetupOutcome>>(
      [accepted, written](LinkContext& link) {
        return InstrumentSetupJob(link, accepted, written);
      },
      [this, written, wasPolling](const std::optional<InstrumentSetupOutcome>& outcome) {
        if (outcome) {
          // Each value is remembered once the meter has confirmed it.
          instrument_ = ConfirmedSettings(instrument_, written, *outcome);
          Commissioning().NoteInstrumentSetup(written, *outcome, wallClock_());
          ShowMessage(WithCause(Tr(outcome->Report()), outcome->why));
        }
        if (wasPolling) {
          StartTimer(kPollTimer, static_cast<int>(kPollPeriodMs));
        }
        // What was typed is not lost: the dialog opens again with it, once
        // this command has left the line.
        if (outcome && !outcome->AllConfirmed()) {
          QMetaObject::invokeMethod(
              this, [this, written] { RunInstrumentSetup(written); }, Qt::QueuedConnection);
        }
      });
}

void CMeterConsoleDlg::OnReadMeterClock() {
  const bool wasPolling = IsTimerRunning(kPollTimer);
  StopTimer(kPollTimer);
  using ClockReading = Explained<std::optional<MeterClock>>;
  RunCommand<ClockReading>(
      [](LinkContext& link) {
        return ClockReading{link.session.ReadClock(), link.session.LastFailure()};
      },
      [this, wasPolling](const ClockReading& reading) {
        const std::string format = Tr(res::text::kMeterClockFormat).toStdString();
        ShowMessage(reading.value
                        ? QString::fromStdString(FormatMeterClock(*reading.value, format.c_str()))
                        : WithCause(Tr(res::text::kClockFailed), reading.why));
        if (wasPolling) {
          StartTimer(kPollTimer, static_cast<int>(kPollPeriodMs));
        }
      });
}

void CMeterConsoleDlg::OnResetCounters() {
  const auto showZero = [this] {
    stats_ = LinkStatistics{};
    recentFailures_.Succeeded();
    exchange_->ShowFields({Box(id::kSuccessCount), Box(id::kFailureCount), Box(id::kErrorRate)});
    ShowState();
  };
  showZero();
  // Once the poll on the line, if any, has shown its counts.
  link_->ResetCounters(showZero);
}

void CMeterConsoleDlg::accept() {
  if (UpdateData(true)) {
    QDialog::accept();
  }
}

void CMeterConsoleDlg::done(int result) {
  DestroyWindow();
  QDialog::done(result);
}

void CMeterConsoleDlg::DestroyWindow() {
  if (destroyed_) {
    return;
  }
  StopTimer(kPollTimer);
  link_->Shut();
  destroyed_ = true;
  StopTimer(kLogTimer);
}

}  // namespace zt
