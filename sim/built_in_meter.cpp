#include "sim/built_in_meter.h"

#include <csignal>
#include <sstream>
#include <thread>

#include <pthread.h>

#include "sim/line_server.h"
#include "sim/meter_model.h"
#include "sim/meter_responder.h"

namespace zt::sim {

namespace {

// The server thread waits for input with only this signal unblocked; its
// handler runs on that thread, so the stop flag never crosses threads.
constexpr int kWakeSignal = SIGUSR1;
thread_local volatile std::sig_atomic_t t_stop = 0;

void RequestStop(int) { t_stop = 1; }

}  // namespace

struct BuiltInMeter::Server {
  explicit Server(const SimOptions& chosen) : options(chosen) {}

  SimOptions options;
  MeterModel meter;
  MeterResponder responder{meter};
  std::ostringstream log;
  LineServer line{options, responder, log};
  std::thread thread;
};

BuiltInMeter::BuiltInMeter(SimOptions options) : options_(std::move(options)) {}

BuiltInMeter::~BuiltInMeter() {
  if (server_ && server_->thread.joinable()) {
    pthread_kill(server_->thread.native_handle(), kWakeSignal);
    server_->thread.join();
  }
}

std::optional<std::string> BuiltInMeter::Start(std::string& error) {
  server_ = std::make_unique<Server>(options_);
  ApplyOptions(server_->options, server_->meter);
  server_->responder.SetLatency(server_->options.latency);
  server_->responder.SetFaults(server_->options.faults);
  if (const std::optional<std::string> failure = server_->line.Open()) {
    error = *failure;
    server_.reset();
    return std::nullopt;
  }

  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(kWakeSignal, &action, nullptr);

  // The thread starts with the wake signal blocked and unblocks it only
  // while it waits for input.
  sigset_t wake;
  sigemptyset(&wake);
  sigaddset(&wake, kWakeSignal);
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &wake, &previous);
  server_->thread = std::thread([server = server_.get(), waitMask = previous] {
    sigset_t mask = waitMask;
    sigdelset(&mask, kWakeSignal);
    server->line.Run(mask, t_stop);
  });
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return server_->line.DevicePath();
}

}  // namespace zt::sim
