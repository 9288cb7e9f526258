// zt6100-sim as its own process on a pty, driven by mbpoll (a libmodbus
// master we did not write) and by a bare termios client.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "link/link_settings.h"
#include "sim/termios_format.h"
#include "support/child_process.h"
#include "support/golden_frames.h"
#include "support/hex.h"

namespace zt::sim {
namespace {

namespace frame = test::frame;

using test::ChildProcess;
using test::Hex;

class SimProgram : public ::testing::Test {
 protected:
  void StartSim(std::vector<std::string> arguments = {}) {
    arguments.push_back("--verbose");
    ASSERT_TRUE(sim_.Start(ZT_SIM_PATH, arguments)) << sim_.Error();
    const std::optional<std::string> path = sim_.ReadLine();
    ASSERT_TRUE(path.has_value()) << "no device path; stderr: " << sim_.Errors();
    device_ = *path;
  }

  void TearDown() override {
    if (sim_.Running()) {
      EXPECT_EQ(sim_.Stop(), 0) << "the simulator must end cleanly on SIGTERM";
    }
  }

  ChildProcess sim_;
  std::string device_;
};

class SimWithMbpoll : public SimProgram {
 protected:
  void SetUp() override {
    if (std::string_view(ZT_MBPOLL_PATH).empty()) {
      GTEST_SKIP() << "mbpoll is not installed; install it to run the simulator against it";
    }
  }

