#include "cli/command_grammar.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "meter/periods.h"
#include "meter/value_ranges.h"

namespace zt::cli {

namespace {

struct OptionSpec {
  const char* name;
  const char* valueName;  // null for a flag
};

constexpr OptionSpec kOptions[] = {
    {"port", "N"},        {"device", "PATH"},      {"address", "A"},     {"baud", "RATE"},
    {"parity", "P"},      {"simulate", nullptr},   {"fast", nullptr},    {"echo", "MODE"},
    {"verbose", nullptr}, {"trace", nullptr},      {"json", nullptr},    {"version", nullptr},
    {"count", "N"},       {"period", "MS"},        {"csv", nullptr},     {"upper", "U"},
    {"lower", "L"},       {"decimal", "D"},        {"pt", "P"},          {"ct", "C"},
    {"wiring", "W"},      {"interval", "SECONDS"}, {"addresses", "LIST"}, {"rates", "LIST"},
    {"parities", "LIST"}, {"first", nullptr},      {"wait", "MS"},      {"profile", "FILE"},
    {"report", "FILE"},   {"lang", "LANG"},        {"polls", "N"},      {"guard-ms", "MS"},
};

// The values only zt6100ctl takes; the meter's own come with their ranges.
constexpr int64_t kCountMax = std::numeric_limits<int32_t>::max();
constexpr EnteredValue kPollCount{"polls", {1, kCountMax}};
constexpr EnteredValue kPollPeriod{"timer period in ms", {0, 3'600'000}};
constexpr EnteredValue kLogInterval{"seconds",
                                    {kMinLogPeriodMs / 1000, kMaxLogPeriodMs / 1000}};
constexpr EnteredValue kLogBlocks{"blocks", {1, kCountMax}};
constexpr EnteredValue kScanWait{"ms for the meter to answer", {1, 5000}};
constexpr EnteredValue kCheckPolls{"polls of the live value", {0, 1000}};

std::optional<Command> ReadPoll(const char*, OptionReader& in, const QStringList&) {
  PollCommand poll;
  if (const auto count = in.Integer("count", kPollCount)) {
    poll.count = static_cast<int32_t>(*count);
  }
  if (const auto period = in.Integer("period", kPollPeriod)) {
    poll.periodMs = static_cast<uint32_t>(*period);
  }
  return poll;
}

template <typename Plain>
std::optional<Command> ReadPlain(const char*, OptionReader&, const QStringList&) {
  return Plain{};
}

std::optional<Command> ReadWriteParams(const char* c, OptionReader& in, const QStringList&) {
  const auto upper = in.Required(c, "upper", value::kUpperLimit);
  const auto lower = in.Required(c, "lower", value::kLowerLimit);
  const auto decimal = in.Required(c, "decimal", value::kDecimalPoint);
  const auto baud = in.Required(c, "baud", value::kMeterBaud);
  if (in.Failed()) {
    return std::nullopt;
  }
  return WriteParamsCommand{{static_cast<int32_t>(*upper), static_cast<int32_t>(*lower),
                             static_cast<int32_t>(*decimal), static_cast<int32_t>(*baud)}};
}

std::optional<Command> ReadSetAddress(const char*, OptionReader& in,
                                      const QStringList& positionals) {
  const auto address = in.Checked(positionals.front(), "NEW", value::kDeviceAddress);
  if (!address) {
    return std::nullopt;
  }
  return SetAddressCommand{static_cast<int32_t>(*address)};
}

std::optional<Command> ReadSetup(const char* c, OptionReader& in, const QStringList&) {
  const auto pt = in.Required(c, "pt", value::kPtRatio);
  const auto ct = in.Required(c, "ct", value::kCtRatio);
  const auto wiring = in.Required(c, "wiring", value::kWiringMode);
  if (in.Failed()) {
    return std::nullopt;
  }
  return SetupCommand{static_cast<uint16_t>(*pt), static_cast<uint16_t>(*ct),
                      static_cast<uint8_t>(*wiring)};
}

std::optional<Command> ReadSetBaud(const char*, OptionReader& in,
                                   const QStringList& positionals) {
  const auto rate = in.Rate(positionals.front(), "RATE");
  if (!rate) {
    return std::nullopt;
  }
  return SetBaudCommand{*rate};
}

std::optional<Command> ReadLog(const char* c, OptionReader& in, const QStringList&) {
  LogCommand log;
  if (const auto interval = in.Required(c, "interval", kLogInterval)) {
    log.intervalSeconds = static_cast<uint32_t>(*interval);
  }
  if (const auto count = in.Integer("count", kLogBlocks)) {
    log.count = static_cast<int32_t>(*count);
  }
  return log;
}

std::optional<Command> ReadScan(const char*, OptionReader& in, const QStringList&) {
  ScanCommand scan;
  if (const auto list = in.Value("addresses")) {
    const auto addresses = ParseAddressList(list->toStdString());
    if (!addresses) {
      in.Fail("--addresses: give addresses 1..255 and ranges such as 1-10,20, not '" +
              list->toStdString() + "'");
      return std::nullopt;
    }
    scan.plan.addresses = *addresses;
  }
  // By default the rates of the default plan, in its order.
  std::vector<int32_t> rates = DefaultScanRates();
  if (const auto list = in.Value("rates")) {
    rates.clear();
    for (const QString& rate : list->split(QLatin1Char(','))) {
      const std::optional<int32_t> value = in.Rate(rate, "--rates");
      if (!value) {
        return std::nullopt;
      }
      rates.push_back(*value);
    }
  }
  std::vector<int32_t> parities = {kParityNone};
  if (const auto list = in.Value("parities")) {
    parities.clear();
    for (const QString& parity : list->split(QLatin1Char(','))) {
      const std::optional<ParityIndex> index = ParityOfWord(parity.toStdString());
      if (!index) {
        in.Fail("--parities: each must be none, odd or even, not '" + parity.toStdString() + "'");
        return std::nullopt;
      }
      parities.push_back(*index);
    }
  }
  scan.plan.lines = ScanLines(rates, parities);
  scan.plan.stopAtFirst = in.IsSet("first");
  if (const auto wait = in.Integer("wait", kScanWait)) {
    scan.plan.turnaround = std::chrono::milliseconds(*wait);
  }
  if (in.Failed()) {
    return std::nullopt;
  }
  return scan;
}

std::optional<CheckProfileCommand> ReadProfileRun(const char* c, OptionReader& in) {
  CheckProfileCommand run;
  if (!in.IsSet("profile")) {
    in.Fail(std::string(c) + " needs --profile");
    return std::nullopt;
  }
  run.profile = in.Value("profile").value_or(QString()).toStdString();
  if (const auto report = in.Value("report")) {
    const QString ending = report->section(QLatin1Char('.'), -1).toLower();
    if (!report->contains(QLatin1Char('.')) ||
        (ending != "json" && ending != "html" && ending != "pdf")) {
      in.Fail("--report: the file must end in .json, .html or .pdf, not '" +
              report->toStdString() + "'");
      return std::nullopt;
    }
    run.report = report->toStdString();
  }
  if (const auto lang = in.Value("lang")) {
    if (*lang != "zh" && *lang != "en") {
      in.Fail("--lang: choose zh (Chinese) or en (English), not '" + lang->toStdString() + "'");
      return std::nullopt;
    }
    run.english = *lang == "en";
  }
  if (const auto polls = in.Integer("polls", kCheckPolls)) {
    run.polls = static_cast<int32_t>(*polls);
  }
  if (in.Failed()) {
    return std::nullopt;
  }
  return run;
}

std::optional<Command> ReadCheck(const char* c, OptionReader& in, const QStringList&) {
  const auto run = ReadProfileRun(c, in);
  if (!run) {
    return std::nullopt;
  }
  return *run;
}

std::optional<Command> ReadApply(const char* c, OptionReader& in, const QStringList&) {
  const auto run = ReadProfileRun(c, in);
  if (!run) {
    return std::nullopt;
  }
  return ApplyProfileCommand{*run};
}

constexpr CommandGrammar kGrammars[] = {
    {"poll", {"count", "period", "csv"}, 0, nullptr, ReadPoll},
    {"read-params", {}, 0, nullptr, ReadPlain<ReadParamsCommand>},
    {"write-params", {"upper", "lower", "decimal", "baud"}, 0, nullptr, ReadWriteParams},
    {"set-address", {}, 1, "NEW", ReadSetAddress},
    {"switch-status", {}, 0, nullptr, ReadPlain<SwitchStatusCommand>},
    {"clock", {}, 0, nullptr, ReadPlain<ClockCommand>},
    {"setup", {"pt", "ct", "wiring"}, 0, nullptr, ReadSetup},
    {"set-baud", {}, 1, "RATE", ReadSetBaud},
    {"log", {"interval", "count", "csv"}, 0, nullptr, ReadLog},
    {"scan", {"addresses", "rates", "parities", "first", "wait"}, 0, nullptr, ReadScan},
    {"check", {"profile", "report", "lang", "polls"}, 0, nullptr, ReadCheck},
    {"apply", {"profile", "report", "lang", "polls"}, 0, nullptr, ReadApply},
};

}  // namespace

QCommandLineOption OptionNamed(std::string_view name) {
  for (const OptionSpec& option : kOptions) {
    if (name == option.name) {
      return option.valueName == nullptr
                 ? QCommandLineOption(QString::fromLatin1(option.name))
                 : QCommandLineOption(QString::fromLatin1(option.name), QString(),
                                      QString::fromLatin1(option.valueName));
    }
  }
  return QCommandLineOption(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

bool CommandGrammar::Takes(std::string_view option) const {
  return std::any_of(options.begin(), options.end(),
                     [option](const char* taken) { return taken != nullptr && option == taken; });
}

const CommandGrammar* GrammarFor(std::string_view name) {
  for (const CommandGrammar& grammar : kGrammars) {
    if (name == grammar.name) {
      return &grammar;
    }
  }
  return nullptr;
}

}  // namespace zt::cli
