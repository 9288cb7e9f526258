#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

namespace zt {

// `tell` as a call that may come from the link's thread: it runs on the
// thread of `receiver` with a copy of what it was given, and only while
// `receiver` exists (at once when called on that thread, queued otherwise).
template <typename Value, typename Given = const Value&>
std::function<void(Given)> OnReceiverThread(QObject* receiver,
                                            std::function<void(const Value&)> tell) {
  return [target = QPointer<QObject>(receiver), tell = std::move(tell)](Given given) {
    if (!target || !tell) {
      return;
    }
    QMetaObject::invokeMethod(
        target.data(),
        [target, tell, value = Value(given)] {
          if (target) {
            tell(value);
          }
        },
        Qt::AutoConnection);
  };
}

// `done` for a result handed on on `receiver`'s own thread: dropped once
// `receiver` is gone.
template <typename Value>
std::function<void(const Value&)> WhileReceiverExists(QObject* receiver,
                                                      std::function<void(const Value&)> done) {
  return [target = QPointer<QObject>(receiver), done = std::move(done)](const Value& value) {
    if (target) {
      done(value);
    }
  };
}

// The cancel flag of a front end's latest run on the link: each run takes a
// fresh one, and Cancel sets the latest.
class CancellableRuns {
 public:
  void Cancel() {
    if (cancel_) {
      *cancel_ = true;
    }
  }

 protected:
  std::shared_ptr<std::atomic<bool>> NewCancelFlag() {
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    return cancel_;
  }

 private:
  std::shared_ptr<std::atomic<bool>> cancel_;
};

}  // namespace zt
