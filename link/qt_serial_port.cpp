#include "link/qt_serial_port.h"

#include <QSerialPort>

#include <algorithm>
#include <limits>

#include "link/clock.h"
#include "link/device_permission.h"

namespace zt {

namespace {

// Errors after which the device is gone for good: a pulled adapter or a
// hung-up line shows first as a read or write error, then as a resource
// error; none of them clears by itself.
bool IsLoss(QSerialPort::SerialPortError error) {
  return error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
         error == QSerialPort::WriteError || error == QSerialPort::PermissionError ||
         error == QSerialPort::DeviceNotFoundError;
}

QSerialPort::Parity ToQt(ParityIndex parity) {
  switch (parity) {
    case kParityOdd:
      return QSerialPort::OddParity;
    case kParityEven:
      return QSerialPort::EvenParity;
    case kParityNone:
      break;
  }
  return QSerialPort::NoParity;
}

}  // namespace

QtSerialPort::QtSerialPort(PortDevices devices)
    : port_(std::make_unique<QSerialPort>()), devices_(std::move(devices)) {
  // While no exchange runs, the event loop reads the port; a hung-up tty is
  // readable for ever, so the port is closed at the first error it reports.
  QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(),
                   [this](QSerialPort::SerialPortError error) {
                     if (port_->isOpen() && IsLoss(error)) {
                       LoseDevice();
                     }
                   });
}

QtSerialPort::~QtSerialPort() = default;

void QtSerialPort::SelectPort(int16_t portNumber) { portNumber_ = portNumber; }

bool QtSerialPort::SetLineFormat(std::string_view settingsText) {
  const std::optional<LineFormat> parsed = ParseSettingsText(settingsText);
  if (!parsed) {
    return false;
  }
  format_ = *parsed;
  return !port_->isOpen() || ApplyLineFormat();
}

bool QtSerialPort::ApplyLineFormat() {
  return port_->setBaudRate(format_.baudRate) &&
         port_->setDataBits(static_cast<QSerialPort::DataBits>(format_.dataBits)) &&
         port_->setParity(ToQt(format_.parity)) &&
         port_->setStopBits(format_.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
         port_->setFlowControl(QSerialPort::NoFlowControl);
}

OpenResult QtSerialPort::Open() {
  OpenResult result;
  result.device = Device();
  if (port_->isOpen()) {
    port_->close();
  }
  port_->setPortName(QString::fromStdString(result.device));
  if (!port_->open(QIODevice::ReadWrite)) {
    result.reason = port_->errorString().toStdString();
    port_->clearError();
    // Qt says "permission" for a port held by another program too; only the
    // device's own permissions tell the user to join its group.
    if (const std::optional<DeviceAccessDenied> denied = CheckDeviceAccess(result.device)) {
      result.permissionDenied = true;
      result.deviceGroup = denied->group;
    }
    return result;
  }
  if (!ApplyLineFormat()) {
    result.reason = port_->errorString().toStdString();
    port_->close();
    port_->clearError();
    return result;
  }
  result.opened = true;
  lost_ = false;
  return result;
}

void QtSerialPort::Close() {
  if (port_->isOpen()) {
    port_->close();
  }
  port_->clearError();
}

bool QtSerialPort::IsOpen() const { return port_->isOpen(); }

void QtSerialPort::ClearReceiveBuffer() { DiscardPendingInput(); }

void QtSerialPort::DiscardPendingInput() {
  if (StillThere()) {
    port_->clear(QSerialPort::Input);
    port_->readAll();
  }
}

int16_t QtSerialPort::CountWaiting() {
  if (!StillThere()) {
    return 0;
  }
  port_->waitForReadyRead(0);
  if (!StillThere()) {
    return 0;
  }
  const qint64 waiting = port_->bytesAvailable();
  return static_cast<int16_t>(std::min<qint64>(waiting, std::numeric_limits<int16_t>::max()));
}

std::vector<uint8_t> QtSerialPort::ReadWaiting() {
  if (!StillThere()) {
    return {};
  }
  const QByteArray bytes = port_->readAll();
  StillThere();
  return {bytes.begin(), bytes.end()};
}

void QtSerialPort::Write(const uint8_t* data, int16_t length) {
  if (!StillThere() || length <= 0) {
    return;
  }
  port_->write(reinterpret_cast<const char*>(data), length);
  // Hands the bytes to the operating system now, without waiting for them to
  // leave the line: no event loop runs until the exchange is over.
  port_->flush();
  StillThere();
}

bool QtSerialPort::WaitForBytes(std::chrono::microseconds timeout) {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  if (StillThere() && port_->bytesAvailable() > 0) {
    return true;
  }
  // waitForReadyRead blocks in poll() until bytes arrive; it counts whole
  // milliseconds and may wake a little after them, so it is given one less
  // and the rest is slept to the exact deadline.
  const auto whole = duration_cast<milliseconds>(timeout) - milliseconds(1);
  if (StillThere() && whole.count() > 0) {
    port_->waitForReadyRead(static_cast<int>(std::min<milliseconds::rep>(
        whole.count(), std::numeric_limits<int>::max())));
    if (StillThere() && port_->bytesAvailable() > 0) {
      return true;
    }
  }
  SleepUntilSteady(deadline);
  return StillThere() && CountWaiting() > 0;
}

void QtSerialPort::LoseDevice() {
  lost_ = true;
  port_->close();
  port_->clearError();
}

bool QtSerialPort::StillThere() {
  if (!port_->isOpen()) {
    return false;
  }
  const QSerialPort::SerialPortError error = port_->error();
  if (IsLoss(error)) {
    LoseDevice();
    return false;
  }
  if (error != QSerialPort::NoError) {
    // A timeout of the zero-length wait and similar passing errors.
    port_->clearError();
  }
  return true;
}

}  // namespace zt
