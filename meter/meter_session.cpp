#include "meter/meter_session.h"

#include "meter/encoding.h"

namespace zt {

namespace {

constexpr ExpectedReply ReadReply(uint8_t address, uint16_t registerCount) {
  return {kFunctionReadHoldingRegisters, address, ReadReplyLength(registerCount)};
}

}  // namespace

std::optional<int32_t> MeterSession::ReadRegister(uint16_t registerNumber) {
  const int16_t at =
      link_.RequestReply(BuildReadRequest(Address(), registerNumber, 1),
                         Wait::SleepFor(kReadWaitMs), ReadReply(Address(), 1));
  if (at == Transaction::kNoReply) {
    return std::nullopt;
  }
  return link_.ReplyRegister(at, 0);
}

std::optional<int32_t> MeterSession::ReadMeterBaud() {
  const std::optional<int32_t> code = ReadRegister(reg::kParameterBaud);
  if (!code) {
    return std::nullopt;
  }
  return BaudIndexToRate(*code);
}

std::optional<SwitchStatus> MeterSession::ReadSwitchStatus() {
  const std::optional<int32_t> word = ReadRegister(reg::kSwitchStatus);
  if (!word) {
    return std::nullopt;
  }
  return SwitchStatus{static_cast<uint8_t>(*word >> 8), static_cast<uint8_t>(*word & 0xFF)};
}

std::optional<MeterClock> MeterSession::ReadClock() {
  const int16_t at = link_.RequestReply(
      BuildReadRequest(Address(), reg::kClock, reg::kClockRegisterCount),
      Wait::SleepFor(kClockWaitMs), ReadReply(Address(), reg::kClockRegisterCount));
  if (at == Transaction::kNoReply) {
    return std::nullopt;
  }
  const uint8_t registers[6] = {link_.RxByte(at + 3), link_.RxByte(at + 4), link_.RxByte(at + 5),
                                link_.RxByte(at + 6), link_.RxByte(at + 7), link_.RxByte(at + 8)};
  return DecodeMeterClock(registers);
}

PollResult MeterSession::Poll() {
  PollResult result;
  result.decimalPoint = ReadDecimalPoint();
  link_.ClockSource().Sleep(kPollPauseMs);
  result.rawValue = ReadLiveValue();
  return result;
}

ParameterReads MeterSession::ReadParameters() {
  ParameterReads reads;
  reads.upperLimit = ReadUpperLimit();
  reads.lowerLimit = ReadLowerLimit();
  reads.decimalPoint = ReadDecimalPoint();
  reads.meterBaud = ReadMeterBaud();
  return reads;
}

bool MeterSession::ConfirmedWrite(const TxFrame& request, uint8_t function, Wait wait) {
  return link_.RequestReply(request, wait, {function, Address(), kWriteReplyLength}) !=
         Transaction::kNoReply;
}

ParameterWrites MeterSession::WriteParameters(const ParameterValues& values) {
  // The writes keep their 300 ms spacing; the meter's echo of each is looked
  // for at the end of the pause that follows it.
  const auto write = [this](uint16_t registerNumber, int32_t value) {
    return ConfirmedWrite(BuildWriteSingleRequest(Address(), registerNumber, RegisterWord(value)),
                          kFunctionWriteSingleRegister, Wait::SleepFor(kParameterWriteSpacingMs));
  };
  ParameterWrites confirmed;
  confirmed.decimalPoint = write(reg::kDecimalPoint, values.decimalPoint);
  confirmed.upperLimit = write(reg::kUpperLimit, values.upperLimit);
  confirmed.lowerLimit = write(reg::kLowerLimit, values.lowerLimit);
  confirmed.meterBaud = write(reg::kParameterBaud, BaudRateToIndex(values.meterBaud));
  return confirmed;
}

bool MeterSession::ChangeAddress(int32_t newAddress) {
  const uint8_t oldAddress = Address();
  const int16_t fromOld = link_.RequestReply(
      BuildWriteSingleRequest(oldAddress, reg::kDeviceAddress, RegisterWord(newAddress)),
      Wait::SleepFor(kAddressEchoWaitMs),
      {kFunctionWriteSingleRegister, oldAddress, kWriteReplyLength});
  if (fromOld != Transaction::kNoReply) {
    return true;
  }
  // Some meters already answer from the address they have just taken.
  return link_.Search({kFunctionWriteSingleRegister, static_cast<uint8_t>(newAddress),
                       kWriteReplyLength}) != Transaction::kNoReply;
}

bool MeterSession::ChangeLinkBaud(int32_t newRate) {
  const auto code = static_cast<uint16_t>(BaudRateToIndex(newRate));
  return ConfirmedWrite(BuildWriteSingleRequest(Address(), reg::kLinkBaud, code),
                        kFunctionWriteSingleRegister, Wait::BusyFor(kConfirmedWriteWaitMs));
}

bool MeterSession::WritePtRatio(uint16_t pt) {
  return ConfirmedWrite(BuildWriteTwoRegistersRequest(Address(), reg::kPtRatio, pt, 0),
                        kFunctionWriteMultipleRegisters, Wait::BusyFor(kConfirmedWriteWaitMs));
}

bool MeterSession::WriteCtRatio(uint16_t ct) {
  return ConfirmedWrite(BuildWriteTwoRegistersRequest(Address(), reg::kCtRatio, ct, 0),
                        kFunctionWriteMultipleRegisters, Wait::BusyFor(kConfirmedWriteWaitMs));
}

bool MeterSession::WriteWiringMode(uint8_t mode) {
  return ConfirmedWrite(BuildWriteSingleRequest(Address(), reg::kWiringMode, mode),
                        kFunctionWriteSingleRegister, Wait::BusyFor(kConfirmedWriteWaitMs));
}

}  // namespace zt
