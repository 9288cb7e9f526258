#include "cli/command_line.h"

#include <QCommandLineParser>

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>
#include <vector>

#include "meter/periods.h"
#include "meter/register_map.h"
#include "meter/value_ranges.h"

namespace zt::cli {

namespace {

constexpr std::string_view kUsage = R"(Usage: zt6100ctl [link options] COMMAND [command options]

Runs one meter operation of the ZT6100 service console from a terminal: the
same Modbus RTU exchanges as the console's command, on a serial line with 8 data
bits and 2 stop bits. Values are refused with the console's ranges before
anything is sent.

Link options (before the command):
  --port N             port number 1 or 2 (/dev/ttyS0, /dev/ttyS1) (default 1)
  --device PATH        open this device instead of a port number
  --address A          meter address 0..255 (default 1)
  --baud RATE          1200, 2400, 4800, 9600 or 19200 (default 9600)
  --parity P           none, odd or even (default none)
  --simulate           talk to the built-in simulated meter, which runs in this
                       program and answers at the address, rate and parity
                       given
  --fast               end each exchange as soon as the reply has arrived, with
                       the console's fixed wait as the deadline, leaving the
                       line silent 3.5 character times between exchanges
  --echo MODE          auto, on or off: whether the line's adapter echoes each
                       request, which is then skipped (default auto: found
                       out by the first read, before any write)
  --verbose            say on standard error what the link found out: an
                       echoing adapter, late replies discarded
  --trace              write every frame sent and received to standard error:
                       seconds since the start with milliseconds, TX, RX or
                       LATE (bytes discarded before the next request), the
                       bytes in hex and what the link made of them
  --json               one JSON object per line instead of text, each with
                       its UTC time
  -h, --help           this text
  --version            the program's version

Commands:
  poll [--count N] [--period MS] [--csv]
                       the console's measurement poll, once a timer period
                       (default 1000 ms; 0 polls back to back), N times or
                       until Ctrl-C; prints the live value, successes,
                       failures and error rate, and at the end the totals,
                       the failed exchanges by cause and the reply latency;
                       --csv prints a header and one row per poll instead
                       (the totals then go to standard error)
  read-params          upper and lower threshold, decimal point, baud rate
  write-params --upper U --lower L --decimal D --baud RATE
                       writes the parameter block (each -32768..65535; one of
                       the five rates is sent as its code); every write must
                       be echoed
  set-address NEW      gives the meter the address NEW (0..255)
  switch-status        relay output (通 on / 断 off) and switch input
                       (合 closed / 分 open)
  clock                the meter's date and time
  setup --pt P --ct C --wiring W
                       PT and CT ratios (1..64000) and wiring mode (0..5)
  set-baud RATE        tells the meter its new line rate (register 0x0008),
                       at the link's current rate
  log --interval SECONDS [--count N] [--csv]
                       polls, and appends the measurement table to Table.txt
                       in the current directory every interval (the first one
                       interval after the start), N blocks or until Ctrl-C;
                       --csv as for poll, the blocks told on standard error
  scan [--addresses LIST] [--rates LIST] [--parities LIST] [--first]
       [--wait MS]
                       looks for meters: reads the decimal point of every
                       address of LIST (default 1-247, e.g. 1-10,20) at each
                       rate (default 1200,2400,4800,9600,19200) and parity
                       (default none; e.g. none,even), with a short wait per
                       try (the line time and MS for the meter to answer,
                       default 100), and lists every meter that answers;
                       --first stops at the first one. The worst-case time is
                       told before it starts, the progress on a terminal.
                       The link's --address, --baud and --parity do not apply

Exit status:
  0  done and confirmed
  1  the meter gave no valid reply or did not confirm a write
  2  usage error (the reason on standard error)
  3  the port cannot be opened (device and reason on standard error)
  4  Table.txt cannot be appended to

scan ends with 0 when it found a meter, 1 when it found none.

Example:
  zt6100ctl --device /dev/ttyUSB0 --address 3 --fast read-params
)";

// The values only zt6100ctl takes; the meter's own come with their ranges.
constexpr int64_t kCountMax = std::numeric_limits<int32_t>::max();
constexpr EnteredValue kPollCount{"polls", {1, kCountMax}};
constexpr EnteredValue kPollPeriod{"timer period in ms", {0, 3'600'000}};
constexpr EnteredValue kLogInterval{"seconds",
                                    {kMinLogPeriodMs / 1000, kMaxLogPeriodMs / 1000}};
constexpr EnteredValue kLogBlocks{"blocks", {1, kCountMax}};
constexpr EnteredValue kScanWait{"ms for the meter to answer", {1, 5000}};

std::optional<int64_t> ParseInteger(const QString& text) {
  const std::string utf8 = text.toStdString();
  if (utf8.empty() || utf8.front() == '+') {
    return std::nullopt;
  }
  int64_t value = 0;
  const char* end = utf8.data() + utf8.size();
  const auto [ptr, ec] = std::from_chars(utf8.data(), end, value);
  if (ec != std::errc{} || ptr != end) {
    return std::nullopt;
  }
  return value;
}

// One parser's options, read back with the checks every value needs; the
// first problem found is kept and the rest are skipped.
class OptionReader {
 public:
  explicit OptionReader(QCommandLineParser& parser) : parser_(parser) {}

