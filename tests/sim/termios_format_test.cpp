#include "sim/termios_format.h"

#include <gtest/gtest.h>

#include <string>

namespace zt::sim {
namespace {

class TermiosRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(TermiosRoundTrip, ReadsBackTheFormatItSet) {
  const LineFormat format = ParseSettingsText(GetParam()).value();
  termios settings{};
  ASSERT_TRUE(MakeRawLine(settings, format));
  EXPECT_EQ(LineFormatOf(settings), format);
  EXPECT_EQ(settings.c_lflag & (ECHO | ICANON), 0U) << "raw: no echo, no line editing";
}

INSTANTIATE_TEST_SUITE_P(MeterLines, TermiosRoundTrip,
                         ::testing::Values("1200,N,8,2", "2400,O,8,2", "4800,E,8,2", "9600,N,8,2",
                                           "19200,E,8,2", "9600,N,8,1"));

TEST(TermiosFormat, RefusesARateWithoutATerminalConstant) {
  termios settings{};
  EXPECT_FALSE(MakeRawLine(settings, ParseSettingsText("9601,N,8,2").value()));
}

struct PtyMatchRow {
  std::string client;
  std::string meter;
  bool match;
};

class PtyLineMatch : public ::testing::TestWithParam<PtyMatchRow> {};

TEST_P(PtyLineMatch, ComparesEverythingButParity) {
  EXPECT_EQ(SameLineOnPty(ParseSettingsText(GetParam().client).value(),
                          ParseSettingsText(GetParam().meter).value()),
            GetParam().match);
}

INSTANTIATE_TEST_SUITE_P(Lines, PtyLineMatch,
                         ::testing::Values(PtyMatchRow{"9600,N,8,2", "9600,N,8,2", true},
                                           PtyMatchRow{"9600,N,8,2", "9600,E,8,2", true},
                                           PtyMatchRow{"9600,N,8,2", "19200,N,8,2", false},
                                           PtyMatchRow{"9600,N,8,1", "9600,N,8,2", false},
                                           PtyMatchRow{"9600,N,7,2", "9600,N,8,2", false}));

}  // namespace
}  // namespace zt::sim
