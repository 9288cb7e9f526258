#include "sim/meter_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "link/modbus_rtu.h"
#include "sim/request_parser.h"
#include "support/golden_frames.h"
#include "support/hex.h"

namespace zt::sim {
namespace {

namespace frame = test::frame;

using test::Bytes;
using test::Hex;

std::optional<std::vector<uint8_t>> Answer(MeterModel& meter, std::string_view requestHex) {
  const std::vector<uint8_t> frame = Bytes(requestHex);
  const std::optional<Request> request = ParseRequest(frame.data(), frame.size());
  EXPECT_TRUE(request.has_value()) << "not a request: " << requestHex;
  return request ? meter.Handle(*request) : std::nullopt;
}

std::vector<uint8_t> Frame(const TxFrame& frame) {
  return {frame.bytes.begin(), frame.bytes.begin() + frame.length};
}

std::optional<std::vector<uint8_t>> Answer(MeterModel& meter, const std::vector<uint8_t>& frame) {
  const std::optional<Request> request = ParseRequest(frame.data(), frame.size());
  EXPECT_TRUE(request.has_value()) << "not a request: " << Hex(frame);
  return request ? meter.Handle(*request) : std::nullopt;
}

std::optional<std::vector<uint8_t>> Answer(MeterModel& meter, const TxFrame& frame) {
  return Answer(meter, Frame(frame));
}

// Everything a master can change, for checking that a refused request
// changed nothing.
auto Snapshot(const MeterModel& meter) {
  return std::make_tuple(meter.Address(), meter.LineBaudIndex(), meter.DecimalPoint(),
                         meter.UpperLimit(), meter.LowerLimit(), meter.ParameterBaud(),
                         meter.Clock(), meter.PtRatio(), meter.CtRatio(), meter.Wiring(),
                         meter.LiveReads());
}

struct ExchangeRow {
  std::string name;
  std::function<void(MeterModel&)> setup;
  std::string_view request;
  std::string_view reply;
  std::function<void(const MeterModel&)> check;
};

class MeterExchanges : public ::testing::TestWithParam<ExchangeRow> {};

TEST_P(MeterExchanges, AnswerAsTheConsoleExpects) {
  const ExchangeRow& row = GetParam();
  MeterModel meter;
  if (row.setup) {
    row.setup(meter);
  }
  const auto reply = Answer(meter, row.request);
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(Hex(*reply), Hex(Bytes(row.reply)));
  if (row.check) {
    row.check(meter);
  }
}

const auto kDecimalPointThree = [](MeterModel& m) { m.SetDecimalPoint(3); };
const auto kClock20061215 = [](MeterModel& m) { m.SetClock({2006, 12, 15, 10, 30, 45}); };

INSTANTIATE_TEST_SUITE_P(
    ConsoleFrames, MeterExchanges,
    ::testing::Values(
        ExchangeRow{"ReadDecimalPoint",
                    kDecimalPointThree,
                    frame::kReadDecimalPoint,
                    frame::kReplyValue3,
                    {}},
        ExchangeRow{"ReadUpperLimit",
                    [](MeterModel& m) { m.SetUpperLimit(3); },
                    frame::kReadUpperLimit,
                    frame::kReplyValue3,
                    {}},
        ExchangeRow{"ReadLowerLimit",
                    [](MeterModel& m) { m.SetLowerLimit(3); },
                    frame::kReadLowerLimit,
                    frame::kReplyValue3,
                    {}},
        ExchangeRow{"ReadParameterBaud",
                    [](MeterModel& m) { m.SetParameterBaud(3); },
                    frame::kReadParameterBaud,
                    frame::kReplyValue3,
                    {}},
        ExchangeRow{"ReadRelayOnInputOpen",
                    [](MeterModel& m) {
                      m.SetRelayOutput(1);
                      m.SetSwitchInput(0);
                    },
                    frame::kReadSwitchStatus,
                    frame::kReplyRelayOnInputOpen,
                    {}},
        ExchangeRow{"ReadRelayOffInputClosed",
                    [](MeterModel& m) {
                      m.SetRelayOutput(0);
                      m.SetSwitchInput(1);
                    },
                    frame::kReadSwitchStatus,
                    frame::kReplyRelayOffInputClosed,
                    {}},
        ExchangeRow{"ReadClock",
                    kClock20061215,
                    frame::kReadClock,
                    frame::kReplyClock20061215,
                    {}},
        ExchangeRow{"WritePt",
                    {},
                    frame::kWritePt100,
                    frame::kPtWrittenReply,
                    [](const MeterModel& m) { EXPECT_EQ(m.PtRatio(), 100); }},
        ExchangeRow{"WriteCt",
                    {},
                    frame::kWriteCt5,
                    frame::kCtWrittenReply,
                    [](const MeterModel& m) { EXPECT_EQ(m.CtRatio(), 5); }},
        ExchangeRow{"WriteWiringMode",
                    {},
                    frame::kWriteWiring1,
                    frame::kWriteWiring1,
                    [](const MeterModel& m) { EXPECT_EQ(m.Wiring(), 1); }},
        ExchangeRow{"WriteLinkBaud",
                    {},
                    frame::kWriteLinkBaud19200,
                    frame::kWriteLinkBaud19200,
                    [](const MeterModel& m) { EXPECT_EQ(m.Line().baudRate, 19200); }},
        ExchangeRow{"WriteAddressEchoesFromTheOldOne",
                    {},
                    frame::kWriteAddress5,
                    frame::kWriteAddress5,
                    [](const MeterModel& m) { EXPECT_EQ(m.Address(), 5); }},
        ExchangeRow{"WriteDecimalPoint",
                    {},
                    frame::kWriteDecimalPoint2,
                    frame::kWriteDecimalPoint2,
                    [](const MeterModel& m) { EXPECT_EQ(m.DecimalPoint(), 2); }},
        ExchangeRow{"WriteUpperLimit",
                    {},
                    frame::kWriteUpperLimit1000,
                    frame::kWriteUpperLimit1000,
                    [](const MeterModel& m) { EXPECT_EQ(m.UpperLimit(), 1000); }},
        ExchangeRow{"WriteLowerLimit",
                    {},
                    frame::kWriteLowerLimit100,
                    frame::kWriteLowerLimit100,
                    [](const MeterModel& m) { EXPECT_EQ(m.LowerLimit(), 100); }},
        ExchangeRow{"WriteParameterBaud", [](MeterModel& m) { m.SetParameterBaud(0); },
                    frame::kWriteParameterBaud9600, frame::kWriteParameterBaud9600,
                    [](const MeterModel& m) { EXPECT_EQ(m.ParameterBaud(), 3); }},
        ExchangeRow{"ReadUnknownRegister", {}, "01 03 04 00 00 01 85 3A",
                    frame::kReplyIllegalAddress, {}}),
    [](const auto& row) { return row.param.name; });

struct RefusalRow {
  std::string name;
  std::vector<uint8_t> request;
  ExceptionCode code;
};

void ExpectRefused(const RefusalRow& row) {
  MeterModel meter;
  const auto before = Snapshot(meter);
  const auto reply = Answer(meter, row.request);
  ASSERT_TRUE(reply.has_value());
  ASSERT_EQ(reply->size(), 5U) << Hex(*reply);
  EXPECT_EQ((*reply)[0], 1);
  EXPECT_EQ((*reply)[1], row.request[1] | kExceptionFlag);
  EXPECT_EQ((*reply)[2], static_cast<uint8_t>(row.code));
  EXPECT_EQ(FindReplyFrame(reply->data(), 5, (*reply)[1], 1, 5), 0) << "CRC of " << Hex(*reply);
  EXPECT_EQ(Snapshot(meter), before);
}

std::vector<uint8_t> WithFunction(uint8_t function) {
  std::vector<uint8_t> frame = Frame(BuildReadRequest(1, 0x0006, 1));
  frame[1] = function;
  AppendCrc(frame.data(), 6);
  return frame;
}

// A function 16 request; `extraBytes` data bytes more than the values need,
// counted in the byte count, make it disagree with the register count.
std::vector<uint8_t> WriteMultiple(uint16_t first, const std::vector<uint16_t>& values,
                                   std::size_t extraBytes = 0) {
  const auto count = static_cast<uint16_t>(values.size());
  std::vector<uint8_t> frame{1,
                             16,
                             static_cast<uint8_t>(first >> 8),
                             static_cast<uint8_t>(first & 0xFF),
                             static_cast<uint8_t>(count >> 8),
                             static_cast<uint8_t>(count & 0xFF),
                             static_cast<uint8_t>(2 * count + extraBytes)};
  for (const uint16_t value : values) {
    frame.push_back(static_cast<uint8_t>(value >> 8));
    frame.push_back(static_cast<uint8_t>(value & 0xFF));
  }
  frame.resize(frame.size() + extraBytes);
  frame.resize(frame.size() + 2);
  AppendCrc(frame.data(), static_cast<int16_t>(frame.size() - 2));
  return frame;
}

// Requests the meter refuses, each with the exception it answers.
std::vector<RefusalRow> Refusals() {
  return {
        RefusalRow{"ReadInputRegisters", WithFunction(4), ExceptionCode::IllegalFunction},
        RefusalRow{"ReadUnknownRegister", Frame(BuildReadRequest(1, 0x0400, 1)),
                   ExceptionCode::IllegalDataAddress},
        RefusalRow{"ReadGapInParameterBlock", Frame(BuildReadRequest(1, 0x0302, 2)),
                   ExceptionCode::IllegalDataAddress},
        RefusalRow{"ReadRangeStartingWithLiveValue", Frame(BuildReadRequest(1, 0x0000, 2)),
                   ExceptionCode::IllegalDataAddress},
        RefusalRow{"ReadPastTheClock", Frame(BuildReadRequest(1, 0x0110, 4)),
                   ExceptionCode::IllegalDataAddress},
        RefusalRow{"ReadNothing", Frame(BuildReadRequest(1, 0x0006, 0)),
                   ExceptionCode::IllegalDataValue},
        RefusalRow{"ReadTooMany", Frame(BuildReadRequest(1, 0x0006, 126)),
                   ExceptionCode::IllegalDataValue},
        RefusalRow{"WriteSwitchStatus", Frame(BuildWriteSingleRequest(1, 0x0016, 1)),
                   ExceptionCode::IllegalDataAddress},
        RefusalRow{"WritePtWithFunction6", Frame(BuildWriteSingleRequest(1, 0x0000, 100)),
                   ExceptionCode::IllegalDataAddress},
        RefusalRow{"WriteUnknownRegister", Frame(BuildWriteSingleRequest(1, 0x0303, 1)),
                   ExceptionCode::IllegalDataAddress},
        RefusalRow{"LinkBaudIndex7", Frame(BuildWriteSingleRequest(1, 0x0008, 7)),
                   ExceptionCode::IllegalDataValue},
        RefusalRow{"ParameterBaudIndex5", Frame(BuildWriteSingleRequest(1, 0x0308, 5)),
                   ExceptionCode::IllegalDataValue},
        RefusalRow{"WiringMode9", Frame(BuildWriteSingleRequest(1, 0x0002, 9)),
                   ExceptionCode::IllegalDataValue},
        RefusalRow{"DecimalPoint4", Frame(BuildWriteSingleRequest(1, 0x0006, 4)),
                   ExceptionCode::IllegalDataValue},
        RefusalRow{"Address0", Frame(BuildWriteSingleRequest(1, 0x0300, 0)),
                   ExceptionCode::IllegalDataValue},
        RefusalRow{"Pt0", Frame(BuildWriteTwoRegistersRequest(1, 0x0000, 0, 0)),
                   ExceptionCode::IllegalDataValue},
        RefusalRow{"Ct64001", Frame(BuildWriteTwoRegistersRequest(1, 0x0004, 64001, 0)),
                   ExceptionCode::IllegalDataValue},
        RefusalRow{"PtWithNonZeroSecondWord",
                   Frame(BuildWriteTwoRegistersRequest(1, 0x0000, 100, 1)),
                   ExceptionCode::IllegalDataValue},
        RefusalRow{"HalfAPtPair", WriteMultiple(0x0000, {100}), ExceptionCode::IllegalDataAddress},
        RefusalRow{"SecondHalfOfACtPair", WriteMultiple(0x0005, {0}),
                   ExceptionCode::IllegalDataAddress},
        RefusalRow{"ByteCountDisagrees", WriteMultiple(0x0302, {1}, 2),
                   ExceptionCode::IllegalDataValue},
        RefusalRow{"RangeCoveringAnUnknownRegister", WriteMultiple(0x0006, {2, 0, 4}),
                   ExceptionCode::IllegalDataAddress},
        RefusalRow{"DecimalPoint4ByFunction16", WriteMultiple(0x0006, {4}),
                   ExceptionCode::IllegalDataValue},
        RefusalRow{"ClockWithUnknownNeighbour", WriteMultiple(0x0110, {1, 2, 3, 4}),
                   ExceptionCode::IllegalDataAddress}};
}

TEST(MeterModel, RefusesBadRequestsWithAnExceptionAndChangesNothing) {
  for (const RefusalRow& row : Refusals()) {
    SCOPED_TRACE(row.name + ": " + Hex(row.request));
    ExpectRefused(row);
  }
}

TEST(MeterModel, IgnoresRequestsForAnotherAddress) {
  MeterModel meter;
  const auto before = Snapshot(meter);
  EXPECT_FALSE(Answer(meter, BuildReadRequest(2, 0x0000, 1)).has_value());
  EXPECT_FALSE(Answer(meter, BuildWriteSingleRequest(0, 0x0300, 9)).has_value());
  EXPECT_EQ(Snapshot(meter), before);
}

TEST(MeterModel, TakesANewAddressForTheRequestsAfterItsEcho) {
  MeterModel meter;
  ASSERT_TRUE(Answer(meter, frame::kWriteAddress5).has_value());
  EXPECT_FALSE(Answer(meter, BuildReadRequest(1, 0x0006, 1)).has_value());
  const auto reply = Answer(meter, BuildReadRequest(5, 0x0006, 1));
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ((*reply)[0], 5);
}

TEST(MeterModel, ReadsSeveralKnownRegistersInARowAsAnyMasterAsks) {
  MeterModel meter;
  meter.SetClock({2255, 0, 1, 2, 0x59, 4});
  meter.SetLowerLimit(0xFFFF);
  const auto clock = Answer(meter, BuildReadRequest(1, 0x0110, 3));
  ASSERT_TRUE(clock.has_value());
  // Binary, not BCD: 0x59 minutes stays 0x59; year 2255 is byte 0xFF.
  EXPECT_EQ(Hex(std::span(*clock).subspan(0, 9)), "01 03 06 59 04 01 02 FF 00");
  const auto clockTail = Answer(meter, BuildReadRequest(1, 0x0112, 1));
  ASSERT_TRUE(clockTail.has_value());
  EXPECT_EQ(Hex(std::span(*clockTail).subspan(0, 5)), "01 03 02 FF 00");
  const auto lower = Answer(meter, BuildReadRequest(1, 0x0304, 1));
  ASSERT_TRUE(lower.has_value());
  EXPECT_EQ(Hex(std::span(*lower).subspan(0, 5)), "01 03 02 FF FF");
}

TEST(MeterModel, SetsTheClockWithOneMultipleWrite) {
  MeterModel meter;
  const auto reply = Answer(meter, WriteMultiple(0x0110, {0x1E2D, 0x0F0A, 0x060C}));
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(Hex(*reply), Hex(Bytes("01 10 01 10 00 03 80 31")));
  EXPECT_EQ(meter.Clock(), (MeterClock{2006, 12, 15, 10, 30, 45}));
}

TEST(MeterModel, LiveValueMovesBetweenReadsTheSameWayEveryRun) {
  MeterModel first;
  MeterModel second;
  std::vector<uint16_t> values;
  for (int i = 0; i < 20; ++i) {
    const auto a = Answer(first, BuildReadRequest(1, 0x0000, 1));
    const auto b = Answer(second, BuildReadRequest(1, 0x0000, 1));
    ASSERT_TRUE(a && b);
    ASSERT_EQ(*a, *b);
    values.push_back(static_cast<uint16_t>(((*a)[3] << 8) | (*a)[4]));
  }
  EXPECT_EQ(values[0], MeterModel::kDefaultLiveBase);
  EXPECT_NE(values[1], values[0]);
  EXPECT_EQ(first.LiveReads(), 20U);
  // Writing PT to 0x0000 does not change what a read of 0x0000 returns.
  const uint16_t next = first.NextLiveValue();
  ASSERT_TRUE(Answer(first, BuildWriteTwoRegistersRequest(1, 0x0000, 100, 0)).has_value());
  EXPECT_EQ(first.NextLiveValue(), next);
}

}  // namespace
}  // namespace zt::sim
