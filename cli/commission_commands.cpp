#include "cli/commission_commands.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <sstream>

#include "cli/exit_status.h"
#include "meter/commission_apply.h"
#include "meter/commission_check.h"
#include "report/report_writer.h"
#include "zt6100/version.h"

namespace zt::cli {

namespace {

std::string Cell(const std::optional<std::string>& text) { return text ? *text : "-"; }

std::string Clock(const std::optional<WallTime>& at) {
  // The time of day in UTC+8, as the meter and the technician keep it.
  return at ? ChinaTimeText(*at).substr(11) : "-";
}

std::string Padded(std::string text, std::size_t width) {
  // Widths count bytes: the texts of the table are ASCII.
  if (text.size() < width) {
    text.append(width - text.size(), ' ');
  }
  return text;
}

std::string CheckTable(const CheckReport& check) {
  std::ostringstream out;
  out << Padded("setting", 16) << Padded("expected", 21) << Padded("read", 21)
      << Padded("verdict", 16) << Padded("time", 10) << "note\n";
  for (const CheckRow& row : check.rows) {
    std::string line = Padded(row.key, 16) + Padded(Cell(row.expected), 21) +
                       Padded(Cell(row.read), 21) + Padded(std::string(VerdictKey(row.verdict)), 16) +
                       Padded(Clock(row.at), 10) + row.note;
    while (!line.empty() && line.back() == ' ') {
      line.pop_back();
    }
    out << line << '\n';
  }
  const LiveSummary& live = check.live;
  out << "live: " << live.polls << " polls, " << live.replies << " replies";
  if (live.mean) {
    char figures[96];
    std::snprintf(figures, sizeof figures, ", min %.4f, max %.4f, mean %.4f", *live.min,
                  *live.max, *live.mean);
    out << figures;
  }
  out << '\n';
  const LinkVerdict& verdict = check.link;
  out << "link: " << verdict.exchanges << " exchanges, " << verdict.failures << " failed";
  if (verdict.mainCause) {
    out << ", mostly " << NameOf(*verdict.mainCause).words << ": check " << verdict.check;
  } else {
    out << ": sound";
  }
  if (check.exchanges.latency) {
    char latency[64];
    std::snprintf(latency, sizeof latency, "; reply latency median %.1f ms",
                  static_cast<double>(check.exchanges.latency->median.count()) / 1000.0);
    out << latency;
  }
  out << '\n';
  if (check.cancelled) {
    out << "check: cancelled\n";
  } else {
    out << (check.AllMatch() ? "check: everything matches" : "check: something differs") << '\n';
  }
  return out.str();
}

std::string StepLines(const ApplyReport& apply) {
  std::ostringstream out;
  if (apply.steps.empty() && !apply.cancelled) {
    out << "apply: nothing differs, nothing written\n";
  }
  for (const ApplyStep& step : apply.steps) {
    out << "write " << step.key << " " << step.value << ": " << StepStateKey(step.state);
    if (step.at) {
      out << " at " << Clock(step.at);
    }
    if (!step.note.empty()) {
      out << " (" << step.note << ")";
    }
    out << '\n';
  }
  if (apply.cancelled) {
    out << "apply: cancelled\n";
  }
  return out.str();
}

int WriteReport(const CommissionRun& run, const report::CommissionRecord& record, CommandIo& io) {
  if (!run.report) {
    return kDone;
  }
  if (const std::optional<report::ReportFailure> failed =
          report::WriteCommissionReport(*run.report, record, run.language)) {
    io.err << "zt6100ctl: " << failed->Message() << '\n';
    return kReportNotWritten;
  }
  return kDone;
}

void Print(CommandIo& io, const report::CommissionRecord& record, const std::string& text) {
  if (io.format == OutputFormat::Json) {
    const QJsonDocument object = QJsonDocument::fromJson(report::CommissionJson(record));
    PrintLine(io, object.toJson(QJsonDocument::Compact).toStdString());
  } else {
    io.out << text << std::flush;
  }
}

CheckOptions Options(const CommissionRun& run, CommandIo& io) {
  CheckOptions options;
  options.livePolls = run.livePolls;
  options.wallClock = io.wallClock;
  options.stopRequested = io.stopRequested;
  return options;
}

}  // namespace

int RunCheckProfile(const CommissionRun& run, CommissionLink& link, CommandIo& io) {
  const CheckOptions options = Options(run, io);
  const ConfirmedInstrument none;
  const CheckReport check = CheckMeter(link.session, run.profile, none, options);
  const report::CommissionRecord record = report::RecordOf(
      run.profile, check, std::string(kVersion), link.port, io.wallClock());
  Print(io, record, CheckTable(check));
  const int written = WriteReport(run, record, io);
  if (written != kDone) {
    return written;
  }
  return check.AllMatch() ? kDone : kNoValidReply;
}

int RunApplyProfile(const CommissionRun& run, CommissionLink& link, CommandIo& io) {
  ApplyOptions options;
  options.check = Options(run, io);
  options.reopen = link.reopen;
  ConfirmedInstrument confirmed;
  const ApplyReport apply =
      ApplyProfile(link.session, link.settings, run.profile, confirmed, options);
  const report::CommissionRecord record = report::RecordOf(
      run.profile, apply, std::string(kVersion), link.port, io.wallClock());
  Print(io, record, StepLines(apply) + (apply.after ? CheckTable(*apply.after) : std::string()));
  const int written = WriteReport(run, record, io);
  if (written != kDone) {
    return written;
  }
  return apply.Done() ? kDone : kNoValidReply;
}

}  // namespace zt::cli
