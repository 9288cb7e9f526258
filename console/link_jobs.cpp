#include "console/link_jobs.h"

namespace zt {

OpenResult OpenLinkJob(LinkContext& link, const std::string& device) {
  return link.line.Open(device);
}

PollOutcome PollJob(LinkContext& link, MeasurementPoll& poll, int32_t decimalPoint) {
  PollOutcome outcome;
  poll.SetDecimalPoint(decimalPoint);
  const std::optional<bool> read = poll.Tick(link.stop);
  outcome.stopped = !read;
  outcome.read = read.value_or(false);
  outcome.reads = poll.LastReads();
  outcome.decimalPoint = poll.DecimalPoint();
  outcome.live = poll.LiveText();
  outcome.failure = poll.LastFailure();
  outcome.stats = poll.Statistics();
  outcome.quantities = poll.Quantities();
  return outcome;
}

LinkChange ChangeLinkJob(LinkContext& link, const LinkSettings& chosen, bool tellMeter,
                         const std::string& device, const std::optional<LinkSettings>& found) {
  LinkChange change;
  // A meter the search found answers where it was found: a rate chosen
  // afterwards is told to it there, not at the console's earlier line.
  if (found && *found != link.settings) {
    link.settings = *found;
    if (tellMeter && chosen.baudRate != found->baudRate) {
      link.port.Close();
      link.line.Open(device);
    }
  }
  // The meter is told its new rate at the old settings, old address included.
  bool toldMeter = false;
  if (chosen.baudRate != link.settings.baudRate) {
    change.baudRefused = tellMeter && !link.session.ChangeLinkBaud(chosen.baudRate);
    toldMeter = tellMeter && !change.baudRefused;
    if (change.baudRefused) {
      change.baudWhy = link.session.LastFailure();
    } else {
      link.settings.baudRate = chosen.baudRate;
    }
  }
  link.settings.port = chosen.port;
  link.settings.parity = chosen.parity;
  link.settings.address = chosen.address;
  link.port.Close();
  change.opened = link.line.Open(device);
  link.port.DiscardPendingInput();
  if (toldMeter && !link.port.SetsLineFormat()) {
    change.serverRateToSet = link.settings.baudRate;
  }
  change.settings = link.settings;
  return change;
}

FindReport FindThenRestoreJob(LinkContext& link, const FindRequest& request,
                              const std::atomic<bool>& cancel,
                              const MeterFinder::Progress& progress, const PortDevices& devices) {
  FindReport report = RunFindJob(link, request, cancel, progress);
  if (!request.device.empty()) {
    link.port.SetPortDevice(request.port, devices.For(request.port));
  }
  link.port.Close();
  link.line.Open(devices.For(link.settings.port));
  link.port.DiscardPendingInput();
  return report;
}

std::optional<InstrumentSetupOutcome> InstrumentSetupJob(LinkContext& link, bool accepted,
                                                         const InstrumentSettings& written) {
  std::optional<InstrumentSetupOutcome> outcome;
  if (accepted) {
    outcome = WriteInstrumentSetup(link.session, written);
  }
  link.port.DiscardPendingInput();
  return outcome;
}

bool DiscardInputJob(LinkContext& link) {
  link.port.DiscardPendingInput();
  return true;
}

}  // namespace zt
