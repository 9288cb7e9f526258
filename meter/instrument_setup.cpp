#include "meter/instrument_setup.h"

#include "res/texts.h"

namespace zt {

const char* InstrumentSetupOutcome::Report() const {
  if (pt != true) {
    return res::text::kPtFailed;
  }
  if (ct != true) {
    return res::text::kCtFailed;
  }
  if (wiring != true) {
    return res::text::kWiringFailed;
  }
  return res::text::kInstrumentSet;
}

InstrumentSetupOutcome WriteInstrumentSetup(MeterSession& session,
                                            const InstrumentSettings& settings) {
  InstrumentSetupOutcome outcome;
  // True when the write was sent and confirmed: the sequence goes on.
  const auto take = [&session, &outcome](std::optional<bool>& step, bool confirmed) {
    if (session.LastSkipped()) {
      outcome.stopped = true;
      return false;
    }
    step = confirmed;
    if (!confirmed) {
      outcome.why = session.LastFailure();
    }
    return confirmed;
  };
  if (take(outcome.pt, session.WritePtRatio(settings.ptRatio)) &&
      take(outcome.ct, session.WriteCtRatio(settings.ctRatio))) {
    take(outcome.wiring, session.WriteWiringMode(settings.wiringMode));
  }
  return outcome;
}

InstrumentSettings ConfirmedSettings(const InstrumentSettings& confirmed,
                                     const InstrumentSettings& written,
                                     const InstrumentSetupOutcome& outcome) {
  InstrumentSettings result = confirmed;
  if (outcome.pt == true) {
    result.ptRatio = written.ptRatio;
  }
  if (outcome.ct == true) {
    result.ctRatio = written.ctRatio;
  }
  if (outcome.wiring == true) {
    result.wiringMode = written.wiringMode;
  }
  return result;
}

}  // namespace zt
