// zt-modbus-peer: a libmodbus RTU server for our Modbus master to talk to.
//
// libmodbus needs a tty, and so does the client, so two pty pairs are made and
// the bytes are relayed between their master ends: libmodbus opens the first
// pair's slave, the client the second pair's slave, whose path is the first
// line on stdout. The server answers as slave 1 (--slave N to change) from a
// holding-register map of 0x0000..0x0320 with known values, stores whatever
// it is written, and serves until SIGTERM or SIGINT.
#include <modbus.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <thread>

namespace {

std::atomic<bool> stopRequested{false};
std::atomic<bool> relayFailed{false};

void OnStopSignal(int) { stopRequested.store(true); }

struct PtyPair {
  int master = -1;
  int slave = -1;
  std::string path;
};

// Raw from the start: a slave still in canonical mode with echo would send a
// request straight back through the relay before its reader sets the line up.
bool OpenRawPty(PtyPair& pty) {
  termios raw{};
  cfmakeraw(&raw);
  cfsetispeed(&raw, B9600);
  cfsetospeed(&raw, B9600);
  if (openpty(&pty.master, &pty.slave, nullptr, &raw, nullptr) != 0) {
    std::perror("openpty");
    return false;
  }
  char name[256] = {};
  if (ttyname_r(pty.slave, name, sizeof name) != 0) {
    std::perror("ttyname_r");
    return false;
  }
  pty.path = name;
  return true;
}

bool CopyAvailable(int from, int to) {
  uint8_t buffer[512];
  const ssize_t got = read(from, buffer, sizeof buffer);
  if (got <= 0) {
    return got < 0 && (errno == EAGAIN || errno == EINTR);
  }
  ssize_t done = 0;
  while (done < got) {
    const ssize_t put = write(to, buffer + done, static_cast<std::size_t>(got - done));
    if (put < 0) {
      if (errno == EINTR || errno == EAGAIN) {
        continue;
      }
      return false;
    }
    done += put;
  }
  return true;
}

// The slave ends stay open in this process for its whole life, so a master end
// never reports a hang-up when a client closes and reopens its side. A relay
// that fails stops the server: without it nothing can reach libmodbus.
void Relay(int a, int b) {
  pollfd fds[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
  while (!stopRequested.load()) {
    const int ready = poll(fds, 2, 100);
    if (ready < 0 && errno != EINTR) {
      std::perror("poll");
      break;
    }
    if (ready <= 0) {
      continue;
    }
    if (((fds[0].revents & POLLIN) != 0 && !CopyAvailable(a, b)) ||
        ((fds[1].revents & POLLIN) != 0 && !CopyAvailable(b, a))) {
      std::perror("relay");
      break;
    }
  }
  if (!stopRequested.load()) {
    relayFailed.store(true);
    stopRequested.store(true);
  }
}

constexpr int kRegisterCount = 0x0321;

void SetInitialValues(modbus_mapping_t& map) {
  uint16_t* r = map.tab_registers;
  r[0x0000] = 12345;  // live value, raw
  // Non-zero where the ratio writes must put their second register's 0.
  r[0x0001] = 0xAAAA;
  r[0x0005] = 0x5555;
  r[0x0006] = 2;      // decimal point
  r[0x0016] = 0x0100;  // relay output on, switch input open
  // Meter clock 2006-12-15 10:30:45, binary bytes: minute/second, day/hour,
  // year - 2000/month.
  r[0x0110] = (30 << 8) | 45;
  r[0x0111] = (15 << 8) | 10;
  r[0x0112] = (6 << 8) | 12;
  r[0x0300] = 1;     // device address
  r[0x0302] = 5000;  // upper threshold
  r[0x0304] = 100;   // lower threshold
  r[0x0308] = 3;     // BaudIndex of 9600
}

struct Options {
  int slave = 1;
  int baud = 9600;
  char parity = 'N';
  bool debug = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--slave" && hasValue) {
      options.slave = std::atoi(argv[++i]);
    } else if (arg == "--baud" && hasValue) {
      options.baud = std::atoi(argv[++i]);
    } else if (arg == "--parity" && hasValue) {
      options.parity = argv[++i][0];
    } else if (arg == "--debug") {
      options.debug = true;
    } else {
      return false;
    }
  }
  return options.slave >= 0 && options.slave <= 247 && options.baud > 0 &&
         (options.parity == 'N' || options.parity == 'E' || options.parity == 'O');
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s [--slave N] [--baud N] [--parity N|E|O] [--debug]\n"
                 "Prints the client's device path, then serves until SIGTERM.\n",
                 argv[0]);
    return 2;
  }

  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTERM, &stop, nullptr);
  sigaction(SIGINT, &stop, nullptr);

  PtyPair server;
  PtyPair client;
  if (!OpenRawPty(server) || !OpenRawPty(client)) {
    return 1;
  }

  modbus_t* ctx = modbus_new_rtu(server.path.c_str(), options.baud, options.parity, 8, 2);
  if (ctx == nullptr) {
    std::fprintf(stderr, "modbus_new_rtu: %s\n", modbus_strerror(errno));
    return 1;
  }
  modbus_set_slave(ctx, options.slave);
  // Without an indication timeout modbus_receive waits for ever and a stop
  // signal would not be noticed.
  modbus_set_indication_timeout(ctx, 0, 100000);
  if (modbus_connect(ctx) != 0) {
    std::fprintf(stderr, "modbus_connect %s: %s\n", server.path.c_str(), modbus_strerror(errno));
    modbus_free(ctx);
    return 1;
  }

  modbus_mapping_t* map = modbus_mapping_new(0, 0, kRegisterCount, 0);
  if (map == nullptr) {
    std::fprintf(stderr, "modbus_mapping_new: %s\n", modbus_strerror(errno));
    modbus_close(ctx);
    modbus_free(ctx);
    return 1;
  }
  SetInitialValues(*map);

  std::thread relay(Relay, server.master, client.master);

  std::printf("%s\n", client.path.c_str());
  std::fflush(stdout);
  // libmodbus writes its trace to stdout: only after the path line.
  modbus_set_debug(ctx, options.debug ? 1 : 0);

  uint8_t request[MODBUS_RTU_MAX_ADU_LENGTH];
  while (!stopRequested.load()) {
    const int length = modbus_receive(ctx, request);
    if (length > 0) {
      modbus_reply(ctx, request, length, map);
    }
    // Otherwise a timeout, a frame for another slave, or a bad CRC: libmodbus
    // stays silent, as a meter would.
  }

  stopRequested.store(true);
  relay.join();
  modbus_mapping_free(map);
  modbus_close(ctx);
  modbus_free(ctx);
  for (const PtyPair* pty : {&server, &client}) {
    close(pty->master);
    close(pty->slave);
  }
  return relayFailed.load() ? 1 : 0;
}
