#include "meter/meter_session.h"

#include <gtest/gtest.h>

#include <map>

#include "link/modbus_rtu.h"
#include "scripted_port.h"
#include "support/golden_frames.h"
#include "support/hex.h"
#include "support/poll_once.h"

namespace {

using zt::test::Bytes;
using zt::test::Frame;
namespace frame = zt::test::frame;
using zt::test::ScriptedReply;

// A function 3 reply of one register with its CRC.
Frame ReadReply(uint8_t address, uint16_t value) {
  Frame reply = {address, 3, 2, static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  reply.resize(7);
  zt::AppendCrc(reply.data(), 5);
  return reply;
}

class MeterSessionTest : public testing::Test {
 protected:
  MeterSessionTest() {
    clock.RecordSleeps();
    port.responder = [this](const Frame& request) -> std::optional<ScriptedReply> {
      if (const auto it = replies.find(request); it != replies.end()) {
        return ScriptedReply{it->second, replyDelayMs};
      }
      if (echoWrites && (request[1] == 6)) {
        return ScriptedReply{request, replyDelayMs};
      }
      return std::nullopt;
    };
  }

  std::vector<Frame> SentFrames() const {
    std::vector<Frame> frames;
    for (const auto& s : port.sent) frames.push_back(s.bytes);
    return frames;
  }
  std::vector<uint32_t> SendTimes() const {
    std::vector<uint32_t> times;
    for (const auto& s : port.sent) times.push_back(s.atMs);
    return times;
  }

  zt::VirtualClock clock;
  zt::test::ScriptedPort port{clock};
  zt::Transaction transaction{port, clock};
  zt::LinkSettings settings;
  zt::MeterSession session{transaction, settings};
  std::map<Frame, Frame> replies;
  bool echoWrites = false;
  uint32_t replyDelayMs = 20;
};

TEST_F(MeterSessionTest, SingleReadsSleep600AndDecodeUnsigned) {
  replies[Bytes(frame::kReadUpperLimit)] = ReadReply(1, 0xFFFF);
  EXPECT_EQ(session.ReadUpperLimit(), 65535);
  // Woken by the reply's first byte to time it, the exchange sleeps on to
  // its deadline and only then looks at the line.
  EXPECT_EQ(clock.SleepsMs(), (std::vector<uint32_t>{20, 580}));
}

TEST_F(MeterSessionTest, ReplyArrivingAfterTheWaitIsNotSeen) {
  replies[Bytes(frame::kReadDecimalPoint)] = ReadReply(1, 2);
  replyDelayMs = 601;
  EXPECT_FALSE(session.ReadDecimalPoint().has_value());
  replyDelayMs = 600;
  EXPECT_EQ(session.ReadDecimalPoint(), 2);
}

TEST_F(MeterSessionTest, MeterBaudShownAsRateOrUnchanged) {
  replies[Bytes(frame::kReadParameterBaud)] = Bytes(frame::kReplyValue3);
  EXPECT_EQ(session.ReadMeterBaud(), 9600);
  replies[Bytes(frame::kReadParameterBaud)] = ReadReply(1, 7);
  EXPECT_EQ(session.ReadMeterBaud(), 7);
}

TEST_F(MeterSessionTest, SwitchStatusOnlyOneMeansOnOrClosed) {
  const Frame request = Bytes(frame::kReadSwitchStatus);
  replies[request] = Bytes(frame::kReplyRelayOnInputOpen);
  auto status = session.ReadSwitchStatus();
  ASSERT_TRUE(status);
  EXPECT_TRUE(status->RelayOn());
  EXPECT_FALSE(status->InputClosed());

  replies[request] = Bytes(frame::kReplyRelayOffInputClosed);
  status = session.ReadSwitchStatus();
  ASSERT_TRUE(status);
  EXPECT_FALSE(status->RelayOn());
  EXPECT_TRUE(status->InputClosed());

  replies[request] = ReadReply(1, 0x02FF);
  status = session.ReadSwitchStatus();
  ASSERT_TRUE(status);
  EXPECT_FALSE(status->RelayOn());
  EXPECT_FALSE(status->InputClosed());
}

TEST_F(MeterSessionTest, ParameterReadOrderAndSpacing) {
  replies[Bytes(frame::kReadUpperLimit)] = ReadReply(1, 1000);
  replies[Bytes(frame::kReadLowerLimit)] = ReadReply(1, 100);
  replies[Bytes(frame::kReadParameterBaud)] = ReadReply(1, 4);
  // The decimal-point read finds no reply: only that value stays unknown.
  const zt::ParameterReads reads = session.ReadParameters();
  EXPECT_EQ(SentFrames(), (std::vector<Frame>{Bytes(frame::kReadUpperLimit),
                                              Bytes(frame::kReadLowerLimit),
                                              Bytes(frame::kReadDecimalPoint),
                                              Bytes(frame::kReadParameterBaud)}));
  // The silent decimal-point read leaves the line dirty: a reply may still
  // be coming, so the baud read waits for the guard limit of 2 s.
  EXPECT_EQ(SendTimes(), (std::vector<uint32_t>{0, 600, 1200, 3800}));
  EXPECT_EQ(reads.upperLimit, 1000);
  EXPECT_EQ(reads.lowerLimit, 100);
  EXPECT_FALSE(reads.decimalPoint.has_value());
  EXPECT_EQ(reads.meterBaud, 19200);
}

TEST_F(MeterSessionTest, PollReadsDecimalPointThenLiveValueInOneAndAHalfSeconds) {
  replies[Bytes(frame::kReadDecimalPoint)] = ReadReply(1, 2);
  replies[Bytes(frame::kReadLiveValue)] = ReadReply(1, 1000);
  // Work done between the exchanges does not lengthen the tick: each wait
  // ends at its deadline.
  port.onWrite = [this] { clock.Advance(std::chrono::microseconds(700)); };
  const zt::PollResult poll = zt::test::PollOnce(session);
  EXPECT_EQ(poll.decimalPoint, 2);
  EXPECT_EQ(poll.rawValue, 1000);
  EXPECT_EQ(SentFrames(),
            (std::vector<Frame>{Bytes(frame::kReadDecimalPoint), Bytes(frame::kReadLiveValue)}));
  EXPECT_EQ(SendTimes(), (std::vector<uint32_t>{0, 900}));
  EXPECT_EQ(clock.Now(), std::chrono::microseconds(1'500'000));
}

TEST_F(MeterSessionTest, AfterAFailedReadTheNextRequestWaitsForAQuietLine) {
  // No decimal point: the live value goes out once the line has been quiet
  // for the guard limit, 2 s after the failed read's deadline.
  replies[Bytes(frame::kReadLiveValue)] = ReadReply(1, 1000);
  const zt::PollResult poll = zt::test::PollOnce(session);
  EXPECT_FALSE(poll.decimalPoint.has_value());
  EXPECT_EQ(poll.rawValue, 1000);
  EXPECT_EQ(SendTimes(), (std::vector<uint32_t>{0, 2600}));

  // An exception is the meter's answer to this very request: nothing more
  // can come, and the next request keeps its time.
  replies.clear();
  replies[Bytes(frame::kReadDecimalPoint)] = Bytes(frame::kReplyIllegalAddress);
  replies[Bytes(frame::kReadLiveValue)] = ReadReply(1, 1001);
  port.sent.clear();
  clock.Advance(-clock.Now());  // back to time zero
  EXPECT_EQ(zt::test::PollOnce(session).rawValue, 1001);
  EXPECT_EQ(SendTimes(), (std::vector<uint32_t>{0, 900}));
}

TEST_F(MeterSessionTest, LateReplyIsDiscardedAndNeverTakenForTheNextOne) {
  // The decimal point answers 700 ms late, after the poll has moved on; the
  // live-value read must not take it for its own (same address and function).
  replies[Bytes(frame::kReadDecimalPoint)] = ReadReply(1, 2);
  replyDelayMs = 700;
  const zt::PollResult poll = zt::test::PollOnce(session);
  EXPECT_FALSE(poll.decimalPoint.has_value());
  EXPECT_FALSE(poll.rawValue.has_value());
}

TEST_F(MeterSessionTest, ClockSleeps300AndFindsTheReplyAfterNoise) {
  replies[Bytes(frame::kReadClock)] = Bytes("AA BB CC 01 03 06 1E 2D 0F 0A 06 0C AE 7E");
  const auto clockReading = session.ReadClock();
  ASSERT_TRUE(clockReading);
  EXPECT_EQ(zt::FormatMeterClock(*clockReading), "当前时间:  2006年12月15日 10时30分45秒");
  EXPECT_EQ(clock.SleepsMs(), (std::vector<uint32_t>{20, 280}));

  replyDelayMs = 350;
  EXPECT_FALSE(session.ReadClock().has_value());
  clock.Advance(std::chrono::milliseconds(1000));  // the late reply lands while the console is idle
  replyDelayMs = 20;
  replies[Bytes(frame::kReadClock)] = Bytes(frame::kReplyIllegalAddress);
  EXPECT_FALSE(session.ReadClock().has_value());
}

struct ConfirmedWriteRow {
  const char* name;
  std::function<bool(zt::MeterSession&)> write;
  std::string_view request;
  std::string_view confirmation;
};

class ConfirmedWrites : public MeterSessionTest,
                        public testing::WithParamInterface<ConfirmedWriteRow> {};

TEST_P(ConfirmedWrites, SleepToTheDeadlineThenLookForTheConfirmation) {
  const ConfirmedWriteRow& row = GetParam();
  const Frame probe = Bytes(frame::kReadDecimalPoint);
  replies[probe] = ReadReply(1, 2);
  replies[Bytes(row.request)] = Bytes(row.confirmation);
  EXPECT_TRUE(row.write(session));
  // The first write on a fresh line is preceded by a read that tells whether
  // the line echoes.
  EXPECT_EQ(SentFrames(), (std::vector<Frame>{probe, Bytes(row.request)}));
  EXPECT_EQ(clock.SleepsMs(), (std::vector<uint32_t>{20, 580, 20, 280}));
  EXPECT_EQ(transaction.LineEchoes(), false);

  replies.clear();
  EXPECT_FALSE(row.write(session)) << "silence";
  Frame corrupted = Bytes(row.confirmation);
  corrupted.back() ^= 0x01;
  replies[Bytes(row.request)] = corrupted;
  EXPECT_FALSE(row.write(session)) << "bad CRC";
  // A well-formed confirmation of another write (a late echo of an earlier
  // request) confirms nothing: the value, or the start and count, differ.
  Frame other = Bytes(row.confirmation);
  other[5] ^= 0x01;
  zt::AppendCrc(other.data(), 6);
  replies[Bytes(row.request)] = other;
  EXPECT_FALSE(row.write(session)) << "another write's confirmation";
  EXPECT_EQ(SentFrames().size(), 5U) << "the probe is not repeated once the line is known";
}

INSTANTIATE_TEST_SUITE_P(
    Meter, ConfirmedWrites,
    testing::Values(
        ConfirmedWriteRow{"Pt", [](zt::MeterSession& s) { return s.WritePtRatio(100); },
                          frame::kWritePt100, frame::kPtWrittenReply},
        ConfirmedWriteRow{"Ct", [](zt::MeterSession& s) { return s.WriteCtRatio(5); },
                          frame::kWriteCt5, frame::kCtWrittenReply},
        ConfirmedWriteRow{"Wiring", [](zt::MeterSession& s) { return s.WriteWiringMode(1); },
                          frame::kWriteWiring1, frame::kWriteWiring1},
        ConfirmedWriteRow{"LinkBaud", [](zt::MeterSession& s) { return s.ChangeLinkBaud(19200); },
                          frame::kWriteLinkBaud19200, frame::kWriteLinkBaud19200}),
    [](const testing::TestParamInfo<ConfirmedWriteRow>& row) {
      return std::string(row.param.name);
    });

TEST_F(MeterSessionTest, ParameterWriteSendsAllFourAndReportsEachEcho) {
  echoWrites = true;
  transaction.SetLocalEcho(zt::LocalEcho::Off);
  // The meter refuses the upper threshold with an exception instead of an echo.
  replies[Bytes(frame::kWriteUpperLimit1000)] = Bytes("01 86 03 02 61");
  const zt::ParameterWrites writes = session.WriteParameters({1000, 100, 2, 9600});
  EXPECT_EQ(SentFrames(), (std::vector<Frame>{Bytes(frame::kWriteDecimalPoint2),
                                              Bytes(frame::kWriteUpperLimit1000),
                                              Bytes(frame::kWriteLowerLimit100),
                                              Bytes(frame::kWriteParameterBaud9600)}));
  EXPECT_EQ(SendTimes(), (std::vector<uint32_t>{0, 300, 600, 900}));
  EXPECT_EQ(clock.TickCount(), 1200U);
  EXPECT_TRUE(writes.decimalPoint);
  EXPECT_FALSE(writes.upperLimit);
  EXPECT_TRUE(writes.lowerLimit);
  EXPECT_TRUE(writes.meterBaud);
  EXPECT_FALSE(writes.AllConfirmed());
}

TEST_F(MeterSessionTest, ParameterWriteToASilentMeterIsNotConfirmed) {
  transaction.SetLocalEcho(zt::LocalEcho::Off);
  const zt::ParameterWrites writes = session.WriteParameters({-1, 0, 0, 3});
  EXPECT_EQ(port.sent.size(), 4U);
  EXPECT_EQ(port.sent[1].bytes, Bytes("01 06 03 02 FF FF 29 FE")) << "-1 goes out as FF FF";
  EXPECT_EQ(port.sent[3].bytes[5], 3) << "a code already in the box is sent unchanged";
  EXPECT_FALSE(writes.decimalPoint || writes.upperLimit || writes.lowerLimit || writes.meterBaud);
}

TEST_F(MeterSessionTest, AddressChangeConfirmedFromOldOrNewAddress) {
  transaction.SetLocalEcho(zt::LocalEcho::Off);
  const Frame request = Bytes(frame::kWriteAddress5);
  replies[request] = request;
  EXPECT_TRUE(session.ChangeAddress(5));
  EXPECT_EQ(port.sent.back().bytes, request);
  EXPECT_EQ(clock.SleepsMs().back(), 280U);

  Frame fromNew = request;
  fromNew[0] = 5;
  zt::AppendCrc(fromNew.data(), 6);
  replies[request] = fromNew;
  EXPECT_TRUE(session.ChangeAddress(5));

  Frame fromThird = request;
  fromThird[0] = 7;
  zt::AppendCrc(fromThird.data(), 6);
  replies[request] = fromThird;
  EXPECT_FALSE(session.ChangeAddress(5));

  replies.clear();
  EXPECT_FALSE(session.ChangeAddress(5));
  EXPECT_EQ(settings.address, 1) << "the console's own address does not change";
}

TEST_F(MeterSessionTest, EveryRequestCarriesTheAddressOfTheMomentAndMatchesIt) {
  settings.address = 7;
  replies[Bytes(frame::kReadDecimalPointAt7)] = ReadReply(1, 3);
  EXPECT_FALSE(session.ReadDecimalPoint().has_value()) << "reply from another address";
  replies[Bytes(frame::kReadDecimalPointAt7)] = ReadReply(7, 3);
  EXPECT_EQ(session.ReadDecimalPoint(), 3);
  EXPECT_EQ(port.sent.back().bytes[0], 7);
}

TEST_F(MeterSessionTest, ClosedPortGivesNoReplyAndSendsNothing) {
  replies[Bytes(frame::kReadDecimalPoint)] = ReadReply(1, 2);
  port.Close();
  EXPECT_FALSE(session.ReadDecimalPoint().has_value());
  EXPECT_FALSE(session.ChangeLinkBaud(19200));
  EXPECT_TRUE(port.sent.empty());
}

}  // namespace
