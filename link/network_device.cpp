#include "link/network_device.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace zt {

namespace {

struct Scheme {
  std::string_view prefix;
  NetworkDevice::Kind kind;
};

constexpr std::array<Scheme, 2> kSchemes = {{
    {"tcp://", NetworkDevice::Kind::kRawTcp},
    {"rfc2217://", NetworkDevice::Kind::kRfc2217},
}};

// Longest host name the resolver takes.
constexpr std::size_t kLongestHost = 253;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
         });
}

bool IsAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Letters, digits and inner hyphens in dot-separated labels of up to 63
// characters; an IPv4 address passes the same way.
bool IsHostName(std::string_view host) {
  if (host.empty() || host.size() > kLongestHost) {
    return false;
  }
  std::size_t start = 0;
  while (start <= host.size()) {
    const std::size_t dot = std::min(host.find('.', start), host.size());
    const std::string_view label = host.substr(start, dot - start);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-' ||
        !std::all_of(label.begin(), label.end(), [](char c) { return IsAlnum(c) || c == '-'; })) {
      return false;
    }
    start = dot + 1;
  }
  return true;
}

bool IsIpv6(std::string_view host) {
  return !host.empty() && host.find(':') != std::string_view::npos &&
         std::all_of(host.begin(), host.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
                  c == ':' || c == '.';
         });
}

}  // namespace

std::string NetworkDevice::Server() const {
  const bool bracket = host.find(':') != std::string::npos;
  return (bracket ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string NetworkDevice::Name() const {
  return std::string(kind == Kind::kRfc2217 ? "rfc2217://" : "tcp://") + Server();
}

bool NamesNetworkDevice(std::string_view device) {
  return std::any_of(kSchemes.begin(), kSchemes.end(),
                     [device](const Scheme& s) { return StartsWithNoCase(device, s.prefix); });
}

std::optional<NetworkDevice> ParseNetworkDevice(std::string_view device, std::string* problem) {
  const auto fail = [problem](std::string why) -> std::optional<NetworkDevice> {
    if (problem) {
      *problem = std::move(why);
    }
    return std::nullopt;
  };
  const auto scheme = std::find_if(kSchemes.begin(), kSchemes.end(), [device](const Scheme& s) {
    return StartsWithNoCase(device, s.prefix);
  });
  if (scheme == kSchemes.end()) {
    return fail("not tcp://HOST:PORT or rfc2217://HOST:PORT");
  }
  NetworkDevice parsed;
  parsed.kind = scheme->kind;
  std::string_view rest = device.substr(scheme->prefix.size());
  std::string_view host;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) {
      return fail("the IPv6 address has no closing ]");
    }
    host = rest.substr(1, close - 1);
    if (!IsIpv6(host)) {
      return fail("\"" + std::string(host) + "\" is not an IPv6 address");
    }
    rest.remove_prefix(close + 1);
    if (rest.empty() || rest.front() != ':') {
      return fail("no :PORT after the host");
    }
  } else {
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos) {
      return fail("no :PORT after the host");
    }
    host = rest.substr(0, colon);
    if (host.empty()) {
      return fail("no host before :PORT");
    }
    if (!IsHostName(host)) {
      return fail("\"" + std::string(host) + "\" is not a host name or address");
    }
    rest.remove_prefix(colon);
  }
  const std::string_view portText = rest.substr(1);
  unsigned port = 0;
  const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
  if (portText.empty() || error != std::errc{} || end != portText.data() + portText.size() ||
      port == 0 || port > 65535) {
    return fail("the port \"" + std::string(portText) + "\" is not a number from 1 to 65535");
  }
  parsed.host = std::string(host);
  parsed.port = static_cast<uint16_t>(port);
  return parsed;
}

}  // namespace zt
