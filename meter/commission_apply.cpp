#include "meter/commission_apply.h"

#include <algorithm>

#include "meter/encoding.h"

namespace zt {

namespace {

class Applier {
 public:
  Applier(MeterSession& session, LinkSettings& settings, const SiteProfile& profile,
          ConfirmedInstrument& confirmed, const ApplyOptions& options)
      : session_(session),
        settings_(settings),
        profile_(profile),
        confirmed_(confirmed),
        options_(options) {}

  ApplyReport Run() {
    CheckOptions first = options_.check;
    first.livePolls = 0;
    report_.before = CheckMeter(session_, profile_, confirmed_, first);
    if (report_.before.cancelled) {
      report_.cancelled = true;
      return std::move(report_);
    }
    Plan();
    for (std::size_t i = 0; i < report_.steps.size(); ++i) {
      if (report_.steps[i].state == StepState::NotWritable) {
        continue;
      }
      if (options_.check.stopRequested && options_.check.stopRequested()) {
        report_.cancelled = true;
        break;
      }
      if (!Perform(report_.steps[i])) {
        break;
      }
    }
    if (!report_.cancelled) {
      report_.after = CheckMeter(session_, profile_, confirmed_, options_.check);
      report_.cancelled = report_.after->cancelled;
    }
    return std::move(report_);
  }

 private:
  bool Differs(std::string_view key) const {
    const CheckRow* row = report_.before.Row(key);
    return row != nullptr && row->expected &&
           (row->verdict == Verdict::Differs || row->verdict == Verdict::NoReply);
  }

  void Add(std::string_view key, long long value, StepState state = StepState::NotSent) {
    report_.steps.push_back({std::string(key), std::to_string(value), state, std::nullopt, ""});
  }

  void AddInstrument(std::string_view key, const std::optional<int32_t>& expected,
                     const std::optional<ConfirmedInstrument::Entry>& entry) {
    if (expected && !(entry && entry->value == *expected)) {
      Add(key, *expected);
    }
  }

  void Plan() {
    if (profile_.decimalPoint && Differs(row::kDecimalPoint)) {
      Add(row::kDecimalPoint, *profile_.decimalPoint);
    }
    if (profile_.upperLimit && Differs(row::kUpperLimit)) {
      Add(row::kUpperLimit, *profile_.upperLimit);
    }
    if (profile_.lowerLimit && Differs(row::kLowerLimit)) {
      Add(row::kLowerLimit, *profile_.lowerLimit);
    }
    if (profile_.baud && Differs(row::kParameterBaud)) {
      Add(row::kParameterBaud, *profile_.baud);
    }
    AddInstrument(row::kPt, RowValue(profile_.pt), confirmed_.pt);
    AddInstrument(row::kCt, RowValue(profile_.ct), confirmed_.ct);
    AddInstrument(row::kWiring, RowValue(profile_.wiring), confirmed_.wiring);
    if (profile_.address && *profile_.address != settings_.address) {
      Add(row::kAddress, *profile_.address);
    }
    if (profile_.parity && *profile_.parity != settings_.parity) {
      report_.steps.push_back({std::string(row::kParity), std::string(ParityWord(*profile_.parity)),
                               StepState::NotWritable, std::nullopt,
                               "the meter's parity is set on the meter itself, not over the line"});
    }
    if (profile_.baud && *profile_.baud != settings_.baudRate) {
      Add(row::kBaud, *profile_.baud);
    }
  }

  bool Fail(ApplyStep& step, std::string note) {
    step.state = StepState::NotConfirmed;
    step.note = std::move(note);
    return false;
  }

  bool Confirm(ApplyStep& step) {
    step.state = StepState::Confirmed;
    step.at = options_.check.wallClock();
    return true;
  }

  void Remember(std::optional<ConfirmedInstrument::Entry>& entry, int32_t value) {
    entry = ConfirmedInstrument::Entry{value, options_.check.wallClock()};
  }

  // A read at the link's new settings proves the meter is there.
  bool Proven() { return session_.ReadDecimalPoint().has_value(); }

