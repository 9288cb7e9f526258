#include "link/qt_serial_port.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#ifdef __linux__
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

TEST(QtSerialPort, ClosedPortCountsNothingReadsNothingSendsNothing) {
  zt::QtSerialPort port;
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.CountWaiting(), 0);
  EXPECT_TRUE(port.ReadWaiting().empty());
  port.DiscardPendingInput();
  const uint8_t frame[] = {0x01, 0x03, 0x00, 0x06, 0x00, 0x01, 0x64, 0x0B};
  zt::SendFrame(port, frame, 8);
}

TEST(QtSerialPort, MissingDeviceIsReportedWithItsPathAndReason) {
  zt::PortDevices devices;
  devices.For(2) = "/dev/zt6100-no-such-device";
  zt::QtSerialPort port(devices);
  port.SelectPort(2);
  ASSERT_TRUE(port.SetLineFormat("9600,N,8,2"));
  const zt::OpenResult result = port.Open();
  EXPECT_FALSE(result.opened);
  EXPECT_EQ(result.device, "/dev/zt6100-no-such-device");
  EXPECT_FALSE(result.reason.empty());
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.CountWaiting(), 0);
}

#ifdef __linux__
TEST(QtSerialPort, ADeviceTheUserMayNotUseNamesTheGroupThatOwnsIt) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root may open any device (zt6100ctl's end-to-end test runs it as nobody)";
  }
  char path[] = "/tmp/zt6100-no-permission-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  ASSERT_EQ(chmod(path, 0), 0);
  struct stat status {};
  ASSERT_EQ(stat(path, &status), 0);
  const struct group* owner = getgrgid(status.st_gid);
  ASSERT_NE(owner, nullptr);

  zt::PortDevices devices;
  devices.For(1) = path;
  zt::QtSerialPort port(devices);
  const zt::OpenResult result = port.Open();
  unlink(path);
  EXPECT_FALSE(result.opened);
  EXPECT_TRUE(result.permissionDenied);
  EXPECT_EQ(result.deviceGroup, owner->gr_name);

  // A device that is missing is not a matter of permission.
  EXPECT_FALSE(port.Open().permissionDenied);
}
#endif

TEST(QtSerialPort, MalformedLineFormatIsRefusedAndTheOldOneKept) {
  zt::QtSerialPort port;
  ASSERT_TRUE(port.SetLineFormat("19200,E,8,2"));
  EXPECT_FALSE(port.SetLineFormat("19200;E;8;2"));
  EXPECT_EQ(port.Format().baudRate, 19200);
  EXPECT_EQ(port.Format().parity, zt::kParityEven);
}

#ifdef __linux__

// The far end of a pty: what the meter would see.
class PtyPeer {
 public:
  PtyPeer() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
      path_ = name;
      termios raw{};
      tcgetattr(slave_, &raw);
      cfmakeraw(&raw);
      tcsetattr(slave_, TCSANOW, &raw);
    }
  }
  ~PtyPeer() {
    CloseMaster();
    if (slave_ >= 0) close(slave_);
  }
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  const std::string& Path() const { return path_; }
  // The line as the port set it, through the slave opened before the port
  // was: QSerialPort opens with TIOCEXCL, so a fresh open() of the device is
  // refused with EBUSY to everyone but root.
  termios Line() const {
    termios line{};
    tcgetattr(slave_, &line);
    return line;
  }
  void Send(const std::vector<uint8_t>& bytes) const {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  std::vector<uint8_t> Receive(std::size_t count) const {
    std::vector<uint8_t> bytes(count);
    std::size_t got = 0;
    while (got < count) {
      const ssize_t n = read(master_, bytes.data() + got, count - got);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
  }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }
  // Drops the slave end we hold, so that closing the master hangs the line up.
  void CloseOwnSlave() {
    if (slave_ >= 0) close(slave_);
    slave_ = -1;
  }
  // Blocks until the line holds bytes nobody has read yet, or the deadline
  // passes: the slave end we hold sees the same input as the port under test.
  bool WaitForUnreadInput(std::chrono::steady_clock::time_point deadline) const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd unread{slave_, POLLIN, 0};
    return left.count() > 0 && poll(&unread, 1, static_cast<int>(left.count())) > 0;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

// Bytes written into a pty reach the other side through the kernel's tty
// layer a moment later. Waits for them, blocked between looks, with a
// generous deadline that is never asserted on.
int16_t CountWhenArrived(const PtyPeer& peer, zt::SerialPort& port, int16_t expected) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  int16_t count = 0;
  while ((count = port.CountWaiting()) < expected && peer.WaitForUnreadInput(deadline)) {
  }
  return port.CountWaiting();
}

