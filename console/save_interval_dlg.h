#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>

#include "console/dialog_builder.h"
#include "meter/periods.h"

class QLineEdit;

namespace zt {

class DataExchange;
class ModalUi;

// Asks for the logging interval in hours, minutes and seconds. The caller
// fills it, runs it and reads the interval back only after OK.
class CSaveIntervalDlg final : public QDialog {
 public:
  using Interval = LogInterval;

  explicit CSaveIntervalDlg(ModalUi& ui, QWidget* parent = nullptr);
  ~CSaveIntervalDlg() override;

  void SetInterval(const Interval& interval);
  Interval GetInterval() const { return {m_nHours, m_nMinutes, m_nSeconds}; }

  int DoModal();
  // OK: reads the three boxes back; closes only when the period is at least
  // one second and fits a timer.
  void accept() override;

  QLineEdit* Box(int id) const;

 private:
  ModalUi& ui_;
  ControlMap controls_;
  std::unique_ptr<DataExchange> exchange_;

  int32_t m_nHours = 0;
  int32_t m_nMinutes = 0;
  int32_t m_nSeconds = 1;
};

}  // namespace zt
