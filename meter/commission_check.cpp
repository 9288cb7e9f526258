#include "meter/commission_check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "meter/encoding.h"
#include "meter/link_advice.h"
#include "meter/live_value.h"
#include "meter/measurement_poll.h"

namespace zt {

namespace {

constexpr std::chrono::hours kMeterZone{8};

std::string Number(long long value) { return std::to_string(value); }

class Checker {
 public:
  Checker(MeterSession& session, const SiteProfile& profile, const ConfirmedInstrument& confirmed,
          const CheckOptions& options)
      : session_(session), profile_(profile), confirmed_(confirmed), options_(options) {}

  CheckReport Run() {
    report_.started = options_.wallClock();
    const ExchangeStatistics& statistics = session_.Transaction().Statistics();
    const ExchangeSummary before = ExchangeSummary::Of(statistics);

    ReadLinkAndParameters();
    AddInstrumentRows();
    ReadStates();
    ReadClock();
    PollLive();

    const ExchangeSummary after = ExchangeSummary::Of(statistics);
    JudgeLink(before, after);
    report_.exchanges = after;
    report_.line.settings = session_.Settings();
    report_.line.echoes = session_.Transaction().LineEchoes();
    report_.finished = options_.wallClock();
    return std::move(report_);
  }

 private:
  bool Stopped() {
    if (options_.stopRequested && options_.stopRequested()) {
      report_.cancelled = true;
    }
    return report_.cancelled;
  }

  void Progress(std::string_view step) {
    if (options_.progress) {
      options_.progress(step);
    }
  }

  void Record(std::string_view what, const std::optional<std::string>& value, WallTime at) {
    report_.reads.push_back({std::string(what), value, at});
  }

  void Compare(std::string_view key, const std::optional<std::string>& expected,
               const std::optional<std::string>& read, std::optional<WallTime> at) {
    CheckRow row{std::string(key), expected, read, Verdict::NoReply, at, ""};
    if (!read) {
      row.verdict = Verdict::NoReply;
    } else if (!expected) {
      row.verdict = Verdict::NoExpectation;
    } else {
      row.verdict = *expected == *read ? Verdict::Match : Verdict::Differs;
    }
    report_.rows.push_back(std::move(row));
  }

  template <typename T>
  static std::optional<std::string> Text(const std::optional<T>& value) {
    if (!value) {
      return std::nullopt;
    }
    return Number(*value);
  }

  // One register read, recorded with its time; nothing once stopped.
  std::optional<int32_t> Read(std::string_view what, uint16_t registerNumber) {
    if (Stopped()) {
      return std::nullopt;
    }
    Progress(what);
    std::optional<int32_t> value = session_.ReadRegister(registerNumber);
    lastAt_ = options_.wallClock();
    Record(what, Text(value), lastAt_);
    return value;
  }

  void ReadLinkAndParameters() {
    const std::optional<int32_t> upper = Read(row::kUpperLimit, reg::kUpperLimit);
    const WallTime upperAt = lastAt_;
    const std::optional<int32_t> lower = Read(row::kLowerLimit, reg::kLowerLimit);
    const WallTime lowerAt = lastAt_;
    const std::optional<int32_t> decimal = Read(row::kDecimalPoint, reg::kDecimalPoint);
    const WallTime decimalAt = lastAt_;
    std::optional<int32_t> parameterBaud = Read(row::kParameterBaud, reg::kParameterBaud);
    if (parameterBaud) {
      parameterBaud = BaudIndexToRate(*parameterBaud);
    }
    const WallTime baudAt = lastAt_;
    if (!report_.reads.empty() && parameterBaud) {
      report_.reads.back().value = Number(*parameterBaud);
    }
    ParameterReads& shown = report_.parameters;
    shown.upperLimit = upper;
    shown.lowerLimit = lower;
    shown.decimalPoint = decimal;
    shown.meterBaud = parameterBaud;

    // The meter's address, rate and parity cannot be read from it; a reply at
    // the link's own settings proves them.
    const bool answered = upper || lower || decimal || parameterBaud;
    const LinkSettings& link = session_.Settings();
    const auto proven = [&](std::string value) -> std::optional<std::string> {
      if (!answered) {
        return std::nullopt;
      }
      return value;
    };
    Compare(row::kAddress, Text(profile_.address), proven(Number(link.address)), decimalAt);
    Compare(row::kBaud, Text(profile_.baud), proven(Number(link.baudRate)), decimalAt);
    Compare(row::kParity,
            profile_.parity ? std::optional<std::string>(std::string(ParityWord(*profile_.parity)))
                            : std::nullopt,
            proven(std::string(ParityWord(link.parity))), decimalAt);
    Compare(row::kParameterBaud, Text(profile_.baud), Text(parameterBaud), baudAt);
    Compare(row::kDecimalPoint, Text(profile_.decimalPoint), Text(decimal), decimalAt);
    Compare(row::kUpperLimit, Text(profile_.upperLimit), Text(upper), upperAt);
    Compare(row::kLowerLimit, Text(profile_.lowerLimit), Text(lower), lowerAt);
  }

