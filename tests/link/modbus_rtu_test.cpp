#include "link/modbus_rtu.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/golden_frames.h"
#include "support/hex.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace frame = zt::test::frame;

// Bit-by-bit CRC-16/MODBUS (reflected 0xA001, preset FFFF), written apart from
// the table-driven code it checks. Returns the register; its low byte is sent first.
uint16_t BitwiseCrc(const Bytes& data) {
  uint16_t crc = 0xFFFF;
  for (uint8_t byte : data) {
    crc = static_cast<uint16_t>(crc ^ byte);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
  }
  return crc;
}

Bytes Hex(std::string_view text) { return zt::test::Bytes(text); }

int16_t Count(const Bytes& bytes) { return static_cast<int16_t>(bytes.size()); }

TEST(ModbusCrc16, KnownVectors) {
  const Bytes request = Hex("01 03 00 00 00 01");
  EXPECT_EQ(ModbusCrc16(request.data(), 6), 0x840A);
  EXPECT_EQ(ModbusCrc16(nullptr, 0), 0xFFFF);
  // The catalogue check value of CRC-16/MODBUS over "123456789" is 0x4B37,
  // whose low byte 37 goes on the line first.
  const std::string check = "123456789";
  EXPECT_EQ(ModbusCrc16(reinterpret_cast<const uint8_t*>(check.data()), 9), 0x374B);
}

TEST(ModbusCrc16, TablesAgreeWithBitwiseComputation) {
  std::mt19937 random(6100);
  for (int length = 0; length <= 300; length += 7) {
    Bytes data(static_cast<std::size_t>(length));
    for (auto& byte : data) {
      byte = static_cast<uint8_t>(random());
    }
    const uint16_t reg = BitwiseCrc(data);
    const auto lineOrder = static_cast<uint16_t>(((reg & 0xFF) << 8) | (reg >> 8));
    ASSERT_EQ(ModbusCrc16(data.data(), Count(data)), lineOrder) << "length " << length;
  }
}

struct RequestRow {
  const char* name;
  zt::TxFrame frame;
  std::string_view line;
};

class RequestBuilders : public testing::TestWithParam<RequestRow> {};

TEST_P(RequestBuilders, MatchTheMetersFrames) {
  const RequestRow& row = GetParam();
  const Bytes expected = Hex(row.line);
  EXPECT_EQ(Bytes(row.frame.view().begin(), row.frame.view().end()), expected);
}

// Frames exchanged with the meter at address 1, as the meter documents them.
INSTANTIATE_TEST_SUITE_P(
    MeterFrames, RequestBuilders,
    testing::Values(
        RequestRow{"DecimalPoint", zt::BuildReadRequest(1, 0x0006, 1), frame::kReadDecimalPoint},
        RequestRow{"LiveValue", zt::BuildReadRequest(1, 0x0000, 1), frame::kReadLiveValue},
        RequestRow{"UpperLimit", zt::BuildReadRequest(1, 0x0302, 1), frame::kReadUpperLimit},
        RequestRow{"LowerLimit", zt::BuildReadRequest(1, 0x0304, 1), frame::kReadLowerLimit},
        RequestRow{"ParameterBaud", zt::BuildReadRequest(1, 0x0308, 1), frame::kReadParameterBaud},
        RequestRow{"SwitchStatus", zt::BuildReadRequest(1, 0x0016, 1), frame::kReadSwitchStatus},
        RequestRow{"Clock", zt::BuildReadRequest(1, 0x0110, 3), frame::kReadClock},
        RequestRow{"WriteDecimalPoint", zt::BuildWriteSingleRequest(1, 0x0006, 2),
                   frame::kWriteDecimalPoint2},
        RequestRow{"WriteUpperLimit", zt::BuildWriteSingleRequest(1, 0x0302, 1000),
                   frame::kWriteUpperLimit1000},
        RequestRow{"WriteLowerLimit", zt::BuildWriteSingleRequest(1, 0x0304, 100),
                   frame::kWriteLowerLimit100},
        RequestRow{"WriteParameterBaud", zt::BuildWriteSingleRequest(1, 0x0308, 3),
                   frame::kWriteParameterBaud9600},
        RequestRow{"ChangeAddress", zt::BuildWriteSingleRequest(1, 0x0300, 5),
                   frame::kWriteAddress5},
        RequestRow{"LinkBaud19200", zt::BuildWriteSingleRequest(1, 0x0008, 4),
                   frame::kWriteLinkBaud19200},
        RequestRow{"WiringMode", zt::BuildWriteSingleRequest(1, 0x0002, 1),
                   frame::kWriteWiring1},
        RequestRow{"PtRatio", zt::BuildWriteTwoRegistersRequest(1, 0x0000, 100, 0),
                   frame::kWritePt100},
        RequestRow{"CtRatio", zt::BuildWriteTwoRegistersRequest(1, 0x0004, 5, 0),
                   frame::kWriteCt5},
        RequestRow{"PtRatioMax", zt::BuildWriteTwoRegistersRequest(1, 0x0000, 64000, 0),
                   frame::kWritePt64000},
        // The worked example of the Modbus application protocol: slave 0x11, 0x006B, 3 registers.
        RequestRow{"ForeignVector", zt::BuildReadRequest(0x11, 0x006B, 3),
                   "11 03 00 6B 00 03 76 87"}),
    [](const testing::TestParamInfo<RequestRow>& row) { return std::string(row.param.name); });

