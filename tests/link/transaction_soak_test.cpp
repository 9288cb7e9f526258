// A long run of measurement polls against a meter that misbehaves at random
// in every way the simulator knows, late replies included, in virtual time.
// Each live reading the meter sends is distinct, so every value a poll
// reports can be traced to the request that carried it.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "link/clock.h"
#include "link/transaction.h"
#include "meter/meter_session.h"
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
  int successes = 0;
  int failures = 0;
  std::array<int, sim::kFaultKinds + 1> byFault{};
};

SoakTotals Soak(bool fast, uint32_t seed) {
  test::VirtualMeterLine line;
  sim::MeterModel& meter = line.meter;
  sim::SimulatedPort& port = line.port;
  meter.SetDistinctLiveValues(true);
  EXPECT_TRUE(line.OpenLine());
  // Late replies that begin anywhere up to twice the wait after their request.
  const microseconds maxLate = 2 * MeterSession::kReadWait - sim::kDefaultReplyLatency -
                               sim::LineTime(port.CurrentLineFormat(), 8);
  port.SetFaultMix({20, maxLate, seed});
  Transaction& link = line.link;
  if (fast) {
    link.SetFastExchange(FastExchange::ForLine(port.CurrentLineFormat()));
  }
  const LinkSettings settings;
  MeterSession session(link, settings);

  SoakTotals totals;
  for (int poll = 0; poll < kPolls; ++poll) {
    const uint32_t readsBefore = meter.LiveReads();
    const uint16_t valueIfHeard = meter.NextLiveValue();
    const PollResult result =
        fast ? PollResult{session.ReadDecimalPoint(), session.ReadLiveValue()} : session.Poll();
    const FaultKind fault = port.Responder().LastFault();
    ++totals.byFault[static_cast<std::size_t>(fault)];
    if (result.rawValue) {
      ++totals.successes;
      // The value is the one the meter sent for this very request.
      EXPECT_EQ(meter.LiveReads(), readsBefore + 1) << "poll " << poll;
      EXPECT_EQ(*result.rawValue, valueIfHeard) << "poll " << poll;
    } else {
      ++totals.failures;
    }
    // A clean reply is never lost to the recovery from an earlier failure,
    // and a spoilt one never passes.
    switch (fault) {
      case FaultKind::None:
      case FaultKind::Noise:
        EXPECT_TRUE(result.rawValue.has_value()) << "poll " << poll;
        break;
      case FaultKind::Late:
        break;
      default:
        EXPECT_FALSE(result.rawValue.has_value()) << "poll " << poll;
        break;
    }
    if (result.decimalPoint) {
      EXPECT_EQ(*result.decimalPoint, meter.DecimalPoint()) << "poll " << poll;
    }
    port.ClearLogs();
    if (::testing::Test::HasFailure()) {
      break;
    }
  }
  return totals;
}

class TransactionSoak : public ::testing::TestWithParam<bool> {};

TEST_P(TransactionSoak, EveryReportedValueIsTheOneSentForItsRequest) {
  const SoakTotals totals = Soak(GetParam(), GetParam() ? 61U : 6100U);
  EXPECT_EQ(totals.successes + totals.failures, kPolls);
  int counted = 0;
  for (const int n : totals.byFault) {
    counted += n;
  }
  EXPECT_EQ(counted, kPolls);
  // Every kind of fault happened, many times over.
  for (std::size_t kind = 1; kind < totals.byFault.size(); ++kind) {
    EXPECT_GT(totals.byFault[kind], kPolls / 100) << "fault kind " << kind;
  }
  std::printf("%s: %d polls, %d successes, %d failures\n", GetParam() ? "fast" : "fixed", counted,
              totals.successes, totals.failures);
}

INSTANTIATE_TEST_SUITE_P(Waits, TransactionSoak, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Fast" : "Fixed"; });

}  // namespace
}  // namespace zt