  void AddInstrument(std::string_view key, const std::optional<int32_t>& expected,
                     const std::optional<ConfirmedInstrument::Entry>& confirmed) {
    CheckRow row{std::string(key), Text(expected), std::nullopt, Verdict::NotReadable,
                 std::nullopt, "cannot be read from this meter"};
    if (confirmed) {
      row.read = Number(confirmed->value);
      row.at = confirmed->at;
      row.note = "not readable; written and confirmed in this run";
    }
    report_.rows.push_back(std::move(row));
  }

  void AddInstrumentRows() {
    AddInstrument(row::kPt, RowValue(profile_.pt), confirmed_.pt);
    AddInstrument(row::kCt, RowValue(profile_.ct), confirmed_.ct);
    AddInstrument(row::kWiring, RowValue(profile_.wiring), confirmed_.wiring);
  }

  void ReadStates() {
    const std::optional<int32_t> word = Read("relay_switch", reg::kSwitchStatus);
    std::optional<std::string> relay;
    std::optional<std::string> input;
    if (word) {
      const SwitchStatus status{static_cast<uint8_t>(*word >> 8),
                                static_cast<uint8_t>(*word & 0xFF)};
      report_.states = status;
      relay = status.RelayOn() ? "on" : "off";
      input = status.InputClosed() ? "closed" : "open";
    }
    Compare(row::kRelay, std::nullopt, relay, lastAt_);
    Compare(row::kSwitch, std::nullopt, input, lastAt_);
  }

  void ReadClock() {
    if (Stopped()) {
      Compare(row::kClock, std::nullopt, std::nullopt, std::nullopt);
      return;
    }
    Progress(row::kClock);
    const std::optional<MeterClock> clock = session_.ReadClock();
    const WallTime now = options_.wallClock();
    CheckRow row{std::string(row::kClock), ChinaTimeText(now), std::nullopt, Verdict::NoReply,
                 now, ""};
    if (clock) {
      char text[48];
      std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", clock->year, clock->month,
                    clock->day, clock->hour, clock->minute, clock->second);
      row.read = text;
      const std::optional<WallTime> meterTime = MeterClockTime(*clock);
      if (!meterTime) {
        row.verdict = Verdict::Differs;
        row.note = "not a valid date and time";
      } else {
        // Against the PC's time to the second, as both are shown.
        const auto offset = std::chrono::duration_cast<std::chrono::seconds>(
                                *meterTime - std::chrono::floor<std::chrono::seconds>(now))
                                .count();
        row.verdict =
            std::llabs(offset) <= profile_.clockToleranceS ? Verdict::Match : Verdict::Differs;
        row.note = (offset >= 0 ? "+" : "") + Number(offset) + " s, tolerance " +
                   Number(profile_.clockToleranceS) + " s";
      }
    }
    Record(row::kClock, row.read, now);
    report_.rows.push_back(std::move(row));
  }

