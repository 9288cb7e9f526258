#include "link/network_serial_port.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/clock.h"
#include "link/device_port.h"
#include "link/reconnecting_port.h"
#include "support/hex.h"

namespace {

using std::chrono::milliseconds;
using zt::test::Bytes;
using zt::test::Hex;

zt::NetworkSerialPort PortTo(const std::string& device) {
  zt::PortDevices devices;
  devices.For(1) = device;
  return zt::NetworkSerialPort(devices);
}

std::string Loopback(const char* scheme, uint16_t port) {
  return std::string(scheme) + "://127.0.0.1:" + std::to_string(port);
}

// A loopback server on its own thread for the Telnet tests, where opening
// the port waits for the server's answers: it accepts one connection and
// runs its script on the socket.
class ScriptedServer {
 public:
  ScriptedServer() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 1);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~ScriptedServer() {
    if (thread_.joinable()) {
      thread_.join();
    }
    close(listener_);
  }
  uint16_t Port() const { return port_; }

  void Run(std::function<void(int)> script) {
    thread_ = std::thread([this, script = std::move(script)] {
      const int peer = accept(listener_, nullptr, nullptr);
      script(peer);
      close(peer);
    });
  }

  // What arrives until `count` bytes have come or 2 s have passed.
  static std::vector<uint8_t> Read(int fd, std::size_t count) {
    std::vector<uint8_t> got;
    while (got.size() < count) {
      pollfd ready{fd, POLLIN, 0};
      if (poll(&ready, 1, 2000) <= 0) {
        break;
      }
      uint8_t chunk[256];
      const ssize_t n = recv(fd, chunk, std::min(sizeof chunk, count - got.size()), 0);
      if (n <= 0) {
        break;
      }
      got.insert(got.end(), chunk, chunk + n);
    }
    return got;
  }
  static void Send(int fd, std::string_view hex) {
    const std::vector<uint8_t> bytes = Bytes(hex);
    send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  }

 private:
  int listener_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
};

// The client's start and the SET commands for 9600,N,8,2.
constexpr std::size_t kStartAndLine = 9 + 10 + 7 + 7 + 7;
constexpr std::string_view kAccepts9600N82 =
    "ff fb 03 ff fd 03 ff fd 00 ff fb 00 ff fd 2c "
    "ff fa 2c 65 00 00 25 80 ff f0 ff fa 2c 66 08 ff f0 ff fa 2c 67 01 ff f0 ff fa 2c 68 02 ff f0";

TEST(NetworkSerialPort, RawTcpCarriesFramesAsTheyAreAndASplitReplyIsOneRunOfBytes) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  zt::NetworkSerialPort port = PortTo(Loopback("tcp", server.serverPort()));
  EXPECT_FALSE(port.SetsLineFormat());
  ASSERT_TRUE(port.SetLineFormat("19200,E,8,2"));
  ASSERT_TRUE(port.Open()) << "the kernel completes the handshake before accept";
  ASSERT_TRUE(server.waitForNewConnection(2000));
  std::unique_ptr<QTcpSocket> meter(server.nextPendingConnection());

  const std::vector<uint8_t> request = Bytes("01 06 00 03 ff ff 79 bb");
  zt::SendFrame(port, request.data(), static_cast<int16_t>(request.size()));
  // Setting the format on a raw server sends nothing at all.
  EXPECT_TRUE(port.SetLineFormat("9600,N,8,2"));
  ASSERT_TRUE(meter->waitForReadyRead(2000));
  const QByteArray arrived = meter->readAll();
  EXPECT_EQ(Hex(std::vector<uint8_t>(arrived.begin(), arrived.end())), Hex(request));

  // Stale bytes go with the discard; the reply's two segments are one reply.
  meter->write(QByteArray::fromHex("aa"));
  meter->waitForBytesWritten(1000);
  ASSERT_TRUE(port.WaitForBytes(milliseconds(2000)));
  port.DiscardPendingInput();
  EXPECT_EQ(port.CountWaiting(), 0);
  meter->write(QByteArray::fromHex("0103020001"));
  meter->waitForBytesWritten(1000);
  ASSERT_TRUE(port.WaitForBytes(milliseconds(2000)));
  meter->write(QByteArray::fromHex("79 84"));
  meter->waitForBytesWritten(1000);
  while (port.CountWaiting() < 7) {
    ASSERT_TRUE(port.WaitForBytes(milliseconds(2000)));
  }
  EXPECT_EQ(port.CountWaiting(), 7) << "counting consumes nothing";
  EXPECT_EQ(Hex(port.ReadWaiting()), "01 03 02 00 01 79 84");
  EXPECT_EQ(port.CountWaiting(), 0);
}

