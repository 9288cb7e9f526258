#include "sim/line_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

#include "link/link_settings.h"
#include "sim/line_timing.h"
#include "sim/termios_format.h"

namespace zt::sim {

namespace {

OpenResult Refused(std::string device, std::string reason) {
  OpenResult result;
  result.device = std::move(device);
  result.reason = std::move(reason);
  return result;
}

OpenResult Opened(std::string device) {
  OpenResult result;
  result.opened = true;
  result.device = std::move(device);
  return result;
}

// Modbus ends a frame after 3.5 silent character times; a pty delivers in
// bursts with no character timing at all, so the gap is never shorter than
// what the scheduler can be trusted with.
constexpr std::chrono::milliseconds kMinimumFrameGap{20};

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string text;
  std::array<char, 4> cell{};
  for (const uint8_t byte : bytes) {
    std::snprintf(cell.data(), cell.size(), "%02X ", byte);
    text += cell.data();
  }
  if (!text.empty()) {
    text.pop_back();
  }
  return text;
}

std::string Describe(const Request& request) {
  std::array<char, 96> text{};
  std::snprintf(text.data(), text.size(), "address %u function %u register 0x%04X word %u",
                request.address, request.function, request.first, request.word);
  return text.data();
}

timespec ToTimespec(std::chrono::nanoseconds span) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(span);
  timespec result{};
  result.tv_sec = static_cast<time_t>(seconds.count());
  result.tv_nsec = static_cast<long>((span - seconds).count());
  return result;
}

// Sleeps until `deadline` on the monotonic clock.
void SleepUntil(std::chrono::steady_clock::time_point deadline) {
  const timespec when = ToTimespec(deadline.time_since_epoch());
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &when, nullptr) == EINTR) {
  }
}

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written > 0) {
      data += written;
      size -= static_cast<std::size_t>(written);
      continue;
    }
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written < 0 && errno == EAGAIN) {
      // Nobody reads the pty: wait a little for room, then drop the rest as
      // a line without a listener would.
      pollfd room{fd, POLLOUT, 0};
      if (::poll(&room, 1, 200) > 0) {
        continue;
      }
    }
    return false;
  }
  return true;
}

}  // namespace

LineServer::LineServer(const SimOptions& options, MeterResponder& responder, std::ostream& log)
    : options_(options), responder_(responder), log_(log) {}

LineServer::~LineServer() {
  if (!linkMade_.empty()) {
    // Gone with the meter, as the device node of an unplugged adapter.
    ::unlink(linkMade_.c_str());
  }
  if (slaveFd_ >= 0) {
    ::close(slaveFd_);
  }
  if (lineFd_ >= 0) {
    ::close(lineFd_);
  }
}

