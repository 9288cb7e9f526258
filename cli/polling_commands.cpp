#include <algorithm>
#include <chrono>
#include <functional>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/periodic_timer.h"
#include "cli/poll_report.h"
#include "meter/measurement_log.h"
#include "meter/measurement_poll.h"
#include "meter/periods.h"

namespace zt::cli {

namespace {

// Short enough that Ctrl-C between ticks is answered at once.
constexpr std::chrono::milliseconds kStopCheck{50};

void Print(CommandIo& io, const std::string& text) { PrintLine(io, text); }

// Under --csv standard output holds the rows alone: the rest goes to standard
// error, as text.
void PrintBeside(CommandIo& io, const std::string& text) {
  if (io.format == OutputFormat::Csv) {
    io.err << text << '\n' << std::flush;
  } else {
    Print(io, text);
  }
}

OutputFormat BesideFormat(const CommandIo& io) {
  return io.format == OutputFormat::Csv ? OutputFormat::Text : io.format;
}

void PrintTotals(MeasurementPoll& poller, MeterSession& session, CommandIo& io) {
  PrintBeside(io, FormatPollTotals(poller.Statistics(),
                                   ExchangeSummary::Of(session.Transaction().Statistics()),
                                   BesideFormat(io)));
}

// Sleeps until `ms` after the start of the current tick, when the timer is
// due, in slices that watch for a stop request; false when one came.
bool SleepWatching(Clock& clock, uint32_t ms, CommandIo& io) {
  const std::chrono::microseconds deadline =
      std::chrono::floor<std::chrono::milliseconds>(clock.Now()) + std::chrono::milliseconds(ms);
  for (;;) {
    if (io.stopRequested()) {
      return false;
    }
    const std::chrono::microseconds now = clock.Now();
    if (now >= deadline) {
      return true;
    }
    clock.SleepUntil(std::min<std::chrono::microseconds>(deadline, now + kStopCheck));
  }
}

void PollOnce(MeasurementPoll& poller, CommandIo& io) {
  poller.Tick();
  if (io.format == OutputFormat::Csv) {
    const PollRow row{io.wallClock(), poller.LiveText(), poller.DecimalPoint(),
                      poller.LastFailure()};
    Print(io, FormatPollCsvRow(row, poller.Statistics()));
    return;
  }
  Print(io, FormatPollTick(poller.LiveText(), poller.Statistics(), io.format));
}

// The log's appends run inside the session's waits for as long as it lives.
class SideWork {
 public:
  SideWork(SideWorkClock* clock, std::function<std::chrono::microseconds()> due,
           std::function<void()> work)
      : clock_(clock) {
    if (clock_ != nullptr) {
      clock_->SetWork(std::move(due), std::move(work));
    }
  }
  ~SideWork() {
    if (clock_ != nullptr) {
      clock_->ClearWork();
    }
  }
  SideWork(const SideWork&) = delete;
  SideWork& operator=(const SideWork&) = delete;

 private:
  SideWorkClock* clock_;
};

void PrintCsvHeader(CommandIo& io) {
  if (io.format == OutputFormat::Csv) {
    Print(io, std::string(kPollCsvHeader));
  }
}

}  // namespace

int RunPoll(const PollCommand& poll, MeterSession& session, CommandIo& io) {
  Clock& clock = session.Transaction().ClockSource();
  MeasurementPoll poller(session);
  // The first tick is taken at once rather than a period after the start.
  PeriodicTimer timer(clock.TickCount(), poll.periodMs, true);
  PrintCsvHeader(io);
  bool interrupted = false;
  for (int32_t ticks = 0; !poll.count || ticks < *poll.count; ++ticks) {
    if (!SleepWatching(clock, timer.MsUntilDue(clock.TickCount()), io)) {
      interrupted = true;
      break;
    }
    timer.Take(clock.TickCount());
    PollOnce(poller, io);
  }
  interrupted = interrupted || io.stopRequested();
  PrintTotals(poller, session, io);
  if (interrupted) {
    return kDone;
  }
  return poller.Statistics().successCount > 0 ? kDone : kNoValidReply;
}

int RunLog(const LogCommand& log, MeterSession& session, CommandIo& io) {
  Clock& clock = session.Transaction().ClockSource();
  MeasurementPoll poller(session);
  const uint32_t start = clock.TickCount();
  PeriodicTimer pollTimer(start, kPollPeriodMs, true);
  PeriodicTimer logTimer(start, log.intervalSeconds * 1000);
  const std::string file = io.logFile.string();
  int32_t blocks = 0;
  bool appendFailed = false;
  bool interrupted = false;
  const auto allAppended = [&] { return log.count && blocks >= *log.count; };
  const auto appendBlock = [&] {
    logTimer.Take(clock.TickCount());
    const bool appended =
        AppendMeasurementBlock(io.logFile, poller.Quantities(), EnergyUnits{}, io.wallClock());
    appendFailed = appendFailed || !appended;
    PrintBeside(io, FormatLogBlock(++blocks, file, appended, BesideFormat(io)));
  };
  const SideWork sideWork(io.sideWork, [&] {
    return allAppended() ? std::chrono::microseconds::max()
                         : clock.Now() + std::chrono::milliseconds(
                                             logTimer.MsUntilDue(clock.TickCount()));
  }, appendBlock);
  PrintCsvHeader(io);
  while (!allAppended()) {
    const uint32_t now = clock.TickCount();
    const uint32_t wait = std::min(pollTimer.MsUntilDue(now), logTimer.MsUntilDue(now));
    if (!SleepWatching(clock, wait, io)) {
      interrupted = true;
      break;
    }
    if (pollTimer.IsDue(clock.TickCount())) {
      pollTimer.Take(clock.TickCount());
      PollOnce(poller, io);
    }
    if (!allAppended() && logTimer.IsDue(clock.TickCount())) {
      appendBlock();
    }
  }
  interrupted = interrupted || io.stopRequested();
  PrintTotals(poller, session, io);
  if (appendFailed) {
    return kLogNotWritten;
  }
  if (interrupted) {
    return kDone;
  }
  return poller.Statistics().successCount > 0 ? kDone : kNoValidReply;
}

}  // namespace zt::cli
