// A plain libmodbus RTU master, the yardstick for zt6100ctl --fast: it reads
// one register over and over, flushing the line before each request and
// leaving it silent for 3.5 character times after each reply, as zt6100ctl
// does. Prints the reads per second and the CPU time per read.
//
// usage: zt-libmodbus-loop DEVICE BAUD COUNT
#include <modbus.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s DEVICE BAUD COUNT\n", argv[0]);
    return 2;
  }
  const int baud = std::atoi(argv[2]);
  const int count = std::atoi(argv[3]);
  modbus_t* ctx = modbus_new_rtu(argv[1], baud, 'N', 8, 2);
  if (ctx == nullptr || modbus_set_slave(ctx, 1) != 0 || modbus_connect(ctx) != 0) {
    std::fprintf(stderr, "cannot open %s: %s\n", argv[1], modbus_strerror(errno));
    return 1;
  }
  modbus_set_response_timeout(ctx, 0, 600'000);
  // 3.5 characters of 11 bits (8N2), rounded up to whole microseconds.
  const auto silence = std::chrono::microseconds((35 * 11 * 1'000'000 / 10 + baud - 1) / baud);

  const double cpuStart = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  int answered = 0;
  for (int i = 0; i < count; ++i) {
    modbus_flush(ctx);
    uint16_t value = 0;
    if (modbus_read_registers(ctx, 0x0302, 1, &value) == 1) {
      ++answered;
    }
    std::this_thread::sleep_until(std::chrono::steady_clock::now() + silence);
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  const double cpu = CpuSeconds() - cpuStart;
  std::printf("reads %d answered %d seconds %.4f reads_per_s %.2f cpu_us_per_read %.1f\n", count,
              answered, elapsed.count(), answered / elapsed.count(), cpu * 1e6 / count);
  modbus_close(ctx);
  modbus_free(ctx);
  return answered == count ? 0 : 1;
}