TEST(NetworkSerialPort, FailuresToConnectNameTheReason) {
  uint16_t closedPort = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    closedPort = probe.serverPort();
  }
  zt::NetworkSerialPort refused = PortTo(Loopback("tcp", closedPort));
  zt::OpenResult result = refused.Open();
  EXPECT_FALSE(result);
  EXPECT_EQ(result.device, Loopback("tcp", closedPort));
  EXPECT_NE(result.reason.find("the server refuses the connection"), std::string::npos) << result.reason;
  EXPECT_FALSE(refused.IsOpen());
  EXPECT_EQ(refused.CountWaiting(), 0);

  zt::NetworkSerialPort unknown = PortTo("rfc2217://zt6100-no-such-host.invalid:2217");
  result = unknown.Open();
  EXPECT_FALSE(result);
  EXPECT_NE(result.reason.find("the host name does not resolve"), std::string::npos) << result.reason;

  zt::NetworkSerialPort malformed = PortTo("tcp://gateway");
  result = malformed.Open();
  EXPECT_FALSE(result);
  EXPECT_EQ(result.reason, "no :PORT after the host");
}

TEST(NetworkSerialPort, ADroppedConnectionIsLostAndReopenedByTheReconnectingPort) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  zt::NetworkSerialPort device = PortTo(Loopback("tcp", server.serverPort()));
  zt::VirtualClock clock;
  std::vector<zt::ReconnectingPort::Change> changes;
  zt::ReconnectingPort port(device, clock, [&](zt::ReconnectingPort::Change c) { changes.push_back(c); });
  ASSERT_TRUE(port.Open());
  ASSERT_TRUE(server.waitForNewConnection(2000));
  std::unique_ptr<QTcpSocket> first(server.nextPendingConnection());
  first->write(QByteArray::fromHex("0102"));
  first->waitForBytesWritten(1000);
  first->close();

  // The bytes sent before the close are not taken for the meter's.
  for (int i = 0; i < 200 && device.IsOpen(); ++i) {
    device.WaitForBytes(milliseconds(10));
    device.ReadWaiting();
  }
  EXPECT_TRUE(device.DeviceLost());
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(port.CountWaiting(), 0);

  EXPECT_EQ(port.Revive(), zt::ReconnectingPort::Change::kBack);
  ASSERT_TRUE(server.waitForNewConnection(2000));
  std::unique_ptr<QTcpSocket> second(server.nextPendingConnection());
  EXPECT_FALSE(device.DeviceLost());
  second->write(QByteArray::fromHex("03"));
  second->waitForBytesWritten(1000);
  ASSERT_TRUE(port.WaitForBytes(milliseconds(2000)));
  EXPECT_EQ(Hex(port.ReadWaiting()), "03");
  EXPECT_EQ(changes, (std::vector{zt::ReconnectingPort::Change::kLost, zt::ReconnectingPort::Change::kBack}));
}

