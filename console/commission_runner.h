#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "console/commission_jobs.h"
#include "console/receiver_calls.h"
#include "meter/commission_apply.h"
#include "meter/commission_check.h"
#include "meter/instrument_setup.h"
#include "meter/site_profile.h"

namespace zt {

class ConsoleLink;

// Runs the commissioning window's check and apply on the link without
// holding up the window: progress and results come back on the window's
// thread. One at a time; Cancel sends nothing more once the exchange on the
// line has ended (an apply does not stop inside a change of address or
// rate).
class CommissionRunner : public CancellableRuns {
 public:
  // The row key of the read about to be sent, or "live" for a poll.
  using Progress = std::function<void(const std::string& step)>;
  using Checked = std::function<void(const CheckReport&)>;
  using Applied = std::function<void(const CommissionApplyOutcome&)>;

  virtual ~CommissionRunner() = default;

  // `progress` and then `done`, on the thread of `receiver` and only while
  // it exists.
  virtual void Check(QObject* receiver, const SiteProfile& profile, Progress progress,
                     Checked done) = 0;
  virtual void Apply(QObject* receiver, const SiteProfile& profile, Progress progress,
                     Applied done) = 0;
};

// The check and apply as commands of the console's link: they wait for the
// exchange on the line and the commands after them wait for them. What the
// meter confirmed is kept here for the console's whole run; after a check
// `checked` and after an apply `applied` tell the console, before the window
// hears of it, so that the console shows what was read and follows the meter
// even when the window has gone.
class ConsoleCommissionRunner final : public CommissionRunner {
 public:
  using ConsoleUpdate = std::function<void(const CommissionApplyOutcome&)>;

  ConsoleCommissionRunner(ConsoleLink& link, std::function<WallTime()> wallClock, Checked checked,
                          ConsoleUpdate applied)
      : link_(link),
        wallClock_(std::move(wallClock)),
        checked_(std::move(checked)),
        applied_(std::move(applied)) {}

  void Check(QObject* receiver, const SiteProfile& profile, Progress progress,
             Checked done) override;
  void Apply(QObject* receiver, const SiteProfile& profile, Progress progress,
             Applied done) override;

  const ConfirmedInstrument& Confirmed() const { return confirmed_; }
  // What 仪表设置 wrote and the meter confirmed, at `at`: a check shows it
  // and an apply need not write it again.
  void NoteInstrumentSetup(const InstrumentSettings& written, const InstrumentSetupOutcome& outcome,
                           WallTime at);

 private:
  // The options of one run: the wall clock and progress handed to
  // `receiver`'s thread.
  CheckOptions Options(QObject* receiver, Progress progress);
  // `job` as a command of the console's link with this run's options and
  // stop; `update` tells the console of its result, then `done` the window.
  template <typename Result, typename Job>
  void Run(QObject* receiver, Progress progress, Job job,
           std::function<void(const Result&)> update, std::function<void(const Result&)> done);

  ConsoleLink& link_;
  std::function<WallTime()> wallClock_;
  Checked checked_;
  ConsoleUpdate applied_;
  ConfirmedInstrument confirmed_;
};

}  // namespace zt
