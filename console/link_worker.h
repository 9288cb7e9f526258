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

#include "console/link_executor.h"
#include "link/clock.h"
#include "link/exchange_statistics.h"
#include "link/frame_trace.h"
#include "link/link_settings.h"
#include "link/serial_port.h"
#include "link/transaction.h"
#include "meter/meter_line.h"
#include "meter/meter_session.h"

namespace zt {

// What a job on the link may use. Everything here belongs to the worker's
// thread while the job runs.
struct LinkContext {
  // The line the rest are parts of: a job opens and reopens it through it.
  MeterLine& line;
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

// The line to the meter behind one job at a time. The window hands it a job
// and gets the job's result back on its own thread; where the jobs run is the
// executor's choice: a thread of its own, so that the window never waits on
// the line, or at once on the caller's thread, so that tests drive it on a
// simulated port and a virtual clock, exchange by exchange.
//
// A port whose device goes away is reopened at the same path once the device
// is back: each exchange looks first, and between jobs an idle check does so
// once a second on the link (in tests, whenever the test calls CheckDevice).
class LinkWorker {
 public:
  using PortFactory = std::function<std::unique_ptr<SerialPort>()>;

  // Jobs run on `executor`, on `port`, which from now on only the link uses.
  LinkWorker(SerialPort& port, Clock& clock, const LinkSettings& settings,
             std::unique_ptr<LinkExecutor> executor);
  // Jobs run at once, on the caller's thread.
  LinkWorker(SerialPort& port, Clock& clock, const LinkSettings& settings);
  // Jobs run on the worker's own thread, where `makePort` creates the port.
  LinkWorker(PortFactory makePort, Clock& clock, const LinkSettings& settings);
  // Jobs run on the worker's own thread, on `port`, which must belong to no
  // thread (a simulated port).
  struct OwnThread {};
  static constexpr OwnThread kOwnThread{};
  LinkWorker(SerialPort& port, Clock& clock, const LinkSettings& settings, OwnThread);
  // Lets the job on the line finish, then closes the port.
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
  // kept after that sequence number, on the link once the job on the line (if
  // any) has ended; then runs `done` with the copy on the thread of
  // `receiver`, unless it is gone. Unlike Run, it may be asked while a job
  // runs, and does not make the worker busy.
  void Snapshot(QObject* receiver, std::optional<int64_t> framesAfter,
                std::function<void(LinkSnapshot)> done);

  // The verdicts of the exchanges made since the last call, which are gone
  // afterwards. On the link, as part of a job.
  ExchangeVerdicts TakeVerdicts() { return std::exchange(verdicts_, {}); }

  // The session jobs run with, for objects that jobs use on the link.
  MeterSession& Session() { return line_->Session(); }

  bool Busy() const { return busy_; }
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
  // on the link, after the job on the line if any.
  void CheckDevice();

  void RequestStop() { stop_ = true; }
  void ClearStop() { stop_ = false; }
  // Closes the port once the job on the line, if any, has ended.
  void ClosePort();

 private:
  LinkWorker(Clock& clock, std::unique_ptr<LinkExecutor> executor);
  // Builds the line on `device` and watches its frames.
  void BuildLine(SerialPort& device, const LinkSettings& settings);
  // What the window may ask about the line once a job has ended: a device
  // that went away during the job is noticed at once.
  void NoteLine();
  void Revive();
  LinkContext Context();
  LinkSnapshot TakeSnapshot(std::optional<int64_t> framesAfter) const;

  Clock& clock_;
  std::unique_ptr<LinkExecutor> executor_;
  std::unique_ptr<SerialPort> ownedPort_;
  std::unique_ptr<MeterLine> line_;
  // Every frame of the link, written and read on the link only.
  FrameJournal journal_{kJournalFrames};
  ExchangeVerdicts verdicts_;
  std::atomic<bool> stop_ = false;
  std::atomic<bool> portOpen_ = false;
  std::atomic<bool> lineEchoes_ = false;
  std::atomic<bool> deviceLost_ = false;
  // Set before the checks start; used on the link.
  QPointer<QObject> deviceWatcher_;
  std::function<void()> deviceChanged_;
  bool busy_ = false;  // the window's thread only
};

template <typename Result>
void LinkWorker::Run(QObject* receiver, std::function<Result(LinkContext&)> job,
                     std::function<void(Result)> done) {
  busy_ = true;
  executor_->Post([this, target = QPointer<QObject>(receiver), job = std::move(job),
                   done = std::move(done)]() mutable {
    LinkContext context = Context();
    auto result = std::make_shared<Result>(job(context));
    NoteLine();
    executor_->Deliver(target, [this, result, done = std::move(done)] {
      busy_ = false;
      done(std::move(*result));
    });
  });
}

}  // namespace zt
