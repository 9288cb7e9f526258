#include "sim/in_process_meter.h"

#include <gtest/gtest.h>

#include "link/link_settings.h"

namespace zt::sim {
namespace {

TEST(InProcessMeter, AnswersAtTheAddressRateAndParityAskedFor) {
  struct Row {
    LinkSettings settings;
    const char* line;
  };
  const Row rows[] = {
      {{}, "9600,N,8,2"},
      {{7, 1, 19200, kParityEven}, "19200,E,8,2"},
      {{255, 1, 1200, kParityOdd}, "1200,O,8,2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    InProcessMeter simulated(row.settings);
    EXPECT_EQ(simulated.Meter().Address(), row.settings.address);
    EXPECT_EQ(SettingsText(simulated.Meter().Line()), row.line);
  }
}

}  // namespace
}  // namespace zt::sim