  void PollLive() {
    MeasurementPoll poll(session_);
    LiveSummary& live = report_.live;
    double sum = 0.0;
    for (int i = 0; i < options_.livePolls && !Stopped(); ++i) {
      Progress("live");
      const bool replied = poll.Tick();
      ++live.polls;
      const WallTime at = options_.wallClock();
      if (!replied) {
        Record("live", std::nullopt, at);
        continue;
      }
      const double value = ScaledLiveValue(*poll.LastReads().rawValue, poll.DecimalPoint());
      Record("live", *poll.LiveText(), at);
      ++live.replies;
      sum += value;
      live.min = std::min(live.min.value_or(value), value);
      live.max = std::max(live.max.value_or(value), value);
    }
    if (live.replies > 0) {
      live.mean = sum / live.replies;
    }
    report_.pollStatistics = poll.Statistics();
  }

  void JudgeLink(const ExchangeSummary& before, const ExchangeSummary& after) {
    LinkVerdict& verdict = report_.link;
    verdict.failures = after.Failures() - before.Failures();
    verdict.exchanges = (after.replies - before.replies) + verdict.failures;
    int64_t most = 0;
    for (int i = 0; i < kFailureCauses; ++i) {
      const auto index = static_cast<std::size_t>(i);
      const int64_t count = after.failures[index] - before.failures[index];
      if (count > most) {
        most = count;
        verdict.mainCause = static_cast<FailureCause>(i);
      }
    }
    if (verdict.mainCause) {
      verdict.check = std::string(AdviceFor(*verdict.mainCause));
    }
  }

  MeterSession& session_;
  const SiteProfile& profile_;
  const ConfirmedInstrument& confirmed_;
  const CheckOptions& options_;
  CheckReport report_;
  WallTime lastAt_{};
};

}  // namespace

std::string_view VerdictKey(Verdict verdict) {
  switch (verdict) {
    case Verdict::Match: return "match";
    case Verdict::Differs: return "differs";
    case Verdict::NotReadable: return "not_readable";
    case Verdict::NoReply: return "no_reply";
    case Verdict::NoExpectation: return "no_expectation";
  }
  return "?";
}

const CheckRow* CheckReport::Row(std::string_view key) const {
  for (const CheckRow& row : rows) {
    if (row.key == key) {
      return &row;
    }
  }
  return nullptr;
}

bool CheckReport::AllMatch() const {
  if (cancelled) {
    return false;
  }
  return std::none_of(rows.begin(), rows.end(), [](const CheckRow& row) {
    return row.verdict == Verdict::Differs || row.verdict == Verdict::NoReply;
  });
}

CheckReport CheckMeter(MeterSession& session, const SiteProfile& profile,
                       const ConfirmedInstrument& confirmed, const CheckOptions& options) {
  return Checker(session, profile, confirmed, options).Run();
}

std::optional<WallTime> MeterClockTime(const MeterClock& clock) {
  using namespace std::chrono;
  const year_month_day date{year{clock.year}, month{static_cast<unsigned>(clock.month)},
                            day{static_cast<unsigned>(clock.day)}};
  if (!date.ok() || clock.hour < 0 || clock.hour > 23 || clock.minute < 0 || clock.minute > 59 ||
      clock.second < 0 || clock.second > 59) {
    return std::nullopt;
  }
  const sys_seconds local = sys_days{date} + hours{clock.hour} + minutes{clock.minute} +
                            seconds{clock.second};
  return WallTime{local - kMeterZone};
}

std::string ChinaTimeText(WallTime time) {
  using namespace std::chrono;
  const sys_seconds local = floor<seconds>(time) + kMeterZone;
  const sys_days dayStart = floor<days>(local);
  const year_month_day date{dayStart};
  const hh_mm_ss<seconds> clock{local - dayStart};
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld:%02lld", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<long>(clock.hours().count()), static_cast<long>(clock.minutes().count()),
                static_cast<long long>(clock.seconds().count()));
  return text;
}

}  // namespace zt
