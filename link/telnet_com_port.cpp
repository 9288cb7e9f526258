#include "link/telnet_com_port.h"

#include <array>

namespace zt {

namespace {

constexpr uint8_t kIac = 255;
constexpr uint8_t kDont = 254;
constexpr uint8_t kDo = 253;
constexpr uint8_t kWont = 252;
constexpr uint8_t kWill = 251;
constexpr uint8_t kSb = 250;
constexpr uint8_t kSe = 240;

constexpr uint8_t kBinary = static_cast<uint8_t>(TelnetComPort::Option::kBinary);
constexpr uint8_t kSuppressGoAhead = static_cast<uint8_t>(TelnetComPort::Option::kSuppressGoAhead);
constexpr uint8_t kComPort = static_cast<uint8_t>(TelnetComPort::Option::kComPort);

// Client-to-server commands of the COM port option; the server answers each
// with the same number plus 100 and the value it has now set.
constexpr uint8_t kSetBaudRate = 1;
constexpr uint8_t kSetDataSize = 2;
constexpr uint8_t kSetParity = 3;
constexpr uint8_t kSetStopSize = 4;
constexpr uint8_t kServerOffset = 100;

// A subnegotiation longer than any the option defines is kept only this far.
constexpr std::size_t kLongestSubnegotiation = 64;

uint8_t ParityCode(ParityIndex parity) {
  switch (parity) {
    case kParityOdd:
      return 2;
    case kParityEven:
      return 3;
    case kParityNone:
      break;
  }
  return 1;
}

void AppendEscaped(std::vector<uint8_t>& out, uint8_t byte) {
  out.push_back(byte);
  if (byte == kIac) {
    out.push_back(kIac);
  }
}

void AppendCommand(std::vector<uint8_t>& out, uint8_t command, std::span<const uint8_t> value) {
  out.insert(out.end(), {kIac, kSb, kComPort, command});
  for (const uint8_t byte : value) {
    AppendEscaped(out, byte);
  }
  out.insert(out.end(), {kIac, kSe});
}

}  // namespace

std::vector<uint8_t> TelnetComPort::Start() {
  return {kIac, kWill, kComPort, kIac, kWill, kBinary, kIac, kDo, kBinary};
}

std::vector<uint8_t> TelnetComPort::Escape(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> out;
  out.reserve(bytes.size() + 4);
  for (const uint8_t byte : bytes) {
    AppendEscaped(out, byte);
  }
  return out;
}

std::vector<uint8_t> TelnetComPort::SetLine(const LineFormat& format) {
  wanted_.baud = static_cast<uint32_t>(format.baudRate);
  wanted_.dataSize = static_cast<uint8_t>(format.dataBits);
  wanted_.parity = ParityCode(format.parity);
  wanted_.stopSize = static_cast<uint8_t>(format.stopBits == 2 ? 2 : 1);
  mismatch_.clear();

  const uint32_t baud = *wanted_.baud;
  const std::array<uint8_t, 4> rate = {static_cast<uint8_t>(baud >> 24), static_cast<uint8_t>(baud >> 16),
                                       static_cast<uint8_t>(baud >> 8), static_cast<uint8_t>(baud)};
  std::vector<uint8_t> out;
  AppendCommand(out, kSetBaudRate, rate);
  AppendCommand(out, kSetDataSize, std::span(&*wanted_.dataSize, 1));
  AppendCommand(out, kSetParity, std::span(&*wanted_.parity, 1));
  AppendCommand(out, kSetStopSize, std::span(&*wanted_.stopSize, 1));
  return out;
}

TelnetComPort::Answer TelnetComPort::Binary() const {
  if (weBinary_ == Answer::kRefused || theyBinary_ == Answer::kRefused) {
    return Answer::kRefused;
  }
  if (weBinary_ == Answer::kAccepted && theyBinary_ == Answer::kAccepted) {
    return Answer::kAccepted;
  }
  return Answer::kPending;
}

bool TelnetComPort::LineSet() const {
  return mismatch_.empty() && !wanted_.baud && !wanted_.dataSize && !wanted_.parity &&
         !wanted_.stopSize;
}

std::vector<uint8_t> TelnetComPort::TakeOutgoing() {
  std::vector<uint8_t> out;
  out.swap(outgoing_);
  return out;
}

void TelnetComPort::Receive(std::span<const uint8_t> bytes, std::vector<uint8_t>& data) {
  for (const uint8_t byte : bytes) {
    switch (state_) {
      case State::kData:
        if (byte == kIac) {
          state_ = State::kIac;
        } else {
          data.push_back(byte);
        }
        break;
      case State::kIac:
        if (byte == kIac) {
          data.push_back(kIac);
          state_ = State::kData;
        } else if (byte >= kWill && byte <= kDont) {
          verb_ = byte;
          state_ = State::kVerb;
        } else if (byte == kSb) {
          sub_.clear();
          state_ = State::kSub;
        } else {
          // NOP, go-ahead, break and the like carry nothing for the meter.
          state_ = State::kData;
        }
        break;
      case State::kVerb:
        Negotiate(verb_, byte);
        state_ = State::kData;
        break;
      case State::kSub:
        if (byte == kIac) {
          state_ = State::kSubIac;
        } else if (sub_.size() < kLongestSubnegotiation) {
          sub_.push_back(byte);
        }
        break;
      case State::kSubIac:
        if (byte == kIac) {
          if (sub_.size() < kLongestSubnegotiation) {
            sub_.push_back(kIac);
          }
          state_ = State::kSub;
        } else {
          // SE ends it; anything else is a broken subnegotiation, ended here
          // rather than swallowing the meter's bytes that follow.
          if (byte == kSe) {
            Subnegotiation();
          }
          state_ = State::kData;
        }
        break;
    }
  }
}

void TelnetComPort::Send(uint8_t verb, uint8_t option) {
  outgoing_.insert(outgoing_.end(), {kIac, verb, option});
}

// Our own requests are answered by their confirmation and need no reply;
// a change the server makes later is acknowledged once. Options we did not
// ask for are refused, SUPPRESS-GO-AHEAD excepted, which costs nothing.
void TelnetComPort::Negotiate(uint8_t verb, uint8_t option) {
  const auto agree = [this](Answer& answer, uint8_t ack, uint8_t opt) {
    if (answer == Answer::kRefused) {
      Send(ack, opt);
    }
    answer = Answer::kAccepted;
  };
  const auto disagree = [this](Answer& answer, uint8_t ack, uint8_t opt) {
    if (answer == Answer::kAccepted) {
      Send(ack, opt);
    }
    answer = Answer::kRefused;
  };
  switch (verb) {
    case kDo:
      if (option == kComPort) {
        if (comPort_ == Answer::kRefused) {
          Send(kWill, kComPort);
        }
        comPort_ = Answer::kAccepted;
      } else if (option == kBinary) {
        agree(weBinary_, kWill, kBinary);
      } else if (option == kSuppressGoAhead) {
        if (!weSuppressGoAhead_) {
          Send(kWill, kSuppressGoAhead);
          weSuppressGoAhead_ = true;
        }
      } else {
        Send(kWont, option);
      }
      break;
    case kDont:
      if (option == kComPort) {
        disagree(comPort_, kWont, kComPort);
      } else if (option == kBinary) {
        disagree(weBinary_, kWont, kBinary);
      } else if (option == kSuppressGoAhead && weSuppressGoAhead_) {
        Send(kWont, kSuppressGoAhead);
        weSuppressGoAhead_ = false;
      }
      break;
    case kWill:
      if (option == kBinary) {
        agree(theyBinary_, kDo, kBinary);
      } else if (option == kSuppressGoAhead) {
        if (!theySuppressGoAhead_) {
          Send(kDo, kSuppressGoAhead);
          theySuppressGoAhead_ = true;
        }
      } else {
        Send(kDont, option);
      }
      break;
    case kWont:
      if (option == kBinary) {
        disagree(theyBinary_, kDont, kBinary);
      } else if (option == kSuppressGoAhead && theySuppressGoAhead_) {
        Send(kDont, kSuppressGoAhead);
        theySuppressGoAhead_ = false;
      }
      break;
    default:
      break;
  }
}

void TelnetComPort::Subnegotiation() {
  if (sub_.size() < 3 || sub_[0] != kComPort) {
    return;
  }
  const uint8_t command = sub_[1];
  const std::span<const uint8_t> value(sub_.data() + 2, sub_.size() - 2);
  switch (command) {
    case kServerOffset + kSetBaudRate:
      if (value.size() == 4 && wanted_.baud) {
        const uint32_t got = (uint32_t{value[0]} << 24) | (uint32_t{value[1]} << 16) |
                             (uint32_t{value[2]} << 8) | value[3];
        if (got == *wanted_.baud) {
          wanted_.baud.reset();
        } else if (mismatch_.empty()) {
          mismatch_ = "the rate " + std::to_string(got) + " instead of " + std::to_string(*wanted_.baud);
        }
      }
      break;
    case kServerOffset + kSetDataSize:
      Confirm(wanted_.dataSize, value[0], "data bits");
      break;
    case kServerOffset + kSetParity:
      Confirm(wanted_.parity, value[0], "parity code");
      break;
    case kServerOffset + kSetStopSize:
      Confirm(wanted_.stopSize, value[0], "stop-size code");
      break;
    default:
      // Line and modem state notifications and the rest are not needed.
      break;
  }
}

void TelnetComPort::Confirm(std::optional<uint8_t>& wanted, uint8_t got, const char* what) {
  if (!wanted) {
    return;
  }
  if (got == *wanted) {
    wanted.reset();
  } else if (mismatch_.empty()) {
    mismatch_ = std::string(what) + " " + std::to_string(got) + " instead of " + std::to_string(*wanted);
  }
}

}  // namespace zt
