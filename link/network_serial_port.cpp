#include "link/network_serial_port.h"

#include <QTcpSocket>

#include <algorithm>
#include <limits>
#include <thread>

namespace zt {

namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

int Msecs(milliseconds wait) {
  return static_cast<int>(std::clamp<milliseconds::rep>(wait.count(), 0, std::numeric_limits<int>::max()));
}

std::string ConnectFailure(const QTcpSocket& socket) {
  const std::string system = socket.errorString().toStdString();
  switch (socket.error()) {
    case QAbstractSocket::HostNotFoundError:
      return "the host name does not resolve (" + system + ")";
    case QAbstractSocket::ConnectionRefusedError:
      return "the server refuses the connection (" + system + ")";
    case QAbstractSocket::SocketTimeoutError:
      return "no answer within 3 s";
    default:
      break;
  }
  return system;
}

}  // namespace

NetworkSerialPort::NetworkSerialPort(PortDevices devices)
    : socket_(std::make_unique<QTcpSocket>()), devices_(std::move(devices)) {}

NetworkSerialPort::~NetworkSerialPort() = default;

bool NetworkSerialPort::SetsLineFormat() const {
  const std::optional<NetworkDevice> server = ParseNetworkDevice(Device());
  return !server || server->kind == NetworkDevice::Kind::kRfc2217;
}

bool NetworkSerialPort::SetLineFormat(std::string_view settingsText) {
  const std::optional<LineFormat> parsed = ParseSettingsText(settingsText);
  if (!parsed) {
    return false;
  }
  format_ = *parsed;
  if (!StillThere() || server_->kind != NetworkDevice::Kind::kRfc2217) {
    return true;
  }
  const std::vector<uint8_t> commands = telnet_.SetLine(format_);
  socket_->write(reinterpret_cast<const char*>(commands.data()), static_cast<qint64>(commands.size()));
  socket_->flush();
  return AwaitLine().empty();
}

OpenResult NetworkSerialPort::Open() {
  OpenResult result;
  result.device = Device();
  Close();
  std::string problem;
  const std::optional<NetworkDevice> server = ParseNetworkDevice(result.device, &problem);
  if (!server) {
    result.reason = problem;
    return result;
  }
  socket_->connectToHost(QString::fromStdString(server->host), server->port);
  if (!socket_->waitForConnected(Msecs(kAnswerWithin))) {
    result.reason = ConnectFailure(*socket_);
    socket_->abort();
    return result;
  }
  // A request is one small write that must leave at once.
  socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  server_ = server;
  telnet_ = TelnetComPort{};
  received_.clear();
  open_ = true;
  if (server->kind == NetworkDevice::Kind::kRfc2217) {
    std::vector<uint8_t> start = telnet_.Start();
    const std::vector<uint8_t> line = telnet_.SetLine(format_);
    start.insert(start.end(), line.begin(), line.end());
    socket_->write(reinterpret_cast<const char*>(start.data()), static_cast<qint64>(start.size()));
    socket_->flush();
    if (std::string why = AwaitLine(); !why.empty()) {
      result.reason = std::move(why);
      Close();
      return result;
    }
  }
  lost_ = false;
  result.opened = true;
  return result;
}

std::string NetworkSerialPort::AwaitLine() {
  const auto deadline = steady_clock::now() + kAnswerWithin;
  for (;;) {
    if (telnet_.ComPort() == TelnetComPort::Answer::kRefused) {
      return "the server refuses the COM port control option (RFC 2217)";
    }
    if (telnet_.Binary() == TelnetComPort::Answer::kRefused) {
      return "the server refuses binary transmission";
    }
    if (!telnet_.LineMismatch().empty()) {
      return "the server set " + telnet_.LineMismatch();
    }
    if (telnet_.ComPort() == TelnetComPort::Answer::kAccepted &&
        telnet_.Binary() == TelnetComPort::Answer::kAccepted && telnet_.LineSet()) {
      return {};
    }
    if (!StillThere()) {
      return "the server closed the connection";
    }
    const auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
    if (left.count() <= 0) {
      return "the server did not confirm the line settings within 3 s";
    }
    Pull(left);
  }
}

