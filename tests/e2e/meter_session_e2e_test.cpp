// The console's meter session over the real stack (transaction, Qt serial
// port, system clock) against zt6100-sim on a pty. Every exchange waits its
// real 300 or 600 ms.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/link_settings.h"
#include "link/open_line.h"
#include "link/port_device_map.h"
#include "link/qt_serial_port.h"
#include "link/transaction.h"
#include "meter/meter_clock.h"
#include "meter/meter_session.h"
#include "support/child_process.h"

namespace zt {
namespace {

using test::ChildProcess;

class MeterSessionOverPty : public ::testing::Test {
 protected:
  void StartSim(std::vector<std::string> arguments) {
    arguments.push_back("--verbose");
    ASSERT_TRUE(sim_.Start(ZT_SIM_PATH, arguments)) << sim_.Error();
    const std::optional<std::string> device = sim_.ReadLine();
    ASSERT_TRUE(device.has_value()) << "no device path; stderr: " << sim_.Errors();

    PortDeviceMap devices;
    devices.Override(settings_.port, *device);
    port_ = std::make_unique<QtSerialPort>(devices);
    const OpenResult opened = OpenLine(*port_, settings_);
    ASSERT_TRUE(opened) << opened.device << ": " << opened.reason;
    link_ = std::make_unique<Transaction>(*port_, clock_);
    session_ = std::make_unique<MeterSession>(*link_, settings_);
  }

  // Closed and opened again, as the console does when the link settings
  // change.
  void Reconfigure() {
    port_->Close();
    const OpenResult opened = OpenLine(*port_, settings_);
    ASSERT_TRUE(opened) << opened.device << ": " << opened.reason;
    port_->DiscardPendingInput();
  }

  void TearDown() override {
    if (port_) {
      port_->Close();
    }
    if (sim_.Running()) {
      EXPECT_EQ(sim_.Stop(), 0) << "zt6100-sim did not end cleanly; stderr:\n" << sim_.Errors();
    }
  }

  MeterSession& Session() { return *session_; }

  ChildProcess sim_;
  LinkSettings settings_;
  SystemClock clock_;
  std::unique_ptr<QtSerialPort> port_;
  std::unique_ptr<Transaction> link_;
  std::unique_ptr<MeterSession> session_;
};

TEST_F(MeterSessionOverPty, ReadsConfirmsAWriteAndReadsTheClock) {
  ASSERT_NO_FATAL_FAILURE(StartSim({"--decimal-point", "3", "--clock", "2006-12-15T10:30:45"}));

  EXPECT_EQ(Session().ReadDecimalPoint(), 3);
  EXPECT_TRUE(Session().WritePtRatio(100));
  EXPECT_TRUE(sim_.WaitForErrorLine("function 16 register 0x0000 word 2").has_value())
      << sim_.Errors();
  EXPECT_EQ(Session().ReadClock(), (MeterClock{2006, 12, 15, 10, 30, 45}));
}

TEST_F(MeterSessionOverPty, AfterABaudChangeTheReopenedPortReadsAtTheNewRate) {
  ASSERT_NO_FATAL_FAILURE(StartSim({"--upper", "4321"}));

  ASSERT_TRUE(Session().ChangeLinkBaud(19200));
  EXPECT_FALSE(Session().ReadUpperLimit().has_value()) << "the meter no longer listens at 9600";

  settings_.baudRate = 19200;
  ASSERT_NO_FATAL_FAILURE(Reconfigure());
  EXPECT_EQ(Session().ReadUpperLimit(), 4321);
}

struct FaultRow {
  std::string name;
  std::vector<std::string> arguments;
  std::optional<int32_t> decimalPoint;
};

class FaultySimulator : public MeterSessionOverPty,
                        public ::testing::WithParamInterface<FaultRow> {};

TEST_P(FaultySimulator, ReadGivesWhatTheConsoleWouldSee) {
  std::vector<std::string> arguments{"--decimal-point", "2"};
  arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
  ASSERT_NO_FATAL_FAILURE(StartSim(arguments));
  EXPECT_EQ(Session().ReadDecimalPoint(), GetParam().decimalPoint);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultySimulator,
    ::testing::Values(FaultRow{"NoiseBeforeTheReply", {"--noise", "5"}, 2},
                      FaultRow{"BadCrc", {"--bad-crc"}, std::nullopt},
                      FaultRow{"LaterThanTheWait", {"--late", "700"}, std::nullopt},
                      // 320 bytes of burst push the reply past the 300-byte buffer.
                      FaultRow{"Burst", {"--burst"}, std::nullopt}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace zt
