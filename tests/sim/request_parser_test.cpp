#include "sim/request_parser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "link/modbus_rtu.h"
#include "support/golden_frames.h"
#include "support/hex.h"

namespace zt::sim {
namespace {

namespace frame = test::frame;

using test::Bytes;

struct ParseRow {
  std::string_view frame;
  Request expected;
};

TEST(ParseRequest, DecodesEveryFieldOfTheMetersRequests) {
  const ParseRow rows[] = {
      {frame::kReadDecimalPoint, {1, 3, 0x0006, 1, 0, {}, 8}},
      {frame::kReadClock, {1, 3, 0x0110, 3, 0, {}, 8}},
      {frame::kWriteWiring1, {1, 6, 0x0002, 1, 0, {}, 8}},
      {frame::kWriteAddress5, {1, 6, 0x0300, 5, 0, {}, 8}},
      {frame::kWritePt100, {1, 16, 0x0000, 2, 4, {100, 0}, 13}},
      {frame::kWriteCt5, {1, 16, 0x0004, 2, 4, {5, 0}, 13}},
      // Bytes after the frame belong to whatever comes next.
      {"01 03 00 06 00 01 64 0B 99 98", {1, 3, 0x0006, 1, 0, {}, 8}},
  };
  for (const ParseRow& row : rows) {
    SCOPED_TRACE(row.frame);
    const std::vector<uint8_t> bytes = Bytes(row.frame);
    const std::optional<Request> request = ParseRequest(bytes.data(), bytes.size());
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(*request, row.expected);
  }
}

TEST(ParseRequest, TakesAnyOtherFunctionAsEightBytesSoItCanBeRefused) {
  std::vector<uint8_t> frame = Bytes("01 04 00 00 00 01 00 00");
  AppendCrc(frame.data(), 6);
  const std::optional<Request> request = ParseRequest(frame.data(), frame.size());
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(request->function, 4);
  EXPECT_EQ(request->length, 8U);
}

TEST(ParseRequest, RefusesEveryPrefixOfAFrameAndAnyFlippedBit) {
  const std::vector<uint8_t> pt = Bytes(frame::kWritePt100);
  for (std::size_t size = 0; size < pt.size(); ++size) {
    EXPECT_FALSE(ParseRequest(pt.data(), size).has_value()) << size << " bytes";
  }
  for (std::size_t bit = 0; bit < pt.size() * 8; ++bit) {
    std::vector<uint8_t> damaged = pt;
    damaged[bit / 8] ^= static_cast<uint8_t>(1U << (bit % 8));
    EXPECT_FALSE(ParseRequest(damaged.data(), damaged.size()).has_value()) << "bit " << bit;
  }
}

TEST(RequestFramer, SkipsGarbageAndBadFramesToTheNextRequest) {
  RequestFramer framer;
  // Two noise bytes, a read whose CRC is damaged, then a good write.
  const std::vector<uint8_t> line = Bytes("FF 00 01 03 00 06 00 01 64 0C 01 06 00 02 00 01 E9 CA");
  framer.Feed(line.data(), line.size());
  const std::optional<Request> request = framer.Next();
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(request->function, 6);
  EXPECT_EQ(request->first, 0x0002);
  EXPECT_EQ(framer.Discarded(), 10U);
  EXPECT_EQ(framer.Buffered(), 0U);
  EXPECT_FALSE(framer.Next().has_value());
}

TEST(RequestFramer, WaitsForTheRestOfARequestFedByteByByte) {
  RequestFramer framer;
  const std::vector<uint8_t> ct = Bytes(frame::kWriteCt5);
  for (std::size_t i = 0; i + 1 < ct.size(); ++i) {
    framer.Feed(&ct[i], 1);
    ASSERT_FALSE(framer.Next().has_value()) << "after " << i + 1 << " bytes";
  }
  framer.Feed(&ct.back(), 1);
  const std::optional<Request> request = framer.Next();
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(request->values, (std::vector<uint16_t>{5, 0}));
  EXPECT_EQ(framer.Discarded(), 0U);
}

TEST(RequestFramer, HandsOutBackToBackRequestsInOrder) {
  RequestFramer framer;
  const std::vector<uint8_t> line =
      Bytes("01 03 00 06 00 01 64 0B 01 03 01 10 00 03 05 F2 01 06 03 00 00 05 49 8D");
  framer.Feed(line.data(), line.size());
  std::vector<uint16_t> registers;
  while (const std::optional<Request> request = framer.Next()) {
    registers.push_back(request->first);
  }
  EXPECT_EQ(registers, (std::vector<uint16_t>{0x0006, 0x0110, 0x0300}));
}

TEST(RequestFramer, SilenceEndsAFrameThatNeverCompletes) {
  RequestFramer framer;
  // Garbage that looks like the head of a 264-byte function 16 frame would
  // swallow the read after it, if the silence that follows did not end it.
  const std::vector<uint8_t> line = Bytes("07 10 00 00 00 7F FF 01 03 00 06 00 01 64 0B");
  framer.Feed(line.data(), line.size());
  EXPECT_FALSE(framer.Next().has_value());
  const std::optional<Request> request = framer.NextAfterSilence();
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(request->first, 0x0006);
  EXPECT_EQ(framer.Discarded(), 7U);
}

TEST(NextRequest, StaysWithinAnyInput) {
  // Pseudo-random lines, some seeded with valid frames, searched at every
  // length: the sanitizers catch any read past the end.
  uint32_t state = 12345;
  const std::vector<uint8_t> valid = Bytes(frame::kWritePt100);
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> line(static_cast<std::size_t>(round % 300));
    for (uint8_t& byte : line) {
      state = state * 1103515245U + 12345U;
      byte = static_cast<uint8_t>(state >> 16);
    }
    if (round % 3 == 0 && line.size() > valid.size()) {
      std::copy(valid.begin(), valid.end(), line.end() - static_cast<std::ptrdiff_t>(valid.size()));
    }
    for (const bool idle : {false, true}) {
      const FramedRequest found = NextRequest(line.data(), line.size(), idle);
      ASSERT_LE(found.consumed, line.size());
      if (found.request) {
        ASSERT_GE(found.consumed, found.request->length);
      }
      if (round % 3 == 0 && line.size() > valid.size() && idle) {
        EXPECT_TRUE(found.request.has_value()) << "round " << round;
      }
    }
  }
}

}  // namespace
}  // namespace zt::sim
