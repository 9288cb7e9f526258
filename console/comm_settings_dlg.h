#pragma once

#include <QDialog>

#include <memory>

#include "console/dialog_builder.h"
#include "link/link_settings.h"

class QLineEdit;
class QRadioButton;

namespace zt {

class DataExchange;
class ModalUi;

// The four link settings: meter address, port, baud rate and parity. The
// caller fills it, runs it and reads the settings back only after OK; it
// talks to no port.
class CCommSettingsDlg final : public QDialog {
 public:
  explicit CCommSettingsDlg(ModalUi& ui, QWidget* parent = nullptr);
  ~CCommSettingsDlg() override;

  void SetSettings(const LinkSettings& settings);
  LinkSettings Settings() const;

  // Initialises the controls from the fields and runs the dialog modally.
  int DoModal();

  QRadioButton* Radio(int id) const;
  QLineEdit* AddressBox() const;

  // OK: reads the address back; closes only when it is valid.
  void accept() override;

 private:
  void OnInitDialog();
  void OnRadio(int id);
  void CheckRadioButton(int first, int last, int checked);

  ModalUi& ui_;
  ControlMap controls_;
  std::unique_ptr<DataExchange> exchange_;

  int32_t m_nParity = kParityNone;
  int32_t m_nPort = 1;
  int32_t m_nBaudRate = 9600;
  uint8_t m_nAddress = 0;
};

}  // namespace zt
