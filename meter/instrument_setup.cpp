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
  outcome.pt = session.WritePtRatio(settings.ptRatio);
  if (!*outcome.pt) {
    return outcome;
  }
  outcome.ct = session.WriteCtRatio(settings.ctRatio);
  if (!*outcome.ct) {
    return outcome;
  }
  outcome.wiring = session.WriteWiringMode(settings.wiringMode);
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
