// Why an exchange found no valid reply: first from bytes alone, then from
// every fault the simulated meter injects, through the transaction's counts.
#include "link/failure_cause.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "link/exchange_statistics.h"
#include "link/transaction.h"
#include "sim/fault_config.h"
#include "support/hex.h"
#include "support/virtual_meter_line.h"

namespace zt {
namespace {

using sim::FaultConfig;
using std::chrono::microseconds;
using std::chrono::milliseconds;
using test::Bytes;

const TxFrame kReadDp = BuildReadRequest(1, 0x0006, 1);  // 01 03 00 06 00 01 64 0B
const TxFrame kWriteDp = BuildWriteSingleRequest(1, 0x0006, 2);  // 01 06 00 06 00 02 E8 0A

struct BytesRow {
  const char* name;
  bool write;
  const char* received;
  const char* late;
  FailureDiagnosis diagnosis;
};

class ClassifyBytes : public ::testing::TestWithParam<BytesRow> {};

TEST_P(ClassifyBytes, NamesTheCause) {
  const BytesRow& row = GetParam();
  const TxFrame& request = row.write ? kWriteDp : kReadDp;
  const ExpectedReply expected =
      row.write ? ExpectedReply::EchoOf(request) : ExpectedReply::ReadOf(request);
  const std::vector<uint8_t> received = Bytes(row.received);
  // Only failed exchanges are classified: the table holds none that succeed.
  ASSERT_EQ(FindExpectedReply(received.data(), static_cast<int16_t>(received.size()), expected),
            -1);
  EXPECT_EQ(ClassifyFailure(request, expected, received, Bytes(row.late)), row.diagnosis);
}

using C = FailureCause;

INSTANTIATE_TEST_SUITE_P(
    Table, ClassifyBytes,
    ::testing::Values(
        BytesRow{"Nothing", false, "", "", {C::NoBytes}},
        BytesRow{"NothingThenLate", false, "", "01 03 02 00 02 39 85", {C::LateReply}},
        BytesRow{"CutShort", false, "01 03 02 00", "", {C::TooFewBytes}},
        BytesRow{"CutShortRestLate", false, "01 03 02 00", "02 39 85", {C::LateReply}},
        BytesRow{"FlippedCrc", false, "01 03 02 00 02 39 84", "", {C::BadCrc}},
        // Bad CRC stays bad CRC whatever follows it.
        BytesRow{"FlippedCrcThenMore", false, "01 03 02 00 02 39 84", "00", {C::BadCrc}},
        BytesRow{"Noise", false, "55 AA 55 AA 55 AA 55 AA 55", "", {C::BadCrc}},
        BytesRow{"OtherAddress", false, "02 03 02 00 02 7D 85", "", {C::OtherAddress}},
        BytesRow{"Exception02", false, "01 83 02 C0 F1", "", {C::Exception, 0x02}},
        BytesRow{"Exception04AfterNoise", false, "FF 00 01 83 04 40 F3", "", {C::Exception, 4}},
        // Function 4 from the right address, well formed.
        BytesRow{"OtherFunction", false, "01 04 02 00 02 38 F1", "", {C::OtherFunction}},
        // The byte count says two registers where one was asked for.
        BytesRow{"WrongByteCount", false, "01 03 04 00 02 00 01 9A 33", "", {C::OtherRequest}},
        // The echo of another write confirms nothing.
        BytesRow{"StaleEcho", true, "01 06 00 06 00 03 29 CA", "", {C::OtherRequest}},
        BytesRow{"EchoOnly", false, "01 03 00 06 00 01 64 0B", "", {C::LocalEchoOnly}},
        BytesRow{"EchoThenLate", false, "01 03 00 06 00 01 64 0B", "01 03 02 00 02 39 85",
                 {C::LateReply}},
        BytesRow{"EchoThenCut", false, "01 03 00 06 00 01 64 0B 01 03", "", {C::TooFewBytes}},
        BytesRow{"EchoThenException", false, "01 03 00 06 00 01 64 0B 01 83 02 C0 F1", "",
                 {C::Exception, 2}},
        // The meter's own refusal outranks a stranger's reply before it.
        BytesRow{"ForeignThenException", false, "02 03 02 00 02 7D 85 01 83 02 C0 F1", "",
                 {C::Exception, 2}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(FailureDiagnosis, WordsNameTheExceptionCode) {
  EXPECT_EQ((FailureDiagnosis{C::Exception, 0x0B}).Words(), "exception reply 0B");
  EXPECT_EQ((FailureDiagnosis{C::BadCrc}).Words(), "bad CRC");
}

TEST(ExchangeStatistics, LatencyQuantilesStayWithinTheExtremes) {
  ExchangeStatistics stats;
  EXPECT_FALSE(stats.Latency());
  // 1 ms to 100 ms, one each.
  for (int ms = 100; ms >= 1; --ms) {
    stats.RecordReply(milliseconds(ms));
  }
  const LatencySummary latency = *stats.Latency();
  EXPECT_EQ(latency.min, milliseconds(1));
  EXPECT_EQ(latency.median, microseconds(50'100));  // upper edge of the 50 ms bin
  EXPECT_EQ(latency.p95, microseconds(95'100));
  EXPECT_EQ(latency.max, milliseconds(100));
  // Beyond the binned range only the maximum is exact.
  stats.RecordReply(std::chrono::seconds(5));
  EXPECT_EQ(stats.Latency()->max, std::chrono::seconds(5));
  EXPECT_EQ(stats.Replies(), 101);
}

TEST(ExchangeStatistics, ReclassifyMovesOneCount) {
  ExchangeStatistics stats;
  stats.RecordFailure({C::Exception, 2});
  stats.RecordFailure({C::NoBytes});
  stats.Reclassify({C::Exception, 2}, {C::LateReply});
  EXPECT_EQ(stats.Failures(C::Exception), 0);
  EXPECT_EQ(stats.Exceptions(2), 0);
  EXPECT_EQ(stats.Failures(C::LateReply), 1);
  EXPECT_EQ(stats.Failures(), 2);
  const ExchangeSummary summary = ExchangeSummary::Of(stats);
  EXPECT_EQ(summary.Failures(), 2);
  EXPECT_TRUE(summary.exceptions.empty());
}

// Each fault of the simulated meter, on the console's fixed waits and in
// fast mode: the verdict stays "no reply" and the cause is the fault's.
struct FaultRow {
  const char* name;
  std::function<void(sim::SimulatedPort&, Transaction&)> spoil;
  FailureDiagnosis diagnosis;
};

class CauseOverSim : public ::testing::TestWithParam<std::tuple<FaultRow, bool>>,
                     protected test::VirtualMeterLine {};

TEST_P(CauseOverSim, CountsTheFailureByItsCause) {
  const auto& [row, fast] = GetParam();
  ASSERT_TRUE(OpenLine("9600,N,8,2"));
  if (fast) {
    transaction.SetFastExchange(FastExchange::ForLine(port.CurrentLineFormat()));
  }
  row.spoil(port, transaction);
  EXPECT_EQ(transaction.RequestReply(kReadDp, milliseconds(600), ExpectedReply::ReadOf(kReadDp)),
            Transaction::kNoReply);
  // A late reply is known as one only once the next request's guard has heard it.
  port.SetFaults({});
  port.SetLocalEcho(false);
  transaction.SetLocalEcho(LocalEcho::Off);
  EXPECT_NE(transaction.RequestReply(kReadDp, milliseconds(600), ExpectedReply::ReadOf(kReadDp)),
            Transaction::kNoReply);

  const ExchangeStatistics& stats = transaction.Statistics();
  EXPECT_EQ(stats.Failures(), 1);
  EXPECT_EQ(stats.Failures(row.diagnosis.cause), 1) << NameOf(row.diagnosis.cause).key;
  if (row.diagnosis.cause == C::Exception) {
    EXPECT_EQ(stats.Exceptions(row.diagnosis.exceptionCode), 1);
  }
  EXPECT_EQ(stats.Replies(), 1);
  EXPECT_FALSE(transaction.LastFailure());
}

FaultConfig Fault(void (*set)(FaultConfig&)) {
  FaultConfig faults;
  set(faults);
  return faults;
}

void Spoil(sim::SimulatedPort& port, void (*set)(FaultConfig&)) { port.SetFaults(Fault(set)); }

INSTANTIATE_TEST_SUITE_P(
    Faults, CauseOverSim,
    ::testing::Combine(
        ::testing::Values(
            FaultRow{"Silent",
                     [](auto& p, auto&) { Spoil(p, [](FaultConfig& f) { f.silent = true; }); },
                     {C::NoBytes}},
            FaultRow{"Late",
                     [](auto& p, auto&) {
                       Spoil(p, [](FaultConfig& f) { f.extraDelay = milliseconds(700); });
                     },
                     {C::LateReply}},
            FaultRow{"Truncated",
                     [](auto& p, auto&) { Spoil(p, [](FaultConfig& f) { f.truncateBytes = 2; }); },
                     {C::TooFewBytes}},
            FaultRow{"FlippedCrc",
                     [](auto& p, auto&) { Spoil(p, [](FaultConfig& f) { f.flipCrcBit = true; }); },
                     {C::BadCrc}},
            FaultRow{"NoiseAndFlippedCrc",
                     [](auto& p, auto&) {
                       Spoil(p, [](FaultConfig& f) {
                         f.noiseBytes = 20;
                         f.flipCrcBit = true;
                       });
                     },
                     {C::BadCrc}},
            FaultRow{"ForeignAddress",
                     [](auto& p, auto&) {
                       Spoil(p, [](FaultConfig& f) { f.foreignAddress = true; });
                     },
                     {C::OtherAddress}},
            FaultRow{"Exception",
                     [](auto& p, auto&) {
                       Spoil(p, [](FaultConfig& f) {
                         f.exceptionReply = true;
                         f.exceptionCode = sim::ExceptionCode::IllegalDataAddress;
                       });
                     },
                     {C::Exception, 0x02}},
            FaultRow{"EchoOfASilentMeter",
                     [](auto& p, Transaction& transaction) {
                       p.SetLocalEcho(true);
                       transaction.SetLocalEcho(LocalEcho::On);
                       Spoil(p, [](FaultConfig& f) { f.silent = true; });
                     },
                     {C::LocalEchoOnly}}),
        ::testing::Bool()),
    [](const auto& row) {
      return std::string(std::get<0>(row.param).name) + (std::get<1>(row.param) ? "Fast" : "Fixed");
    });

TEST(LatencyOverSim, IsTheMetersTurnaroundOnBothPaths) {
  for (const bool fast : {false, true}) {
    test::VirtualMeterLine line;
    ASSERT_TRUE(line.OpenLine("9600,N,8,2"));
    if (fast) {
      line.transaction.SetFastExchange(FastExchange::ForLine(line.port.CurrentLineFormat()));
    }
    line.port.SetReplyLatency(milliseconds(35));
    for (int i = 0; i < 3; ++i) {
      ASSERT_NE(line.transaction.RequestReply(kReadDp, milliseconds(600),
                                              ExpectedReply::ReadOf(kReadDp)),
                Transaction::kNoReply);
    }
    const LatencySummary latency = *line.transaction.Statistics().Latency();
    // From the request handed to the port: its 8 characters on the line, the
    // meter's turnaround, then the reply's first character (fixed waits see
    // it arrive) or all 7 of them (fast mode ends at the last).
    const double character = 11e6 / 9600;
    const double expected = 35'000 + character * (8 + (fast ? 7 : 1));
    EXPECT_NEAR(static_cast<double>(latency.max.count()), expected, 2.0) << fast;
    EXPECT_EQ(latency.min, latency.max) << fast;
  }
}

}  // namespace
}  // namespace zt
