#include "sim/termios_format.h"

#include <array>
#include <utility>

namespace zt::sim {

namespace {

constexpr std::array<std::pair<int32_t, speed_t>, 9> kSpeeds = {{
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
}};

std::optional<speed_t> SpeedOf(int32_t rate) {
  for (const auto& [known, speed] : kSpeeds) {
    if (known == rate) {
      return speed;
    }
  }
  return std::nullopt;
}

std::optional<int32_t> RateOf(speed_t speed) {
  for (const auto& [rate, known] : kSpeeds) {
    if (known == speed) {
      return rate;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<LineFormat> LineFormatOf(const termios& settings) {
  const std::optional<int32_t> rate = RateOf(cfgetospeed(&settings));
  if (!rate) {
    return std::nullopt;
  }
  LineFormat format;
  format.baudRate = *rate;
  if ((settings.c_cflag & PARENB) == 0) {
    format.parity = kParityNone;
  } else {
    format.parity = (settings.c_cflag & PARODD) != 0 ? kParityOdd : kParityEven;
  }
  switch (settings.c_cflag & CSIZE) {
    case CS5:
      format.dataBits = 5;
      break;
    case CS6:
      format.dataBits = 6;
      break;
    case CS7:
      format.dataBits = 7;
      break;
    default:
      format.dataBits = 8;
      break;
  }
  format.stopBits = (settings.c_cflag & CSTOPB) != 0 ? 2 : 1;
  return format;
}

bool MakeRawLine(termios& settings, const LineFormat& format) {
  const std::optional<speed_t> speed = SpeedOf(format.baudRate);
  if (!speed) {
    return false;
  }
  cfmakeraw(&settings);
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
  settings.c_cflag |= CS8 | CREAD | CLOCAL;
  if (format.parity != kParityNone) {
    settings.c_cflag |= PARENB;
    if (format.parity == kParityOdd) {
      settings.c_cflag |= PARODD;
    }
  }
  if (format.stopBits == 2) {
    settings.c_cflag |= CSTOPB;
  }
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  return cfsetispeed(&settings, *speed) == 0 && cfsetospeed(&settings, *speed) == 0;
}

bool SameLineOnPty(const LineFormat& client, const LineFormat& meter) {
  return client.baudRate == meter.baudRate && client.dataBits == meter.dataBits &&
         client.stopBits == meter.stopBits;
}

}  // namespace zt::sim