  bool Failed() const { return !error_.empty(); }
  std::string TakeError() { return std::move(error_); }
  void Fail(std::string error) {
    if (error_.empty()) {
      error_ = std::move(error);
    }
  }

  bool IsSet(const char* name) { return parser_.isSet(QString::fromLatin1(name)); }

  std::optional<QString> Value(const char* name) {
    const QStringList values = parser_.values(QString::fromLatin1(name));
    if (values.isEmpty()) {
      return std::nullopt;
    }
    if (values.size() > 1) {
      Fail(std::string("--") + name + " is given more than once");
      return std::nullopt;
    }
    return values.front();
  }

  // An integer within the range of `what`, named by its caption as the
  // console's box would be.
  std::optional<int64_t> Integer(const char* name, const EnteredValue& what) {
    const std::optional<QString> text = Value(name);
    if (!text) {
      return std::nullopt;
    }
    return Checked(*text, std::string("--") + name, what);
  }

  std::optional<int64_t> Checked(const QString& text, const std::string& label,
                                 const EnteredValue& what) {
    const std::optional<int64_t> value = ParseInteger(text);
    if (!value || !what.range.Contains(*value)) {
      Fail(label + " (" + what.caption + "): enter an integer between " +
           std::to_string(what.range.min) + " and " + std::to_string(what.range.max) +
           ", not '" + text.toStdString() + "'");
      return std::nullopt;
    }
    return value;
  }

  std::optional<int64_t> Required(const char* command, const char* name,
                                  const EnteredValue& what) {
    if (!IsSet(name)) {
      Fail(std::string(command) + " needs --" + name);
      return std::nullopt;
    }
    return Integer(name, what);
  }

  std::optional<int32_t> Rate(const QString& text, const std::string& label) {
    const std::optional<int64_t> value = ParseInteger(text);
    if (!value || *value > std::numeric_limits<int32_t>::max() ||
        !BaudIndexOf(static_cast<int32_t>(*value))) {
      Fail(label + ": the rate must be 1200, 2400, 4800, 9600 or 19200, not '" +
           text.toStdString() + "'");
      return std::nullopt;
    }
    return static_cast<int32_t>(*value);
  }

