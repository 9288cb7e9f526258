#include "console/link_worker.h"

namespace zt {

LinkWorker::LinkWorker(Clock& clock, std::unique_ptr<LinkExecutor> executor)
    : clock_(clock), executor_(std::move(executor)) {}

LinkWorker::LinkWorker(SerialPort& port, Clock& clock, const LinkSettings& settings,
                       std::unique_ptr<LinkExecutor> executor)
    : LinkWorker(clock, std::move(executor)) {
  // Built before any work runs on the link: nothing there uses it yet.
  BuildLine(port, settings);
}

LinkWorker::LinkWorker(SerialPort& port, Clock& clock, const LinkSettings& settings)
    : LinkWorker(port, clock, settings, std::make_unique<ImmediateExecutor>()) {}

LinkWorker::LinkWorker(SerialPort& port, Clock& clock, const LinkSettings& settings, OwnThread)
    : LinkWorker(port, clock, settings, std::make_unique<LinkThread>()) {}

LinkWorker::LinkWorker(PortFactory makePort, Clock& clock, const LinkSettings& settings)
    : LinkWorker(clock, std::make_unique<LinkThread>()) {
  // The port's notifiers belong to the thread that creates it.
  executor_->Call([this, &makePort, &settings] {
    ownedPort_ = makePort();
    BuildLine(*ownedPort_, settings);
  });
}

LinkWorker::~LinkWorker() {
  // The job on the line, if any, ends whole; then the port closes, unless
  // the window closed it already.
  stop_ = true;
  executor_->Finish([this] {
    if (line_->Port().IsOpen()) {
      line_->Port().Close();
    }
    line_.reset();
    ownedPort_.reset();
  });
}

void LinkWorker::BuildLine(SerialPort& device, const LinkSettings& settings) {
  line_ = std::make_unique<MeterLine>(device, clock_, settings);
  Transaction& transaction = line_->Transaction();
  transaction.SetFrameObserver([this, &transaction](const FrameRecord& record) {
    // The transaction has judged the exchange by the time it shows what the
    // wait received.
    if (record.direction == FrameDirection::Received) {
      verdicts_.push_back(transaction.LastFailure());
    }
    journal_.Append(record);
  });
}

void LinkWorker::NoteLine() {
  line_->Port().Revive();
  portOpen_ = line_->Port().IsOpen();
  deviceLost_ = line_->Port().Lost();
  lineEchoes_ = line_->Transaction().LineEchoes().value_or(false);
}

void LinkWorker::ClosePort() {
  executor_->Post([this] {
    line_->Port().Close();
    portOpen_ = false;
    deviceLost_ = false;
  });
}

void LinkWorker::WatchDevice(QObject* receiver, std::function<void()> changed) {
  executor_->Post(
      [this, target = QPointer<QObject>(receiver), changed = std::move(changed)]() mutable {
        deviceWatcher_ = target;
        deviceChanged_ = std::move(changed);
      });
  executor_->Every(std::chrono::milliseconds(ReconnectingPort::kRetryPeriodMs),
                   [this] { Revive(); });
}

void LinkWorker::CheckDevice() {
  executor_->Post([this] { Revive(); });
}

void LinkWorker::Revive() {
  const bool wasLost = deviceLost_;
  NoteLine();
  if (deviceLost_ != wasLost && deviceChanged_) {
    executor_->Deliver(deviceWatcher_, deviceChanged_);
  }
}

void LinkWorker::Snapshot(QObject* receiver, std::optional<int64_t> framesAfter,
                          std::function<void(LinkSnapshot)> done) {
  executor_->Post([this, target = QPointer<QObject>(receiver), framesAfter,
                   done = std::move(done)] {
    auto snapshot = std::make_shared<LinkSnapshot>(TakeSnapshot(framesAfter));
    executor_->Deliver(target, [snapshot, done] { done(std::move(*snapshot)); });
  });
}

LinkSnapshot LinkWorker::TakeSnapshot(std::optional<int64_t> framesAfter) const {
  const Transaction& transaction = std::as_const(*line_).Transaction();
  LinkSnapshot snapshot;
  snapshot.exchanges = ExchangeSummary::Of(transaction.Statistics());
  if (framesAfter) {
    snapshot.frames = journal_.Since(*framesAfter);
  }
  snapshot.origin = transaction.CreatedAt();
  return snapshot;
}

LinkContext LinkWorker::Context() {
  return {*line_,
          line_->Port(),
          clock_,
          line_->Transaction(),
          line_->Session(),
          line_->Settings(),
          stop_};
}

}  // namespace zt
