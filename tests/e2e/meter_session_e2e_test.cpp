// The console's meter session over the real stack (meter line, device
// port, system clock) against zt6100-sim on a pty. Every exchange waits its
// real 300 or 600 ms.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/link_settings.h"
#include "meter/meter_clock.h"
#include "meter/meter_session.h"
#include "pty_meter.h"

namespace zt {
namespace {

class MeterSessionOverPty : public ::testing::Test {
 protected:
  void StartSim(std::vector<std::string> arguments) {
    ASSERT_TRUE(meter_.Start(std::move(arguments)));
    ASSERT_TRUE(meter_.Open());
  }

  // Closed and opened again, as the console does when the link settings
  // change.
  void Reconfigure(const LinkSettings& settings) {
    const OpenResult opened = meter_.Line().Reopen(settings);
    ASSERT_TRUE(opened) << opened.device << ": " << opened.reason;
    meter_.Line().Port().DiscardPendingInput();
  }

  void TearDown() override { meter_.Stop(); }

  MeterSession& Session() { return meter_.Session(); }

  test::PtyMeter meter_;
};

TEST_F(MeterSessionOverPty, ReadsConfirmsAWriteAndReadsTheClock) {
  ASSERT_NO_FATAL_FAILURE(StartSim({"--decimal-point", "3", "--clock", "2006-12-15T10:30:45"}));

  EXPECT_EQ(Session().ReadDecimalPoint(), 3);
  EXPECT_TRUE(Session().WritePtRatio(100));
  EXPECT_TRUE(meter_.Sim().WaitForErrorLine("function 16 register 0x0000 word 2").has_value())
      << meter_.Sim().Errors();
  EXPECT_EQ(Session().ReadClock(), (MeterClock{2006, 12, 15, 10, 30, 45}));
}

TEST_F(MeterSessionOverPty, AfterABaudChangeTheReopenedPortReadsAtTheNewRate) {
  ASSERT_NO_FATAL_FAILURE(StartSim({"--upper", "4321"}));

  ASSERT_TRUE(Session().ChangeLinkBaud(19200));
  EXPECT_FALSE(Session().ReadUpperLimit().has_value()) << "the meter no longer listens at 9600";

  LinkSettings faster = meter_.Line().Settings();
  faster.baudRate = 19200;
  ASSERT_NO_FATAL_FAILURE(Reconfigure(faster));
  EXPECT_EQ(Session().ReadUpperLimit(), 4321);
}

struct FaultRow {
  std::string name;
  std::vector<std::string> arguments;
  std::optional<int32_t> decimalPoint;
};

class FaultySimulator : public MeterSessionOverPty,
                        public ::testing::WithParamInterface<FaultRow> {};

TEST_P(FaultySimulator, ReadGivesWhatTheConsoleWouldSee) {
  std::vector<std::string> arguments{"--decimal-point", "2"};
  arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
  ASSERT_NO_FATAL_FAILURE(StartSim(arguments));
  EXPECT_EQ(Session().ReadDecimalPoint(), GetParam().decimalPoint);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultySimulator,
    ::testing::Values(FaultRow{"NoiseBeforeTheReply", {"--noise", "5"}, 2},
                      FaultRow{"BadCrc", {"--bad-crc"}, std::nullopt},
                      FaultRow{"LaterThanTheWait", {"--late", "700"}, std::nullopt},
                      // 320 bytes of burst push the reply past the 300-byte buffer.
                      FaultRow{"Burst", {"--burst"}, std::nullopt}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace zt
