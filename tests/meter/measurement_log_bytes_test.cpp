// The log's bytes without any codec at hand: this executable links no Qt,
// so it also runs where no GBK encoder exists.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "log_example.h"
#include "meter/energy_units.h"
#include "meter/measurement_log.h"

namespace {

// One block in code page 936, written out byte by byte.
constexpr std::string_view kExampleBlock =
    "\r\n"
    "2007/01/01   01:30:05\r\n"
    "                 \xBA\xCF\xCF\xE0    A\xCF\xE0/CA\xCF\xDF    B\xCF\xE0/AB\xCF\xDF    "
    "C\xCF\xE0/BC\xCF\xDF\r\n"
    "\xCF\xE0 \xB5\xE7 \xD1\xB9:     230.457       231.5           0           0\r\n"
    "\xCF\xDF \xB5\xE7 \xD1\xB9:      400.46           0           0           0\r\n"
    "\xCF\xE0 \xB5\xE7 \xC1\xF7:      12.346           0           0           0\r\n"
    "\xD3\xD0\xB9\xA6\xB9\xA6\xC2\xCA:           0           0           0           0\r\n"
    "\xCE\xDE\xB9\xA6\xB9\xA6\xC2\xCA:           0           0           0           0\r\n"
    "\xCA\xD3\xD4\xDA\xB9\xA6\xC2\xCA:           0           0           0           0\r\n"
    "\xB9\xA6\xC2\xCA\xD2\xF2\xCA\xFD:           0           0           0           0\r\n"
    "\xC6\xB5    \xC2\xCA:          50               \xC1\xE3\xD0\xF2\xB5\xE7\xC1\xF7:           "
    "0\r\n"
    "\xD5\xFD\xCF\xF2\xD3\xD0\xB9\xA6\xB5\xE7\xC4\xDC   \xB8\xBA\xCF\xE0\xD3\xD0\xB9\xA6\xB5\xE7"
    "\xC4\xDC   \xD5\xFD\xCF\xF2\xCE\xDE\xB9\xA6\xB5\xE7\xC4\xDC   \xB8\xBA\xCF\xE0\xCE\xDE\xB9\xA6"
    "\xB5\xE7\xC4\xDC\r\n"
    "1.2346e+08          -12.5            0             -3      \r\n";

using zt::test::kNewYear;
using zt::test::LogExample;

TEST(MeasurementLogBytes, BlockIsCodePage936WithoutACodec) {
  EXPECT_EQ(zt::FormatMeasurementBlock(LogExample(), {}, kNewYear), kExampleBlock);
}

TEST(MeasurementLogBytes, AppendedFileHoldsTheSameBytes) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / "zt6100-measurement-log-bytes.txt";
  std::filesystem::remove(file);
  const std::string block = zt::FormatMeasurementBlock(LogExample(), {}, kNewYear);
  ASSERT_TRUE(zt::AppendToLog(file, block));
  ASSERT_TRUE(zt::AppendToLog(file, block));
  std::ifstream in(file, std::ios::binary);
  const std::string written{std::istreambuf_iterator<char>(in), {}};
  in.close();
  std::filesystem::remove(file);
  EXPECT_EQ(written, std::string(kExampleBlock) + std::string(kExampleBlock));
}

TEST(EnergyUnits, TakesTheUnitVocabulary) {
  const zt::EnergyUnitsResult units =
      zt::EnergyUnits::From({"Wh", "MWh", "KVarh", "MVarh"});
  ASSERT_TRUE(units);
  EXPECT_EQ((*units)[0], "Wh");
  EXPECT_EQ((*units)[3], "MVarh");
  EXPECT_TRUE(zt::EnergyUnits::From({"", "", "", ""}));
}

TEST(EnergyUnits, RefusesTextTheLogCannotWrite) {
  // Outside the vocabulary's characters: Chinese, other letters, blanks, and
  // a multi-byte sequence whose bytes alone would look harmless.
  for (const std::string_view text : {"千瓦时", "kWh", "K Wh", "Wh\r\n", "\xC3\x97"}) {
    const zt::EnergyUnitsResult refused = zt::EnergyUnits::From({"Wh", text, "Varh", "Varh"});
    EXPECT_FALSE(refused) << text;
    EXPECT_NE(refused.reason.find(std::string(text)), std::string::npos) << refused.reason;
  }
}

}  // namespace
