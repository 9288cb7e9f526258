#include "meter/meter_session.h"

#include "meter/encoding.h"

namespace zt {

int16_t MeterSession::Exchange(const TxFrame& request, std::chrono::milliseconds wait,
                               const ExpectedReply& expected) {
  lastSkipped_ = stop_ != nullptr && stop_->load();
  if (lastSkipped_) {
    return Transaction::kNoReply;
  }
  return transaction_.RequestReply(request, wait, expected);
}

std::optional<int32_t> MeterSession::ReadRegister(uint16_t registerNumber,
                                                  std::optional<uint16_t> maxValue) {
  const TxFrame request = BuildReadRequest(Address(), registerNumber, 1);
  ExpectedReply expected = ExpectedReply::ReadOf(request);
  expected.maxFirstRegister = maxValue;
  const int16_t at = Exchange(request, kReadWait, expected);
  if (at == Transaction::kNoReply) {
    return std::nullopt;
  }
  return transaction_.ReplyRegister(at, 0);
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
  const TxFrame request = BuildReadRequest(Address(), reg::kClock, reg::kClockRegisterCount);
  const int16_t at = Exchange(request, kClockWait, ExpectedReply::ReadOf(request));
  if (at == Transaction::kNoReply) {
    return std::nullopt;
  }
  const uint8_t registers[6] = {transaction_.RxByte(at + 3), transaction_.RxByte(at + 4), transaction_.RxByte(at + 5),
                                transaction_.RxByte(at + 6), transaction_.RxByte(at + 7), transaction_.RxByte(at + 8)};
  return DecodeMeterClock(registers);
}

ParameterReads MeterSession::ReadParameters() {
  ParameterReads reads;
  reads.made = 0;
  const auto count = [this, &reads] { reads.made += lastSkipped_ ? 0 : 1; };
  reads.upperLimit = ReadUpperLimit();
  count();
  reads.lowerLimit = ReadLowerLimit();
  count();
  reads.decimalPoint = ReadDecimalPoint();
  count();
  reads.meterBaud = ReadMeterBaud();
  count();
  return reads;
}

void MeterSession::MakeEchoKnown() {
  // A function 6 confirmation equals its request, so on an echoing line the
  // adapter's copy alone would confirm a write; a read cannot be mistaken.
  if (!transaction_.LineEchoes()) {
    ReadDecimalPoint();
  }
}

bool MeterSession::ConfirmedWrite(const TxFrame& request, std::chrono::milliseconds wait) {
  return Exchange(request, wait, ExpectedReply::EchoOf(request)) !=
         Transaction::kNoReply;
}

ParameterWrites MeterSession::WriteParameters(const ParameterValues& values) {
  MakeEchoKnown();
  // The writes keep their 300 ms spacing; the meter's echo of each is looked
  // for at the end of the pause that follows it.
  ParameterWrites confirmed;
  confirmed.sent = 0;
  const auto write = [this, &confirmed](uint16_t registerNumber, int32_t value) {
    const bool echoed = ConfirmedWrite(
        BuildWriteSingleRequest(Address(), registerNumber, RegisterWord(value)),
        kParameterWriteSpacing);
    confirmed.sent += lastSkipped_ ? 0 : 1;
    return echoed;
  };
  confirmed.decimalPoint = write(reg::kDecimalPoint, values.decimalPoint);
  confirmed.decimalPointWhy = LastFailure();
  confirmed.upperLimit = write(reg::kUpperLimit, values.upperLimit);
  confirmed.upperLimitWhy = LastFailure();
  confirmed.lowerLimit = write(reg::kLowerLimit, values.lowerLimit);
  confirmed.lowerLimitWhy = LastFailure();
  confirmed.meterBaud = write(reg::kParameterBaud, BaudRateToIndex(values.meterBaud));
  confirmed.meterBaudWhy = LastFailure();
  return confirmed;
}

bool MeterSession::WriteRegister(uint16_t registerNumber, int32_t value) {
  MakeEchoKnown();
  return ConfirmedWrite(BuildWriteSingleRequest(Address(), registerNumber, RegisterWord(value)),
                        kParameterWriteSpacing);
}

bool MeterSession::ChangeAddress(int32_t newAddress) {
  MakeEchoKnown();
  const TxFrame request =
      BuildWriteSingleRequest(Address(), reg::kDeviceAddress, RegisterWord(newAddress));
  ExpectedReply echo = ExpectedReply::EchoOf(request);
  // Some meters already answer from the address they have just taken.
  echo.otherAddress = static_cast<uint8_t>(newAddress);
  return Exchange(request, kAddressEchoWait, echo) != Transaction::kNoReply;
}

bool MeterSession::ChangeLinkBaud(int32_t newRate) {
  MakeEchoKnown();
  const auto code = static_cast<uint16_t>(BaudRateToIndex(newRate));
  return ConfirmedWrite(BuildWriteSingleRequest(Address(), reg::kLinkBaud, code),
                        kConfirmedWriteWait);
}

bool MeterSession::WritePtRatio(uint16_t pt) {
  MakeEchoKnown();
  return ConfirmedWrite(BuildWriteTwoRegistersRequest(Address(), reg::kPtRatio, pt, 0),
                        kConfirmedWriteWait);
}

bool MeterSession::WriteCtRatio(uint16_t ct) {
  MakeEchoKnown();
  return ConfirmedWrite(BuildWriteTwoRegistersRequest(Address(), reg::kCtRatio, ct, 0),
                        kConfirmedWriteWait);
}

bool MeterSession::WriteWiringMode(uint8_t mode) {
  MakeEchoKnown();
  return ConfirmedWrite(BuildWriteSingleRequest(Address(), reg::kWiringMode, mode),
                        kConfirmedWriteWait);
}

}  // namespace zt
