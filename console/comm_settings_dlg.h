#pragma once

#include <QDialog>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "console/dialog_builder.h"
#include "link/link_settings.h"
#include "link/port_devices.h"
#include "link/port_list.h"
#include "link/transaction.h"
#include "meter/meter_scan.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace zt {

class DataExchange;
class MeterFinder;
struct FindReport;
class ModalUi;

// The four link settings: meter address, port, baud rate and parity, and
// which device each port number stands for, chosen from the serial ports the
// system reports when the dialog opens. The caller fills it, runs it and
// reads the settings back only after OK; it talks to no port itself. Given a
// finder, it also looks for a meter ("搜索仪表") on the chosen port and device
// and takes the address, rate and parity of the first one found; the window
// goes on answering meanwhile, and "停止搜索" ends the search within one try.
// A port number may also stand for a serial device server, given by host,
// port and kind; it is given back as tcp://HOST:PORT or rfc2217://HOST:PORT.
class CCommSettingsDlg final : public QDialog {
 public:
  explicit CCommSettingsDlg(ModalUi& ui, QWidget* parent = nullptr);
  ~CCommSettingsDlg() override;

  void SetSettings(const LinkSettings& settings);
  LinkSettings Settings() const;
  // The longest the line guard waits for a late reply to end, 0 to 10000 ms.
  void SetGuardLimit(std::chrono::milliseconds limit) {
    m_nGuardLimitMs = static_cast<uint32_t>(limit.count());
  }
  std::chrono::milliseconds GuardLimit() const { return std::chrono::milliseconds(m_nGuardLimitMs); }
  void SetDevices(const PortDevices& devices) { m_devices = devices; }
  PortDevices Devices() const { return m_devices; }
  // Asked for the present ports each time the dialog opens; without one the
  // lists hold only the devices given.
  void SetPortLister(PortLister* ports) { ports_ = ports; }
  // Without one the search is not offered.
  void SetFinder(MeterFinder* finder) { finder_ = finder; }
  bool Finding() const { return finding_; }
  // The rate chosen is the one a meter found by the search answered at: the
  // meter needs no telling.
  bool RateFoundOnMeter() const { return found_ && found_->baudRate == m_nBaudRate; }
  // The meter the latest search found, on its port at its address, rate
  // and parity; none before a search found one.
  const std::optional<LinkSettings>& FoundMeter() const { return found_; }

  QComboBox* DeviceBox(int16_t port) const;
  // The serial device server of a port number whose device list is on
  // "网络串口服务器": host, port and kind (raw TCP, RFC 2217), read on OK.
  QLineEdit* ServerHostBox(int16_t port) const;
  QLineEdit* ServerPortBox(int16_t port) const;
  QComboBox* ServerKindBox(int16_t port) const;
  QPushButton* FindButton() const;
  QPushButton* StopFindingButton() const;
  QProgressBar* FindProgress() const;
  QLabel* FindStatus() const;

  // Initialises the controls from the fields and runs the dialog modally.
  int DoModal();

  QRadioButton* Radio(int id) const;
  QLineEdit* AddressBox() const;
  QLineEdit* GuardLimitBox() const;

  // OK: reads the address back; closes only when it is valid. A search
  // under way is stopped.
  void accept() override;
  void reject() override;

 private:
  void OnInitDialog();
  void FillDeviceBox(int16_t port, const std::vector<SerialPortEntry>& present);
  bool NetworkChosen(int16_t port) const;
  void ShowServerRow(int16_t port, bool shown);
  // The server's device name from its boxes; on a bad box the prompt, that
  // box selected, and nothing.
  std::optional<std::string> ServerDevice(int16_t port);
  void Refuse(QLineEdit* box, const QString& prompt);
  void OnFindMeter();
  void OnFindProgress(const ScanProgress& progress);
  void OnFound(const FindReport& report);
  void ShowFinding(bool finding);
  void CheckLineRadios();
  void OnRadio(int id);
  void CheckRadioButton(int first, int last, int checked);

  ModalUi& ui_;
  ControlMap controls_;
  std::unique_ptr<DataExchange> exchange_;

  PortLister* ports_ = nullptr;
  MeterFinder* finder_ = nullptr;
  bool finding_ = false;
  std::optional<LinkSettings> found_;

  PortDevices m_devices;
  int32_t m_nParity = kParityNone;
  int32_t m_nPort = 1;
  int32_t m_nBaudRate = 9600;
  uint8_t m_nAddress = 0;
  uint32_t m_nGuardLimitMs = static_cast<uint32_t>(Transaction::kDefaultGuardLimit.count());
};

}  // namespace zt
