#pragma once

#include <QObject>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <utility>

#include "console/link_worker.h"
#include "link/link_settings.h"
#include "link/port_devices.h"
#include "link/transaction.h"
#include "meter/measurement_poll.h"

namespace zt {

struct LinkChange;
struct PollOutcome;

// The console's link as its window asks for it: the worker with the port,
// the measurement poll, the link settings and the devices of the port
// numbers, and the rules of the line. One exchange is on the line at a time;
// the others wait in the order asked. A poll tick that falls due while the
// line is busy waits too, but one at most, and only after the commands that
// wait. The window is told what changed through its `Events`; it never sees
// the worker's thread.
class ConsoleLink final : public QObject {
 public:
  // Each on the window's thread.
  struct Events {
    // A command's exchanges started waiting or ended.
    std::function<void()> commandsChanged;
    // The port's state may have changed: after a job, or when the idle check
    // found its device lost or back.
    std::function<void()> lineChanged;
    // The verdicts of a job's exchanges, just before its result is handed on.
    std::function<void(const ExchangeVerdicts&)> exchangesJudged;
    // A job's result has been handed on.
    std::function<void()> exchangeEnded;
    // The line is free again and a poll tick waited for it.
    std::function<void()> pendingTickDue;
  };

  ConsoleLink(std::unique_ptr<LinkWorker> worker, const LinkSettings& settings);
  // The exchange on the line finishes and the port closes before the poll it
  // may be using goes.
  ~ConsoleLink() override;

  ConsoleLink(const ConsoleLink&) = delete;
  ConsoleLink& operator=(const ConsoleLink&) = delete;

  // From now on the window hears of the link; the idle check watches the
  // port's device.
  void SetEvents(Events events);

  // Runs `job` on the link once the line is free and nothing asked before it
  // waits, then `done` with its result. A command (not a poll) counts as busy
  // from now until its result is handed on.
  template <typename Result>
  void Exchange(bool command, std::function<Result(LinkContext&)> job,
                std::function<void(Result)> done);

  // A poll tick fell due: true when it may start now; otherwise it waits for
  // the line, as the one pending tick.
  bool TakeTick();
  bool TickPending() const { return pendingTick_; }

  // Opens the port of the settings on its device.
  void Open(std::function<void(OpenResult)> done);
  // One tick of the measurement poll.
  void Poll(int32_t decimalPoint, std::function<void(PollOutcome)> done);
  // Moves the link to `chosen`, as one command.
  // `found`: the meter a search found, whose line the link takes first.
  void Change(const LinkSettings& chosen, bool tellMeter, const std::optional<LinkSettings>& found,
              std::function<void(LinkChange)> done);
  // Sets the poll's counts, the failures by cause and the latency to zero
  // on the link, once the line is free.
  void ResetCounters(std::function<void()> done);
  // Drops what the line holds, as one command.
  void DiscardInput(std::function<void()> done);
  // "停止运行": the pending tick is dropped and a poll on the line sends no
  // further request.
  void StopPoll();
  // The window goes: nothing waiting runs, nothing new is taken, and the
  // port closes behind the exchange on the line, if any.
  void Shut();

  const LinkSettings& Settings() const { return settings_; }
  void SetSettings(const LinkSettings& settings) { settings_ = settings; }
  const PortDevices& Devices() const { return devices_; }
  // The line guard's limit, taken by the link before its next exchange.
  void SetGuardLimit(std::chrono::milliseconds limit);
  std::chrono::milliseconds GuardLimit() const { return guardLimit_; }
  void SetDevices(const PortDevices& devices) { devices_ = devices; }

  // A command's exchanges are on the line or waiting for the line.
  bool IsBusy() const { return commandsInFlight_ > 0; }
  bool PortOpen() const { return portOpen_; }
  // What opening the port answered, ahead of the worker's own note.
  void NotePortOpen(bool open) { portOpen_ = open; }
  bool DeviceLost() const { return deviceLost_; }
  bool LineEchoes() const { return worker_->LineEchoes(); }

  LinkWorker& Worker() { return *worker_; }
  MeasurementPoll& MeasurementPoller() { return *poll_; }

 private:
  void AfterExchange();
  void NoteLine();
  static void Tell(const std::function<void()>& event) {
    if (event) {
      event();
    }
  }

  std::unique_ptr<LinkWorker> worker_;
  // Runs on the link with the worker's session.
  std::unique_ptr<MeasurementPoll> poll_;
  LinkSettings settings_;
  PortDevices devices_;
  std::chrono::milliseconds guardLimit_ = Transaction::kDefaultGuardLimit;
  Events events_;
  bool shut_ = false;
  // A poll tick fell due while the line was busy: it runs when the line is
  // free. Ticks never pile up beyond this one.
  bool pendingTick_ = false;
  // Exchanges waiting for the line, in order.
  std::deque<std::function<void()>> waiting_;
  int commandsInFlight_ = 0;
  bool portOpen_ = false;
  // The port's device went away and is not back yet.
  bool deviceLost_ = false;
};

template <typename Result>
void ConsoleLink::Exchange(bool command, std::function<Result(LinkContext&)> job,
                           std::function<void(Result)> done) {
  if (shut_) {
    return;
  }
  if (command) {
    ++commandsInFlight_;
    Tell(events_.commandsChanged);
  }
  if (worker_->Busy()) {
    waiting_.push_back([this, command, job = std::move(job), done = std::move(done)]() mutable {
      if (command) {
        --commandsInFlight_;
      }
      Exchange<Result>(command, std::move(job), std::move(done));
    });
    return;
  }
  // A stop asked of the poll before is not this command's: a search after
  // "停止运行" would end before its first try.
  if (command) {
    worker_->ClearStop();
  }
  struct Judged {
    Result result;
    ExchangeVerdicts verdicts;
  };
  LinkWorker* worker = worker_.get();
  const auto judgedJob = [worker, job = std::move(job)](LinkContext& link) {
    worker->TakeVerdicts();
    Result result = job(link);
    return Judged{std::move(result), worker->TakeVerdicts()};
  };
  worker_->Run<Judged>(this, judgedJob, [this, command, done = std::move(done)](Judged judged) {
    if (command) {
      --commandsInFlight_;
      Tell(events_.commandsChanged);
    }
    NoteLine();
    if (events_.exchangesJudged && !judged.verdicts.empty()) {
      events_.exchangesJudged(judged.verdicts);
    }
    done(std::move(judged.result));
    Tell(events_.exchangeEnded);
    AfterExchange();
  });
}

}  // namespace zt
