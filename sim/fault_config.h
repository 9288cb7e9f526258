#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "sim/modbus_exception.h"
#include "sim/request_parser.h"

namespace zt::sim {

// Ways the meter or the line can go wrong, each off by default. They combine:
// noise, a burst and a bad CRC may all hit the same reply.
struct FaultConfig {
  // More than the console's 300-byte receive buffer holds.
  static constexpr std::size_t kDefaultBurstBytes = 320;

  // Which requests the faults touch; empty means every request.
  std::function<bool(const Request&)> appliesTo;

  // The request is not heard: no reply, and a write does not take effect.
  bool silent = false;
  // Added to the reply latency.
  std::chrono::microseconds extraDelay{0};
  // Pseudo-random bytes on the line just before the reply.
  std::size_t noiseBytes = 0;
  // The reply's last CRC byte has its lowest bit flipped.
  bool flipCrcBit = false;
  // The reply comes from the meter's address + 1, with a CRC that fits it.
  bool foreignAddress = false;
  // An exception reply instead of the normal one; the request is still carried
  // out, as by a meter that fails only in answering.
  bool exceptionReply = false;
  ExceptionCode exceptionCode = ExceptionCode::SlaveDeviceFailure;
  // The last bytes of the reply are cut off; cutting all of them loses the
  // reply of a request that was carried out.
  std::size_t truncateBytes = 0;
  // A run of burstBytes noise bytes before the reply (and any noise).
  bool burst = false;
  std::size_t burstBytes = kDefaultBurstBytes;
  uint32_t noiseSeed = 0x2545F491;

  bool AppliesTo(const Request& request) const { return !appliesTo || appliesTo(request); }
};

// Every kind of fault the meter or the line can show, one at a time.
enum class FaultKind { None, Silent, Late, Noise, BadCrc, ForeignAddress, Exception, Truncated, Burst };
inline constexpr int kFaultKinds = 8;  // not counting None

// Faults drawn at random, one kind per hit request: a long run against a
// misbehaving line. Used instead of the fixed FaultConfig while `percent` is
// above 0.
struct FaultMix {
  // The share of requests hit, 0 to 100.
  uint32_t percent = 0;
  // A late reply comes this much later than the latency at most, evenly drawn.
  std::chrono::microseconds maxLate{0};
  uint32_t seed = 0x9E3779B9U;
};

// A filter for FaultConfig::appliesTo: requests whose register range touches
// [first, last].
std::function<bool(const Request&)> TouchingRegisters(uint16_t first, uint16_t last);

}  // namespace zt::sim
