#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>

#include "console/dialog_builder.h"

class QLineEdit;
class QRadioButton;

namespace zt {

class DataExchange;
class ModalUi;

// PT, CT and wiring mode to be written to the meter. The caller fills it,
// runs it and reads the values back only after OK; it talks to no port.
class CMeterSetupDlg final : public QDialog {
 public:
  struct Values {
    uint32_t pt = 0;
    uint32_t ct = 0;
    uint8_t wiringMode = 0;
  };

  explicit CMeterSetupDlg(ModalUi& ui, QWidget* parent = nullptr);
  ~CMeterSetupDlg() override;

  void SetValues(const Values& values);
  Values GetValues() const { return {m_nPT, m_nCT, m_nWiringMode}; }

  // Initialises the controls from the fields and runs the dialog modally.
  int DoModal();
  // OK: reads PT, then CT, back; closes only when both are within 1 to 64000.
  void accept() override;

  QLineEdit* PtBox() const;
  QLineEdit* CtBox() const;
  QRadioButton* WiringRadio(uint8_t mode) const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnInitDialog();
  void OnWiringRadio(int id);

  ModalUi& ui_;
  ControlMap controls_;
  std::unique_ptr<DataExchange> exchange_;

  uint8_t m_nWiringMode = 0;
  uint32_t m_nPT = 0;
  uint32_t m_nCT = 0;
};

}  // namespace zt
