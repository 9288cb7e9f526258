#include "sim/simulated_port.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "link/modbus_rtu.h"
#include "sim/line_timing.h"
#include "support/golden_frames.h"
#include "support/hex.h"

namespace zt::sim {
namespace {

namespace frame = test::frame;

using std::chrono::microseconds;
using std::chrono::milliseconds;
using test::Hex;

class SimulatedPortTest : public ::testing::Test {
 protected:
  // Opens the port the way the console does at start.
  void OpenAt(std::string_view settings) {
    port_.SelectPort(1);
    ASSERT_TRUE(port_.SetLineFormat(settings));
    ASSERT_TRUE(port_.Open());
    port_.ClearReceiveBuffer();
  }

  void Send(const TxFrame& frame) { SendFrame(port_, frame.data(), frame.length); }

  // Sends `frame` and moves the clock on far enough for any reply.
  std::vector<uint8_t> Exchange(const TxFrame& frame) {
    port_.DiscardPendingInput();
    Send(frame);
    clock_.Advance(milliseconds(600));
    return port_.ReadWaiting();
  }

  VirtualClock clock_;
  MeterModel meter_;
  SimulatedPort port_{clock_, meter_};
};

TEST_F(SimulatedPortTest, ReplyBytesArriveOneByOneAtTheirLineTimes) {
  OpenAt("9600,N,8,2");
  meter_.SetDecimalPoint(3);
  Send(BuildReadRequest(1, 0x0006, 1));
  const LineFormat line = ParseSettingsText("9600,N,8,2").value();
  const microseconds firstByteStart = LineTime(line, 8) + kDefaultReplyLatency;
  for (std::size_t k = 1; k <= 7; ++k) {
    const microseconds arrival = firstByteStart + LineTime(line, k);
    clock_.Advance(arrival - microseconds(1) - clock_.Now());
    EXPECT_EQ(port_.CountWaiting(), static_cast<int16_t>(k - 1)) << "just before byte " << k;
    clock_.Advance(microseconds(1));
    EXPECT_EQ(port_.CountWaiting(), static_cast<int16_t>(k)) << "at byte " << k;
  }
  EXPECT_EQ(Hex(port_.ReadWaiting()), frame::kReplyValue3);
  EXPECT_EQ(port_.CountWaiting(), 0);
}

TEST_F(SimulatedPortTest, MeterSwitchesRateAfterItsEchoHasGone) {
  OpenAt("9600,N,8,2");
  EXPECT_EQ(Hex(Exchange(BuildWriteSingleRequest(1, 0x0008, 4))), frame::kWriteLinkBaud19200);
  EXPECT_TRUE(Exchange(BuildReadRequest(1, 0x0006, 1)).empty()) << "still at 9600";

  port_.Close();
  ASSERT_TRUE(port_.SetLineFormat("19200,N,8,2"));
  ASSERT_TRUE(port_.Open());
  EXPECT_EQ(Exchange(BuildReadRequest(1, 0x0006, 1)).size(), 7U);
  EXPECT_EQ(port_.Written().back().line.baudRate, 19200);
}

TEST_F(SimulatedPortTest, NothingIsWiredToTheOtherPort) {
  port_.SelectPort(2);
  ASSERT_TRUE(port_.SetLineFormat("9600,N,8,2"));
  ASSERT_TRUE(port_.Open());
  EXPECT_TRUE(Exchange(BuildReadRequest(1, 0x0006, 1)).empty());
  port_.SetMeterPort(2);
  EXPECT_EQ(Exchange(BuildReadRequest(1, 0x0006, 1)).size(), 7U);
}

TEST_F(SimulatedPortTest, DiscardDropsOnlyWhatHasArrived) {
  OpenAt("9600,N,8,2");
  Send(BuildReadRequest(1, 0x0006, 1));
  const LineFormat line = ParseSettingsText("9600,N,8,2").value();
  clock_.Advance(LineTime(line, 8) + kDefaultReplyLatency + LineTime(line, 3));
  ASSERT_EQ(port_.CountWaiting(), 3);
  port_.DiscardPendingInput();
  EXPECT_EQ(port_.CountWaiting(), 0);
  clock_.Advance(milliseconds(100));
  EXPECT_EQ(Hex(port_.ReadWaiting()), "00 02 39 85");
}

TEST_F(SimulatedPortTest, CountingConsumesNothingAndIsClampedToSixteenBits) {
  OpenAt("9600,N,8,2");
  port_.InjectIncoming(clock_.Now(), std::vector<uint8_t>(40000, 0x55));
  EXPECT_EQ(port_.CountWaiting(), 32767);
  EXPECT_EQ(port_.CountWaiting(), 32767);
  EXPECT_EQ(port_.ReadWaiting().size(), 40000U);
  EXPECT_EQ(port_.CountWaiting(), 0);
}

TEST_F(SimulatedPortTest, StrayBytesWaitFromTheirArrivalOnWhateverTheFormat) {
  OpenAt("4800,O,8,1");
  port_.InjectIncoming(milliseconds(50), {0xAA, 0xBB});
  clock_.Advance(milliseconds(49));
  EXPECT_EQ(port_.CountWaiting(), 0);
  clock_.Advance(milliseconds(1));
  EXPECT_EQ(Hex(port_.ReadWaiting()), "AA BB");
}

TEST_F(SimulatedPortTest, BytesArrivingWhileClosedAreLost) {
  OpenAt("9600,N,8,2");
  Send(BuildReadRequest(1, 0x0006, 1));
  port_.Close();
  port_.InjectIncoming(milliseconds(5), {0x01});
  clock_.Advance(milliseconds(600));
  EXPECT_EQ(port_.CountWaiting(), 0);
  ASSERT_TRUE(port_.Open());
  EXPECT_EQ(port_.CountWaiting(), 0);
}

TEST_F(SimulatedPortTest, AVanishedAdapterAnswersNothingAndCannotBeReopened) {
  OpenAt("9600,N,8,2");
  port_.InjectIncoming(clock_.Now(), {0x01, 0x02});
  port_.Vanish();
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_EQ(port_.CountWaiting(), 0);
  EXPECT_TRUE(port_.ReadWaiting().empty());
  const TxFrame write = BuildWriteSingleRequest(1, 0x0302, 77);
  port_.Write(write.data(), write.length);
  clock_.Advance(milliseconds(600));
  EXPECT_TRUE(port_.Written().empty());
  EXPECT_EQ(meter_.UpperLimit(), MeterModel{}.UpperLimit());
  EXPECT_FALSE(port_.Events().back().ok);

  port_.Close();
  const OpenResult reopened = port_.Open();
  EXPECT_FALSE(reopened);
  EXPECT_FALSE(reopened.reason.empty());
  EXPECT_FALSE(port_.IsOpen());
}

TEST_F(SimulatedPortTest, OpenFailsWithTheGivenReasonUntilAllowed) {
  port_.FailOpen("Permission denied");
  const OpenResult refused = port_.Open();
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.reason, "Permission denied");
  EXPECT_FALSE(refused.device.empty());
  EXPECT_FALSE(port_.IsOpen());
  port_.AllowOpen();
  EXPECT_TRUE(port_.Open());
}

TEST_F(SimulatedPortTest, LogsOperationsAndFramesInOrder) {
  clock_.Advance(milliseconds(3));
  OpenAt("19200,E,8,2");
  EXPECT_FALSE(port_.SetLineFormat("19200,X,8,2"));
  EXPECT_EQ(port_.CurrentLineFormat().parity, kParityEven) << "a refused text changes nothing";
  meter_.SetLineBaudIndex(4);
  meter_.SetLineParity(kParityEven);
  Exchange(BuildReadRequest(1, 0x0110, 3));

  using Op = PortOperation;
  EXPECT_EQ(port_.Operations(),
            (std::vector<Op>{Op::SelectPort, Op::SetLineFormat, Op::Open, Op::ClearReceiveBuffer,
                             Op::SetLineFormat, Op::DiscardPendingInput, Op::Write,
                             Op::ReadWaiting}));
  EXPECT_EQ(port_.Events()[1].text, "19200,E,8,2");
  EXPECT_FALSE(port_.Events()[4].ok);
  ASSERT_EQ(port_.Written().size(), 1U);
  const WrittenFrame& written = port_.Written()[0];
  EXPECT_EQ(written.at, milliseconds(3));
  EXPECT_EQ(Hex(written.bytes), frame::kReadClock);
  EXPECT_EQ(SettingsText(written.line), "19200,E,8,2");
  EXPECT_EQ(written.port, 1);
}

}  // namespace
}  // namespace zt::sim
