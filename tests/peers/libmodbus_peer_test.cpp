// Our Modbus master against libmodbus's RTU server, an implementation we did
// not write: the frames we build must be accepted by it, and its replies
// decoded by us. Runs the real meter line (session, transaction), Qt serial
// port and system clock; each test gets a server of its own on a fresh pty.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "link/clock.h"
#include "link/link_settings.h"
#include "link/qt_serial_port.h"
#include "meter/meter_line.h"
#include "meter/meter_session.h"
#include "meter/register_map.h"
#include "support/child_process.h"
#include "support/poll_once.h"

namespace zt {
namespace {

// What the peer holds when it starts (see SetInitialValues in modbus_peer.cpp).
constexpr int32_t kLiveValue = 12345;
constexpr int32_t kDecimalPoint = 2;
constexpr int32_t kUpperLimit = 5000;
constexpr int32_t kLowerLimit = 100;
constexpr int32_t kParameterBaudCode = 3;
constexpr int32_t kSwitchWord = 0x0100;
constexpr int32_t kLinkBaudCode = 0;
constexpr int32_t kDeviceAddress = 1;
// Beyond the peer's map: libmodbus answers with an illegal-address exception.
constexpr uint16_t kUnmappedRegister = 0x0400;

class LibmodbusPeerTest : public ::testing::Test {
 protected:
  // A server answering as `slave`; the session starts out addressing it.
  void StartPeer(int slave) {
    ASSERT_TRUE(peer_.Start(ZT_MODBUS_PEER_PATH, {"--slave", std::to_string(slave)}))
        << peer_.Error();
    const std::optional<std::string> device = peer_.ReadLine();
    ASSERT_TRUE(device.has_value() && !device->empty())
        << "the peer printed no device path; stderr: " << peer_.Errors();
    LinkSettings settings;
    settings.address = static_cast<uint8_t>(slave);
    line_ = std::make_unique<MeterLine>(port_, clock_, settings);
    const OpenResult opened = line_->Open(*device);
    ASSERT_TRUE(opened) << opened.device << ": " << opened.reason;
  }

  void TearDown() override {
    if (line_) {
      line_->Port().Close();
    }
    if (peer_.Running()) {
      EXPECT_EQ(peer_.Stop(), 0) << "the libmodbus peer did not end cleanly on SIGTERM; stderr:\n"
                                 << peer_.Errors();
    }
  }

  MeterSession& Session() { return line_->Session(); }

