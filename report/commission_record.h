#pragma once

#include <optional>
#include <string>

#include "meter/commission_apply.h"
#include "meter/commission_check.h"
#include "meter/site_profile.h"
#include "report/language.h"

namespace zt::report {

// Everything a commissioning report holds: what was asked, what was found,
// what was written.
struct CommissionRecord {
  SiteProfile profile;
  WallTime written;
  std::string consoleVersion;
  std::string port;  // the device, or the server the link goes through
  // The check the report stands for: the closing check of an apply.
  CheckReport check;
  // The apply's steps and its opening check, when the report is of an apply.
  std::optional<ApplyReport> apply;
};

// The record of a check, or of an apply (its closing check, or its opening one
// when it was cancelled before).
CommissionRecord RecordOf(const SiteProfile& profile, const CheckReport& check,
                          std::string consoleVersion, std::string port, WallTime written);
CommissionRecord RecordOf(const SiteProfile& profile, const ApplyReport& apply,
                          std::string consoleVersion, std::string port, WallTime written);

}  // namespace zt::report