OpenResult LineServer::Open() {
  const LineFormat meterLine = responder_.Meter().Line();
  termios settings{};
  if (options_.device) {
    lineFd_ = ::open(options_.device->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (lineFd_ < 0) {
      return Refused(*options_.device, std::strerror(errno));
    }
    if (::tcgetattr(lineFd_, &settings) != 0 || !MakeRawLine(settings, meterLine) ||
        ::tcsetattr(lineFd_, TCSANOW, &settings) != 0) {
      return Refused(*options_.device, "cannot set the line to " + SettingsText(meterLine));
    }
    devicePath_ = *options_.device;
    return Opened(devicePath_);
  }

  if (::openpty(&lineFd_, &slaveFd_, nullptr, nullptr, nullptr) != 0) {
    return Refused("pty", std::string("openpty: ") + std::strerror(errno));
  }
  ::fcntl(lineFd_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slaveFd_, F_SETFD, FD_CLOEXEC);
  ::fcntl(lineFd_, F_SETFL, ::fcntl(lineFd_, F_GETFL) | O_NONBLOCK);
  // A pty cannot hold a parity: the line is set up without one.
  LineFormat ptyLine = meterLine;
  ptyLine.parity = kParityNone;
  if (::tcgetattr(slaveFd_, &settings) != 0 || !MakeRawLine(settings, ptyLine) ||
      ::tcsetattr(slaveFd_, TCSANOW, &settings) != 0) {
    return Refused("pty", "cannot set the line to " + SettingsText(ptyLine));
  }
  std::array<char, 256> name{};
  if (::ttyname_r(slaveFd_, name.data(), name.size()) != 0) {
    return Refused("pty", std::string("ttyname: ") + std::strerror(errno));
  }
  devicePath_ = name.data();
  if (options_.linkPath) {
    const std::string& link = *options_.linkPath;
    struct stat existing {};
    if (::lstat(link.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) {
      ::unlink(link.c_str());
    }
    if (::symlink(devicePath_.c_str(), link.c_str()) != 0) {
      return Refused(link, std::strerror(errno));
    }
    linkMade_ = link;
    devicePath_ = link;
  }
  return Opened(devicePath_);
}

int LineServer::Run(const sigset_t& waitMask, const volatile std::sig_atomic_t& stop) {
  std::array<uint8_t, 512> chunk{};
  const std::chrono::microseconds frameGap =
      std::max<std::chrono::microseconds>(LineTime(responder_.Meter().Line(), 4), kMinimumFrameGap);
  const timespec gap = ToTimespec(frameGap);
  std::size_t discarded = 0;

  while (stop == 0) {
    pollfd line{lineFd_, POLLIN, 0};
    const int ready = ::ppoll(&line, 1, framer_.Buffered() > 0 ? &gap : nullptr, &waitMask);
    if (ready < 0) {
      if (errno == EINTR) {
        continue;
      }
      Note(std::string("poll: ") + std::strerror(errno));
      return 1;
    }
    if (ready == 0) {
      while (const std::optional<Request> request = framer_.NextAfterSilence()) {
        Serve(*request);
      }
    } else if ((line.revents & POLLIN) != 0) {
      const ssize_t got = ::read(lineFd_, chunk.data(), chunk.size());
      if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        continue;
      }
      if (got <= 0) {
        Note(std::string("read: ") + (got == 0 ? "end of input" : std::strerror(errno)));
        return 1;
      }
      lastRead_ = std::chrono::steady_clock::now();
      if (options_.localEcho) {
        WriteAll(lineFd_, chunk.data(), static_cast<std::size_t>(got));
      }
      framer_.Feed(chunk.data(), static_cast<std::size_t>(got));
      while (const std::optional<Request> request = framer_.Next()) {
        Serve(*request);
      }
    } else {
      Note("the line hung up");
      return 1;
    }
    if (framer_.Discarded() != discarded) {
      Note("skipped " + std::to_string(framer_.Discarded() - discarded) + " garbage bytes");
      discarded = framer_.Discarded();
    }
  }
  return 0;
}

void LineServer::Serve(const Request& request) {
  const LineFormat meterLine = responder_.Meter().Line();
  if (slaveFd_ >= 0 && !ClientLineMatches(meterLine)) {
    return;
  }
  const std::optional<Response> response = responder_.Respond(request);
  if (!response) {
    Note("no reply: " + Describe(request));
    return;
  }
  SleepUntil(std::chrono::steady_clock::now() + response->delay);
  Send(response->bytes, response->line);
  Note("reply: " + Describe(request) + " -> " + Hex(response->bytes));
  if (response->nextLine != response->line) {
    SwitchLine(response->nextLine);
  }
}

bool LineServer::ClientLineMatches(const LineFormat& meterLine) {
  termios settings{};
  if (::tcgetattr(slaveFd_, &settings) != 0) {
    return true;
  }
  const std::optional<LineFormat> client = LineFormatOf(settings);
  if (client && SameLineOnPty(*client, meterLine)) {
    return true;
  }
  Note("ignored: client line " + (client ? SettingsText(*client) : std::string("unknown")) +
       ", meter line " + SettingsText(meterLine));
  return false;
}

void LineServer::Send(const std::vector<uint8_t>& bytes, const LineFormat& line) {
  if (!options_.lineTiming) {
    WriteAll(lineFd_, bytes.data(), bytes.size());
    return;
  }
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    SleepUntil(start + LineTime(line, i + 1));
    WriteAll(lineFd_, &bytes[i], 1);
  }
}

void LineServer::SwitchLine(const LineFormat& line) {
  // On a device the echo must leave at the old rate before the switch; on a
  // pty the client's own settings decide, and are checked per request.
  if (slaveFd_ < 0) {
    termios settings{};
    ::tcdrain(lineFd_);
    if (::tcgetattr(lineFd_, &settings) != 0 || !MakeRawLine(settings, line) ||
        ::tcsetattr(lineFd_, TCSANOW, &settings) != 0) {
      Note("cannot switch the device to " + SettingsText(line));
      return;
    }
  }
  Note("meter line now " + SettingsText(line));
}

void LineServer::Note(const std::string& text) {
  if (!options_.verbose) {
    return;
  }
  log_ << "zt6100-sim: ";
  if (options_.timestamps) {
    log_ << '[' << std::chrono::duration_cast<std::chrono::microseconds>(
                       lastRead_.time_since_epoch()).count()
         << "] ";
  }
  log_ << text << std::endl;
}

}  // namespace zt::sim