 private:
  QCommandLineParser& parser_;
  std::string error_;
};

QCommandLineOption ValueOption(const char* name, const char* valueName) {
  return {QString::fromLatin1(name), QString(), QString::fromLatin1(valueName)};
}

QCommandLineOption FlagOption(const char* name) {
  return QCommandLineOption(QString::fromLatin1(name));
}

constexpr const char* kLinkOptionNames[] = {"port",     "device", "address", "baud",
                                            "parity",   "simulate", "fast",  "json",
                                            "echo",     "verbose",  "trace"};

// Qt's own message for an unknown option, or a hint when a link option
// follows the command.
std::string ParserError(const QCommandLineParser& parser) {
  for (const QString& unknown : parser.unknownOptionNames()) {
    for (const char* name : kLinkOptionNames) {
      if (unknown == QString::fromLatin1(name)) {
        return "--" + unknown.toStdString() + " is a link option: give it before the command";
      }
    }
  }
  return parser.errorText().toStdString();
}

struct CommandGrammar {
  const char* name;
  std::vector<QCommandLineOption> options;
  int positionals;
  const char* positionalName;
};

std::vector<CommandGrammar> CommandGrammars() {
  return {
      {"poll", {ValueOption("count", "N"), ValueOption("period", "MS"), FlagOption("csv")}, 0,
       nullptr},
      {"read-params", {}, 0, nullptr},
      {"write-params",
       {ValueOption("upper", "U"), ValueOption("lower", "L"), ValueOption("decimal", "D"),
        ValueOption("baud", "RATE")},
       0,
       nullptr},
      {"set-address", {}, 1, "NEW"},
      {"switch-status", {}, 0, nullptr},
      {"clock", {}, 0, nullptr},
      {"setup",
       {ValueOption("pt", "P"), ValueOption("ct", "C"), ValueOption("wiring", "W")},
       0,
       nullptr},
      {"set-baud", {}, 1, "RATE"},
      {"log",
       {ValueOption("interval", "SECONDS"), ValueOption("count", "N"), FlagOption("csv")},
       0,
       nullptr},
      {"scan",
       {ValueOption("addresses", "LIST"), ValueOption("rates", "LIST"),
        ValueOption("parities", "LIST"), FlagOption("first"), ValueOption("wait", "MS")},
       0,
       nullptr},
  };
}

std::optional<int32_t> ParityIndexOf(const QString& name) {
  if (name == QLatin1String("none")) {
    return kParityNone;
  }
  if (name == QLatin1String("odd")) {
    return kParityOdd;
  }
  if (name == QLatin1String("even")) {
    return kParityEven;
  }
  return std::nullopt;
}

std::optional<Command> ReadScan(OptionReader& in) {
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
  std::vector<int32_t> rates;
  for (const ScanLine& line : scan.plan.lines) {
    rates.push_back(line.baudRate);
  }
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
      const std::optional<int32_t> index = ParityIndexOf(parity);
      if (!index) {
        in.Fail("--parities: each must be none, odd or even, not '" + parity.toStdString() + "'");
        return std::nullopt;
      }
      parities.push_back(*index);
    }
  }
  scan.plan.lines.clear();
  for (const int32_t parity : parities) {
    for (const int32_t rate : rates) {
      const ScanLine line{rate, parity};
      if (std::find(scan.plan.lines.begin(), scan.plan.lines.end(), line) ==
          scan.plan.lines.end()) {
        scan.plan.lines.push_back(line);
      }
    }
  }
  scan.plan.stopAtFirst = in.IsSet("first");
  if (const auto wait = in.Integer("wait", kScanWait)) {
    scan.plan.turnaround = std::chrono::milliseconds(*wait);
  }
  if (in.Failed()) {
    return std::nullopt;
  }
  return scan;
}

std::optional<Command> ReadCommand(const std::string& name, OptionReader& in,
                                   const QStringList& positionals) {
  const char* const c = name.c_str();
  if (name == "scan") {
    return ReadScan(in);
  }
  if (name == "poll") {
    PollCommand poll;
    if (const auto count = in.Integer("count", kPollCount)) {
      poll.count = static_cast<int32_t>(*count);
    }
    if (const auto period = in.Integer("period", kPollPeriod)) {
      poll.periodMs = static_cast<uint32_t>(*period);
    }
    return poll;
  }
  if (name == "read-params") {
    return ReadParamsCommand{};
  }
  if (name == "write-params") {
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
  if (name == "set-address") {
    const auto address = in.Checked(positionals.front(), "NEW", value::kDeviceAddress);
    if (!address) {
      return std::nullopt;
    }
    return SetAddressCommand{static_cast<int32_t>(*address)};
  }
  if (name == "switch-status") {
    return SwitchStatusCommand{};
  }
  if (name == "clock") {
    return ClockCommand{};
  }
  if (name == "setup") {
    const auto pt = in.Required(c, "pt", value::kPtRatio);
    const auto ct = in.Required(c, "ct", value::kCtRatio);
    const auto wiring = in.Required(c, "wiring", value::kWiringMode);
    if (in.Failed()) {
      return std::nullopt;
    }
    return SetupCommand{static_cast<uint16_t>(*pt), static_cast<uint16_t>(*ct),
                        static_cast<uint8_t>(*wiring)};
  }
  if (name == "set-baud") {
    const auto rate = in.Rate(positionals.front(), "RATE");
    if (!rate) {
      return std::nullopt;
    }
    return SetBaudCommand{*rate};
  }
  LogCommand log;
  if (const auto interval = in.Required(c, "interval", kLogInterval)) {
    log.intervalSeconds = static_cast<uint32_t>(*interval);
  }
  if (const auto count = in.Integer("count", kLogBlocks)) {
    log.count = static_cast<int32_t>(*count);
  }
  return log;
}

std::optional<LinkOptions> ReadLinkOptions(OptionReader& in) {
  LinkOptions link;
  if (const auto port = in.Integer("port", value::kPort)) {
    link.settings.port = static_cast<int16_t>(*port);
  }
  if (const auto device = in.Value("device")) {
    if (device->isEmpty()) {
      in.Fail("--device needs a path");
    }
    link.device = device->toStdString();
  }
  if (const auto address = in.Integer("address", value::kMeterAddress)) {
    link.settings.address = static_cast<uint8_t>(*address);
  }
  if (const auto baud = in.Value("baud")) {
    if (const auto rate = in.Rate(*baud, "--baud")) {
      link.settings.baudRate = *rate;
    }
  }
  if (const auto parity = in.Value("parity")) {
    if (const std::optional<int32_t> index = ParityIndexOf(*parity)) {
      link.settings.parity = *index;
    } else {
      in.Fail("--parity must be none, odd or even, not '" + parity->toStdString() + "'");
    }
  }
  link.simulate = in.IsSet("simulate");
  link.fast = in.IsSet("fast");
  link.verbose = in.IsSet("verbose");
  link.trace = in.IsSet("trace");
  if (const auto echo = in.Value("echo")) {
    if (*echo == QLatin1String("auto")) {
      link.echo = LocalEcho::Auto;
    } else if (*echo == QLatin1String("on")) {
      link.echo = LocalEcho::On;
    } else if (*echo == QLatin1String("off")) {
      link.echo = LocalEcho::Off;
    } else {
      in.Fail("--echo must be auto, on or off, not '" + echo->toStdString() + "'");
    }
  }
  if (link.simulate && (link.device || in.IsSet("port"))) {
    in.Fail("--simulate talks to a meter of its own: leave out --port and --device");
  }
  if (link.device && in.IsSet("port")) {
    in.Fail("give either --port or --device, not both");
  }
  if (in.Failed()) {
    return std::nullopt;
  }
  return link;
}

ParsedCommandLine Refuse(std::string error) {
  ParsedCommandLine parsed;
  parsed.error = std::move(error);
  return parsed;
}

}  // namespace

