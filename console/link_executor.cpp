#include "console/link_executor.h"

#include <QObject>
#include <QThread>
#include <QTimer>

#include <utility>

namespace zt {

LinkThread::LinkThread() : thread_(new QThread), home_(std::make_unique<QObject>()) {
  thread_->setObjectName(QStringLiteral("link"));
  home_->moveToThread(thread_);
  thread_->start();
}

LinkThread::~LinkThread() { Finish([] {}); }

void LinkThread::Post(std::function<void()> work) {
  QMetaObject::invokeMethod(home_.get(), std::move(work), Qt::QueuedConnection);
}

void LinkThread::Call(std::function<void()> work) {
  QMetaObject::invokeMethod(home_.get(), std::move(work), Qt::BlockingQueuedConnection);
}

void LinkThread::Deliver(const QPointer<QObject>& receiver, std::function<void()> result) {
  if (receiver != nullptr) {
    QMetaObject::invokeMethod(receiver.data(), std::move(result), Qt::QueuedConnection);
  }
}

void LinkThread::Every(std::chrono::milliseconds period, std::function<void()> work) {
  Post([this, period, work = std::move(work)] {
    auto& timer = timers_.emplace_back(std::make_unique<QTimer>());
    timer->setInterval(period);
    QObject::connect(timer.get(), &QTimer::timeout, work);
    timer->start();
  });
}

void LinkThread::Finish(std::function<void()> last) {
  if (thread_ == nullptr) {
    return;
  }
  // Queued behind the work on the line, if any: that work ends whole first.
  Post([this, last = std::move(last)] {
    timers_.clear();
    last();
    QThread::currentThread()->quit();
  });
  thread_->wait();
  home_.reset();
  delete thread_;
  thread_ = nullptr;
}

}  // namespace zt
