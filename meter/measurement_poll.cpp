#include "meter/measurement_poll.h"

#include "meter/live_value.h"

namespace zt {

bool MeasurementPoll::Tick() {
  const std::atomic<bool> never{false};
  return *Tick(never);
}

std::optional<bool> MeasurementPoll::Tick(const std::atomic<bool>& stop) {
  PollResult poll;
  poll.decimalPoint = session_.ReadDecimalPoint();
  if (stop) {
    return std::nullopt;
  }
  if (!session_.Link().Fast()) {
    // The pause of MeterSession::Poll, from the end of the first read's wait.
    Transaction& link = session_.Link();
    link.ClockSource().SleepUntil(link.LastDeadline() + MeterSession::kPollPause);
    if (stop) {
      return std::nullopt;
    }
  }
  poll.rawValue = session_.ReadLiveValue();
  if (poll.decimalPoint) {
    decimalPoint_ = *poll.decimalPoint;
  }
  live_.reset();
  if (poll.rawValue) {
    live_ = FormatLiveValue(*poll.rawValue, decimalPoint_);
    quantities_.PhaseA.Current = ScaledLiveValue(*poll.rawValue, decimalPoint_);
    quantities_.CombinedCurrent = quantities_.PhaseA.Current;
  }
  stats_.Record(poll.rawValue.has_value());
  lastReads_ = poll;
  return poll.rawValue.has_value();
}

}  // namespace zt
