#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/link_settings.h"

namespace zt {

// The Telnet side of a serial device server with the COM port control option
// (RFC 2217), without any transport: bytes received go in, the meter's bytes
// and the answers owed to the server come out. The client asks the server to
// take COM-PORT-OPTION and both directions of BINARY; it answers every other
// option the server offers or asks for with a refusal, and never answers a
// confirmation of its own request a second time, so negotiation cannot loop.
// 0xFF in the meter's bytes is doubled on the wire both ways; a sequence may
// end in one segment and go on in the next.
class TelnetComPort {
 public:
  enum class Option : uint8_t { kBinary = 0, kEcho = 1, kSuppressGoAhead = 3, kComPort = 44 };
  // Where one of our requests stands with the server.
  enum class Answer { kPending, kAccepted, kRefused };

  // What starts the session: WILL COM-PORT-OPTION, WILL BINARY, DO BINARY.
  std::vector<uint8_t> Start();

  // Takes bytes as they came from the socket; the meter's bytes are appended
  // to `data`. Answers owed to the server pile up for TakeOutgoing.
  void Receive(std::span<const uint8_t> bytes, std::vector<uint8_t>& data);
  std::vector<uint8_t> TakeOutgoing();

  // The meter's bytes as they go on the wire.
  static std::vector<uint8_t> Escape(std::span<const uint8_t> bytes);

  // SET-BAUDRATE, SET-DATASIZE, SET-PARITY and SET-STOPSIZE for `format`;
  // from now on LineSet waits for the server's confirmation of these values.
  std::vector<uint8_t> SetLine(const LineFormat& format);

  Answer ComPort() const { return comPort_; }
  // Both directions of BINARY: refused if the server refused either.
  Answer Binary() const;
  // Every value of the last SetLine has been confirmed as asked.
  bool LineSet() const;
  // The server confirmed a value other than the one asked for, as a text
  // such as "the rate 19200 instead of 9600"; empty while none did.
  const std::string& LineMismatch() const { return mismatch_; }

 private:
  enum class State { kData, kIac, kVerb, kSub, kSubIac };
  struct Wanted {
    std::optional<uint32_t> baud;
    std::optional<uint8_t> dataSize;
    std::optional<uint8_t> parity;
    std::optional<uint8_t> stopSize;
  };

  void Negotiate(uint8_t verb, uint8_t option);
  void Subnegotiation();
  void Confirm(std::optional<uint8_t>& wanted, uint8_t got, const char* what);
  void Send(uint8_t verb, uint8_t option);

  State state_ = State::kData;
  uint8_t verb_ = 0;
  std::vector<uint8_t> sub_;
  std::vector<uint8_t> outgoing_;

  Answer comPort_ = Answer::kPending;
  Answer weBinary_ = Answer::kPending;
  Answer theyBinary_ = Answer::kPending;
  bool weSuppressGoAhead_ = false;
  bool theySuppressGoAhead_ = false;
  Wanted wanted_;
  std::string mismatch_;
};

}  // namespace zt
