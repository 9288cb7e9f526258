// The console's measurement log: turning it on and off, and each append.
#include <QAction>
#include <QPushButton>

#include "console/log_failure.h"
#include "console/meter_console_dlg.h"
#include "console/save_interval_dlg.h"
#include "console/settings_memory.h"
#include "console/window_text.h"
#include "meter/measurement_log.h"
#include "meter/periods.h"
#include "res/console_template.h"
#include "res/texts.h"

namespace zt {

namespace id = res::console_id;

void CMeterConsoleDlg::OnToggleLogging() {
  if (m_bLogging) {
    m_bLogging = false;
    ShowLoggingCaptions(false);
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
  // Offered at the next start; within this run the dialog keeps offering
  // the interval the console opened with, as it always has.
  if (memory_ != nullptr) {
    memory_->SaveLogInterval(dialog.GetInterval());
  }
  m_bLogging = true;
  ShowLoggingCaptions(true);
  // The dialog has kept the period within 1 s and the largest timer period.
  logPeriodMs_ = static_cast<int>(zt::LogPeriodMs(dialog.GetInterval()));
  StartTimer(kLogTimer, logPeriodMs_);
}

void CMeterConsoleDlg::ShowLoggingCaptions(bool logging) {
  static_cast<QPushButton*>(Control(id::kToggleLogging))
      ->setText(Tr(logging ? res::text::kStopLogging : res::text::kStartLogging));
  menuActions_.at(id::kToggleLogging)
      ->setText(Tr(logging ? res::kStopLoggingItem : res::kStartLoggingItem));
}

void CMeterConsoleDlg::AppendMeasurementTable() {
  AppendFailure why;
  if (AppendMeasurementBlock(logFile_, quantities_, m_strEnergyUnit, wallClock_(), &why)) {
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
  ShowMessage(LogFailureMessage(logFile_, why));
}

}  // namespace zt
