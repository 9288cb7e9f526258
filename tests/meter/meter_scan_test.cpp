#include "meter/meter_scan.h"

#include <gtest/gtest.h>

#include "link/modbus_rtu.h"
#include "meter/register_map.h"
#include "support/virtual_meter_line.h"

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;
using zt::ScanHit;
using zt::ScanLine;
using zt::ScanPlan;

std::vector<uint8_t> Addresses(int first, int last) {
  std::vector<uint8_t> addresses;
  for (int a = first; a <= last; ++a) addresses.push_back(static_cast<uint8_t>(a));
  return addresses;
}

std::vector<ScanLine> FiveRates(int32_t parity = zt::kParityNone) {
  std::vector<ScanLine> lines;
  for (const int32_t rate : zt::kBaudIndexRates) lines.push_back({rate, parity});
  return lines;
}

class MeterScanTest : public zt::test::VirtualMeterLine, public testing::Test {
 protected:
  MeterScanTest() { OpenLine("9600,N,8,2"); }

  // The meter at `address`, on the line of BaudIndex `baudIndex`.
  void PutMeterAt(uint8_t address, uint16_t baudIndex, zt::ParityIndex parity = zt::kParityNone) {
    meter.SetAddress(address);
    meter.SetLineBaudIndex(baudIndex);
    meter.SetLineParity(parity);
  }

  zt::ScanOutcome Scan(const ScanPlan& plan, zt::ScanCallbacks callbacks = {}) {
    const microseconds start = clock.Now();
    zt::ScanOutcome outcome = zt::ScanForMeters(port, clock, plan, callbacks);
    elapsed = clock.Now() - start;
    return outcome;
  }

  microseconds elapsed{0};
};

TEST_F(MeterScanTest, FindsTheMeterAtItsAddressAndRateWithinTheWorstCase) {
  PutMeterAt(7, 4);
  meter.SetDecimalPoint(3);
  const ScanPlan plan{Addresses(1, 10), FiveRates()};
  std::vector<ScanHit> told;
  zt::ScanCallbacks callbacks;
  callbacks.found = [&](const ScanHit& hit) { told.push_back(hit); };
  const zt::ScanOutcome outcome = Scan(plan, callbacks);

  const std::vector<ScanHit> expected = {{7, {19200, zt::kParityNone}, 3}};
  EXPECT_EQ(outcome.found, expected);
  EXPECT_EQ(told, expected);
  EXPECT_EQ(outcome.tries, 50);
  EXPECT_FALSE(outcome.stopped);
  // Every try that found nothing took its whole wait, the one that found
  // the meter less.
  EXPECT_LE(elapsed, plan.WorstCase());
  EXPECT_GT(elapsed, plan.WorstCase() - zt::ScanTryWait({19200, zt::kParityNone},
                                                        ScanPlan::kDefaultTurnaround));
}

TEST_F(MeterScanTest, TriesEachAddressOnEachLineInOrderOneWaitApart) {
  PutMeterAt(200, 3);
  const ScanPlan plan{{1, 2, 3}, {{1200, zt::kParityNone}, {4800, zt::kParityEven}}};
  Scan(plan);

  const std::vector<zt::sim::WrittenFrame>& written = port.Written();
  ASSERT_EQ(written.size(), 6u);
  const uint8_t order[] = {1, 2, 3, 1, 2, 3};
  for (std::size_t i = 0; i < written.size(); ++i) {
    const zt::TxFrame request = zt::BuildReadRequest(order[i], zt::reg::kDecimalPoint, 1);
    EXPECT_EQ(written[i].bytes,
              std::vector<uint8_t>(request.bytes.begin(), request.bytes.begin() + request.length));
    EXPECT_EQ(written[i].line.baudRate, i < 3 ? 1200 : 4800);
    EXPECT_EQ(written[i].line.parity, i < 3 ? zt::kParityNone : zt::kParityEven);
  }
  // No guard after a try that heard nothing: the next address follows at
  // the end of the wait.
  const microseconds wait1200 = zt::ScanTryWait(plan.lines[0], plan.turnaround);
  const microseconds wait4800 = zt::ScanTryWait(plan.lines[1], plan.turnaround);
  EXPECT_EQ(written[1].at - written[0].at, wait1200);
  EXPECT_EQ(written[3].at - written[2].at, wait1200);
  EXPECT_EQ(written[5].at - written[4].at, wait4800);
  EXPECT_EQ(elapsed, plan.WorstCase());
}

