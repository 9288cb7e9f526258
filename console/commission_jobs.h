#pragma once

#include "console/link_worker.h"
#include "link/link_settings.h"
#include "meter/commission_apply.h"
#include "meter/commission_check.h"
#include "meter/site_profile.h"

// The commissioning window's jobs on the link: a check of the meter against
// a site profile, and an apply that brings the meter there.
namespace zt {

// A check on the link's settings as they stand.
CheckReport CommissionCheckJob(LinkContext& link, const SiteProfile& profile,
                               const ConfirmedInstrument& confirmed, const CheckOptions& options);

// What an apply did, copied for the window.
struct CommissionApplyOutcome {
  ApplyReport report;
  // As the link runs after it: at the meter's new address and rate once the
  // meter confirmed them, whether or not a read proved them afterwards.
  LinkSettings settings;
  // PT, CT and wiring as the meter has confirmed them in this run.
  ConfirmedInstrument confirmed;
};

// An apply on the link: the link follows the meter to a new address and
// rate, reopening the port at a new rate.
CommissionApplyOutcome CommissionApplyJob(LinkContext& link, const SiteProfile& profile,
                                          ConfirmedInstrument confirmed,
                                          const CheckOptions& options);

}  // namespace zt
