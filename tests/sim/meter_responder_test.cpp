#include "sim/meter_responder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "link/modbus_rtu.h"
#include "sim/fault_injection.h"
#include "support/golden_frames.h"
#include "support/hex.h"

namespace zt::sim {
namespace {

namespace frame = test::frame;

using test::Bytes;
using test::Hex;

// The decimal-point read of a meter holding 3, and its clean reply.
constexpr std::string_view kRequest = frame::kReadDecimalPoint;
constexpr std::string_view kReply = frame::kReplyValue3;

Request Parse(std::string_view hex) {
  const std::vector<uint8_t> frame = Bytes(hex);
  return ParseRequest(frame.data(), frame.size()).value();
}

int16_t FindRead(const std::vector<uint8_t>& line, uint8_t address = 1) {
  return FindReplyFrame(line.data(), static_cast<int16_t>(line.size()), 3, address, 7);
}

struct FaultRow {
  std::string name;
  std::function<void(FaultConfig&)> configure;
  std::function<void(const std::vector<uint8_t>&)> check;
};

class ReplyFaults : public ::testing::TestWithParam<FaultRow> {};

TEST_P(ReplyFaults, ChangeTheReplyAsConfigured) {
  MeterModel meter;
  meter.SetDecimalPoint(3);
  MeterResponder responder(meter);
  FaultConfig faults;
  GetParam().configure(faults);
  responder.SetFaults(faults);
  const std::optional<Response> response = responder.Respond(Parse(kRequest));
  ASSERT_TRUE(response.has_value());
  GetParam().check(response->bytes);
}

INSTANTIATE_TEST_SUITE_P(
    EachFault, ReplyFaults,
    ::testing::Values(FaultRow{"None", [](FaultConfig&) {},
                               [](const auto& line) { EXPECT_EQ(Hex(line), Hex(Bytes(kReply))); }},
                      FaultRow{"BadCrc", [](FaultConfig& f) { f.flipCrcBit = true; },
                               [](const auto& line) {
                                 EXPECT_EQ(Hex(line), Hex(Bytes("01 03 02 00 03 F8 44")));
                                 EXPECT_EQ(FindRead(line), -1);
                               }},
                      FaultRow{"ForeignAddress", [](FaultConfig& f) { f.foreignAddress = true; },
                               [](const auto& line) {
                                 EXPECT_EQ(FindRead(line, 1), -1);
                                 EXPECT_EQ(FindRead(line, 2), 0)
                                     << "a foreign reply still has a sound CRC";
                               }},
                      FaultRow{"Exception", [](FaultConfig& f) { f.exceptionReply = true; },
                               [](const auto& line) { EXPECT_EQ(Hex(line), "01 83 04 40 F3"); }},
                      FaultRow{"Truncated", [](FaultConfig& f) { f.truncateBytes = 2; },
                               [](const auto& line) { EXPECT_EQ(Hex(line), "01 03 02 00 03"); }},
                      FaultRow{"TruncatedAway", [](FaultConfig& f) { f.truncateBytes = 50; },
                               [](const auto& line) { EXPECT_TRUE(line.empty()); }},
                      FaultRow{"Noise", [](FaultConfig& f) { f.noiseBytes = 5; },
                               [](const auto& line) {
                                 ASSERT_EQ(line.size(), 12U);
                                 EXPECT_EQ(Hex(std::span(line).subspan(5)), Hex(Bytes(kReply)));
                                 EXPECT_EQ(FindRead(line), 5);
                               }},
                      FaultRow{"Burst", [](FaultConfig& f) { f.burst = true; },
                               [](const auto& line) {
                                 ASSERT_EQ(line.size(), FaultConfig::kDefaultBurstBytes + 7);
                                 EXPECT_GT(line.size(), 300U);
                                 EXPECT_EQ(FindRead(line),
                                           static_cast<int16_t>(FaultConfig::kDefaultBurstBytes));
                               }},
                      FaultRow{"BurstNoiseAndBadCrcTogether",
                               [](FaultConfig& f) {
                                 f.burst = true;
                                 f.burstBytes = 10;
                                 f.noiseBytes = 3;
                                 f.flipCrcBit = true;
                               },
                               [](const auto& line) {
                                 ASSERT_EQ(line.size(), 20U);
                                 EXPECT_EQ(Hex(std::span(line).subspan(13)),
                                           "01 03 02 00 03 F8 44");
                               }}),
    [](const auto& row) { return row.param.name; });

TEST(MeterResponder, SilenceMeansTheRequestWasNeverHeard) {
  MeterModel meter;
  MeterResponder responder(meter);
  FaultConfig faults;
  faults.silent = true;
  responder.SetFaults(faults);
  EXPECT_FALSE(responder.Respond(Parse(frame::kWriteAddress5)).has_value());
  EXPECT_EQ(meter.Address(), 1);
}

TEST(MeterResponder, AnExceptionOrALostReplyStillCarriesTheWriteOut) {
  for (const bool exception : {true, false}) {
    MeterModel meter;
    MeterResponder responder(meter);
    FaultConfig faults;
    faults.exceptionReply = exception;
    faults.truncateBytes = exception ? 0 : 8;
    responder.SetFaults(faults);
    const std::optional<Response> response = responder.Respond(Parse(frame::kWriteLinkBaud19200));
    ASSERT_TRUE(response.has_value());
    EXPECT_EQ(response->bytes.size(), exception ? 5U : 0U);
    EXPECT_EQ(meter.Line().baudRate, 19200);
  }
}

TEST(MeterResponder, ALateReplyWaitsLatencyPlusTheExtraDelay) {
  MeterModel meter;
  MeterResponder responder(meter);
  responder.SetLatency(std::chrono::milliseconds(35));
  FaultConfig faults;
  faults.extraDelay = std::chrono::milliseconds(700);
  responder.SetFaults(faults);
  const std::optional<Response> response = responder.Respond(Parse(kRequest));
  ASSERT_TRUE(response.has_value());
  EXPECT_EQ(response->delay, std::chrono::milliseconds(735));
}

TEST(MeterResponder, ReportsTheLineBeforeAndAfterABaudChange) {
  MeterModel meter;
  MeterResponder responder(meter);
  const std::optional<Response> response = responder.Respond(Parse(frame::kWriteLinkBaud19200));
  ASSERT_TRUE(response.has_value());
  EXPECT_EQ(response->line.baudRate, 9600);
  EXPECT_EQ(response->nextLine.baudRate, 19200);
}

struct FilterRow {
  std::string name;
  TxFrame request;
  bool hit;
};

TEST(FaultFilter, HitsOnlyRequestsTouchingTheRegisters) {
  const FilterRow rows[] = {
      {"ReadInside", BuildReadRequest(1, 0x0006, 1), true},
      {"WriteAtTheEnd", BuildWriteSingleRequest(1, 0x0008, 3), true},
      {"ReadBefore", BuildReadRequest(1, 0x0000, 1), false},
      {"ReadAfter", BuildReadRequest(1, 0x0016, 1), false},
      {"PtPairBefore", BuildWriteTwoRegistersRequest(1, 0, 5, 0), false},
      {"CtPairOverlapping", BuildWriteTwoRegistersRequest(1, 5, 5, 0), true},
      // A single write's value is not a register count.
      {"WriteBeforeWithBigValue", BuildWriteSingleRequest(1, 0x0002, 9), false},
  };
  FaultConfig faults;
  faults.silent = true;
  faults.appliesTo = TouchingRegisters(0x0006, 0x0008);
  for (const FilterRow& row : rows) {
    MeterModel meter;
    MeterResponder responder(meter);
    responder.SetFaults(faults);
    const Request request = ParseRequest(row.request.data(), row.request.view().size()).value();
    EXPECT_EQ(!responder.Respond(request).has_value(), row.hit) << row.name;
  }
}

TEST(NoiseBytes, RepeatForTheSameSeed) {
  EXPECT_EQ(NoiseBytes(64, 7), NoiseBytes(64, 7));
  EXPECT_NE(NoiseBytes(64, 7), NoiseBytes(64, 8));
}

}  // namespace
}  // namespace zt::sim