TEST_F(MeterScanTest, FirstStopsAtTheFirstMeter) {
  PutMeterAt(3, 3);
  ScanPlan plan{Addresses(1, 5), FiveRates()};
  plan.stopAtFirst = true;
  const zt::ScanOutcome outcome = Scan(plan);
  ASSERT_EQ(outcome.found.size(), 1u);
  EXPECT_EQ(outcome.found[0].address, 3);
  EXPECT_EQ(outcome.found[0].line.baudRate, 9600);
  EXPECT_EQ(outcome.tries, 3 * 5 + 3);
}

TEST_F(MeterScanTest, AStopRequestEndsTheScanBeforeTheNextTry) {
  const ScanPlan plan{Addresses(1, 247), FiveRates()};
  std::vector<zt::ScanProgress> progress;
  zt::ScanCallbacks callbacks;
  callbacks.stopRequested = [&] { return progress.size() == 4; };
  callbacks.progress = [&](const zt::ScanProgress& p) { progress.push_back(p); };
  const zt::ScanOutcome outcome = Scan(plan, callbacks);
  EXPECT_TRUE(outcome.stopped);
  EXPECT_EQ(outcome.tries, 4);
  EXPECT_EQ(port.Written().size(), 4u);
  ASSERT_EQ(progress.size(), 4u);
  EXPECT_EQ(progress[3].done, 3);
  EXPECT_EQ(progress[3].total, 247 * 5);
  EXPECT_EQ(progress[3].address, 4);
}

TEST_F(MeterScanTest, AMeterOnAnotherParityIsFoundOnlyWhenThatParityIsTried) {
  PutMeterAt(12, 1, zt::kParityEven);
  EXPECT_TRUE(Scan({Addresses(10, 14), FiveRates()}).found.empty());

  std::vector<ScanLine> lines = FiveRates();
  const std::vector<ScanLine> even = FiveRates(zt::kParityEven);
  lines.insert(lines.end(), even.begin(), even.end());
  const zt::ScanOutcome outcome = Scan({Addresses(10, 14), lines});
  const std::vector<ScanHit> expected = {{12, {2400, zt::kParityEven}, 2}};
  EXPECT_EQ(outcome.found, expected);
}

TEST_F(MeterScanTest, AnEchoingAdapterNeitherHidesTheMeterNorSlowsTheScan) {
  port.SetLocalEcho(true);
  PutMeterAt(5, 3);
  const ScanPlan plan{Addresses(1, 6), {{9600, zt::kParityNone}}};
  const zt::ScanOutcome outcome = Scan(plan);
  ASSERT_EQ(outcome.found.size(), 1u);
  EXPECT_EQ(outcome.found[0].address, 5);
  const std::vector<zt::sim::WrittenFrame>& written = port.Written();
  ASSERT_EQ(written.size(), 6u);
  EXPECT_EQ(written[1].at - written[0].at, zt::ScanTryWait(plan.lines[0], plan.turnaround));
}

TEST(ScanPlanTest, TheDefaultPlanCoversEveryUnicastAddressAtFiveRates) {
  const ScanPlan plan = zt::DefaultScanPlan();
  EXPECT_EQ(plan.addresses, Addresses(1, 247));
  const std::vector<ScanLine> lines = {
      {9600, zt::kParityNone}, {19200, zt::kParityNone}, {4800, zt::kParityNone},
      {2400, zt::kParityNone}, {1200, zt::kParityNone}};
  EXPECT_EQ(plan.lines, lines);
  EXPECT_EQ(plan.Tries(), 1235);
  // Line time of 15 characters of 11 bits, rounded up, plus 100 ms at each
  // rate: 238 + 169 + 135 + 118 + 109 ms for each address.
  EXPECT_EQ(plan.WorstCase(), milliseconds(769 * 247));
}

TEST(ScanPlanTest, AddressLists) {
  struct Case {
    const char* text;
    std::optional<std::vector<uint8_t>> addresses;
  };
  const Case cases[] = {
      {"1-10,20", std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20}},
      {"20,3-4", std::vector<uint8_t>{20, 3, 4}},
      {"255", std::vector<uint8_t>{255}},
      {"2,1-3", std::vector<uint8_t>{2, 1, 3}},
      {"0", std::nullopt},
      {"256", std::nullopt},
      {"5-3", std::nullopt},
      {"", std::nullopt},
      {"1,,2", std::nullopt},
      {"1-", std::nullopt},
      {"-4", std::nullopt},
      {"1-2-3", std::nullopt},
      {"a", std::nullopt},
      {" 1", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(zt::ParseAddressList(c.text), c.addresses) << c.text;
  }
}

}  // namespace
