// The console's "调试检查": its menu item, the window it opens, and the
// console following the meter after an apply.
#include <QAction>
#include <QLineEdit>
#include <QMenu>

#include "console/commission_dlg.h"
#include "console/commission_runner.h"
#include "console/data_exchange.h"
#include "console/meter_console_dlg.h"
#include "console/window_text.h"
#include "link/port_devices.h"
#include "meter/periods.h"
#include "res/commission_texts.h"
#include "res/console_template.h"
#include "zt6100/version.h"

namespace zt {

namespace {

// The meter answered a read at each new address and rate the apply gave it.
bool LinkProven(const ApplyReport& apply) {
  for (const ApplyStep& step : apply.steps) {
    if ((step.key == row::kAddress || step.key == row::kBaud) &&
        step.state != StepState::Confirmed) {
      return false;
    }
  }
  return true;
}

}  // namespace

void CMeterConsoleDlg::AddCommissionItem(QMenu& menu) {
  connect(menu.addAction(Tr(res::text::kCommissionItem)), &QAction::triggered, this,
          [this] { OnCommissionCheck(); });
}

ConsoleCommissionRunner& CMeterConsoleDlg::Commissioning() {
  if (!commission_) {
    commission_ = std::make_unique<ConsoleCommissionRunner>(
        *link_, [this] { return wallClock_(); },
        [this](const CheckReport& check) { ShowCheckedMeter(check); },
        [this](const CommissionApplyOutcome& outcome) { FollowCommissionedMeter(outcome); });
  }
  return *commission_;
}

void CMeterConsoleDlg::OnCommissionCheck() {
  // The window's check polls the live value itself; the console's poll waits.
  const bool wasPolling = IsTimerRunning(kPollTimer);
  StopTimer(kPollTimer);
  CCommissionDlg::Setup setup;
  setup.profilePath = commissionProfile_;
  setup.consoleVersion = std::string(kVersion);
  setup.port = Devices().DeviceFor(Settings().port);
  setup.wallClock = wallClock_;
  CCommissionDlg dialog(ui_, Commissioning(), std::move(setup), commissionPaths_, this);
  dialog.DoModal();
  commissionProfile_ = dialog.ProfilePath();
  if (wasPolling) {
    StartTimer(kPollTimer, static_cast<int>(kPollPeriodMs));
  }
}

void CMeterConsoleDlg::ShowCheckedMeter(const CheckReport& check) {
  ShowParameterValues(check.parameters);
  if (check.states) {
    ShowSwitchStatus(*check.states);
  }
}

void CMeterConsoleDlg::FollowCommissionedMeter(const CommissionApplyOutcome& outcome) {
  ShowCheckedMeter(outcome.report.after ? *outcome.report.after : outcome.report.before);
  // The 仪表设置 dialog offers what the meter has confirmed.
  const ConfirmedInstrument& confirmed = outcome.confirmed;
  if (confirmed.pt) {
    instrument_.ptRatio = static_cast<uint16_t>(confirmed.pt->value);
  }
  if (confirmed.ct) {
    instrument_.ctRatio = static_cast<uint16_t>(confirmed.ct->value);
  }
  if (confirmed.wiring) {
    instrument_.wiringMode = static_cast<uint8_t>(confirmed.wiring->value);
  }
  if (outcome.settings == Settings()) {
    return;
  }
  link_->SetSettings(outcome.settings);
  m_nDeviceAddress = outcome.settings.address;
  exchange_->ShowFields({Box(res::console_id::kDeviceAddress)});
  // Remembered for the next start once a read at the new settings proved
  // them, or else once a poll answers there.
  linkUnconfirmed_ = !LinkProven(outcome.report);
  RememberLinkIfConfirmed();
  ShowLinkInformation(true);
}

}  // namespace zt
