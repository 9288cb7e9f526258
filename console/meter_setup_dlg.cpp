#include "console/meter_setup_dlg.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "console/data_exchange.h"
#include "console/modal_ui.h"
#include "meter/register_map.h"
#include "res/meter_setup_template.h"

namespace zt {

namespace id = res::setup_id;

CMeterSetupDlg::CMeterSetupDlg(ModalUi& ui, QWidget* parent)
    : QDialog(parent), ui_(ui), exchange_(std::make_unique<DataExchange>(ui, *this)) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  controls_ = BuildDialog(*this, res::kMeterSetupTemplate);
  ConnectOkAndCancel(*this, controls_);
  exchange_->BindUnsigned(m_nPT, PtBox(), kRatioMin, kRatioMax);
  exchange_->BindUnsigned(m_nCT, CtBox(), kRatioMin, kRatioMax);

  GroupRadios(*this, controls_, id::kFirstWiringRadio, id::kLastWiringRadio);
  for (int radio = id::kFirstWiringRadio; radio <= id::kLastWiringRadio; ++radio) {
    connect(static_cast<QRadioButton*>(controls_.at(radio)), &QRadioButton::clicked, this,
            [this, radio] { OnWiringRadio(radio); });
  }
}

CMeterSetupDlg::~CMeterSetupDlg() = default;

void CMeterSetupDlg::SetValues(const Values& values) {
  m_nPT = values.pt;
  m_nCT = values.ct;
  m_nWiringMode = values.wiringMode;
}

QLineEdit* CMeterSetupDlg::PtBox() const { return static_cast<QLineEdit*>(controls_.at(id::kPt)); }
QLineEdit* CMeterSetupDlg::CtBox() const { return static_cast<QLineEdit*>(controls_.at(id::kCt)); }

QRadioButton* CMeterSetupDlg::WiringRadio(uint8_t mode) const {
  return static_cast<QRadioButton*>(controls_.at(id::kFirstWiringRadio + mode));
}

int CMeterSetupDlg::DoModal() {
  OnInitDialog();
  return ui_.RunDialog(*this);
}

void CMeterSetupDlg::OnInitDialog() {
  exchange_->UpdateData(false);
  if (m_nWiringMode < kWiringModeCount) {
    OnWiringRadio(id::kFirstWiringRadio + m_nWiringMode);
  }
}

void CMeterSetupDlg::OnWiringRadio(int radio) {
  for (int other = id::kFirstWiringRadio; other <= id::kLastWiringRadio; ++other) {
    static_cast<QRadioButton*>(controls_.at(other))->setChecked(other == radio);
  }
  m_nWiringMode = static_cast<uint8_t>(radio - id::kFirstWiringRadio);
}

void CMeterSetupDlg::keyPressEvent(QKeyEvent* event) {
  // Enter on a button presses it; anywhere else it moves on to the next
  // control, so a value typed and confirmed with Enter is not yet sent.
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

void CMeterSetupDlg::accept() {
  if (exchange_->UpdateData(true)) {
    QDialog::accept();
  }
}

}  // namespace zt
