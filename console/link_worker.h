#pragma once

#include <QObject>
#include <QPointer>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "link/clock.h"
#include "link/exchange_statistics.h"
#include "link/frame_trace.h"
#include "link/link_settings.h"
#include "link/reconnecting_port.h"
#include "link/serial_port.h"
#include "link/transaction.h"
#include "meter/meter_session.h"

class QThread;
class QTimer;

namespace zt {

// What a job on the link may use. Everything here belongs to the worker's
// thread while the job runs.
struct LinkContext {
  SerialPort& port;
  Clock& clock;
  Transaction& transaction;
  MeterSession& session;
  // The settings the session builds its requests with.
  LinkSettings& settings;
  // Set by the window's stop: a job of several exchanges sends no further
  // request once it is set; the exchange on the line finishes.
  const std::atomic<bool>& stop;
};

// Each exchange of a job, in order: empty for one that found its reply, else
// why none was found.
using ExchangeVerdicts = std::vector<std::optional<FailureDiagnosis>>;

// What the windows that watch the line are shown: a copy taken on the link's
// thread between two jobs.
struct LinkSnapshot {
  ExchangeSummary exchanges;
  // The frames kept after the sequence number asked for, oldest first.
  std::vector<FrameRecord> frames;
  // Where the frames' times count from.
  std::chrono::microseconds origin{0};
};

// The port, the transaction and the session, on a thread of their own so
// that the window never waits on the line. The window hands it one job at a
// time and gets the job's result back on its own thread, as a queued call.
//
// Built on a port and a clock, the worker runs each job at once on the
// caller's thread instead: tests drive it on a simulated port and a virtual
// clock, exchange by exchange, as before.
//
// A port whose device goes away is reopened at the same path once the device
// is back: each exchange looks first, and between jobs an idle check does so
// once a second on the worker's thread (in tests, whenever the test calls
// CheckDevice).
class LinkWorker {
 public:
  using PortFactory = std::function<std::unique_ptr<SerialPort>()>;

  // Jobs run at once, on the caller's thread.
  LinkWorker(SerialPort& port, Clock& clock, const LinkSettings& settings);
  // Jobs run on the worker's own thread, where `makePort` creates the port.
  LinkWorker(PortFactory makePort, Clock& clock, const LinkSettings& settings);
  // Jobs run on the worker's own thread, on `port`, which must belong to no
  // thread (a simulated port): from now on only the worker uses it.
  struct OwnThread {};
  static constexpr OwnThread kOwnThread{};
  LinkWorker(SerialPort& port, Clock& clock, const LinkSettings& settings, OwnThread);
  // Lets the job on the line finish, closes the port, then ends the thread.
  ~LinkWorker();

  LinkWorker(const LinkWorker&) = delete;
  LinkWorker& operator=(const LinkWorker&) = delete;

  // Runs `job` on the link, then `done` with its result on the thread of
  // `receiver`, unless `receiver` is gone by then. One job at a time: the
  // caller waits for `done` before it runs the next.
  template <typename Result>
  void Run(QObject* receiver, std::function<Result(LinkContext&)> job,
           std::function<void(Result)> done);

  // The last frames on the line a monitor can show.
  static constexpr std::size_t kJournalFrames = 1000;

  // Copies the link's statistics and, when `framesAfter` is given, the frames
  // kept after that sequence number, on the link's thread once the job on
  // the line (if any) has ended; then runs `done` with the copy on the
  // thread of `receiver`, unless it is gone. Unlike Run, it may be asked
  // while a job runs, and does not make the worker busy.
  void Snapshot(QObject* receiver, std::optional<int64_t> framesAfter,
                std::function<void(LinkSnapshot)> done);

  // The verdicts of the exchanges made since the last call, which are gone
  // afterwards. On the link's thread, as part of a job.
  ExchangeVerdicts TakeVerdicts() { return std::exchange(verdicts_, {}); }

  // The session jobs run with, for objects that jobs use on the link.
  MeterSession& Session() { return *session_; }

  bool Busy() const { return busy_; }
  bool Threaded() const { return thread_ != nullptr; }
  // The port was open when the latest job ended.
  bool PortOpen() const { return portOpen_; }
  // The latest job found that the line echoes what is sent.
  bool LineEchoes() const { return lineEchoes_; }
  // The port's device went away after it was opened and is not back yet.
  bool DeviceLost() const { return deviceLost_; }

  // Runs `changed` on the thread of `receiver` whenever an idle check finds
  // the device lost or back; from then on the checks run once a second.
  void WatchDevice(QObject* receiver, std::function<void()> changed);
  // The idle check: notices a lost device, reopens it when it is due. Runs
  // on the worker's thread, after the job on the line if any.
  void CheckDevice();

  void RequestStop() { stop_ = true; }
  void ClearStop() { stop_ = false; }
  // Closes the port once the job on the line, if any, has ended.
  void ClosePort();

 private:
  void StartThread();
  // Wraps `device` so that it comes back, and builds the link on it.
  void BuildLink(SerialPort& device);
  // What the window may ask about the line once a job has ended: a device
  // that went away during the job is noticed at once.
  void NoteLine() {
    reconnecting_->Revive();
    portOpen_ = port_->IsOpen();
    deviceLost_ = reconnecting_->Lost();
    lineEchoes_ = transaction_->LineEchoes().value_or(false);
  }
  void ReviveOnThread();
  void Post(std::function<void()> work);
  void Deliver(QObject* receiver, std::function<void()> result);
  LinkContext Context();
  LinkSnapshot TakeSnapshot(std::optional<int64_t> framesAfter) const;

  std::unique_ptr<SerialPort> ownedPort_;
  std::unique_ptr<ReconnectingPort> reconnecting_;
  SerialPort* port_ = nullptr;
  Clock& clock_;
  LinkSettings settings_;
  std::unique_ptr<Transaction> transaction_;
  std::unique_ptr<MeterSession> session_;
  // Every frame of the link, written and read on the link's thread only.
  FrameJournal journal_{kJournalFrames};
  ExchangeVerdicts verdicts_;
  std::atomic<bool> stop_ = false;
  std::atomic<bool> portOpen_ = false;
  std::atomic<bool> lineEchoes_ = false;
  std::atomic<bool> deviceLost_ = false;
  // Set before the checks start; used on the worker's thread.
  QPointer<QObject> deviceWatcher_;
  std::function<void()> deviceChanged_;
  bool busy_ = false;  // the window's thread only

  QThread* thread_ = nullptr;
  // Lives on the worker's thread: queued calls to it run there.
  std::unique_ptr<QObject> home_;
  // The once-a-second idle check, on the worker's thread.
  std::unique_ptr<QTimer> reviveTimer_;
};

template <typename Result>
void LinkWorker::Run(QObject* receiver, std::function<Result(LinkContext&)> job,
                     std::function<void(Result)> done) {
  busy_ = true;
  if (!Threaded()) {
    LinkContext context = Context();
    Result result = job(context);
    NoteLine();
    busy_ = false;
    done(std::move(result));
    return;
  }
  QPointer<QObject> target(receiver);
  Post([this, target, job = std::move(job), done = std::move(done)]() mutable {
    LinkContext context = Context();
    auto result = std::make_shared<Result>(job(context));
    NoteLine();
    Deliver(target, [this, result, done = std::move(done)] {
      busy_ = false;
      done(std::move(*result));
    });
  });
}

}  // namespace zt
