#include "report/commission_record.h"

#include <utility>

namespace zt::report {

CommissionRecord RecordOf(const SiteProfile& profile, const CheckReport& check,
                          std::string consoleVersion, std::string port, WallTime written) {
  return CommissionRecord{profile, written, std::move(consoleVersion), std::move(port), check,
                          std::nullopt};
}

CommissionRecord RecordOf(const SiteProfile& profile, const ApplyReport& apply,
                          std::string consoleVersion, std::string port, WallTime written) {
  CommissionRecord record = RecordOf(profile, apply.after ? *apply.after : apply.before,
                                     std::move(consoleVersion), std::move(port), written);
  record.apply = apply;
  return record;
}

}  // namespace zt::report
