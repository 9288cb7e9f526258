#include "meter/measurement_log.h"

#include <QString>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "log_example.h"

namespace {

using namespace std::chrono;

std::string Blanks(std::size_t n) { return std::string(n, ' '); }

std::string Gbk(const std::string& utf8) {
  QStringEncoder encoder("GBK");
  return QByteArray(encoder(QString::fromStdString(utf8))).toStdString();
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

using zt::test::kNewYear;
using zt::test::LogExample;

TEST(MeasurementLog, BlockMatchesTheLayoutByteForByte) {
  // Expected lines written out by hand; widths count GBK bytes, in which each
  // Chinese character takes two.
  const std::string zeros = Blanks(11) + "0" + Blanks(11) + "0" + Blanks(11) + "0";
  const std::vector<std::string> lines = {
      "",
      "2007/01/01   01:30:05",
      Blanks(9) + Blanks(8) + "合相" + Blanks(4) + "A相/CA线" + Blanks(4) + "B相/AB线" + Blanks(4) +
          "C相/BC线",
      "相 电 压:" + Blanks(5) + "230.457" + Blanks(7) + "231.5" + Blanks(11) + "0" + Blanks(11) +
          "0",
      "线 电 压:" + Blanks(6) + "400.46" + zeros,
      "相 电 流:" + Blanks(6) + "12.346" + zeros,
      "有功功率:" + Blanks(11) + "0" + zeros,
      "无功功率:" + Blanks(11) + "0" + zeros,
      "视在功率:" + Blanks(11) + "0" + zeros,
      "功率因数:" + Blanks(11) + "0" + zeros,
      "频    率:" + Blanks(10) + "50" + Blanks(15) + "零序电流:" + Blanks(11) + "0",
      "正向有功电能   负相有功电能   正向无功电能   负相无功电能",
      "1.2346e+08" + Blanks(4) + "   " + "   -12.5" + Blanks(4) + "   " + "     0" + Blanks(6) +
          "   " + "    -3" + Blanks(6),
  };
  std::string expected;
  for (const std::string& line : lines) expected += Gbk(line) + "\r\n";

  const std::string block = zt::FormatMeasurementBlock(LogExample(), {}, kNewYear);
  EXPECT_EQ(block, expected);

  // Spot checks that do not go through an encoder: the code page and widths.
  EXPECT_EQ(block.substr(0, 2), "\r\n");
  const std::size_t line3 = block.find("\r\n", 2) + 2;
  EXPECT_EQ(block.find("\r\n", line3) - line3, 57U);
  EXPECT_EQ(block.substr(line3 + 17, 4), "\xBA\xCF\xCF\xE0") << "合相 in code page 936";
}

TEST(MeasurementLog, UnitTextsTakeTheirWidths) {
  zt::ThreePhaseQuantities q;
  const std::string block = zt::FormatMeasurementBlock(
      q, *zt::EnergyUnits::From({"KWh", "MWh", "KVarh", "Varh"}), kNewYear);
  const std::string last = block.substr(block.rfind("\r\n", block.size() - 3) + 2);
  EXPECT_EQ(last, Blanks(7) + "0" + " KWh" + "   " + Blanks(6) + "-0" + " MWh" + "   " +
                      Blanks(5) + "0" + " KVarh" + "   " + Blanks(4) + "-0" + "  Varh" + "\r\n");
}

TEST(MeasurementLog, TimeStampIsUtcPlusEightWhateverTheMachinesZone) {
  const char* zone = std::getenv("TZ");
  const std::string saved = zone ? zone : "";
  setenv("TZ", "America/Los_Angeles", 1);
  tzset();
  const sys_seconds utc = sys_days{year{2006} / December / 31} + hours(17) + minutes(30) +
                          seconds(5);
  const zt::MeterClock t = zt::ToUtcPlus8(utc);
  if (zone) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
  EXPECT_EQ(t.year, 2007);
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(t.hour, 1);
  EXPECT_EQ(t.minute, 30);
  EXPECT_EQ(t.second, 5);
}

TEST(MeasurementLog, AppendCreatesThenGrowsTheFile) {
  QTemporaryDir dir;
  const std::filesystem::path file = dir.filePath("Table.txt").toStdString();
  const std::string block = zt::FormatMeasurementBlock(LogExample(), {}, kNewYear);
  ASSERT_TRUE(zt::AppendToLog(file, block));
  EXPECT_EQ(ReadFile(file), block);
  ASSERT_TRUE(zt::AppendToLog(file, block));
  EXPECT_EQ(ReadFile(file), block + block);
}

TEST(MeasurementLog, ReadOnlyFileOrDirectoryIsLeftAlone) {
  QTemporaryDir dir;
  const std::filesystem::path file = dir.filePath("Table.txt").toStdString();
  std::ofstream(file, std::ios::binary) << "kept";
  std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  EXPECT_FALSE(zt::AppendToLog(file, "block\r\n"));
  EXPECT_EQ(ReadFile(file), "kept");

  const std::filesystem::path directory = dir.filePath("sub").toStdString();
  std::filesystem::create_directory(directory);
  EXPECT_FALSE(zt::AppendToLog(directory, "block\r\n"));
}

}  // namespace
