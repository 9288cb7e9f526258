#pragma once

#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QObject;
class QThread;
class QTimer;

namespace zt {

// Where the link's work runs and how its results get back to the window. The
// worker asks only this, so one worker serves the window on a thread of its
// own and the tests at once on theirs.
class LinkExecutor {
 public:
  virtual ~LinkExecutor() = default;

  // Runs `work` on the link, after the work posted before it.
  virtual void Post(std::function<void()> work) = 0;
  // Runs `work` on the link and returns once it has.
  virtual void Call(std::function<void()> work) = 0;
  // Runs `result`, which the link's work made, on the thread of `receiver`,
  // unless `receiver` is gone by then.
  virtual void Deliver(const QPointer<QObject>& receiver, std::function<void()> result) = 0;
  // Runs `work` on the link every `period` from now on, between other work.
  virtual void Every(std::chrono::milliseconds period, std::function<void()> work) = 0;
  // Lets the work posted so far end, stops the periodic work, runs `last` on
  // the link and returns when nothing more runs there.
  virtual void Finish(std::function<void()> last) = 0;
};

// Everything at once, on the caller's thread: tests drive the link on a
// simulated port and a virtual clock, exchange by exchange. Periodic work
// never runs by itself: the test asks for it.
class ImmediateExecutor final : public LinkExecutor {
 public:
  void Post(std::function<void()> work) override { work(); }
  void Call(std::function<void()> work) override { work(); }
  void Deliver(const QPointer<QObject>&, std::function<void()> result) override { result(); }
  void Every(std::chrono::milliseconds, std::function<void()>) override {}
  void Finish(std::function<void()> last) override { last(); }
};

// A thread of its own for the link, so that the window never waits on the
// line: work is queued to it, results are queued back.
class LinkThread final : public LinkExecutor {
 public:
  LinkThread();
  ~LinkThread() override;

  LinkThread(const LinkThread&) = delete;
  LinkThread& operator=(const LinkThread&) = delete;

  void Post(std::function<void()> work) override;
  void Call(std::function<void()> work) override;
  void Deliver(const QPointer<QObject>& receiver, std::function<void()> result) override;
  void Every(std::chrono::milliseconds period, std::function<void()> work) override;
  void Finish(std::function<void()> last) override;

 private:
  QThread* thread_ = nullptr;
  // Lives on the link's thread: queued calls to it run there.
  std::unique_ptr<QObject> home_;
  // Made, run and destroyed on the link's thread.
  std::vector<std::unique_ptr<QTimer>> timers_;
};

}  // namespace zt
