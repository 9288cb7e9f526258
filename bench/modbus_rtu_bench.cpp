#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>

#include "link/modbus_rtu.h"

namespace {

constexpr int16_t kRxBufferSize = 300;

// Incrementing bytes: the CRC's table lookups then walk every index rather
// than hitting one cache line over and over.
template <std::size_t N>
std::array<uint8_t, N> CountingBytes() {
  std::array<uint8_t, N> bytes{};
  std::iota(bytes.begin(), bytes.end(), uint8_t{0x11});
  return bytes;
}

template <std::size_t N>
void BM_ModbusCrc16(benchmark::State& state) {
  const auto bytes = CountingBytes<N>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(bytes.data());
    benchmark::DoNotOptimize(ModbusCrc16(bytes.data(), static_cast<int16_t>(N)));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(N));
}
// The body of a function 3 or 6 request, of a function 16 request, and a
// long run that shows the per-byte cost alone.
BENCHMARK(BM_ModbusCrc16<6>)->Name("ModbusCrc16/6");
BENCHMARK(BM_ModbusCrc16<11>)->Name("ModbusCrc16/11");
BENCHMARK(BM_ModbusCrc16<256>)->Name("ModbusCrc16/256");

// A full receive buffer in which every start index is a candidate: the
// address equals the function code and every byte holds that value, so each
// position passes the address/function test and costs one CRC over
// length - 2 bytes. With `replyAtEnd`, the last `length` bytes are a valid
// reply and the search must return 300 - length; otherwise it returns -1.
struct WorstCase {
  std::array<uint8_t, kRxBufferSize> buffer{};
  uint8_t function = 0;
  int16_t length = 0;
  int16_t expected = -1;
};

WorstCase MakeWorstCase(uint8_t function, int16_t length, bool replyAtEnd) {
  WorstCase c;
  c.function = function;
  c.length = length;
  c.buffer.fill(function);
  if (replyAtEnd) {
    const auto start = static_cast<std::size_t>(kRxBufferSize - length);
    // Data bytes other than the candidate value, so that the CRC is the only
    // thing telling this frame from the ones before it.
    for (std::size_t i = start + 2; i + 2 < c.buffer.size(); ++i) {
      c.buffer[i] = static_cast<uint8_t>(0x40 + i);
    }
    zt::AppendCrc(c.buffer.data() + start, static_cast<int16_t>(length - 2));
    c.expected = static_cast<int16_t>(start);
  }
  return c;
}

// Times `search` over the worst case, once it has been seen to return what
// the case holds: a candidate of constant bytes that happened to carry a
// valid CRC would no longer measure a full scan.
template <typename Search>
void TimeSearch(benchmark::State& state, const WorstCase& c, Search search) {
  const int16_t found = search();
  if (found != c.expected) {
    state.SkipWithError(("search returned " + std::to_string(found) + ", expected " +
                         std::to_string(c.expected))
                            .c_str());
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(c.buffer.data());
    benchmark::DoNotOptimize(search());
  }
  state.SetBytesProcessed(state.iterations() * kRxBufferSize);
}

void BM_FindReplyFrame(benchmark::State& state, uint8_t function, int16_t length,
                       bool replyAtEnd) {
  const WorstCase c = MakeWorstCase(function, length, replyAtEnd);
  TimeSearch(state, c, [&c] {
    return FindReplyFrame(c.buffer.data(), kRxBufferSize, c.function, c.function, c.length);
  });
}

BENCHMARK_CAPTURE(BM_FindReplyFrame, read1_len7_none, uint8_t{3}, int16_t{7}, false);
BENCHMARK_CAPTURE(BM_FindReplyFrame, read1_len7_at_end, uint8_t{3}, int16_t{7}, true);
BENCHMARK_CAPTURE(BM_FindReplyFrame, write6_len8_none, uint8_t{6}, int16_t{8}, false);
BENCHMARK_CAPTURE(BM_FindReplyFrame, write6_len8_at_end, uint8_t{6}, int16_t{8}, true);
BENCHMARK_CAPTURE(BM_FindReplyFrame, write16_len8_at_end, uint8_t{16}, int16_t{8}, true);
BENCHMARK_CAPTURE(BM_FindReplyFrame, read3_len11_none, uint8_t{3}, int16_t{11}, false);
BENCHMARK_CAPTURE(BM_FindReplyFrame, read3_len11_at_end, uint8_t{3}, int16_t{11}, true);

