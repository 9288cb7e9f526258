#include "console/meter_finder.h"

#include "console/console_link.h"
#include "console/link_jobs.h"

namespace zt {

FindReport RunFindJob(LinkContext& link, const FindRequest& request,
                      const std::atomic<bool>& cancel, const MeterFinder::Progress& progress) {
  FindReport report;
  link.port.Close();
  if (!request.device.empty()) {
    link.port.SetPortDevice(request.port, request.device);
  }
  link.port.SelectPort(request.port);
  const OpenResult opened = link.port.Open();
  if (!opened) {
    report.openFailure = opened;
    return report;
  }
  ScanCallbacks callbacks;
  callbacks.stopRequested = [&cancel, &link] { return cancel.load() || link.stop.load(); };
  callbacks.progress = progress;
  report.outcome = ScanForMeters(link.port, link.clock, request.plan, callbacks);
  link.port.Close();
  return report;
}

WorkerMeterFinder::~WorkerMeterFinder() {
  Cancel();
  worker_.reset();
}

void WorkerMeterFinder::Start(QObject* receiver, const FindRequest& request, Progress progress,
                              Done done) {
  if (!worker_) {
    worker_ = makeWorker_();
  }
  const std::shared_ptr<std::atomic<bool>> cancel = NewCancelFlag();
  worker_->Run<FindReport>(
      receiver,
      [request, cancel,
       progress = OnReceiverThread<ScanProgress>(receiver, std::move(progress))](LinkContext& link) {
        return RunFindJob(link, request, *cancel, progress);
      },
      std::move(done));
}

void ConsoleMeterFinder::Start(QObject* receiver, const FindRequest& request, Progress progress,
                               Done done) {
  link_.Exchange<FindReport>(
      true,
      [request, cancel = NewCancelFlag(),
       progress = OnReceiverThread<ScanProgress>(receiver, std::move(progress)),
       devices = link_.Devices()](LinkContext& link) {
        return FindThenRestoreJob(link, request, *cancel, progress, devices);
      },
      WhileReceiverExists<FindReport>(receiver, std::move(done)));
}

}  // namespace zt
