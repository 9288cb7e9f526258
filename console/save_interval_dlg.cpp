#include "console/save_interval_dlg.h"

#include <QLineEdit>
#include <QPushButton>

#include "console/data_exchange.h"
#include "console/modal_ui.h"
#include "console/window_text.h"
#include "res/save_interval_template.h"
#include "res/texts.h"

namespace zt {

namespace id = res::interval_id;

CSaveIntervalDlg::CSaveIntervalDlg(ModalUi& ui, QWidget* parent)
    : QDialog(parent), ui_(ui), exchange_(std::make_unique<DataExchange>(ui, *this)) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  controls_ = BuildDialog(*this, res::kSaveIntervalTemplate);
  ConnectOkAndCancel(*this, controls_);
  exchange_->BindInt(m_nHours, Box(id::kHours));
  exchange_->BindInt(m_nMinutes, Box(id::kMinutes));
  exchange_->BindInt(m_nSeconds, Box(id::kSeconds));
}

CSaveIntervalDlg::~CSaveIntervalDlg() = default;

void CSaveIntervalDlg::SetInterval(const Interval& interval) {
  m_nHours = interval.hours;
  m_nMinutes = interval.minutes;
  m_nSeconds = interval.seconds;
}

QLineEdit* CSaveIntervalDlg::Box(int controlId) const {
  return static_cast<QLineEdit*>(controls_.at(controlId));
}

int CSaveIntervalDlg::DoModal() {
  exchange_->UpdateData(false);
  return ui_.RunDialog(*this);
}

void CSaveIntervalDlg::accept() {
  if (!exchange_->UpdateData(true)) {
    return;
  }
  if (!IsValidLogPeriod(LogPeriodMs(GetInterval()))) {
    const int64_t longest = kMaxLogPeriodMs / 1000;
    ui_.ShowMessage(this, Tr(res::text::kLogIntervalOutOfRange)
                              .arg(longest / 3600)
                              .arg(longest % 3600 / 60)
                              .arg(longest % 60));
    Box(id::kSeconds)->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace zt
