#include "console/commission_runner.h"

#include "console/console_link.h"

namespace zt {

CheckOptions ConsoleCommissionRunner::Options(QObject* receiver, Progress progress) {
  CheckOptions options;
  options.wallClock = wallClock_;
  options.progress = OnReceiverThread<std::string, std::string_view>(receiver, std::move(progress));
  // A "停止运行" before this run is over; one during it, or the console
  // closing, ends it like the window's own stop.
  link_.Worker().ClearStop();
  return options;
}

void ConsoleCommissionRunner::NoteInstrumentSetup(const InstrumentSettings& written,
                                                  const InstrumentSetupOutcome& outcome,
                                                  WallTime at) {
  if (outcome.pt == true) {
    confirmed_.pt = ConfirmedInstrument::Entry{written.ptRatio, at};
  }
  if (outcome.ct == true) {
    confirmed_.ct = ConfirmedInstrument::Entry{written.ctRatio, at};
  }
  if (outcome.wiring == true) {
    confirmed_.wiring = ConfirmedInstrument::Entry{written.wiringMode, at};
  }
}

template <typename Result, typename Job>
void ConsoleCommissionRunner::Run(QObject* receiver, Progress progress, Job job,
                                  std::function<void(const Result&)> update,
                                  std::function<void(const Result&)> done) {
  link_.Exchange<Result>(
      true,
      [job = std::move(job), options = Options(receiver, std::move(progress)),
       cancel = NewCancelFlag()](LinkContext& link) mutable {
        // This run's cancel or the console's own stop, asked between
        // exchanges on the link's thread.
        options.stopRequested = [cancel, &stop = link.stop] {
          return cancel->load() || stop.load();
        };
        return job(link, options);
      },
      [update = std::move(update),
       done = WhileReceiverExists<Result>(receiver, std::move(done))](const Result& result) {
        update(result);
        done(result);
      });
}

void ConsoleCommissionRunner::Check(QObject* receiver, const SiteProfile& profile,
                                    Progress progress, Checked done) {
  Run<CheckReport>(
      receiver, std::move(progress),
      [profile, confirmed = confirmed_](LinkContext& link, const CheckOptions& options) {
        return CommissionCheckJob(link, profile, confirmed, options);
      },
      [this](const CheckReport& report) {
        if (checked_) {
          checked_(report);
        }
      },
      std::move(done));
}

void ConsoleCommissionRunner::Apply(QObject* receiver, const SiteProfile& profile,
                                    Progress progress, Applied done) {
  Run<CommissionApplyOutcome>(
      receiver, std::move(progress),
      [profile, confirmed = confirmed_](LinkContext& link, const CheckOptions& options) {
        return CommissionApplyJob(link, profile, confirmed, options);
      },
      [this](const CommissionApplyOutcome& outcome) {
        confirmed_ = outcome.confirmed;
        if (applied_) {
          applied_(outcome);
        }
      },
      std::move(done));
}

}  // namespace zt
