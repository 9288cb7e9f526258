#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "link/modbus_rtu.h"
#include "sim/meter_model.h"
#include "sim/request_parser.h"

// Input layout: one control byte, then the bytes the simulated meter hears.
// The control byte seeds how the stream is cut into reads and, when its top
// bit is set, where the line falls silent between them.
namespace {

using zt::kExceptionFlag;
using zt::kFunctionReadHoldingRegisters;
using zt::kFunctionWriteMultipleRegisters;
using zt::kFunctionWriteSingleRegister;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "simulator request parser: %s\n", what);
  std::abort();
}

void Check(bool condition, const char* what) {
  if (!condition) {
    Fail(what);
  }
}

uint16_t WordAt(const uint8_t* at) { return static_cast<uint16_t>((at[0] << 8) | at[1]); }

// Bitwise CRC-16/MODBUS, independent of the table-driven routine; the
// register's low-order byte goes on the line first.
bool LineCrcOk(const uint8_t* frame, std::size_t length) {
  uint16_t crc = 0xFFFF;
  for (std::size_t i = 0; i + 2 < length; ++i) {
    crc = static_cast<uint16_t>(crc ^ frame[i]);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1U) != 0 ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<uint16_t>(crc >> 1);
    }
  }
  return frame[length - 2] == (crc & 0xFF) && frame[length - 1] == (crc >> 8);
}

// Length of a request frame starting at data[0] as the meter's framing
// defines it, or 0 while the bytes do not yet tell.
std::size_t FrameLength(const uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  if (data[1] != kFunctionWriteMultipleRegisters) {
    return 8;
  }
  return size < 7 ? 0 : std::size_t{9} + data[6];
}

// ParseRequest against the layout: it accepts exactly the complete frames
// with a good CRC at the start, and decodes every field from its bytes.
void CheckParse(const uint8_t* data, std::size_t size) {
  const std::optional<zt::sim::Request> parsed = zt::sim::ParseRequest(data, size);
  const std::size_t length = FrameLength(data, size);
  const bool valid = length != 0 && size >= length && LineCrcOk(data, length);
  Check(parsed.has_value() == valid, valid ? "valid frame refused" : "invalid frame accepted");
  if (!parsed) {
    return;
  }
  Check(parsed->length == length, "wrong frame length");
  Check(parsed->address == data[0] && parsed->function == data[1], "wrong address or function");
  Check(parsed->first == WordAt(data + 2) && parsed->word == WordAt(data + 4),
        "register or word not decoded high byte first");
  if (parsed->function == kFunctionWriteMultipleRegisters) {
    Check(parsed->byteCount == data[6], "wrong byte count");
    Check(parsed->values.size() == data[6] / 2U, "wrong number of values");
    for (std::size_t i = 0; i < parsed->values.size(); ++i) {
      Check(parsed->values[i] == WordAt(data + 7 + 2 * i), "value decoded wrongly");
    }
  } else {
    Check(parsed->values.empty() && parsed->byteCount == 0, "values outside function 16");
  }
}

// The meter's answer to a request for its address: always a frame from that
// address, with a good CRC, either the normal reply or an exception.
void CheckReply(zt::sim::MeterModel& meter, const zt::sim::Request& request,
                const uint8_t* frame) {
  meter.SetAddress(request.address);
  const std::optional<std::vector<uint8_t>> reply = meter.Handle(request);
  Check(reply.has_value(), "no reply to a request for the meter's own address");
  const std::vector<uint8_t>& r = *reply;
  Check(r.size() >= 5 && r.size() <= 256, "reply length out of range");
  Check(r[0] == request.address, "reply from another address");
  const auto replyLength = static_cast<int16_t>(r.size());
  Check(FindReplyFrame(r.data(), replyLength, r[1], r[0], replyLength) == 0,
        "reply fails its own CRC");
  if (r[1] == (request.function | kExceptionFlag)) {
    Check(r.size() == 5 && r[2] >= 1 && r[2] <= 4, "malformed exception reply");
    return;
  }
  Check(r[1] == request.function, "reply to another function");
  switch (request.function) {
    case kFunctionReadHoldingRegisters:
      Check(r.size() == 5U + 2U * request.word && r[2] == 2 * request.word,
            "read reply does not hold the registers asked for");
      break;
    case kFunctionWriteSingleRegister:
      Check(std::equal(r.begin(), r.end(), frame, frame + 8), "write not echoed");
      break;
    case kFunctionWriteMultipleRegisters:
      Check(r.size() == 8 && WordAt(r.data() + 2) == request.first &&
                WordAt(r.data() + 4) == request.word,
            "write-multiple reply does not name the range");
      break;
    default:
      Fail("an unknown function was answered without an exception");
  }
}

