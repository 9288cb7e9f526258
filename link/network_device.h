#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zt {

// A serial device server named where a device path would go:
// "tcp://HOST:PORT" carries the meter's frames as they are (the server's own
// serial settings apply), "rfc2217://HOST:PORT" is a Telnet server with the
// COM port control option, which also takes the line format from us.
struct NetworkDevice {
  enum class Kind { kRawTcp, kRfc2217 };
  Kind kind = Kind::kRawTcp;
  // A host name, an IPv4 address or an IPv6 address (without its brackets).
  std::string host;
  uint16_t port = 0;

  // The name it was given by: "rfc2217://[::1]:2217".
  std::string Name() const;
  // "host:port", as shown beside a message.
  std::string Server() const;

  friend bool operator==(const NetworkDevice&, const NetworkDevice&) = default;
};

// True when `device` begins with one of the two schemes, i.e. it is meant
// as a server and not as a device path, whether or not it is well formed.
bool NamesNetworkDevice(std::string_view device);

// The server named by `device`; on a malformed name nothing, with what is
// wrong with it in `problem` when given.
std::optional<NetworkDevice> ParseNetworkDevice(std::string_view device,
                                                std::string* problem = nullptr);

}  // namespace zt
