#include "meter/encoding.h"

#include <gtest/gtest.h>

#include "meter/live_value.h"
#include "meter/meter_clock.h"

namespace {

TEST(RegisterWord, KeepsTheLowSixteenBitsOfTheField) {
  EXPECT_EQ(zt::RegisterWord(-1), 0xFFFF);
  EXPECT_EQ(zt::RegisterWord(1000), 0x03E8);
  EXPECT_EQ(zt::RegisterWord(256), 0x0100);
  EXPECT_EQ(zt::RegisterWord(300), 0x012C);
  EXPECT_EQ(zt::RegisterWord(70000), 0x1170);
  EXPECT_EQ(zt::RegisterWord(-32768), 0x8000);
  EXPECT_EQ(zt::RegisterWord(65535), 0xFFFF);
}

TEST(BaudTranslation, ReadShowsRatesForCodesAndAnythingElseUnchanged) {
  EXPECT_EQ(zt::BaudIndexToRate(0), 1200);
  EXPECT_EQ(zt::BaudIndexToRate(3), 9600);
  EXPECT_EQ(zt::BaudIndexToRate(4), 19200);
  EXPECT_EQ(zt::BaudIndexToRate(5), 5);
  EXPECT_EQ(zt::BaudIndexToRate(7), 7);
  EXPECT_EQ(zt::BaudIndexToRate(65535), 65535);
}

TEST(BaudTranslation, WriteSendsCodesForRatesAndAnythingElseUnchanged) {
  EXPECT_EQ(zt::BaudRateToIndex(19200), 4);
  EXPECT_EQ(zt::BaudRateToIndex(9600), 3);
  EXPECT_EQ(zt::BaudRateToIndex(1200), 0);
  // A code already in the box goes out as it is, so writing twice is stable.
  EXPECT_EQ(zt::BaudRateToIndex(3), 3);
  EXPECT_EQ(zt::BaudRateToIndex(0), 0);
  EXPECT_EQ(zt::BaudRateToIndex(38400), 38400);
}

TEST(LiveValue, ScaledByTheDecimalPointWithFourDecimals) {
  EXPECT_EQ(zt::FormatLiveValue(1000, 2), "10.0000");
  EXPECT_EQ(zt::FormatLiveValue(1000, 0), "1000.0000");
  EXPECT_EQ(zt::FormatLiveValue(65535, 3), "65.5350");
  EXPECT_EQ(zt::FormatLiveValue(1, 1), "0.1000");
}

TEST(LiveValue, DecimalPointWithoutAFactorShowsTheRawValue) {
  EXPECT_EQ(zt::FormatLiveValue(1234, 4), "1234.0000");
  EXPECT_EQ(zt::FormatLiveValue(1234, 65535), "1234.0000");
  EXPECT_EQ(zt::FormatLiveValue(1234, -1), "1234.0000");
}

TEST(MeterClock, DecodesBinaryBytesAndFormatsTheText) {
  // Minute 30, second 45, day 15, hour 10, year 2006, month 12.
  const uint8_t registers[6] = {0x1E, 0x2D, 0x0F, 0x0A, 0x06, 0x0C};
  const zt::MeterClock clock = zt::DecodeMeterClock(registers);
  EXPECT_EQ(clock, (zt::MeterClock{2006, 12, 15, 10, 30, 45}));
  EXPECT_EQ(zt::FormatMeterClock(clock), "当前时间:  2006年12月15日 10时30分45秒");
}

TEST(MeterClock, BytesAreNotBcdAndNotRangeChecked) {
  const uint8_t registers[6] = {0x59, 0x00, 0x01, 0x00, 0xFF, 0x00};
  const zt::MeterClock clock = zt::DecodeMeterClock(registers);
  EXPECT_EQ(clock.minute, 89);
  EXPECT_EQ(clock.year, 2255);
  EXPECT_EQ(zt::FormatMeterClock(clock), "当前时间:  2255年00月01日 00时89分00秒");
}

}  // namespace
