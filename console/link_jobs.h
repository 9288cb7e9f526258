#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "console/link_worker.h"
#include "console/meter_finder.h"
#include "link/link_settings.h"
#include "link/port_devices.h"
#include "meter/instrument_setup.h"
#include "meter/link_statistics.h"
#include "meter/measured_quantities.h"
#include "meter/measurement_poll.h"

// The console's jobs on the link: each runs on the link's thread, from one
// end of a command to the other, and hands back a copy for the window.
namespace zt {

// Selects the port, sets the line format of the link's settings, opens the
// line, then empties the receive buffer. An empty device leaves the port's
// own device for the number: the one the port was made with (a device named
// on the command line, a test's pty).
OpenResult OpenLinkJob(LinkContext& link, const std::string& device);

// What a poll tick did, copied for the window: the poll itself stays on the
// link.
struct PollOutcome {
  bool stopped = false;  // "停止运行" came between its two reads
  bool read = false;
  PollResult reads;
  int32_t decimalPoint = 0;
  std::optional<std::string> live;
  std::optional<TickFailure> failure;  // why `live` is empty
  LinkStatistics stats;
  ThreePhaseQuantities quantities;
};

// One tick of the measurement poll, scaled by `decimalPoint`.
PollOutcome PollJob(LinkContext& link, MeasurementPoll& poll, int32_t decimalPoint);

// What a change of the link settings did.
struct LinkChange {
  bool baudRefused = false;  // the meter did not confirm its new rate
  std::optional<FailureDiagnosis> baudWhy;
  // The meter confirmed a new rate that the line cannot take by itself: its
  // serial device server, reached by raw TCP, must be set to it by hand.
  std::optional<int32_t> serverRateToSet;
  OpenResult opened;
  LinkSettings settings;  // as the link now runs
};

// Moves the link to `chosen`: a new rate is first told to the meter at the
// old settings (unless `tellMeter` is false: the meter runs at it already),
// then the line is reopened on `device` and its pending input discarded.
LinkChange ChangeLinkJob(LinkContext& link, const LinkSettings& chosen, bool tellMeter,
                         const std::string& device,
                         const std::optional<LinkSettings>& found = std::nullopt);

// The settings dialog's search, then back to the console's own port, device
// and line.
FindReport FindThenRestoreJob(LinkContext& link, const FindRequest& request,
                              const std::atomic<bool>& cancel,
                              const MeterFinder::Progress& progress, const PortDevices& devices);

// Writes PT, CT and wiring when the dialog was accepted (empty otherwise),
// then discards what the line holds, either way.
std::optional<InstrumentSetupOutcome> InstrumentSetupJob(LinkContext& link, bool accepted,
                                                         const InstrumentSettings& written);

// Drops what the line holds, after a dialog that was cancelled.
bool DiscardInputJob(LinkContext& link);

}  // namespace zt
