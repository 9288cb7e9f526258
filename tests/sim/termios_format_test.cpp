#include "sim/termios_format.h"

#include <gtest/gtest.h>

#include <string>

namespace zt::sim {
namespace {

TEST(TermiosFormat, ReadsBackEveryMeterLineItSet) {
  for (const char* text :
       {"1200,N,8,2", "2400,O,8,2", "4800,E,8,2", "9600,N,8,2", "19200,E,8,2", "9600,N,8,1"}) {
    SCOPED_TRACE(text);
    const LineFormat format = ParseSettingsText(text).value();
    termios settings{};
    ASSERT_TRUE(MakeRawLine(settings, format));
    EXPECT_EQ(LineFormatOf(settings), format);
    EXPECT_EQ(settings.c_lflag & (ECHO | ICANON), 0U) << "raw: no echo, no line editing";
  }
}

TEST(TermiosFormat, RefusesARateWithoutATerminalConstant) {
  termios settings{};
  EXPECT_FALSE(MakeRawLine(settings, ParseSettingsText("9601,N,8,2").value()));
}

struct PtyMatchRow {
  std::string client;
  std::string meter;
  bool match;
};

TEST(TermiosFormat, PtyLinesMatchOnEverythingButParity) {
  const PtyMatchRow rows[] = {
      {"9600,N,8,2", "9600,N,8,2", true},   {"9600,N,8,2", "9600,E,8,2", true},
      {"9600,N,8,2", "19200,N,8,2", false}, {"9600,N,8,1", "9600,N,8,2", false},
      {"9600,N,7,2", "9600,N,8,2", false},
  };
  for (const PtyMatchRow& row : rows) {
    EXPECT_EQ(SameLineOnPty(ParseSettingsText(row.client).value(),
                            ParseSettingsText(row.meter).value()),
              row.match)
        << row.client << " against " << row.meter;
  }
}

}  // namespace
}  // namespace zt::sim