// The common case for contrast: a clean reply behind three bytes of noise,
// in a buffer holding only what one exchange delivers.
void BM_FindReplyFrameTypical(benchmark::State& state) {
  std::array<uint8_t, 10> buffer = {0xFF, 0x00, 0x55, 0x01, 0x03, 0x02, 0x03, 0xE8};
  zt::AppendCrc(buffer.data() + 3, 5);
  if (FindReplyFrame(buffer.data(), 10, 3, 1, 7) != 3) {
    state.SkipWithError("reply not found at index 3");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(buffer.data());
    benchmark::DoNotOptimize(FindReplyFrame(buffer.data(), 10, 3, 1, 7));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(buffer.size()));
}
BENCHMARK(BM_FindReplyFrameTypical);

// The search every exchange of the product makes, over the same worst case:
// an expectation whose address, function and body bytes all equal the buffer's
// constant value, so that each position costs one CRC.
void BM_FindExpectedReply(benchmark::State& state, uint8_t function, int16_t length,
                          int16_t bodyLength, bool replyAtEnd) {
  WorstCase c = MakeWorstCase(function, length, replyAtEnd);
  zt::ExpectedReply expected;
  expected.function = function;
  expected.address = function;
  expected.length = length;
  expected.body.fill(function);
  expected.bodyLength = bodyLength;
  if (replyAtEnd) {
    // The reply's body bytes as the expectation wants them, its CRC anew.
    const auto start = static_cast<std::size_t>(kRxBufferSize - length);
    std::fill_n(c.buffer.begin() + static_cast<std::ptrdiff_t>(start) + 2, bodyLength, function);
    zt::AppendCrc(c.buffer.data() + start, static_cast<int16_t>(length - 2));
  }
  TimeSearch(state, c,
             [&c, &expected] { return FindExpectedReply(c.buffer.data(), kRxBufferSize, expected); });
}

BENCHMARK_CAPTURE(BM_FindExpectedReply, read1_len7_none, uint8_t{3}, int16_t{7}, int16_t{1},
                  false);
BENCHMARK_CAPTURE(BM_FindExpectedReply, read1_len7_at_end, uint8_t{3}, int16_t{7}, int16_t{1},
                  true);
BENCHMARK_CAPTURE(BM_FindExpectedReply, write6_len8_none, uint8_t{6}, int16_t{8}, int16_t{4},
                  false);
BENCHMARK_CAPTURE(BM_FindExpectedReply, write6_len8_at_end, uint8_t{6}, int16_t{8}, int16_t{4},
                  true);

// The poll's decimal-point read as it goes: the reply behind three bytes of
// noise, searched with the expectation the product builds from its request.
void BM_FindExpectedReplyTypical(benchmark::State& state) {
  const zt::ExpectedReply expected =
      zt::ExpectedReply::ReadOf(zt::BuildReadRequest(1, 0x0006, 1));
  std::array<uint8_t, 10> buffer = {0xFF, 0x00, 0x55, 0x01, 0x03, 0x02, 0x00, 0x02};
  zt::AppendCrc(buffer.data() + 3, 5);
  if (FindExpectedReply(buffer.data(), 10, expected) != 3) {
    state.SkipWithError("reply not found at index 3");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(buffer.data());
    benchmark::DoNotOptimize(FindExpectedReply(buffer.data(), 10, expected));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(buffer.size()));
}
BENCHMARK(BM_FindExpectedReplyTypical);

}  // namespace

BENCHMARK_MAIN();