std::string_view UsageText() { return kUsage; }

ParsedCommandLine ParseCommandLine(const QStringList& arguments) {
  ParsedCommandLine parsed;
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});

  QCommandLineParser global;
  global.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  global.addOptions({ValueOption("port", "N"), ValueOption("device", "PATH"),
                     ValueOption("address", "A"), ValueOption("baud", "RATE"),
                     ValueOption("parity", "P"), FlagOption("simulate"), FlagOption("fast"),
                     ValueOption("echo", "MODE"), FlagOption("verbose"), FlagOption("trace"),
                     FlagOption("json"),
                     FlagOption("version"), help});
  if (!global.parse(arguments)) {
    return Refuse(ParserError(global));
  }
  if (global.isSet(help)) {
    parsed.help = true;
    return parsed;
  }
  if (global.isSet(QStringLiteral("version"))) {
    parsed.version = true;
    return parsed;
  }
  OptionReader linkReader(global);
  std::optional<LinkOptions> link = ReadLinkOptions(linkReader);
  if (!link) {
    return Refuse(linkReader.TakeError());
  }
  const QStringList rest = global.positionalArguments();
  if (rest.isEmpty()) {
    return Refuse("no command given");
  }

  const std::string name = rest.front().toStdString();
  for (const CommandGrammar& grammar : CommandGrammars()) {
    if (name != grammar.name) {
      continue;
    }
    QCommandLineParser parser;
    parser.addOptions({grammar.options.begin(), grammar.options.end()});
    parser.addOption(help);
    QStringList commandArguments = rest;
    commandArguments.front() = arguments.value(0) + QLatin1Char(' ') + rest.front();
    if (!parser.parse(commandArguments)) {
      return Refuse(ParserError(parser));
    }
    if (parser.isSet(help)) {
      parsed.help = true;
      return parsed;
    }
    const QStringList positionals = parser.positionalArguments();
    if (positionals.size() != grammar.positionals) {
      return Refuse(grammar.positionals == 0
                        ? name + " takes no argument '" + positionals.front().toStdString() + "'"
                        : name + " needs one argument, " + grammar.positionalName);
    }
    OptionReader reader(parser);
    std::optional<Command> command = ReadCommand(name, reader, positionals);
    if (reader.Failed() || !command) {
      return Refuse(reader.TakeError());
    }
    if (std::holds_alternative<ScanCommand>(*command)) {
      for (const char* option : {"address", "baud", "parity"}) {
        if (global.isSet(QString::fromLatin1(option))) {
          return Refuse(std::string("scan tries its own addresses, rates and parities: leave out --") +
                        option + " (see --addresses, --rates, --parities)");
        }
      }
      std::get<ScanCommand>(*command).plan.echo = link->echo;
    }
    const bool json = global.isSet(QStringLiteral("json"));
    const bool csv = (name == "poll" || name == "log") && parser.isSet(QStringLiteral("csv"));
    if (json && csv) {
      return Refuse("give either --json or --csv, not both");
    }
    parsed.invocation = Invocation{
        *link, csv ? OutputFormat::Csv : json ? OutputFormat::Json : OutputFormat::Text,
        std::move(*command)};
    return parsed;
  }
  return Refuse("unknown command '" + name + "'");
}

}  // namespace zt::cli
