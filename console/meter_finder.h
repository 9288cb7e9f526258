#pragma once

#include <QObject>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "console/link_worker.h"
#include "console/receiver_calls.h"
#include "link/serial_port.h"
#include "meter/meter_scan.h"

namespace zt {

class ConsoleLink;

// Where and what to look for: the port number, the device it stands for
// (empty: the port's own for that number), and the plan of tries.
struct FindRequest {
  int16_t port = 1;
  std::string device;
  ScanPlan plan;
};

// How a search ended: the port could not be opened, or the scan's outcome.
struct FindReport {
  std::optional<OpenResult> openFailure;
  ScanOutcome outcome;
};

// Looks for meters on the link without holding up the window: progress and
// the report come back on the window's thread. One search at a time; Cancel
// ends it before its next try, within one try's wait.
class MeterFinder : public CancellableRuns {
 public:
  using Progress = std::function<void(const ScanProgress&)>;
  using Done = std::function<void(const FindReport&)>;

  virtual ~MeterFinder() = default;

  // `progress` before each try, then `done`, both on the thread of
  // `receiver` and only while it exists.
  virtual void Start(QObject* receiver, const FindRequest& request, Progress progress,
                     Done done) = 0;
};

// The search as one job on the link: opens the request's port and device,
// scans, closes the port. Ends early when `cancel` or the link's own stop is
// set. `progress` runs on the link's thread.
FindReport RunFindJob(LinkContext& link, const FindRequest& request,
                      const std::atomic<bool>& cancel, const MeterFinder::Progress& progress);

// A finder on a link worker of its own, before the console exists: the
// settings dialog at start-up. `makeWorker` makes it at the first search.
class WorkerMeterFinder final : public MeterFinder {
 public:
  using WorkerMaker = std::function<std::unique_ptr<LinkWorker>()>;

  explicit WorkerMeterFinder(WorkerMaker makeWorker) : makeWorker_(std::move(makeWorker)) {}
  // A search under way ends at its next try, then the worker closes its port.
  ~WorkerMeterFinder() override;

  void Start(QObject* receiver, const FindRequest& request, Progress progress,
             Done done) override;

 private:
  WorkerMaker makeWorker_;
  std::unique_ptr<LinkWorker> worker_;
};

// The settings dialog's search, run as a command of the console's link, so
// that it waits for the exchange on the line and the commands after it wait
// for it; afterwards the port is the console's own again.
class ConsoleMeterFinder final : public MeterFinder {
 public:
  explicit ConsoleMeterFinder(ConsoleLink& link) : link_(link) {}

  void Start(QObject* receiver, const FindRequest& request, Progress progress,
             Done done) override;

 private:
  ConsoleLink& link_;
};

}  // namespace zt