struct SearchRow {
  const char* name;
  const char* buffer;
  uint8_t function;
  uint8_t address;
  int16_t length;
  int16_t expected;
};

class ReplySearch : public testing::TestWithParam<SearchRow> {};

TEST_P(ReplySearch, FindsTheFirstWellFormedReply) {
  const SearchRow& row = GetParam();
  const Bytes buffer = Hex(row.buffer);
  EXPECT_EQ(FindReplyFrame(buffer.data(), Count(buffer), row.function, row.address, row.length),
            row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplySearch,
    testing::Values(
        SearchRow{"AloneAtStart", "01 03 02 00 03 F8 45", 3, 1, 7, 0},
        SearchRow{"AfterNoise", "FF 00 13 01 03 02 00 03 F8 45", 3, 1, 7, 3},
        SearchRow{"TwoRepliesEarlierWins", "01 03 02 01 00 B9 D4 01 03 02 00 01 79 84", 3, 1, 7, 0},
        SearchRow{"BadCrcThenGood", "01 03 02 00 03 F8 46 01 03 02 00 03 F8 45", 3, 1, 7, 7},
        SearchRow{"ForeignAddress", "02 03 02 00 03 F8 45", 3, 1, 7, -1},
        SearchRow{"ExceptionReply", "01 83 02 C0 F1 00 00", 3, 1, 7, -1},
        SearchRow{"OneByteShort", "01 03 02 00 03 F8", 3, 1, 7, -1},
        SearchRow{"Empty", "", 3, 1, 7, -1},
        SearchRow{"ByteCountIgnored", "01 03 05 00 03 49 84", 3, 1, 7, 0},
        SearchRow{"WriteEcho", "01 06 00 08 00 04 09 CB", 6, 1, 8, 0},
        SearchRow{"MultipleWriteReply", "00 01 10 00 00 00 02 41 C8", 16, 1, 8, 1},
        SearchRow{"ClockAfterNoise", "AA BB CC 01 03 06 1E 2D 0F 0A 06 0C AE 7E", 3, 1, 11, 3},
        SearchRow{"ReplyCutOffAtEnd", "00 00 01 03 02 00 03 F8", 3, 1, 7, -1},
        SearchRow{"WrongFunction", "01 06 02 00 03 F8 45", 3, 1, 7, -1}),
    [](const testing::TestParamInfo<SearchRow>& row) { return std::string(row.param.name); });

TEST(ReplySearch, ReadsOnlyTheCountedBytes) {
  // A valid reply lies in the buffer, but only its first six bytes are counted.
  const Bytes buffer = Hex(frame::kReplyValue3);
  EXPECT_EQ(FindReplyFrame(buffer.data(), 6, 3, 1, 7), -1);
  EXPECT_EQ(FindReplyFrame(buffer.data(), 0, 3, 1, 7), -1);
}

TEST(ReplySearch, FullBufferOfBadCandidatesWithReplyAtTheEnd) {
  // 293 bytes that all look like the start of a reply, then the real one,
  // ending exactly on byte 300.
  Bytes buffer;
  while (buffer.size() < 293) {
    buffer.push_back(buffer.size() % 2 == 0 ? 0x01 : 0x03);
  }
  const Bytes reply = Hex(frame::kReplyValue3);
  buffer.insert(buffer.end(), reply.begin(), reply.end());
  ASSERT_EQ(buffer.size(), 300U);
  EXPECT_EQ(FindReplyFrame(buffer.data(), 300, 3, 1, 7), 293);
  EXPECT_EQ(FindReplyFrame(buffer.data(), 299, 3, 1, 7), -1);
}

Bytes Sealed(Bytes frame) {
  frame.resize(frame.size() + 2);
  zt::AppendCrc(frame.data(), static_cast<int16_t>(frame.size() - 2));
  return frame;
}

struct MatchRow {
  const char* name;
  zt::TxFrame request;
  Bytes received;
  int16_t found;
};

class ReplyMatch : public ::testing::TestWithParam<MatchRow> {};

// A reply must carry what its request implies, not only its address,
// function, length and CRC.
TEST_P(ReplyMatch, OnlyTheReplyToThisRequestIsFound) {
  const MatchRow& row = GetParam();
  const zt::ExpectedReply expected = row.request.bytes[1] == zt::kFunctionReadHoldingRegisters
                                         ? zt::ExpectedReply::ReadOf(row.request)
                                         : zt::ExpectedReply::EchoOf(row.request);
  EXPECT_EQ(zt::FindExpectedReply(row.received.data(), Count(row.received), expected), row.found);
}

const zt::TxFrame kReadOne = zt::BuildReadRequest(1, 0x0006, 1);
const zt::TxFrame kReadThree = zt::BuildReadRequest(1, 0x0110, 3);
const zt::TxFrame kWriteSingle = zt::BuildWriteSingleRequest(1, 0x0302, 1000);
const zt::TxFrame kWriteTwo = zt::BuildWriteTwoRegistersRequest(1, 0x0004, 5, 0);

INSTANTIATE_TEST_SUITE_P(
    Rules, ReplyMatch,
    ::testing::Values(
        MatchRow{"ReadReply", kReadOne, Sealed(Hex("01 03 02 00 02")), 0},
        // Seven bytes from address 1 with function 3 and a good CRC, but a
        // byte count that is not two registers' worth.
        MatchRow{"ReadWithOtherByteCount", kReadOne, Sealed(Hex("01 03 04 00")), -1},
        MatchRow{"ThreeRegisterReadBehindAShortOne", kReadThree,
                 [] {
                   Bytes both = Sealed(Hex("01 03 02 00 02"));
                   const Bytes clock = Sealed(Hex("01 03 06 1E 2D 0F 0A 06 0C"));
                   both.insert(both.end(), clock.begin(), clock.end());
                   return both;
                 }(),
                 7},
        MatchRow{"WriteEchoedExactly", kWriteSingle, Bytes(kWriteSingle.view().begin(),
                                                           kWriteSingle.view().end()), 0},
        MatchRow{"EchoOfAnotherValue", kWriteSingle, Sealed(Hex("01 06 03 02 03 E9")), -1},
        MatchRow{"EchoOfAnotherRegister", kWriteSingle, Sealed(Hex("01 06 03 04 03 E8")), -1},
        MatchRow{"Function16Confirmation", kWriteTwo, Sealed(Hex("01 10 00 04 00 02")), 0},
        MatchRow{"Function16OtherStart", kWriteTwo, Sealed(Hex("01 10 00 00 00 02")), -1},
        MatchRow{"Function16OtherCount", kWriteTwo, Sealed(Hex("01 10 00 04 00 01")), -1},
        MatchRow{"StaleEchoThenTheRightOne", kWriteSingle,
                 [] {
                   Bytes both = Sealed(Hex("01 06 03 02 03 E9"));
                   const Bytes right = Sealed(Hex("01 06 03 02 03 E8"));
                   both.insert(both.end(), right.begin(), right.end());
                   return both;
                 }(),
                 8}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ReplyMatch, ASecondAddressIsTakenOnlyWhenAllowed) {
  const zt::TxFrame request = zt::BuildWriteSingleRequest(1, 0x0300, 5);
  const Bytes fromNew = Sealed(Hex("05 06 03 00 00 05"));
  zt::ExpectedReply echo = zt::ExpectedReply::EchoOf(request);
  EXPECT_EQ(zt::FindExpectedReply(fromNew.data(), Count(fromNew), echo), -1);
  echo.otherAddress = 5;
  EXPECT_EQ(zt::FindExpectedReply(fromNew.data(), Count(fromNew), echo), 0);
  const Bytes fromThird = Sealed(Hex("07 06 03 00 00 05"));
  EXPECT_EQ(zt::FindExpectedReply(fromThird.data(), Count(fromThird), echo), -1);
}

}  // namespace