  bool Perform(ApplyStep& step) {
    const int32_t value = std::stoi(step.value);
    const std::string& key = step.key;
    const auto written = [&](bool confirmed) {
      return confirmed ? Confirm(step) : Fail(step, "the meter did not confirm the write");
    };
    if (key == row::kDecimalPoint) return written(session_.WriteRegister(reg::kDecimalPoint, value));
    if (key == row::kUpperLimit) return written(session_.WriteRegister(reg::kUpperLimit, value));
    if (key == row::kLowerLimit) return written(session_.WriteRegister(reg::kLowerLimit, value));
    if (key == row::kParameterBaud) {
      return written(session_.WriteRegister(reg::kParameterBaud, BaudRateToIndex(value)));
    }
    if (key == row::kPt || key == row::kCt || key == row::kWiring) {
      const bool ok = key == row::kPt   ? session_.WritePtRatio(static_cast<uint16_t>(value))
                      : key == row::kCt ? session_.WriteCtRatio(static_cast<uint16_t>(value))
                                        : session_.WriteWiringMode(static_cast<uint8_t>(value));
      if (ok) {
        Remember(key == row::kPt   ? confirmed_.pt
                 : key == row::kCt ? confirmed_.ct
                                   : confirmed_.wiring,
                 value);
      }
      return written(ok);
    }
    if (key == row::kAddress) {
      return ChangeAddress(step, value);
    }
    return ChangeRate(step, value);
  }

  bool ChangeAddress(ApplyStep& step, int32_t address) {
    const uint8_t old = settings_.address;
    if (!session_.ChangeAddress(address)) {
      return Fail(step, "the meter did not confirm the new address");
    }
    settings_.address = static_cast<uint8_t>(address);
    if (!Proven()) {
      // The meter confirmed from somewhere; the link goes on at the new
      // address, where the meter said it would be.
      return Fail(step, "the meter confirmed address " + std::to_string(address) +
                            " but did not answer a read there (it was at " +
                            std::to_string(old) + ")");
    }
    return Confirm(step);
  }

  bool ChangeRate(ApplyStep& step, int32_t rate) {
    const int32_t old = settings_.baudRate;
    if (!session_.ChangeLinkBaud(rate)) {
      return Fail(step, "the meter did not confirm the new rate; the link stays at " +
                            std::to_string(old) + " bit/s");
    }
    settings_.baudRate = rate;
    if (!options_.reopen) {
      return Fail(step, "the meter took " + std::to_string(rate) +
                            " bit/s but the port cannot be reopened here");
    }
    const OpenResult opened = options_.reopen(settings_);
    if (!opened) {
      return Fail(step, "the meter took " + std::to_string(rate) + " bit/s but " + opened.device +
                            " did not open again: " + opened.reason);
    }
    if (!Proven()) {
      return Fail(step, "the meter confirmed " + std::to_string(rate) +
                            " bit/s but did not answer a read at that rate");
    }
    return Confirm(step);
  }

  MeterSession& session_;
  LinkSettings& settings_;
  const SiteProfile& profile_;
  ConfirmedInstrument& confirmed_;
  const ApplyOptions& options_;
  ApplyReport report_;
};

}  // namespace

std::string_view StepStateKey(StepState state) {
  switch (state) {
    case StepState::Confirmed: return "confirmed";
    case StepState::NotConfirmed: return "not_confirmed";
    case StepState::NotSent: return "not_sent";
    case StepState::NotWritable: return "not_writable";
  }
  return "?";
}

bool ApplyReport::Done() const {
  return !cancelled && after && after->AllMatch() &&
         std::all_of(steps.begin(), steps.end(),
                     [](const ApplyStep& step) { return step.state == StepState::Confirmed; });
}

ApplyReport ApplyProfile(MeterSession& session, LinkSettings& settings, const SiteProfile& profile,
                         ConfirmedInstrument& confirmed, const ApplyOptions& options) {
  return Applier(session, settings, profile, confirmed, options).Run();
}

}  // namespace zt
