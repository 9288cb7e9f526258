#include "sim/line_timing.h"

#include <gtest/gtest.h>

#include <string>

namespace zt::sim {
namespace {

struct TimingRow {
  std::string settings;
  std::size_t bytes;
  int64_t micros;
};

class LineTiming : public ::testing::TestWithParam<TimingRow> {};

TEST_P(LineTiming, CountsEveryBitOfEveryCharacter) {
  const LineFormat format = ParseSettingsText(GetParam().settings).value();
  EXPECT_EQ(LineTime(format, GetParam().bytes).count(), GetParam().micros);
}

INSTANTIATE_TEST_SUITE_P(Formats, LineTiming,
                         ::testing::Values(
                             // 11 bits at 9600 bit/s: 1145.83 us, rounded up.
                             TimingRow{"9600,N,8,2", 1, 1146},
                             // A parity bit makes it 12.
                             TimingRow{"9600,E,8,2", 1, 1250}, TimingRow{"9600,O,8,2", 1, 1250},
                             TimingRow{"1200,O,8,2", 13, 130000},
                             // Rounded once for the run, not once per character.
                             TimingRow{"19200,N,8,2", 8, 4584}, TimingRow{"9600,N,8,2", 0, 0}));

TEST(LineTiming, CharacterTimeIsTheTimeOfOneByte) {
  const LineFormat format = ParseSettingsText("2400,E,8,2").value();
  EXPECT_EQ(CharacterTime(format), LineTime(format, 1));
  EXPECT_EQ(CharacterTime(format).count(), 5000);
}

}  // namespace
}  // namespace zt::sim
