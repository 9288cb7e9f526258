#pragma once

#include "meter/measurement_poll.h"
#include "meter/meter_session.h"

namespace zt::test {

// One tick of the measurement poll as the products make it, for a test that
// looks at the two reads themselves.
inline PollResult PollOnce(MeterSession& session) {
  MeasurementPoll poll(session);
  poll.Tick();
  return poll.LastReads();
}

}  // namespace zt::test
