#include "cli/command_line.h"

#include <QCommandLineParser>

#include <string>

#include "cli/command_grammar.h"
#include "cli/option_reader.h"
#include "link/transaction.h"
#include "meter/value_ranges.h"

namespace zt::cli {

namespace {

// Qt's own message for an unknown option, or a hint when a link option
// follows the command.
constexpr EnteredValue kGuardLimit{"ms for the line guard",
                                   {0, Transaction::kMaxGuardLimit.count()}};

std::string ParserError(const QCommandLineParser& parser) {
  for (const QString& unknown : parser.unknownOptionNames()) {
    for (std::size_t i = 0; i < kLinkOptionCount; ++i) {
      if (unknown == QString::fromLatin1(kGlobalOptionNames[i])) {
        return "--" + unknown.toStdString() + " is a link option: give it before the command";
      }
    }
  }
  return parser.errorText().toStdString();
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
    if (const std::optional<ParityIndex> index = ParityOfWord(parity->toStdString())) {
      link.settings.parity = *index;
    } else {
      in.Fail("--parity must be none, odd or even, not '" + parity->toStdString() + "'");
    }
  }
  if (const auto guard = in.Integer("guard-ms", kGuardLimit)) {
    link.guardLimit = std::chrono::milliseconds(*guard);
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

ParsedCommandLine ParseCommandLine(const QStringList& arguments) {
  ParsedCommandLine parsed;
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});

  QCommandLineParser global;
  global.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  for (const char* name : kGlobalOptionNames) {
    global.addOption(OptionNamed(name));
  }
  global.addOption(help);
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
  const CommandGrammar* grammar = GrammarFor(name);
  if (grammar == nullptr) {
    return Refuse("unknown command '" + name + "'");
  }
  QCommandLineParser parser;
  for (const char* option : grammar->options) {
    if (option != nullptr) {
      parser.addOption(OptionNamed(option));
    }
  }
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
  if (positionals.size() != grammar->positionals) {
    return Refuse(grammar->positionals == 0
                      ? name + " takes no argument '" + positionals.front().toStdString() + "'"
                      : name + " needs one argument, " + grammar->positionalName);
  }
  OptionReader reader(parser);
  std::optional<Command> command = grammar->read(grammar->name, reader, positionals);
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
  const bool csvBefore = global.isSet(QStringLiteral("csv"));
  if (csvBefore && !grammar->Takes("csv")) {
    return Refuse("--csv is for poll and log, not " + name);
  }
  const bool csv = csvBefore || (grammar->Takes("csv") && parser.isSet(QStringLiteral("csv")));
  if (json && csv) {
    return Refuse("give either --json or --csv, not both");
  }
  parsed.invocation = Invocation{
      *link, csv ? OutputFormat::Csv : json ? OutputFormat::Json : OutputFormat::Text,
      std::move(*command)};
  return parsed;
}

}  // namespace zt::cli