uint32_t NextRandom(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  const uint8_t control = input[0];
  const std::size_t streamSize = size - 1;
  // An exact-size copy: a read past the end is an overflow the sanitizer sees.
  const auto stream = std::make_unique<uint8_t[]>(streamSize);
  std::copy(input + 1, input + size, stream.get());

  CheckParse(stream.get(), streamSize);

  for (const bool idle : {false, true}) {
    const zt::sim::FramedRequest framed = zt::sim::NextRequest(stream.get(), streamSize, idle);
    Check(framed.consumed <= streamSize, "consumed more than was given");
    if (framed.request) {
      Check(framed.consumed >= framed.request->length, "request longer than what was consumed");
      const std::size_t start = framed.consumed - framed.request->length;
      Check(zt::sim::ParseRequest(stream.get() + start, streamSize - start) == framed.request,
            "framed request differs from the frame at its position");
    } else if (idle) {
      Check(framed.consumed == streamSize, "bytes kept although the line is idle");
    }
  }

  // Feed the stream in pieces; every request handed out must be the frame at
  // its place in the stream, and every byte must end up in a request or be
  // counted as discarded.
  zt::sim::RequestFramer framer;
  zt::sim::MeterModel meter;
  const bool silences = (control & 0x80) != 0;
  uint32_t rng = 0x9E3779B9U ^ control;
  std::size_t fed = 0;
  std::size_t inRequests = 0;
  std::vector<zt::sim::Request> chunked;
  const auto take = [&](bool afterSilence) {
    while (std::optional<zt::sim::Request> request =
               afterSilence ? framer.NextAfterSilence() : framer.Next()) {
      const std::size_t start = framer.Discarded() + inRequests;
      Check(start + request->length <= fed, "request beyond the bytes fed");
      Check(zt::sim::ParseRequest(stream.get() + start, fed - start) == request,
            "request differs from the frame at its position");
      CheckReply(meter, *request, stream.get() + start);
      inRequests += request->length;
      chunked.push_back(*request);
    }
    Check(framer.Discarded() + inRequests + framer.Buffered() == fed, "bytes lost or invented");
  };
  while (fed < streamSize) {
    const std::size_t piece = std::min<std::size_t>(1 + NextRandom(rng) % 16, streamSize - fed);
    framer.Feed(stream.get() + fed, piece);
    fed += piece;
    take(silences && NextRandom(rng) % 4 == 0);
  }
  take(false);
  take(true);
  Check(framer.Buffered() == 0, "bytes left after the line fell silent");

  // Without silences between the pieces, how the stream was cut into reads
  // must not change which requests are found.
  if (!silences) {
    zt::sim::RequestFramer whole;
    whole.Feed(stream.get(), streamSize);
    std::vector<zt::sim::Request> atOnce;
    while (std::optional<zt::sim::Request> request = whole.Next()) {
      atOnce.push_back(*request);
    }
    while (std::optional<zt::sim::Request> request = whole.NextAfterSilence()) {
      atOnce.push_back(*request);
    }
    Check(atOnce == chunked, "requests depend on how the bytes were read");
  }
  return 0;
}
