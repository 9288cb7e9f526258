// The meter session through a serial device server: zt6100-sim on a pty,
// served on loopback by socat (raw TCP) or ser2net (raw TCP and RFC 2217),
// reached over the network port and the system clock with the console's
// real waits.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "link/link_settings.h"
#include "meter/meter_session.h"
#include "pty_meter.h"
#include "support/child_process.h"
#include "support/poll_once.h"

namespace zt {
namespace {

using test::ChildProcess;

// A loopback port nobody listens on now; the server is started on it next.
uint16_t FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

// ser2net says nothing once it listens: the kernel's table of listening
// sockets tells, looked at every few milliseconds up to the guard.
bool AwaitListening(uint16_t port, const ChildProcess& server) {
  char wanted[32];
  std::snprintf(wanted, sizeof wanted, "0100007F:%04X 00000000:0000 0A", port);
  for (int i = 0; i < 2000 && server.Running(); ++i) {
    std::ifstream table("/proc/net/tcp");
    std::stringstream text;
    text << table.rdbuf();
    if (text.str().find(wanted) != std::string::npos) {
      return true;
    }
    poll(nullptr, 0, 5);
  }
  return false;
}

std::optional<std::string> Which(const std::string& program) {
  for (const char* folder : {"/usr/bin/", "/usr/sbin/", "/bin/", "/sbin/", "/usr/local/bin/"}) {
    const std::string path = folder + program;
    if (access(path.c_str(), X_OK) == 0) {
      return path;
    }
  }
  return std::nullopt;
}

// "speed 19200 baud; ..." of `stty -F` on the meter's pty.
std::string LineSpeed(const std::string& device) {
  ChildProcess stty;
  if (!stty.Start("/bin/stty", {"-F", device, "speed"})) {
    return stty.Error();
  }
  const std::optional<std::string> line = stty.ReadLine();
  stty.Finish();
  return line.value_or("");
}

enum class Relay { kSocatRaw, kSer2netRaw, kSer2netRfc2217 };

std::string RelayName(const ::testing::TestParamInfo<Relay>& info) {
  switch (info.param) {
    case Relay::kSocatRaw:
      return "SocatRawTcp";
    case Relay::kSer2netRaw:
      return "Ser2netRawTcp";
    case Relay::kSer2netRfc2217:
      break;
  }
  return "Ser2netRfc2217";
}

class MeterBehindDeviceServer : public ::testing::TestWithParam<Relay> {
 protected:
  void SetUp() override {
    const bool socat = GetParam() == Relay::kSocatRaw;
    const std::optional<std::string> program = Which(socat ? "socat" : "ser2net");
    if (!program) {
      GTEST_SKIP() << (socat ? "socat" : "ser2net") << " is not installed (./dev installs it)";
    }
    ASSERT_TRUE(folder_.isValid());
    ASSERT_TRUE(meter_.Start({"--upper", "4321"}));
    pty_ = meter_.Pty();

    const uint16_t port = FreeLoopbackPort();
    const std::string where = "127.0.0.1:" + std::to_string(port);
    if (socat) {
      // A connection at a time, each opening the pty at the meter's line.
      // -t 0: by default the child of a closed connection goes on reading
      // the pty for half a second, and takes the replies meant for the
      // next connection.
      ASSERT_TRUE(server_.Start(*program, {"-d", "-d", "-t", "0",
                                           "TCP-LISTEN:" + std::to_string(port) +
                                               ",bind=127.0.0.1,reuseaddr,fork",
                                           "FILE:" + pty_ + ",raw,echo=0,b9600,cs8,cstopb=1"}))
          << server_.Error();
      ASSERT_TRUE(server_.WaitForErrorLine("listening on")) << server_.Errors();
      name_ = "tcp://" + where;
    } else {
      const bool telnet = GetParam() == Relay::kSer2netRfc2217;
      const std::string config = folder_.filePath("ser2net.yaml").toStdString();
      std::ofstream(config) << "connection: &meter\n"
                            << "  accepter: " << (telnet ? "telnet(rfc2217),tcp," : "tcp,")
                            << "127.0.0.1," << port << "\n"
                            << "  connector: serialdev," << pty_ << ",9600n82,local\n";
      ASSERT_TRUE(server_.Start(*program, {"-n", "-u", "-c", config, "-P",
                                           folder_.filePath("ser2net.pid").toStdString()}))
          << server_.Error();
      ASSERT_TRUE(AwaitListening(port, server_)) << "ser2net did not listen; " << server_.Errors();
      name_ = (telnet ? "rfc2217://" : "tcp://") + where;
    }
    ASSERT_TRUE(meter_.Open(name_));
  }

