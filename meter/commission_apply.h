#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/link_settings.h"
#include "link/serial_port.h"
#include "meter/commission_check.h"

namespace zt {

enum class StepState {
  Confirmed,     // sent, and the meter confirmed it (and answered a read after it, for the
                 // address and the rate)
  NotConfirmed,  // sent, and the meter did not confirm it: the apply stopped here
  NotSent,       // not sent: an earlier step was not confirmed, or the apply was cancelled
  NotWritable,   // this meter takes no such write over the line
};

// "confirmed", "not_confirmed", "not_sent", "not_writable".
std::string_view StepStateKey(StepState state);

// One write the apply planned, and what became of it.
struct ApplyStep {
  std::string key;    // a check row's key
  std::string value;  // the value written
  StepState state = StepState::NotSent;
  std::optional<WallTime> at;  // when the meter confirmed it, or when it was sent
  std::string note;            // what went wrong, for a step not confirmed
};

struct ApplyReport {
  CheckReport before;
  std::vector<ApplyStep> steps;
  std::optional<CheckReport> after;  // the check that ends the apply
  bool cancelled = false;

  // Every planned step confirmed and the final check all matching.
  bool Done() const;
};

struct ApplyOptions {
  CheckOptions check;
  // Closes the port and opens it again at `settings`, after the meter took a
  // new rate; on failure the device and the system's reason.
  std::function<OpenResult(const LinkSettings& settings)> reopen;
};

// Brings the meter to `profile`: a check (without live polls), then only the
// writes whose value differs, in this order: the parameter block (decimal
// point, upper and lower threshold, baud of the block), PT, CT and wiring
// (not readable, so written unless confirmed with that value in this run),
// the address (then `settings.address` follows the meter and a read proves
// it), the rate last (the meter is told at the old rate, the port reopened at
// the new one, and a read proves it). The first step not confirmed stops the
// writes; a full check ends the apply in every case. `settings` must be the
// settings `session` addresses its requests with; `confirmed` is updated.
ApplyReport ApplyProfile(MeterSession& session, LinkSettings& settings, const SiteProfile& profile,
                         ConfirmedInstrument& confirmed, const ApplyOptions& options);

}  // namespace zt