TEST(NetworkSerialPort, Rfc2217SetsTheServersLineAndEscapesTheMetersBytesBothWays) {
  ScriptedServer server;
  std::vector<uint8_t> opening;
  std::vector<uint8_t> request;
  std::vector<uint8_t> change;
  server.Run([&](int fd) {
    opening = ScriptedServer::Read(fd, kStartAndLine);
    ScriptedServer::Send(fd, kAccepts9600N82);
    request = ScriptedServer::Read(fd, 15);
    // The reply's escaped FF split across segments, a notification between.
    ScriptedServer::Send(fd, "01 03 02 ff");
    std::this_thread::sleep_for(milliseconds(20));
    ScriptedServer::Send(fd, "ff ff fa 2c 6b 00 ff f0 00 b9 f4");
    change = ScriptedServer::Read(fd, 31);
    ScriptedServer::Send(fd,
                         "ff fa 2c 65 00 00 4b 00 ff f0 ff fa 2c 66 08 ff f0 ff fa 2c 67 03 ff f0 "
                         "ff fa 2c 68 02 ff f0");
    ScriptedServer::Read(fd, 1);
  });
  zt::NetworkSerialPort port = PortTo(Loopback("rfc2217", server.Port()));
  EXPECT_TRUE(port.SetsLineFormat());
  ASSERT_TRUE(port.SetLineFormat("9600,N,8,2"));
  const zt::OpenResult opened = port.Open();
  ASSERT_TRUE(opened) << opened.reason;
  EXPECT_EQ(Hex(opening),
            "FF FB 2C FF FB 00 FF FD 00 FF FA 2C 01 00 00 25 80 FF F0 FF FA 2C 02 08 FF F0 "
            "FF FA 2C 03 01 FF F0 FF FA 2C 04 02 FF F0");

  const std::vector<uint8_t> frame = Bytes("01 06 00 03 00 ff 39 8a");
  zt::SendFrame(port, frame.data(), 8);
  while (port.CountWaiting() < 7) {
    ASSERT_TRUE(port.WaitForBytes(milliseconds(2000)));
  }
  EXPECT_EQ(Hex(port.ReadWaiting()), "01 03 02 FF 00 B9 F4");

  EXPECT_TRUE(port.SetLineFormat("19200,E,8,2"));
  port.Close();
  // The server's DO/WILL SUPPRESS-GO-AHEAD were answered before the request.
  EXPECT_EQ(Hex(request), "FF FD 03 FF FB 03 01 06 00 03 00 FF FF 39 8A");
  EXPECT_EQ(Hex(change),
            "FF FA 2C 01 00 00 4B 00 FF F0 FF FA 2C 02 08 FF F0 FF FA 2C 03 03 FF F0 "
            "FF FA 2C 04 02 FF F0");
}

TEST(NetworkSerialPort, AServerThatRefusesTheComPortOptionIsNotUsed) {
  ScriptedServer server;
  server.Run([](int fd) {
    ScriptedServer::Read(fd, kStartAndLine);
    ScriptedServer::Send(fd, "ff fd 00 ff fb 00 ff fe 2c");
    ScriptedServer::Read(fd, 1);
  });
  zt::NetworkSerialPort port = PortTo(Loopback("rfc2217", server.Port()));
  const zt::OpenResult opened = port.Open();
  EXPECT_FALSE(opened);
  EXPECT_EQ(opened.reason, "the server refuses the COM port control option (RFC 2217)");
  EXPECT_FALSE(port.IsOpen());
  const uint8_t frame[] = {0x01};
  zt::SendFrame(port, frame, 1);
}

TEST(DevicePort, TheNameDecidesAtEachOpenBetweenAServerAndATty) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  zt::DevicePort port;
  port.SetPortDevice(2, Loopback("tcp", server.serverPort()));
  port.SelectPort(2);
  EXPECT_FALSE(port.SetsLineFormat());
  ASSERT_TRUE(port.Server());
  EXPECT_EQ(port.Server()->port, server.serverPort());
  ASSERT_TRUE(port.Open());
  EXPECT_TRUE(port.IsOpen());

  port.SetPortDevice(2, "/dev/zt6100-no-such-device");
  EXPECT_TRUE(port.SetsLineFormat());
  const zt::OpenResult tty = port.Open();
  EXPECT_FALSE(tty);
  EXPECT_EQ(tty.device, "/dev/zt6100-no-such-device");
  EXPECT_FALSE(port.IsOpen()) << "the server's connection was closed first";
  EXPECT_FALSE(port.Server());
}

}  // namespace
