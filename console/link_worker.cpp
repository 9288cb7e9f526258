#include "console/link_worker.h"

#include <QThread>
#include <QTimer>

namespace zt {

LinkWorker::LinkWorker(SerialPort& port, Clock& clock, const LinkSettings& settings)
    : clock_(clock), settings_(settings) {
  BuildLink(port);
}

LinkWorker::LinkWorker(PortFactory makePort, Clock& clock, const LinkSettings& settings)
    : clock_(clock), settings_(settings) {
  StartThread();
  // The port's notifiers belong to the thread that creates it.
  QMetaObject::invokeMethod(
      home_.get(),
      [this, makePort = std::move(makePort)] {
        ownedPort_ = makePort();
        BuildLink(*ownedPort_);
      },
      Qt::BlockingQueuedConnection);
}

LinkWorker::LinkWorker(SerialPort& port, Clock& clock, const LinkSettings& settings, OwnThread)
    : clock_(clock), settings_(settings) {
  BuildLink(port);
  StartThread();
}

void LinkWorker::BuildLink(SerialPort& device) {
  reconnecting_ = std::make_unique<ReconnectingPort>(
      device, clock_, [this](ReconnectingPort::Change change) {
        if (change == ReconnectingPort::Change::kBack) {
          // Perhaps another adapter at the same path: whether it echoes is
          // found out anew.
          transaction_->ForgetLine();
        }
      });
  port_ = reconnecting_.get();
  transaction_ = std::make_unique<Transaction>(*port_, clock_);
  transaction_->SetFrameObserver([this](const FrameRecord& record) {
    // The transaction has judged the exchange by the time it shows what the
    // wait received.
    if (record.direction == FrameDirection::Received) {
      verdicts_.push_back(transaction_->LastFailure());
    }
    journal_.Append(record);
  });
  session_ = std::make_unique<MeterSession>(*transaction_, settings_);
}

void LinkWorker::StartThread() {
  thread_ = new QThread;
  home_ = std::make_unique<QObject>();
  thread_->setObjectName(QStringLiteral("link"));
  home_->moveToThread(thread_);
  thread_->start();
}

LinkWorker::~LinkWorker() {
  if (!Threaded()) {
    return;
  }
  // Queued behind the job on the line, if any: that job ends whole, then the
  // port closes, then the thread.
  stop_ = true;
  Post([this] {
    reviveTimer_.reset();
    port_->Close();
    session_.reset();
    transaction_.reset();
    reconnecting_.reset();
    ownedPort_.reset();
    QThread::currentThread()->quit();
  });
  thread_->wait();
  home_.reset();
  delete thread_;
}

void LinkWorker::ClosePort() {
  if (!Threaded()) {
    port_->Close();
    portOpen_ = false;
    deviceLost_ = false;
    return;
  }
  Post([this] {
    port_->Close();
    portOpen_ = false;
    deviceLost_ = false;
  });
}

void LinkWorker::WatchDevice(QObject* receiver, std::function<void()> changed) {
  if (!Threaded()) {
    deviceWatcher_ = receiver;
    deviceChanged_ = std::move(changed);
    return;
  }
  Post([this, target = QPointer<QObject>(receiver), changed = std::move(changed)]() mutable {
    deviceWatcher_ = target;
    deviceChanged_ = std::move(changed);
    reviveTimer_ = std::make_unique<QTimer>();
    reviveTimer_->setInterval(static_cast<int>(ReconnectingPort::kRetryPeriodMs));
    QObject::connect(reviveTimer_.get(), &QTimer::timeout, [this] { ReviveOnThread(); });
    reviveTimer_->start();
  });
}

void LinkWorker::CheckDevice() {
  if (!Threaded()) {
    ReviveOnThread();
    return;
  }
  Post([this] { ReviveOnThread(); });
}

void LinkWorker::ReviveOnThread() {
  const bool wasLost = deviceLost_;
  NoteLine();
  if (deviceLost_ == wasLost || !deviceChanged_) {
    return;
  }
  if (!Threaded()) {
    deviceChanged_();
    return;
  }
  Deliver(deviceWatcher_, deviceChanged_);
}

void LinkWorker::Snapshot(QObject* receiver, std::optional<int64_t> framesAfter,
                          std::function<void(LinkSnapshot)> done) {
  if (!Threaded()) {
    done(TakeSnapshot(framesAfter));
    return;
  }
  Post([this, target = QPointer<QObject>(receiver), framesAfter, done = std::move(done)] {
    auto snapshot = std::make_shared<LinkSnapshot>(TakeSnapshot(framesAfter));
    Deliver(target, [snapshot, done] { done(std::move(*snapshot)); });
  });
}

LinkSnapshot LinkWorker::TakeSnapshot(std::optional<int64_t> framesAfter) const {
  LinkSnapshot snapshot;
  snapshot.exchanges = ExchangeSummary::Of(transaction_->Statistics());
  if (framesAfter) {
    snapshot.frames = journal_.Since(*framesAfter);
  }
  snapshot.origin = transaction_->CreatedAt();
  return snapshot;
}

LinkContext LinkWorker::Context() {
  return {*port_, clock_, *transaction_, *session_, settings_, stop_};
}

void LinkWorker::Post(std::function<void()> work) {
  QMetaObject::invokeMethod(home_.get(), std::move(work), Qt::QueuedConnection);
}

void LinkWorker::Deliver(QObject* receiver, std::function<void()> result) {
  if (receiver != nullptr) {
    QMetaObject::invokeMethod(receiver, std::move(result), Qt::QueuedConnection);
  }
}

}  // namespace zt