  test::ChildProcess peer_;
  SystemClock clock_;
  QtSerialPort port_;
  std::unique_ptr<MeterLine> line_;
};

TEST_F(LibmodbusPeerTest, SingleRegisterReadsDecodeTheServersValues) {
  ASSERT_NO_FATAL_FAILURE(StartPeer(1));

  EXPECT_EQ(Session().ReadDecimalPoint(), kDecimalPoint);
  EXPECT_EQ(Session().ReadLiveValue(), kLiveValue);
  EXPECT_EQ(Session().ReadUpperLimit(), kUpperLimit);
  EXPECT_EQ(Session().ReadLowerLimit(), kLowerLimit);
  EXPECT_EQ(Session().ReadMeterBaud(), 9600);

  const std::optional<SwitchStatus> status = Session().ReadSwitchStatus();
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(status->RelayOn()) << "relay output is the register's high byte";
  EXPECT_FALSE(status->InputClosed()) << "switch input is the register's low byte";
}

TEST_F(LibmodbusPeerTest, ClockReadDecodesThreeRegistersInOneReply) {
  ASSERT_NO_FATAL_FAILURE(StartPeer(1));

  const std::optional<MeterClock> clock = Session().ReadClock();
  ASSERT_TRUE(clock.has_value());
  EXPECT_EQ(*clock, (MeterClock{.year = 2006, .month = 12, .day = 15, .hour = 10, .minute = 30,
                                .second = 45}));
}

TEST_F(LibmodbusPeerTest, PollAndParameterReadDecodeTheServersValues) {
  ASSERT_NO_FATAL_FAILURE(StartPeer(1));

  const PollResult poll = zt::test::PollOnce(Session());
  EXPECT_EQ(poll.decimalPoint, kDecimalPoint);
  EXPECT_EQ(poll.rawValue, kLiveValue);

  const ParameterReads reads = Session().ReadParameters();
  EXPECT_EQ(reads.upperLimit, kUpperLimit);
  EXPECT_EQ(reads.lowerLimit, kLowerLimit);
  EXPECT_EQ(reads.decimalPoint, kDecimalPoint);
  EXPECT_EQ(reads.meterBaud, 9600);
}

TEST_F(LibmodbusPeerTest, ParameterWritesAreEchoedAndStored) {
  ASSERT_NO_FATAL_FAILURE(StartPeer(1));

  const ParameterWrites written = Session().WriteParameters(
      {.upperLimit = 6000, .lowerLimit = -1, .decimalPoint = 3, .meterBaud = 19200});
  EXPECT_TRUE(written.decimalPoint);
  EXPECT_TRUE(written.upperLimit);
  EXPECT_TRUE(written.lowerLimit);
  EXPECT_TRUE(written.meterBaud);

  const ParameterReads reads = Session().ReadParameters();
  EXPECT_EQ(reads.upperLimit, 6000);
  EXPECT_EQ(reads.lowerLimit, 65535) << "-1 goes out as FF FF";
  EXPECT_EQ(reads.decimalPoint, 3);
  EXPECT_EQ(reads.meterBaud, 19200);
  EXPECT_EQ(Session().ReadRegister(reg::kParameterBaud), 4) << "a rate is stored as its code";
}

TEST_F(LibmodbusPeerTest, RatioWritesAreConfirmedAndFillBothRegisters) {
  ASSERT_NO_FATAL_FAILURE(StartPeer(1));

  EXPECT_TRUE(Session().WritePtRatio(64000));
  EXPECT_TRUE(Session().WriteCtRatio(250));

  EXPECT_EQ(Session().ReadRegister(reg::kPtRatio), 64000);
  EXPECT_EQ(Session().ReadRegister(reg::kPtRatio + 1), 0);
  EXPECT_EQ(Session().ReadRegister(reg::kCtRatio), 250);
  EXPECT_EQ(Session().ReadRegister(reg::kCtRatio + 1), 0);
}

TEST_F(LibmodbusPeerTest, SingleRegisterWritesAreConfirmedAndStored) {
  ASSERT_NO_FATAL_FAILURE(StartPeer(1));

  EXPECT_TRUE(Session().WriteWiringMode(5));
  EXPECT_TRUE(Session().ChangeLinkBaud(19200));
  EXPECT_TRUE(Session().ChangeAddress(247));

  EXPECT_EQ(Session().ReadRegister(reg::kWiringMode), 5);
  EXPECT_EQ(Session().ReadRegister(reg::kLinkBaud), 4);
  EXPECT_EQ(Session().ReadRegister(reg::kParameterBaud), kParameterBaudCode)
      << "the link baud change must leave the parameter block's register alone";
  EXPECT_EQ(Session().ReadRegister(reg::kDeviceAddress), 247);
}

TEST_F(LibmodbusPeerTest, OnlyTheAddressedServerAnswers) {
  ASSERT_NO_FATAL_FAILURE(StartPeer(7));
  EXPECT_EQ(Session().ReadDecimalPoint(), kDecimalPoint);

  line_->Settings().address = 1;
  EXPECT_EQ(Session().ReadDecimalPoint(), std::nullopt);
  EXPECT_FALSE(Session().ChangeLinkBaud(19200));
  EXPECT_FALSE(Session().ChangeAddress(9));

  line_->Settings().address = 7;
  EXPECT_EQ(Session().ReadRegister(reg::kLinkBaud), kLinkBaudCode);
  EXPECT_EQ(Session().ReadRegister(reg::kDeviceAddress), kDeviceAddress);
}

TEST_F(LibmodbusPeerTest, ExceptionReplyIsTakenForNoReply) {
  ASSERT_NO_FATAL_FAILURE(StartPeer(1));

  EXPECT_EQ(Session().ReadRegister(kUnmappedRegister), std::nullopt);

  // The server did answer: with function 0x83 and exception code 2.
  const auto received = line_->Transaction().Received();
  ASSERT_EQ(received.size(), 5U);
  EXPECT_EQ(received[0], 0x01);
  EXPECT_EQ(received[1], 0x83);
  EXPECT_EQ(received[2], 0x02);
}

}  // namespace
}  // namespace zt
