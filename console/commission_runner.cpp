#include "console/commission_runner.h"

#include <QMetaObject>
#include <QPointer>

#include "console/console_link.h"

namespace zt {

namespace {

// One run's cancel flag or the console's own stop, asked between exchanges
// on the link's thread.
struct RunStop {
  std::shared_ptr<std::atomic<bool>> cancel;

  void Follow(LinkContext& link, CheckOptions& options) const {
    options.stopRequested = [cancel = cancel, &stop = link.stop] {
      return cancel->load() || stop.load();
    };
  }
};

}  // namespace

CheckOptions ConsoleCommissionRunner::Options(QObject* receiver, Progress progress) {
  CheckOptions options;
  options.wallClock = wallClock_;
  options.progress = [target = QPointer<QObject>(receiver),
                      progress = std::move(progress)](std::string_view step) {
    if (target && progress) {
      // At once on the receiver's own thread (a worker that runs its jobs
      // there), queued from the link's thread.
      QMetaObject::invokeMethod(
          target.data(), [target, progress, step = std::string(step)] {
            if (target) {
              progress(step);
            }
          },
          Qt::AutoConnection);
    }
  };
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

void ConsoleCommissionRunner::Check(QObject* receiver, const SiteProfile& profile,
                                    Progress progress, Checked done) {
  link_.Exchange<CheckReport>(
      true,
      [profile, confirmed = confirmed_, options = Options(receiver, std::move(progress)),
       stop = RunStop{NewCancelFlag()}](LinkContext& link) mutable {
        stop.Follow(link, options);
        return CommissionCheckJob(link, profile, confirmed, options);
      },
      [this, target = QPointer<QObject>(receiver),
       done = std::move(done)](const CheckReport& report) {
        if (checked_) {
          checked_(report);
        }
        if (target) {
          done(report);
        }
      });
}

void ConsoleCommissionRunner::Apply(QObject* receiver, const SiteProfile& profile,
                                    Progress progress, Applied done) {
  link_.Exchange<CommissionApplyOutcome>(
      true,
      [profile, confirmed = confirmed_, options = Options(receiver, std::move(progress)),
       stop = RunStop{NewCancelFlag()}](LinkContext& link) mutable {
        stop.Follow(link, options);
        return CommissionApplyJob(link, profile, confirmed, options);
      },
      [this, target = QPointer<QObject>(receiver),
       done = std::move(done)](const CommissionApplyOutcome& outcome) {
        confirmed_ = outcome.confirmed;
        if (applied_) {
          applied_(outcome);
        }
        if (target) {
          done(outcome);
        }
      });
}

}  // namespace zt
