#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "link/link_settings.h"
#include "meter/meter_clock.h"
#include "sim/modbus_exception.h"
#include "sim/request_parser.h"

namespace zt::sim {

// A ZT6100 as its register map describes it: it answers functions 3, 6 and
// 16 for its own address and keeps what is written to it.
class MeterModel {
 public:
  static constexpr uint8_t kDefaultAddress = 1;
  static constexpr uint16_t kDefaultLineBaudIndex = 3;  // 9600 bit/s
  static constexpr uint16_t kDefaultLiveBase = 1000;
  // A Modbus slave answers reads of at most this many registers.
  static constexpr uint16_t kMaxReadCount = 125;
  static constexpr uint16_t kMaxWriteCount = 123;

  // The reply to `request`, or nothing when it is addressed to another meter.
  // A write takes effect here, after its reply has been built: the echo of a
  // new device address still comes from the old one, and the line baud
  // written to 0x0008 applies to what the meter hears and sends next.
  std::optional<std::vector<uint8_t>> Handle(const Request& request);

  // The meter's own line: 8 data bits, 2 stop bits.
  LineFormat Line() const;
  uint16_t LineBaudIndex() const { return lineBaudIndex_; }
  void SetLineBaudIndex(uint16_t index) { lineBaudIndex_ = index; }
  void SetLineParity(ParityIndex parity) { parity_ = parity; }

  uint8_t Address() const { return address_; }
  void SetAddress(uint8_t address) { address_ = address; }

  // The reading of register 0x0000 moves along a fixed wave around this base,
  // one step per read.
  void SetLiveBase(uint16_t base) { liveBase_ = base; }
  // The value the next read of 0x0000 returns.
  uint16_t NextLiveValue() const;
  uint32_t LiveReads() const { return liveReads_; }
  // Each read of 0x0000 returns a value that none of the previous 64,535
  // reads returned (kFirstDistinctLiveValue and up, never a small number a
  // decimal point could be mistaken for), so a test can tell which request a
  // reading answered.
  static constexpr uint16_t kFirstDistinctLiveValue = 1000;
  void SetDistinctLiveValues(bool distinct) { distinctLive_ = distinct; }

  uint16_t DecimalPoint() const { return decimalPoint_; }
  void SetDecimalPoint(uint16_t value) { decimalPoint_ = value; }
  uint16_t UpperLimit() const { return upperLimit_; }
  void SetUpperLimit(uint16_t value) { upperLimit_ = value; }
  uint16_t LowerLimit() const { return lowerLimit_; }
  void SetLowerLimit(uint16_t value) { lowerLimit_ = value; }
  uint16_t ParameterBaud() const { return parameterBaud_; }
  void SetParameterBaud(uint16_t value) { parameterBaud_ = value; }

  uint8_t RelayOutput() const { return relayOutput_; }
  void SetRelayOutput(uint8_t value) { relayOutput_ = value; }
  uint8_t SwitchInput() const { return switchInput_; }
  void SetSwitchInput(uint8_t value) { switchInput_ = value; }

  // Kept as the six bytes the meter stores: a year outside 2000..2255 or any
  // field above 255 is cut to its low byte.
  MeterClock Clock() const;
  void SetClock(const MeterClock& clock);

  uint16_t PtRatio() const { return ptRatio_; }
  uint16_t CtRatio() const { return ctRatio_; }
  uint16_t Wiring() const { return wiringMode_; }

 private:
  std::optional<uint16_t> ReadRegister(uint16_t number);
  void StoreRegister(uint16_t number, uint16_t value);

  std::vector<uint8_t> HandleRead(const Request& request);
  std::vector<uint8_t> HandleWriteSingle(const Request& request);
  std::vector<uint8_t> HandleWriteMultiple(const Request& request);
  std::optional<ExceptionCode> CheckWrite(uint16_t number, uint16_t value) const;

  uint8_t address_ = kDefaultAddress;
  uint16_t lineBaudIndex_ = kDefaultLineBaudIndex;
  ParityIndex parity_ = kParityNone;

  uint16_t liveBase_ = kDefaultLiveBase;
  bool distinctLive_ = false;
  uint32_t liveReads_ = 0;
  uint16_t decimalPoint_ = 2;
  uint16_t upperLimit_ = 5000;
  uint16_t lowerLimit_ = 100;
  uint16_t parameterBaud_ = kDefaultLineBaudIndex;
  uint8_t relayOutput_ = 1;
  uint8_t switchInput_ = 0;
  // minute, second, day, hour, year - 2000, month: the order of 0x0110..0x0112
  std::array<uint8_t, 6> clock_ = {30, 45, 15, 10, 6, 12};
  uint16_t ptRatio_ = 1;
  uint16_t ctRatio_ = 1;
  uint16_t wiringMode_ = 0;
};

}  // namespace zt::sim
