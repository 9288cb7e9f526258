#include "console/comm_settings_dlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "console/data_exchange.h"
#include "console/modal_ui.h"
#include "meter/register_map.h"
#include "res/comm_settings_template.h"

namespace zt {

namespace {

constexpr int kFirstBaudRadio = 1011;
constexpr int kLastBaudRadio = 1015;
constexpr int kFirstPortRadio = 1009;
constexpr int kLastPortRadio = 1010;
constexpr int kFirstParityRadio = 1016;
constexpr int kLastParityRadio = 1018;

}  // namespace

CCommSettingsDlg::CCommSettingsDlg(ModalUi& ui, QWidget* parent)
    : QDialog(parent), ui_(ui), exchange_(std::make_unique<DataExchange>(ui, *this)) {
  // A caption and no system menu, so no close box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  controls_ = BuildDialog(*this, res::kCommSettingsTemplate);
  ConnectOkAndCancel(*this, controls_);
  exchange_->BindUnsigned(m_nAddress, AddressBox(), 0, 255);

  GroupRadios(*this, controls_, kFirstPortRadio, kLastPortRadio);
  GroupRadios(*this, controls_, kFirstBaudRadio, kLastBaudRadio);
  GroupRadios(*this, controls_, kFirstParityRadio, kLastParityRadio);
  for (int id = kFirstPortRadio; id <= kLastParityRadio; ++id) {
    connect(Radio(id), &QRadioButton::clicked, this, [this, id] { OnRadio(id); });
  }
}

CCommSettingsDlg::~CCommSettingsDlg() = default;

void CCommSettingsDlg::SetSettings(const LinkSettings& settings) {
  m_nAddress = settings.address;
  m_nPort = settings.port;
  m_nBaudRate = settings.baudRate;
  m_nParity = settings.parity;
}

LinkSettings CCommSettingsDlg::Settings() const {
  return {m_nAddress, static_cast<int16_t>(m_nPort), m_nBaudRate, m_nParity};
}

QRadioButton* CCommSettingsDlg::Radio(int id) const {
  return static_cast<QRadioButton*>(controls_.at(id));
}

QLineEdit* CCommSettingsDlg::AddressBox() const {
  return static_cast<QLineEdit*>(controls_.at(res::comm_id::kAddress));
}

int CCommSettingsDlg::DoModal() {
  OnInitDialog();
  return ui_.RunDialog(*this);
}

void CCommSettingsDlg::OnInitDialog() {
  exchange_->UpdateData(false);
  // A rate outside the five checks no baud radio.
  if (const std::optional<int32_t> index = BaudIndexOf(m_nBaudRate)) {
    CheckRadioButton(kFirstBaudRadio, kLastBaudRadio, kFirstBaudRadio + *index);
  }
  CheckRadioButton(kFirstPortRadio, kLastPortRadio, 1008 + m_nPort);
  CheckRadioButton(kFirstParityRadio, kLastParityRadio, kFirstParityRadio + m_nParity);
}

void CCommSettingsDlg::OnRadio(int id) {
  if (id >= kFirstBaudRadio && id <= kLastBaudRadio) {
    CheckRadioButton(kFirstBaudRadio, kLastBaudRadio, id);
    m_nBaudRate = kBaudIndexRates[static_cast<std::size_t>(id - kFirstBaudRadio)];
  } else if (id >= kFirstPortRadio && id <= kLastPortRadio) {
    CheckRadioButton(kFirstPortRadio, kLastPortRadio, id);
    m_nPort = id - 1008;
  } else {
    CheckRadioButton(kFirstParityRadio, kLastParityRadio, id);
    m_nParity = id - kFirstParityRadio;
  }
}

void CCommSettingsDlg::CheckRadioButton(int first, int last, int checked) {
  for (int id = first; id <= last; ++id) {
    Radio(id)->setChecked(id == checked);
  }
}

void CCommSettingsDlg::accept() {
  if (exchange_->UpdateData(true)) {
    QDialog::accept();
  }
}

}  // namespace zt
