// The yardstick for the poll tick's overshoot: the console's poll tick written
// as plain POSIX calls, every wait a sleep to an absolute deadline on the
// monotonic clock, measured from the moment its request was written. Run
// against the same simulator in the same run as the programs, it shows what
// the machine itself adds to a 1,500 ms tick.
//
// usage: zt-deadline-tick DEVICE TICKS
#include <fcntl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr long kNsPerMs = 1'000'000;
constexpr long kReadWaitMs = 600;
constexpr long kPollPauseMs = 300;

// Reads of the decimal point and of the live value at address 1, CRC included.
constexpr std::array<uint8_t, 8> kReadDecimalPoint{0x01, 0x03, 0x00, 0x06, 0x00, 0x01, 0x64, 0x0B};
constexpr std::array<uint8_t, 8> kReadLiveValue{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A};

timespec Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now;
}

timespec Plus(timespec t, long ms) {
  t.tv_nsec += ms * kNsPerMs;
  t.tv_sec += t.tv_nsec / 1'000'000'000;
  t.tv_nsec %= 1'000'000'000;
  return t;
}

void SleepUntil(const timespec& deadline) {
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) != 0) {
  }
}

void Drain(int fd) {
  std::array<uint8_t, 256> bytes{};
  while (read(fd, bytes.data(), bytes.size()) > 0) {
  }
}

// Writes the request and gives the deadline of its wait.
timespec Send(int fd, const std::array<uint8_t, 8>& request) {
  tcflush(fd, TCIFLUSH);
  if (write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
    std::perror("write");
    std::exit(1);
  }
  return Plus(Now(), kReadWaitMs);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DEVICE TICKS\n", argv[0]);
    return 2;
  }
  const int fd = open(argv[1], O_RDWR | O_NOCTTY | O_NONBLOCK);
  termios line{};
  if (fd < 0 || tcgetattr(fd, &line) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  cfmakeraw(&line);
  cfsetspeed(&line, B9600);
  line.c_cflag |= CSTOPB | CLOCAL | CREAD;
  tcsetattr(fd, TCSANOW, &line);

  const int ticks = std::atoi(argv[2]);
  for (int tick = 0; tick < ticks; ++tick) {
    const timespec firstWait = Send(fd, kReadDecimalPoint);
    SleepUntil(firstWait);
    Drain(fd);
    SleepUntil(Plus(firstWait, kPollPauseMs));
    SleepUntil(Send(fd, kReadLiveValue));
    Drain(fd);
  }
  close(fd);
  return 0;
}
