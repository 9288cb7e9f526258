#include <cerrno>
#include <cstring>
#include <type_traits>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/meter_report.h"
#include "cli/report_time.h"
#include "meter/instrument_setup.h"

namespace zt::cli {

namespace {

void Print(CommandIo& io, const std::string& text) { PrintLine(io, text); }

int Outcome(bool confirmed) { return confirmed ? kDone : kNoValidReply; }

int ReadParams(MeterSession& session, CommandIo& io) {
  const ParameterReads reads = session.ReadParameters();
  Print(io, FormatParameterReads(reads, io.format));
  return Outcome(reads.upperLimit && reads.lowerLimit && reads.decimalPoint && reads.meterBaud);
}

int WriteParams(const WriteParamsCommand& command, MeterSession& session, CommandIo& io) {
  const ParameterWrites writes = session.WriteParameters(command.values);
  Print(io, FormatParameterWrites(writes, io.format));
  return Outcome(writes.AllConfirmed());
}

int SetAddress(const SetAddressCommand& command, MeterSession& session, CommandIo& io) {
  const bool confirmed = session.ChangeAddress(command.newAddress);
  Print(io, FormatAddressChange(command.newAddress, confirmed, !session.LastSkipped(), io.format));
  return Outcome(confirmed);
}

int ReadSwitchStatus(MeterSession& session, CommandIo& io) {
  const std::optional<SwitchStatus> status = session.ReadSwitchStatus();
  Print(io, FormatSwitchStatus(status, io.format));
  return Outcome(status.has_value());
}

int ReadClock(MeterSession& session, CommandIo& io) {
  const std::optional<MeterClock> clock = session.ReadClock();
  Print(io, FormatClock(clock, io.format));
  return Outcome(clock.has_value());
}

int Setup(const SetupCommand& command, MeterSession& session, CommandIo& io) {
  const InstrumentSetupOutcome outcome =
      WriteInstrumentSetup(session, {command.pt, command.ct, command.wiring});
  Print(io, FormatSetup(command, outcome, io.format));
  return Outcome(outcome.AllConfirmed());
}

int SetBaud(const SetBaudCommand& command, MeterSession& session, CommandIo& io) {
  const bool confirmed = session.ChangeLinkBaud(command.rate);
  Print(io, FormatBaudChange(command.rate, confirmed, !session.LastSkipped(), io.format,
                             io.serverKeepsRate));
  return Outcome(confirmed);
}

}  // namespace

void PrintLine(CommandIo& io, const std::string& text) {
  if (io.outputLost) {
    return;
  }
  errno = 0;
  io.out << (io.format == OutputFormat::Json ? Stamped(text, io.wallClock()) : text) << '\n'
         << std::flush;
  if (!io.out) {
    io.outputLost = WriteFailureReason();
  }
}

std::string WriteFailureReason() {
  return errno != 0 ? std::strerror(errno) : "the stream refused it";
}

int RunCommand(const Command& command, MeterSession& session, CommandIo& io) {
  const int status = std::visit(
      [&](const auto& c) -> int {
        using C = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<C, PollCommand>) {
          return RunPoll(c, session, io);
        } else if constexpr (std::is_same_v<C, LogCommand>) {
          return RunLog(c, session, io);
        } else if constexpr (std::is_same_v<C, ReadParamsCommand>) {
          return ReadParams(session, io);
        } else if constexpr (std::is_same_v<C, WriteParamsCommand>) {
          return WriteParams(c, session, io);
        } else if constexpr (std::is_same_v<C, SetAddressCommand>) {
          return SetAddress(c, session, io);
        } else if constexpr (std::is_same_v<C, SwitchStatusCommand>) {
          return ReadSwitchStatus(session, io);
        } else if constexpr (std::is_same_v<C, ClockCommand>) {
          return ReadClock(session, io);
        } else if constexpr (std::is_same_v<C, SetupCommand>) {
          return Setup(c, session, io);
        } else if constexpr (std::is_same_v<C, SetBaudCommand>) {
          return SetBaud(c, session, io);
        } else {
          static_assert(std::is_same_v<C, ScanCommand> || std::is_same_v<C, CheckProfileCommand> ||
                        std::is_same_v<C, ApplyProfileCommand>);
          io.err << "zt6100ctl: this command needs the port itself\n";
          return kUsageError;
        }
      },
      command);
  // The exchanges a stop request skipped are the last ones the command asked for.
  return session.LastSkipped() ? kStopped : status;
}

}  // namespace zt::cli
