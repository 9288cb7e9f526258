#pragma once

#include <QCommandLineOption>
#include <QStringList>

#include <array>
#include <optional>
#include <string_view>

#include "cli/command_line.h"
#include "cli/option_reader.h"

namespace zt::cli {

// Every option zt6100ctl knows, before or after the command.
QCommandLineOption OptionNamed(std::string_view name);

// The options that go before the command: the link's, --json and --version.
inline constexpr std::array<const char*, 14> kGlobalOptionNames = {
    "port", "device", "address", "baud",  "parity",   "simulate", "fast",
    "json", "echo",   "verbose", "trace", "guard-ms", "csv",      "version"};
// Of those, the ones a user may put after the command by mistake (--csv
// belongs to poll and log there too).
inline constexpr std::size_t kLinkOptionCount = kGlobalOptionNames.size() - 2;

// One command: its name, its options, how many arguments it takes and how
// its values are read once Qt has parsed them.
struct CommandGrammar {
  const char* name;
  std::array<const char*, 5> options;  // unused slots are null
  int positionals;
  const char* positionalName;
  std::optional<Command> (*read)(const char* name, OptionReader& in,
                                 const QStringList& positionals);

  bool Takes(std::string_view option) const;
};

// The grammar of the command called `name`, null for an unknown one.
const CommandGrammar* GrammarFor(std::string_view name);

}  // namespace zt::cli