  // One mbpoll run on holding registers, 0-based, at the meter's default line;
  // with `values` it writes them. Its output, and its exit code through
  // `exitCode`.
  std::string Mbpoll(const std::vector<std::string>& options, int& exitCode,
                     const std::vector<std::string>& values = {}) {
    std::vector<std::string> all{"-m", "rtu", "-b", "9600", "-P", "none", "-s",
                                 "2",  "-a",  "1",  "-0",   "-t", "4",    "-1"};
    all.insert(all.end(), options.begin(), options.end());
    all.push_back(device_);
    all.insert(all.end(), values.begin(), values.end());
    ChildProcess mbpoll;
    EXPECT_TRUE(mbpoll.Start(ZT_MBPOLL_PATH, all)) << mbpoll.Error();
    exitCode = mbpoll.Finish().value_or(-1);
    return mbpoll.Output() + mbpoll.Errors();
  }
};

struct MbpollReadRow {
  std::string name;
  std::vector<std::string> arguments;
  std::vector<std::string> lines;
};

class MbpollReads : public SimWithMbpoll, public ::testing::WithParamInterface<MbpollReadRow> {};

TEST_P(MbpollReads, SeeTheMetersRegisters) {
  ASSERT_NO_FATAL_FAILURE(StartSim({"--clock", "2006-12-15T10:30:45", "--decimal-point", "2"}));
  int exitCode = -1;
  const std::string output = Mbpoll(GetParam().arguments, exitCode);
  EXPECT_EQ(exitCode, 0) << output;
  for (const std::string& line : GetParam().lines) {
    EXPECT_NE(output.find(line), std::string::npos) << "missing " << line << " in\n" << output;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Registers, MbpollReads,
    ::testing::Values(MbpollReadRow{"DecimalPoint", {"-r", "6"}, {"[6]: \t2"}},
                      // 0x0110..0x0112: minute 30 | second 45, day 15 | hour 10, 6 | month 12.
                      MbpollReadRow{"Clock",
                                    {"-r", "272", "-c", "3"},
                                    {"[272]: \t7725", "[273]: \t3850", "[274]: \t1548"}},
                      MbpollReadRow{"SwitchStatus", {"-r", "22"}, {"[22]: \t256"}},
                      MbpollReadRow{"UpperThreshold", {"-r", "770"}, {"[770]: \t5000"}}),
    [](const auto& row) { return row.param.name; });

TEST_F(SimWithMbpoll, WritesTheUpperThresholdAndReadsItBack) {
  ASSERT_NO_FATAL_FAILURE(StartSim());
  int exitCode = -1;
  std::string output = Mbpoll({"-r", "770"}, exitCode, {"1234"});
  ASSERT_EQ(exitCode, 0) << output;
  ASSERT_TRUE(sim_.WaitForErrorLine("register 0x0302 word 1234").has_value()) << sim_.Errors();
  output = Mbpoll({"-r", "770"}, exitCode);
  EXPECT_EQ(exitCode, 0) << output;
  EXPECT_NE(output.find("[770]: \t1234"), std::string::npos) << output;
}

TEST_F(SimWithMbpoll, RefusesAnUnknownRegisterAsAModbusSlaveDoes) {
  ASSERT_NO_FATAL_FAILURE(StartSim());
  int exitCode = -1;
  const std::string output = Mbpoll({"-r", "771"}, exitCode);
  EXPECT_NE(exitCode, 0);
  EXPECT_NE(output.find("Illegal data address"), std::string::npos) << output;
}

TEST_F(SimWithMbpoll, AnExceptionFaultReachesTheMaster) {
  ASSERT_NO_FATAL_FAILURE(StartSim({"--exception", "--fault-registers", "6"}));
  int exitCode = -1;
  std::string output = Mbpoll({"-r", "6"}, exitCode);
  EXPECT_NE(exitCode, 0) << output;
  EXPECT_NE(output.find("failure"), std::string::npos) << output;
  output = Mbpoll({"-r", "770"}, exitCode);
  EXPECT_EQ(exitCode, 0) << "only register 6 is faulty:\n" << output;
}

// A client that talks to the pty with nothing but termios, so that its line
// format can be switched in place.
class TermiosClient {
 public:
  explicit TermiosClient(const std::string& device)
      : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
  ~TermiosClient() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  TermiosClient(const TermiosClient&) = delete;
  TermiosClient& operator=(const TermiosClient&) = delete;

  bool SetLine(std::string_view settings) {
    termios line{};
    const std::optional<LineFormat> format = ParseSettingsText(settings);
    return fd_ >= 0 && format && ::tcgetattr(fd_, &line) == 0 && MakeRawLine(line, *format) &&
           ::tcsetattr(fd_, TCSANOW, &line) == 0;
  }

  bool Send(const std::vector<uint8_t>& bytes) {
    return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }

  // Reads `count` bytes; fewer if the guard runs out first.
  std::vector<uint8_t> Receive(std::size_t count) {
    std::vector<uint8_t> bytes;
    while (bytes.size() < count) {
      pollfd ready{fd_, POLLIN, 0};
      if (::poll(&ready, 1, 10000) <= 0) {
        break;
      }
      uint8_t chunk[64];
      const ssize_t got = ::read(fd_, chunk, std::min(sizeof chunk, count - bytes.size()));
      if (got <= 0) {
        break;
      }
      bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
  }

 private:
  int fd_;
};

TEST_F(SimProgram, AfterABaudChangeOnlyAClientAtTheNewRateIsAnswered) {
  ASSERT_NO_FATAL_FAILURE(StartSim({"--decimal-point", "3"}));
  TermiosClient client(device_);
  ASSERT_TRUE(client.SetLine("9600,N,8,2"));

  ASSERT_TRUE(client.Send(test::Bytes(frame::kWriteLinkBaud19200)));
  EXPECT_EQ(Hex(client.Receive(8)), frame::kWriteLinkBaud19200);
  ASSERT_TRUE(sim_.WaitForErrorLine("meter line now 19200,N,8,2").has_value()) << sim_.Errors();

  ASSERT_TRUE(client.Send(test::Bytes(frame::kReadDecimalPoint)));
  EXPECT_TRUE(
      sim_.WaitForErrorLine("ignored: client line 9600,N,8,2, meter line 19200,N,8,2").has_value())
      << sim_.Errors();

  ASSERT_TRUE(client.SetLine("19200,N,8,2"));
  ASSERT_TRUE(client.Send(test::Bytes(frame::kReadDecimalPoint)));
  EXPECT_EQ(Hex(client.Receive(7)), frame::kReplyValue3);
}

TEST_F(SimProgram, ServesAgainAfterTheClientClosesAndReopens) {
  // A pty keeps no parity, so a meter at even parity is reached without one.
  ASSERT_NO_FATAL_FAILURE(StartSim({"--address", "7", "--baud", "4800", "--parity", "even"}));
  for (int round = 0; round < 2; ++round) {
    TermiosClient client(device_);
    ASSERT_TRUE(client.SetLine("4800,N,8,2"));
    // Garbage first: the simulator resynchronises on the request after it.
    std::vector<uint8_t> line = test::Bytes("FF 13");
    const std::vector<uint8_t> request = test::Bytes(frame::kReadDecimalPointAt7);
    line.insert(line.end(), request.begin(), request.end());
    ASSERT_TRUE(client.Send(line));
    EXPECT_EQ(client.Receive(7).size(), 7U) << "round " << round << ": " << sim_.Errors();
  }
}

TEST(SimProgramOnADevice, ServesTheDeviceAndSwitchesItsRateAfterTheEcho) {
  // A pty pair stands in for a serial line: the simulator serves one end as
  // its device, the test talks on the other.
  int lineEnd = -1;
  int meterEnd = -1;
  ASSERT_EQ(::openpty(&lineEnd, &meterEnd, nullptr, nullptr, nullptr), 0);
  char name[256] = {};
  ASSERT_EQ(::ttyname_r(meterEnd, name, sizeof name), 0);
  termios raw{};
  ASSERT_EQ(::tcgetattr(meterEnd, &raw), 0);
  ::cfmakeraw(&raw);
  ASSERT_EQ(::tcsetattr(meterEnd, TCSANOW, &raw), 0);

  ChildProcess sim;
  ASSERT_TRUE(sim.Start(ZT_SIM_PATH, {"--device", name, "--line-timing", "--verbose"}))
      << sim.Error();
  ASSERT_EQ(sim.ReadLine(), std::string(name)) << sim.Errors();

  const std::vector<uint8_t> request = test::Bytes(frame::kWriteLinkBaud19200);
  ASSERT_EQ(::write(lineEnd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
  std::vector<uint8_t> echo;
  while (echo.size() < request.size()) {
    pollfd ready{lineEnd, POLLIN, 0};
    ASSERT_GT(::poll(&ready, 1, 10000), 0) << "no echo; stderr: " << sim.Errors();
    uint8_t chunk[16];
    const ssize_t got = ::read(lineEnd, chunk, sizeof chunk);
    ASSERT_GT(got, 0);
    echo.insert(echo.end(), chunk, chunk + got);
  }
  EXPECT_EQ(Hex(echo), frame::kWriteLinkBaud19200);
  ASSERT_TRUE(sim.WaitForErrorLine("meter line now 19200,N,8,2").has_value()) << sim.Errors();
  termios line{};
  ASSERT_EQ(::tcgetattr(meterEnd, &line), 0);
  EXPECT_EQ(::cfgetospeed(&line), static_cast<speed_t>(B19200));

  EXPECT_EQ(sim.Stop(), 0);
  ::close(lineEnd);
  ::close(meterEnd);
}

TEST(SimProgramOptions, HelpAndBadOptions) {
  ChildProcess help;
  ASSERT_TRUE(help.Start(ZT_SIM_PATH, {"--help"})) << help.Error();
  EXPECT_EQ(help.Finish(), 0);
  EXPECT_NE(help.Output().find("Usage: zt6100-sim"), std::string::npos);

  ChildProcess bad;
  ASSERT_TRUE(bad.Start(ZT_SIM_PATH, {"--baud", "9601"})) << bad.Error();
  EXPECT_EQ(bad.Finish(), 2);
  EXPECT_NE(bad.Errors().find("--baud"), std::string::npos) << bad.Errors();
  EXPECT_TRUE(bad.Output().empty());
}

}  // namespace
}  // namespace zt::sim