void NetworkSerialPort::Close() {
  socket_->abort();
  open_ = false;
  server_.reset();
  received_.clear();
}

bool NetworkSerialPort::IsOpen() const {
  return open_ && socket_->state() == QAbstractSocket::ConnectedState;
}

void NetworkSerialPort::Pull(milliseconds wait) {
  if (socket_->bytesAvailable() == 0) {
    socket_->waitForReadyRead(Msecs(wait));
  } else {
    // Takes from the system what came since the event loop last looked.
    socket_->waitForReadyRead(0);
  }
  const QByteArray bytes = socket_->readAll();
  if (bytes.isEmpty()) {
    return;
  }
  const std::span<const uint8_t> raw(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                     static_cast<std::size_t>(bytes.size()));
  if (server_ && server_->kind == NetworkDevice::Kind::kRfc2217) {
    telnet_.Receive(raw, received_);
    const std::vector<uint8_t> answers = telnet_.TakeOutgoing();
    if (!answers.empty() && socket_->state() == QAbstractSocket::ConnectedState) {
      socket_->write(reinterpret_cast<const char*>(answers.data()), static_cast<qint64>(answers.size()));
      socket_->flush();
    }
  } else {
    received_.insert(received_.end(), raw.begin(), raw.end());
  }
}

void NetworkSerialPort::ClearReceiveBuffer() { DiscardPendingInput(); }

void NetworkSerialPort::DiscardPendingInput() {
  if (StillThere()) {
    Pull(milliseconds(0));
    received_.clear();
  }
}

int16_t NetworkSerialPort::CountWaiting() {
  if (!StillThere()) {
    return 0;
  }
  Pull(milliseconds(0));
  if (!StillThere()) {
    return 0;
  }
  return static_cast<int16_t>(std::min<std::size_t>(received_.size(), std::numeric_limits<int16_t>::max()));
}

std::vector<uint8_t> NetworkSerialPort::ReadWaiting() {
  if (!StillThere()) {
    return {};
  }
  Pull(milliseconds(0));
  std::vector<uint8_t> bytes;
  bytes.swap(received_);
  StillThere();
  return bytes;
}

void NetworkSerialPort::Write(const uint8_t* data, int16_t length) {
  if (!StillThere() || length <= 0) {
    return;
  }
  const std::span<const uint8_t> frame(data, static_cast<std::size_t>(length));
  if (server_->kind == NetworkDevice::Kind::kRfc2217) {
    const std::vector<uint8_t> escaped = TelnetComPort::Escape(frame);
    socket_->write(reinterpret_cast<const char*>(escaped.data()), static_cast<qint64>(escaped.size()));
  } else {
    socket_->write(reinterpret_cast<const char*>(data), length);
  }
  // Hands the bytes to the system now: no event loop runs until the
  // exchange is over.
  socket_->flush();
  StillThere();
}

bool NetworkSerialPort::WaitForBytes(std::chrono::microseconds timeout) {
  const auto deadline = steady_clock::now() + timeout;
  if (!StillThere()) {
    std::this_thread::sleep_until(deadline);
    return false;
  }
  if (!received_.empty()) {
    return true;
  }
  // Telnet commands alone wake the wait too; it goes on until the meter's
  // bytes come or whole milliseconds run out, then sleeps the rest.
  for (;;) {
    const auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
    if (left.count() <= 0 || !StillThere()) {
      break;
    }
    Pull(left);
    if (!received_.empty()) {
      return true;
    }
  }
  std::this_thread::sleep_until(deadline);
  return CountWaiting() > 0;
}

void NetworkSerialPort::LoseDevice() {
  lost_ = true;
  Close();
}

bool NetworkSerialPort::StillThere() {
  if (!open_) {
    return false;
  }
  if (socket_->state() != QAbstractSocket::ConnectedState) {
    LoseDevice();
    return false;
  }
  return true;
}

}  // namespace zt
