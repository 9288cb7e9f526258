#include "console/console_link.h"

#include "console/link_jobs.h"

namespace zt {

ConsoleLink::ConsoleLink(std::unique_ptr<LinkWorker> worker, const LinkSettings& settings)
    : worker_(std::move(worker)),
      poll_(std::make_unique<MeasurementPoll>(worker_->Session())),
      settings_(settings) {}

ConsoleLink::~ConsoleLink() { worker_.reset(); }

void ConsoleLink::SetEvents(Events events) {
  events_ = std::move(events);
  // A device that goes away or comes back while no command runs is shown
  // too; polling that was running goes on by itself once it is back.
  worker_->WatchDevice(this, [this] { NoteLine(); });
}

void ConsoleLink::NoteLine() {
  deviceLost_ = worker_->DeviceLost();
  portOpen_ = worker_->PortOpen();
  Tell(events_.lineChanged);
}

void ConsoleLink::AfterExchange() {
  if (shut_ || worker_->Busy()) {
    return;
  }
  if (!waiting_.empty()) {
    std::function<void()> next = std::move(waiting_.front());
    waiting_.pop_front();
    next();
    return;
  }
  if (pendingTick_) {
    pendingTick_ = false;
    Tell(events_.pendingTickDue);
  }
}

bool ConsoleLink::TakeTick() {
  // One tick at most waits for a busy line; the window timer never delivers
  // more than one overdue tick either.
  if (worker_->Busy() || !waiting_.empty()) {
    pendingTick_ = true;
    return false;
  }
  return true;
}

void ConsoleLink::Open(std::function<void(OpenResult)> done) {
  Exchange<OpenResult>(
      false, [device = devices_.For(settings_.port)](LinkContext& link) {
        return OpenLinkJob(link, device);
      },
      std::move(done));
}

void ConsoleLink::Poll(int32_t decimalPoint, std::function<void(PollOutcome)> done) {
  worker_->ClearStop();
  Exchange<PollOutcome>(
      false,
      [poll = poll_.get(), decimalPoint](LinkContext& link) {
        return PollJob(link, *poll, decimalPoint);
      },
      std::move(done));
}

void ConsoleLink::Change(const LinkSettings& chosen, bool tellMeter,
                         const std::optional<LinkSettings>& found,
                         std::function<void(LinkChange)> done) {
  Exchange<LinkChange>(
      true,
      [chosen, tellMeter, found, device = devices_.For(chosen.port)](LinkContext& link) {
        return ChangeLinkJob(link, chosen, tellMeter, device, found);
      },
      std::move(done));
}

void ConsoleLink::SetGuardLimit(std::chrono::milliseconds limit) {
  guardLimit_ = limit;
  Exchange<bool>(
      false,
      [limit](LinkContext& link) {
        link.transaction.SetGuardLimit(limit);
        return true;
      },
      [](bool) {});
}

void ConsoleLink::ResetCounters(std::function<void()> done) {
  Exchange<bool>(
      false,
      [poll = poll_.get()](LinkContext& link) {
        poll->Statistics() = LinkStatistics{};
        link.transaction.ResetStatistics();
        return true;
      },
      [done = std::move(done)](bool) { done(); });
}

void ConsoleLink::DiscardInput(std::function<void()> done) {
  Exchange<bool>(true, DiscardInputJob, [done = std::move(done)](bool) { done(); });
}

void ConsoleLink::StopPoll() {
  pendingTick_ = false;
  worker_->RequestStop();
}

void ConsoleLink::Shut() {
  if (shut_) {
    return;
  }
  pendingTick_ = false;
  waiting_.clear();
  worker_->RequestStop();
  // Behind the exchange on the line, if any: no request is cut in half.
  worker_->ClosePort();
  shut_ = true;
}

}  // namespace zt
