#include "console/link_worker.h"

#include <QThread>

namespace zt {

LinkWorker::LinkWorker(SerialPort& port, Clock& clock, const LinkSettings& settings)
    : port_(&port),
      clock_(clock),
      settings_(settings),
      link_(std::make_unique<Transaction>(port, clock)),
      session_(std::make_unique<MeterSession>(*link_, settings_)) {}

LinkWorker::LinkWorker(PortFactory makePort, Clock& clock, const LinkSettings& settings)
    : clock_(clock), settings_(settings) {
  StartThread();
  // The port's notifiers belong to the thread that creates it.
  QMetaObject::invokeMethod(
      home_.get(),
      [this, makePort = std::move(makePort)] {
        ownedPort_ = makePort();
        port_ = ownedPort_.get();
        link_ = std::make_unique<Transaction>(*port_, clock_);
        session_ = std::make_unique<MeterSession>(*link_, settings_);
      },
      Qt::BlockingQueuedConnection);
}

LinkWorker::LinkWorker(SerialPort& port, Clock& clock, const LinkSettings& settings, OwnThread)
    : port_(&port),
      clock_(clock),
      settings_(settings),
      link_(std::make_unique<Transaction>(port, clock)),
      session_(std::make_unique<MeterSession>(*link_, settings_)) {
  StartThread();
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
    port_->Close();
    session_.reset();
    link_.reset();
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
    return;
  }
  Post([this] {
    port_->Close();
    portOpen_ = false;
  });
}

LinkContext LinkWorker::Context() {
  return {*port_, clock_, *link_, *session_, settings_, stop_};
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
