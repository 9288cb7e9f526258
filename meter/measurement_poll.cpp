#include "meter/measurement_poll.h"

#include "meter/live_value.h"
#include "meter/register_map.h"

namespace zt {

std::string_view TickFailure::Key() const {
  return decimalPointUnread ? std::string_view("decimal_point_unread")
                            : NameOf(diagnosis.cause).key;
}

std::string TickFailure::Words() const {
  return decimalPointUnread ? std::string("decimal point not read") : diagnosis.Words();
}

bool MeasurementPoll::AdoptDecimalPoint(int32_t decimalPoint) {
  if (!DecimalPointFactor(decimalPoint)) {
    return false;
  }
  decimalPoint_ = decimalPoint;
  decimalPointRead_ = true;
  return true;
}

bool MeasurementPoll::Tick() {
  const std::atomic<bool> never{false};
  return *Tick(never);
}

std::optional<bool> MeasurementPoll::Tick(const std::atomic<bool>& stop) {
  Transaction& transaction = session_.Transaction();
  PollResult poll;
  poll.decimalPoint = session_.ReadDecimalPoint();
  const std::optional<FailureDiagnosis> decimalPointFailure = transaction.LastFailure();
  if (stop) {
    return std::nullopt;
  }
  const int64_t lateBefore = transaction.LateBytesHeard();
  if (!transaction.Fast()) {
    // The 300 ms pause between the reads, from the end of the first read's wait.
    transaction.ClockSource().SleepUntil(transaction.LastDeadline() + MeterSession::kPollPause);
    if (stop) {
      return std::nullopt;
    }
  }
  poll.rawValue = session_.ReadLiveValue();
  const bool lateBetween = transaction.LateBytesHeard() != lateBefore;
  if (poll.decimalPoint) {
    AdoptDecimalPoint(*poll.decimalPoint);
  }
  failure_ = poll.rawValue ? Judge(decimalPointFailure, lateBetween)
                           : std::optional<TickFailure>(
                                 TickFailure{false, transaction.LastFailure().value_or(FailureDiagnosis{})});
  live_.reset();
  if (!failure_) {
    live_ = FormatLiveValue(*poll.rawValue, decimalPoint_);
    quantities_.PhaseA.Current = ScaledLiveValue(*poll.rawValue, decimalPoint_);
    quantities_.CombinedCurrent = quantities_.PhaseA.Current;
  }
  stats_.Record(!failure_);
  lastReads_ = poll;
  return !failure_;
}

std::optional<TickFailure> MeasurementPoll::Judge(
    const std::optional<FailureDiagnosis>& decimalPointFailure, bool lateBetween) const {
  // A decimal-point read that took another request's reply means the line
  // is out of step: the live read most likely took one too.
  if (decimalPointFailure && decimalPointFailure->cause == FailureCause::OtherRequest) {
    return TickFailure{false, *decimalPointFailure};
  }
  if (lateBetween) {
    return TickFailure{false, FailureDiagnosis{FailureCause::LateReply}};
  }
  if (!decimalPointRead_ || !DecimalPointFactor(decimalPoint_)) {
    return TickFailure{true, {}};
  }
  return std::nullopt;
}

}  // namespace zt
