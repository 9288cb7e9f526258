#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "link/link_settings.h"
#include "link/serial_port.h"
#include "meter/meter_session.h"
#include "meter/site_profile.h"
#include "report/commission_record.h"

namespace zt::cli {

// What check and apply need of the run's link beyond the session: the
// settings the session addresses (the apply follows the meter to a new
// address and rate), a way to reopen the port, and the port's name for the
// report.
struct CommissionLink {
  MeterSession& session;
  LinkSettings& settings;
  std::function<OpenResult(const LinkSettings&)> reopen;
  std::string port;
};

struct CommissionRun {
  SiteProfile profile;
  std::optional<std::filesystem::path> report;
  report::Language language = report::Language::kChinese;
  int livePolls = 10;
};

// The check's table (text) or one object (JSON); 0 when every setting
// matches, 1 when one differs or went unanswered, 5 when the report could not
// be written.
int RunCheckProfile(const CommissionRun& run, CommissionLink& link, CommandIo& io);
// The writes, each with its confirmation, then the closing check; 0 when
// every write was confirmed and the closing check matches.
int RunApplyProfile(const CommissionRun& run, CommissionLink& link, CommandIo& io);

}  // namespace zt::cli
