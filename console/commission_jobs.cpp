#include "console/commission_jobs.h"

namespace zt {

CheckReport CommissionCheckJob(LinkContext& link, const SiteProfile& profile,
                               const ConfirmedInstrument& confirmed, const CheckOptions& options) {
  return CheckMeter(link.session, profile, confirmed, options);
}

CommissionApplyOutcome CommissionApplyJob(LinkContext& link, const SiteProfile& profile,
                                          ConfirmedInstrument confirmed,
                                          const CheckOptions& options) {
  ApplyOptions apply;
  apply.check = options;
  apply.reopen = [&link](const LinkSettings& settings) {
    return link.line.Reopen(settings);
  };
  CommissionApplyOutcome outcome;
  outcome.report = ApplyProfile(link.session, link.settings, profile, confirmed, apply);
  outcome.settings = link.settings;
  outcome.confirmed = confirmed;
  return outcome;
}

}  // namespace zt
