#include "sim/meter_model.h"

#include "link/modbus_rtu.h"
#include "meter/register_map.h"
#include "sim/live_value_wave.h"
#include "sim/register_rules.h"
#include "sim/reply_frames.h"

namespace zt::sim {

namespace {

constexpr uint32_t kRegisterSpace = 0x10000;

constexpr uint16_t Pack(uint8_t high, uint8_t low) {
  return static_cast<uint16_t>((high << 8) | low);
}
constexpr uint8_t High(uint16_t word) { return static_cast<uint8_t>(word >> 8); }
constexpr uint8_t Low(uint16_t word) { return static_cast<uint8_t>(word & 0xFF); }

bool RangeFits(uint16_t first, uint16_t count) {
  return static_cast<uint32_t>(first) + count <= kRegisterSpace;
}

}  // namespace

std::optional<std::vector<uint8_t>> MeterModel::Handle(const Request& request) {
  if (request.address != address_) {
    return std::nullopt;
  }
  switch (request.function) {
    case kFunctionReadHoldingRegisters:
      return HandleRead(request);
    case kFunctionWriteSingleRegister:
      return HandleWriteSingle(request);
    case kFunctionWriteMultipleRegisters:
      return HandleWriteMultiple(request);
    default:
      return ExceptionReply(address_, request.function, ExceptionCode::IllegalFunction);
  }
}

LineFormat MeterModel::Line() const {
  LineFormat format;
  format.baudRate = BaudRateOf(lineBaudIndex_).value_or(0);
  format.parity = parity_;
  return format;
}

uint16_t MeterModel::NextLiveValue() const {
  if (distinctLive_) {
    constexpr uint32_t kDistinct = 65536U - kFirstDistinctLiveValue;
    return static_cast<uint16_t>(kFirstDistinctLiveValue + liveReads_ % kDistinct);
  }
  const int16_t offset = kLiveValueWave[liveReads_ % kLiveValueWave.size()];
  return static_cast<uint16_t>(liveBase_ + offset);
}

MeterClock MeterModel::Clock() const { return DecodeMeterClock(clock_.data()); }

void MeterModel::SetClock(const MeterClock& clock) {
  clock_ = {static_cast<uint8_t>(clock.minute),      static_cast<uint8_t>(clock.second),
            static_cast<uint8_t>(clock.day),         static_cast<uint8_t>(clock.hour),
            static_cast<uint8_t>(clock.year - 2000), static_cast<uint8_t>(clock.month)};
}

std::optional<uint16_t> MeterModel::ReadRegister(uint16_t number) {
  switch (number) {
    case reg::kLiveValue: {
      const uint16_t value = NextLiveValue();
      ++liveReads_;
      return value;
    }
    case reg::kWiringMode:
      return wiringMode_;
    case reg::kDecimalPoint:
      return decimalPoint_;
    case reg::kLinkBaud:
      return lineBaudIndex_;
    case reg::kSwitchStatus:
      return Pack(relayOutput_, switchInput_);
    case reg::kClock:
      return Pack(clock_[0], clock_[1]);
    case reg::kClock + 1:
      return Pack(clock_[2], clock_[3]);
    case reg::kClock + 2:
      return Pack(clock_[4], clock_[5]);
    case reg::kDeviceAddress:
      return address_;
    case reg::kUpperLimit:
      return upperLimit_;
    case reg::kLowerLimit:
      return lowerLimit_;
    case reg::kParameterBaud:
      return parameterBaud_;
    default:
      return std::nullopt;
  }
}

void MeterModel::StoreRegister(uint16_t number, uint16_t value) {
  switch (number) {
    case reg::kWiringMode:
      wiringMode_ = value;
      break;
    case reg::kDecimalPoint:
      decimalPoint_ = value;
      break;
    case reg::kLinkBaud:
      lineBaudIndex_ = value;
      break;
    case reg::kClock:
      clock_[0] = High(value);
      clock_[1] = Low(value);
      break;
    case reg::kClock + 1:
      clock_[2] = High(value);
      clock_[3] = Low(value);
      break;
    case reg::kClock + 2:
      clock_[4] = High(value);
      clock_[5] = Low(value);
      break;
    case reg::kDeviceAddress:
      address_ = Low(value);
      break;
    case reg::kUpperLimit:
      upperLimit_ = value;
      break;
    case reg::kLowerLimit:
      lowerLimit_ = value;
      break;
    case reg::kParameterBaud:
      parameterBaud_ = value;
      break;
    default:
      break;
  }
}

std::optional<ExceptionCode> MeterModel::CheckWrite(uint16_t number, uint16_t value) const {
  const std::optional<RegisterRule> rule = RuleFor(number);
  if (!rule || !rule->writable || InRatioPair(number)) {
    return ExceptionCode::IllegalDataAddress;
  }
  if (value < rule->minValue || value > rule->maxValue) {
    return ExceptionCode::IllegalDataValue;
  }
  return std::nullopt;
}

std::vector<uint8_t> MeterModel::HandleRead(const Request& request) {
  const uint16_t count = request.word;
  if (count == 0 || count > kMaxReadCount) {
    return ExceptionReply(address_, request.function, ExceptionCode::IllegalDataValue);
  }
  if (!RangeFits(request.first, count)) {
    return ExceptionReply(address_, request.function, ExceptionCode::IllegalDataAddress);
  }
  // The whole range is checked before anything is read, so that a refused
  // read does not move the live value on.
  for (uint32_t i = 0; i < count; ++i) {
    const std::optional<RegisterRule> rule = RuleFor(static_cast<uint16_t>(request.first + i));
    if (!rule || !rule->readable) {
      return ExceptionReply(address_, request.function, ExceptionCode::IllegalDataAddress);
    }
  }
  std::vector<uint16_t> values;
  values.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    values.push_back(ReadRegister(static_cast<uint16_t>(request.first + i)).value_or(0));
  }
  return ReadReply(address_, values);
}

