#include "meter/measurement_poll.h"

#include "meter/live_value.h"

namespace zt {

bool MeasurementPoll::Tick() {
  PollResult poll;
  if (session_.Link().Fast()) {
    poll.decimalPoint = session_.ReadDecimalPoint();
    poll.rawValue = session_.ReadLiveValue();
  } else {
    poll = session_.Poll();
  }
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