  void TearDown() override {
    meter_.Close();
    if (server_.Running()) {
      server_.Stop();
    }
    meter_.Stop();
  }

  MeterSession& Session() { return meter_.Session(); }

  QTemporaryDir folder_;
  test::PtyMeter meter_;
  ChildProcess server_;
  std::string pty_;
  std::string name_;
};

TEST_P(MeterBehindDeviceServer, ReadsWritesAndPollsAsOverATty) {
  const ParameterReads read = Session().ReadParameters();
  EXPECT_EQ(read.upperLimit, 4321);
  EXPECT_EQ(read.lowerLimit, 100);
  EXPECT_EQ(read.meterBaud, 9600);

  // 0xFFFF in the lower threshold: two bytes a Telnet server must escape.
  const ParameterWrites written = Session().WriteParameters({6000, 65535, 3, 9600});
  EXPECT_TRUE(written.AllConfirmed());
  const ParameterReads back = Session().ReadParameters();
  EXPECT_EQ(back.upperLimit, 6000);
  EXPECT_EQ(back.lowerLimit, 65535);
  EXPECT_EQ(back.decimalPoint, 3);

  const PollResult polled = zt::test::PollOnce(Session());
  EXPECT_EQ(polled.decimalPoint, 3);
  EXPECT_TRUE(polled.rawValue.has_value());
  EXPECT_EQ(meter_.Line().Transaction().Counters().lateReplies, 0);
}

TEST_P(MeterBehindDeviceServer, ABaudChangeReachesTheServersSerialPortOnlyOverRfc2217) {
  ASSERT_EQ(LineSpeed(pty_), "9600");
  ASSERT_TRUE(Session().ChangeLinkBaud(19200));
  EXPECT_FALSE(Session().ReadUpperLimit().has_value()) << "the meter no longer listens at 9600";

  LinkSettings faster = meter_.Line().Settings();
  faster.baudRate = 19200;
  const OpenResult opened = meter_.Line().Reopen(faster);
  ASSERT_TRUE(opened) << opened.reason;
  if (GetParam() == Relay::kSer2netRfc2217) {
    EXPECT_TRUE(meter_.Line().Port().SetsLineFormat());
    EXPECT_EQ(LineSpeed(pty_), "19200");
    EXPECT_EQ(Session().ReadUpperLimit(), 4321);
  } else {
    // The server keeps its own rate: the technician must set it there.
    EXPECT_FALSE(meter_.Line().Port().SetsLineFormat());
    EXPECT_FALSE(Session().ReadUpperLimit().has_value());
  }
}

// zt6100ctl takes the server's name for --device, and after set-baud says
// who must set the server's rate.
TEST_P(MeterBehindDeviceServer, Zt6100ctlTakesTheServersNameAndSaysWhoSetsTheNewRate) {
  meter_.Close();  // ser2net serves one client at a time
  ChildProcess read;
  ASSERT_TRUE(read.Start(ZT6100CTL_PATH, {"--device", name_, "--fast", "read-params"}));
  EXPECT_EQ(read.Finish(), 0) << read.Output() << read.Errors();
  EXPECT_NE(read.Output().find("upper threshold: 4321"), std::string::npos) << read.Output();

  ChildProcess setBaud;
  ASSERT_TRUE(setBaud.Start(ZT6100CTL_PATH, {"--device", name_, "set-baud", "19200"}));
  EXPECT_EQ(setBaud.Finish(), 0) << setBaud.Output() << setBaud.Errors();
  const bool asked = setBaud.Output().find("now set the serial port of the device server to "
                                           "19200 bit/s") != std::string::npos;
  EXPECT_EQ(asked, GetParam() != Relay::kSer2netRfc2217) << setBaud.Output();
}

INSTANTIATE_TEST_SUITE_P(Relays, MeterBehindDeviceServer,
                         ::testing::Values(Relay::kSocatRaw, Relay::kSer2netRaw,
                                           Relay::kSer2netRfc2217),
                         RelayName);

}  // namespace
}  // namespace zt
