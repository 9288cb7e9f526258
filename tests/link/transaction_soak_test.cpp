// A long run of measurement polls against a meter that misbehaves at random
// in every way the simulator knows, late replies up to the guard limit
// included, in virtual time. Each live reading the meter sends is distinct,
// so every value a poll shows as good can be traced to the request that
// carried it.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "link/clock.h"
#include "link/transaction.h"
#include "meter/live_value.h"
#include "meter/measurement_poll.h"
#include "meter/meter_session.h"
#include "meter/register_map.h"
#include "sim/line_timing.h"
#include "sim/meter_model.h"
#include "sim/simulated_port.h"
#include "support/virtual_meter_line.h"

namespace zt {
namespace {

using std::chrono::microseconds;
using sim::FaultKind;

constexpr int kPolls = 100'000;

struct SoakTotals {
  int good = 0;
  int failed = 0;
  int cleanTicks = 0;
  std::array<int, sim::kFaultKinds + 1> byFault{};
};

bool Clean(FaultKind kind) { return kind == FaultKind::None || kind == FaultKind::Noise; }

SoakTotals Soak(bool fast, uint32_t seed) {
  test::VirtualMeterLine line;
  sim::MeterModel& meter = line.meter;
  sim::SimulatedPort& port = line.port;
  meter.SetDistinctLiveValues(true);
  EXPECT_TRUE(line.OpenLine());
  // A late reply comes up to 2 s after the meter would have answered: every
  // lateness the guard limit is there to cover.
  port.SetFaultMix({20, Transaction::kDefaultGuardLimit, seed});
  std::vector<FaultKind> tickFaults;
  port.SetFaultObserver([&tickFaults](const sim::Request&, FaultKind kind) {
    tickFaults.push_back(kind);
  });
  port.SetRecording(false);
  Transaction& transaction = line.transaction;
  if (fast) {
    transaction.SetFastExchange(FastExchange::ForLine(port.CurrentLineFormat()));
  }
  const LinkSettings settings;
  MeterSession session(transaction, settings);
  MeasurementPoll poll(session);

  SoakTotals totals;
  for (int tick = 0; tick < kPolls; ++tick) {
    tickFaults.clear();
    const bool scaleKnown = poll.DecimalPointRead();
    const uint32_t readsBefore = meter.LiveReads();
    const uint16_t valueIfHeard = meter.NextLiveValue();
    const bool good = poll.Tick();
    const FaultKind liveFault = port.Responder().LastFault();
    ++totals.byFault[static_cast<std::size_t>(liveFault)];
    EXPECT_EQ(good, !poll.LastFailure().has_value()) << "tick " << tick;
    if (good) {
      ++totals.good;
      // The value is the one the meter sent for this very request, scaled
      // by the meter's own decimal point.
      EXPECT_EQ(meter.LiveReads(), readsBefore + 1) << "tick " << tick;
      EXPECT_EQ(poll.LastReads().rawValue, valueIfHeard) << "tick " << tick;
      EXPECT_EQ(poll.DecimalPoint(), meter.DecimalPoint()) << "tick " << tick;
      EXPECT_EQ(poll.LiveText(), FormatLiveValue(valueIfHeard, meter.DecimalPoint()))
          << "tick " << tick;
    } else {
      ++totals.failed;
      EXPECT_FALSE(poll.LiveText().has_value()) << "tick " << tick;
    }
    if (poll.LastReads().decimalPoint) {
      EXPECT_EQ(*poll.LastReads().decimalPoint, meter.DecimalPoint()) << "tick " << tick;
    }
    // Two clean requests once the scale is known always give a good value:
    // the recovery from earlier failures never costs a clean tick. A spoilt
    // live reply never passes.
    if (scaleKnown && tickFaults.size() == 2 && Clean(tickFaults[0]) && Clean(tickFaults[1])) {
      ++totals.cleanTicks;
      EXPECT_TRUE(good) << "tick " << tick;
    }
    if (!Clean(liveFault) && liveFault != FaultKind::Late) {
      EXPECT_FALSE(good) << "tick " << tick;
    }
    if (::testing::Test::HasFailure()) {
      break;
    }
  }
  // The counts add up: ticks, the poll's statistics and every exchange.
  const LinkStatistics& stats = poll.Statistics();
  EXPECT_EQ(stats.successCount, totals.good);
  EXPECT_EQ(stats.failureCount, totals.failed);
  EXPECT_EQ(transaction.Statistics().Exchanges(), 2 * int64_t{kPolls});
  EXPECT_GE(transaction.Statistics().Failures(FailureCause::LateReply), 1);
  return totals;
}

class TransactionSoak : public ::testing::TestWithParam<bool> {};

TEST_P(TransactionSoak, EveryGoodValueIsTheOneSentForItsRequest) {
  const SoakTotals totals = Soak(GetParam(), GetParam() ? 61U : 6100U);
  EXPECT_EQ(totals.good + totals.failed, kPolls);
  int counted = 0;
  for (const int n : totals.byFault) {
    counted += n;
  }
  EXPECT_EQ(counted, kPolls);
  // Every kind of fault happened, many times over.
  for (std::size_t kind = 1; kind < totals.byFault.size(); ++kind) {
    EXPECT_GT(totals.byFault[kind], kPolls / 100) << "fault kind " << kind;
  }
  // About two ticks in three have two clean requests.
  EXPECT_GT(totals.cleanTicks, kPolls / 2);
  std::printf("%s: %d polls, %d good, %d failed, %d with both requests clean\n",
              GetParam() ? "fast" : "fixed", counted, totals.good, totals.failed,
              totals.cleanTicks);
}

INSTANTIATE_TEST_SUITE_P(Waits, TransactionSoak, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Fast" : "Fixed"; });

}  // namespace
}  // namespace zt
