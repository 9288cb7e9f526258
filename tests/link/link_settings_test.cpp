#include "link/link_settings.h"

#include <gtest/gtest.h>

namespace {

TEST(LinkSettings, DefaultsAreAddressOneCom1At9600WithoutParity) {
  const zt::LinkSettings settings;
  EXPECT_EQ(settings.address, 1);
  EXPECT_EQ(settings.port, 1);
  EXPECT_EQ(settings.baudRate, 9600);
  EXPECT_EQ(settings.parity, zt::kParityNone);
  EXPECT_EQ(zt::SettingsText(settings), "9600,N,8,2");
}

TEST(LinkSettings, TextCarriesParityLetterAndAlwaysTwoStopBits) {
  EXPECT_EQ(zt::SettingsText(19200, zt::kParityEven), "19200,E,8,2");
  EXPECT_EQ(zt::SettingsText(1200, zt::kParityOdd), "1200,O,8,2");
  EXPECT_EQ(zt::SettingsText(4800, zt::kParityNone), "4800,N,8,2");
}

TEST(LinkSettings, ParsesWellFormedTexts) {
  const auto even = zt::ParseSettingsText("19200,E,8,2");
  ASSERT_TRUE(even.has_value());
  EXPECT_EQ(even->baudRate, 19200);
  EXPECT_EQ(even->parity, zt::kParityEven);
  EXPECT_EQ(even->BitsPerCharacter(), 12);

  const auto none = zt::ParseSettingsText("9600,N,8,2");
  ASSERT_TRUE(none.has_value());
  EXPECT_EQ(none->BitsPerCharacter(), 11);
  EXPECT_EQ(zt::SettingsText(*none), "9600,N,8,2");
}

TEST(LinkSettings, RefusesMalformedTexts) {
  for (const char* text : {"", "9600", "9600,N,8", "9600,N,8,2,", "9600,X,8,2", "9600,n,8,2",
                           "-9600,N,8,2", "0,N,8,2", "96OO,N,8,2", "9600,N,9,2", "9600,N,8,3",
                           "9600,NN,8,2", " 9600,N,8,2", "9600,,8,2", "99999999999,N,8,2"}) {
    EXPECT_FALSE(zt::ParseSettingsText(text).has_value()) << '"' << text << '"';
  }
}

}  // namespace