std::unique_ptr<zt::QtSerialPort> OpenOn(const PtyPeer& peer) {
  zt::PortDevices devices;
  devices.For(1) = peer.Path();
  auto port = std::make_unique<zt::QtSerialPort>(devices);
  port->SelectPort(1);
  EXPECT_TRUE(port->SetLineFormat("9600,N,8,2"));
  const zt::OpenResult result = port->Open();
  EXPECT_TRUE(result.opened) << result.reason;
  port->ClearReceiveBuffer();
  return port;
}

TEST(QtSerialPortOnPty, WritesFramesAndCountsAndReadsReplies) {
  PtyPeer peer;
  ASSERT_FALSE(peer.Path().empty());
  auto port = OpenOn(peer);

  const std::vector<uint8_t> request = {0x01, 0x03, 0x00, 0x06, 0x00, 0x01, 0x64, 0x0B};
  zt::SendFrame(*port, request.data(), 8);
  EXPECT_EQ(peer.Receive(8), request);

  const std::vector<uint8_t> reply = {0x01, 0x03, 0x02, 0x00, 0x03, 0xF8, 0x45};
  peer.Send(reply);
  EXPECT_EQ(CountWhenArrived(peer, *port, 7), 7);
  EXPECT_EQ(port->CountWaiting(), 7) << "counting consumes nothing";
  EXPECT_EQ(port->ReadWaiting(), reply);
  EXPECT_EQ(port->CountWaiting(), 0);
}

TEST(QtSerialPortOnPty, DiscardDropsWhatHasArrived) {
  PtyPeer peer;
  auto port = OpenOn(peer);
  peer.Send({0xAA, 0xBB, 0xCC});
  ASSERT_EQ(CountWhenArrived(peer, *port, 3), 3);
  port->DiscardPendingInput();
  EXPECT_EQ(port->CountWaiting(), 0);
  EXPECT_TRUE(port->ReadWaiting().empty());
}

TEST(QtSerialPortOnPty, VanishedDeviceLeavesAQuietClosedPort) {
  PtyPeer peer;
  auto port = OpenOn(peer);
  peer.CloseOwnSlave();
  peer.CloseMaster();
  // The hang-up shows on the next look at the port; look once a millisecond
  // rather than spin.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (port->IsOpen() && std::chrono::steady_clock::now() < deadline) {
    EXPECT_EQ(port->CountWaiting(), 0);
    EXPECT_TRUE(port->ReadWaiting().empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_FALSE(port->IsOpen());
  EXPECT_TRUE(port->DeviceLost());
  const uint8_t frame[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A};
  zt::SendFrame(*port, frame, 8);
  EXPECT_EQ(port->CountWaiting(), 0);
  EXPECT_FALSE(port->WaitForBytes(std::chrono::milliseconds(1)));
}

TEST(QtSerialPortOnPty, AHangUpWhileIdleClosesThePortFromTheEventLoop) {
  PtyPeer peer;
  auto port = OpenOn(peer);
  EXPECT_FALSE(port->DeviceLost());
  peer.CloseOwnSlave();
  peer.CloseMaster();
  // No exchange runs: only the event loop sees the line hang up, and it
  // must close the port rather than be woken by it for ever.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (port->IsOpen() && std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  EXPECT_FALSE(port->IsOpen());
  EXPECT_TRUE(port->DeviceLost());
}

TEST(QtSerialPortOnPty, WaitForBytesReturnsWhenBytesArriveOrTheTimeoutPasses) {
  PtyPeer peer;
  auto port = OpenOn(peer);
  EXPECT_FALSE(port->WaitForBytes(std::chrono::microseconds(2500)));
  peer.Send({0x01, 0x03});
  EXPECT_TRUE(port->WaitForBytes(std::chrono::seconds(5)));
  EXPECT_TRUE(port->WaitForBytes(std::chrono::microseconds(0))) << "already waiting";
  EXPECT_EQ(CountWhenArrived(peer, *port, 2), 2);
}

TEST(QtSerialPortOnPty, ReopensWithANewRate) {
  PtyPeer peer;
  auto port = OpenOn(peer);
  port->Close();
  EXPECT_FALSE(port->IsOpen());
  // Linux ptys always run 8 bits without parity, so only the rate and the
  // stop bits can be seen on this line.
  ASSERT_TRUE(port->SetLineFormat("19200,N,8,2"));
  ASSERT_TRUE(port->Open().opened);
  const termios line = peer.Line();
  EXPECT_EQ(cfgetospeed(&line), B19200);
  EXPECT_TRUE(line.c_cflag & CSTOPB);
}

#endif

}  // namespace