std::vector<uint8_t> MeterModel::HandleWriteSingle(const Request& request) {
  if (const std::optional<ExceptionCode> refused = CheckWrite(request.first, request.word)) {
    return ExceptionReply(address_, request.function, *refused);
  }
  std::vector<uint8_t> echo = WriteSingleReply(address_, request.first, request.word);
  StoreRegister(request.first, request.word);
  return echo;
}

std::vector<uint8_t> MeterModel::HandleWriteMultiple(const Request& request) {
  const uint16_t count = request.word;
  if (count == 0 || count > kMaxWriteCount || request.byteCount != 2 * count ||
      request.values.size() != count) {
    return ExceptionReply(address_, request.function, ExceptionCode::IllegalDataValue);
  }
  if (!RangeFits(request.first, count)) {
    return ExceptionReply(address_, request.function, ExceptionCode::IllegalDataAddress);
  }
  const std::vector<uint8_t> reply = WriteMultipleReply(address_, request.first, count);

  if (const std::optional<RatioPair> pair = RatioPairAt(request.first)) {
    if (count != 2) {
      return ExceptionReply(address_, request.function, ExceptionCode::IllegalDataAddress);
    }
    const uint16_t ratio = request.values[0];
    if (ratio < pair->minValue || ratio > pair->maxValue || request.values[1] != 0) {
      return ExceptionReply(address_, request.function, ExceptionCode::IllegalDataValue);
    }
    (pair->first == reg::kPtRatio ? ptRatio_ : ctRatio_) = ratio;
    return reply;
  }

  // Nothing is stored unless every register of the range takes its value:
  // addresses are judged before values, as a Modbus slave does.
  for (uint16_t i = 0; i < count; ++i) {
    const auto number = static_cast<uint16_t>(request.first + i);
    const std::optional<RegisterRule> rule = RuleFor(number);
    if (!rule || !rule->writable || InRatioPair(number)) {
      return ExceptionReply(address_, request.function, ExceptionCode::IllegalDataAddress);
    }
  }
  for (uint16_t i = 0; i < count; ++i) {
    if (const std::optional<ExceptionCode> refused =
            CheckWrite(static_cast<uint16_t>(request.first + i), request.values[i])) {
      return ExceptionReply(address_, request.function, *refused);
    }
  }
  for (uint16_t i = 0; i < count; ++i) {
    StoreRegister(static_cast<uint16_t>(request.first + i), request.values[i]);
  }
  return reply;
}

}  // namespace zt::sim
