#include "link/qt_serial_port.h"

#include <QSerialPort>

#include <algorithm>
#include <limits>

namespace zt {

namespace {

QSerialPort::Parity ToQt(Parity parity) {
  switch (parity) {
    case Parity::Odd:
      return QSerialPort::OddParity;
    case Parity::Even:
      return QSerialPort::EvenParity;
    case Parity::None:
      break;
  }
  return QSerialPort::NoParity;
}

}  // namespace

QtSerialPort::QtSerialPort(PortDeviceMap devices)
    : port_(std::make_unique<QSerialPort>()), devices_(std::move(devices)) {}

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
    return result;
  }
  if (!ApplyLineFormat()) {
    result.reason = port_->errorString().toStdString();
    port_->close();
    port_->clearError();
    return result;
  }
  result.opened = true;
  return result;
}

void QtSerialPort::Close() {
  if (port_->isOpen()) {
    port_->close();
  }
  port_->clearError();
}

bool QtSerialPort::IsOpen() const { return port_->isOpen(); }

// QSerialPort always returns every waiting byte from readAll; there is no
// fixed read length to reset.
void QtSerialPort::ReadEverything() {}

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

bool QtSerialPort::StillThere() {
  if (!port_->isOpen()) {
    return false;
  }
  const QSerialPort::SerialPortError error = port_->error();
  // A pulled adapter or a hung-up line shows first as a read or write error,
  // then as a resource error; none of them clears by itself.
  if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
      error == QSerialPort::WriteError || error == QSerialPort::PermissionError ||
      error == QSerialPort::DeviceNotFoundError) {
    port_->close();
    port_->clearError();
    return false;
  }
  if (error != QSerialPort::NoError) {
    // A timeout of the zero-length wait and similar passing errors.
    port_->clearError();
  }
  return true;
}

}  // namespace zt
