// The commissioning report of a check and of an apply on the simulated meter:
// what each format holds, that a page needs nothing from outside, and that a
// report that cannot be written leaves no file and says why.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

#include "link/open_line.h"
#include "meter/commission_apply.h"
#include "report/report_writer.h"
#include "support/virtual_meter_line.h"

namespace {

using zt::report::Language;

constexpr std::chrono::seconds kWallStart{1796673600};  // 2026-12-07 20:00:00 UTC

class CommissionReport : public testing::Test, protected zt::test::VirtualMeterLine {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenLine("9600,N,8,2"));
    meter.SetClock({2026, 12, 8, 4, 0, 5});
    meter.SetDistinctLiveValues(true);
    options_.check.wallClock = [this] { return zt::WallTime{kWallStart + clock.Now()}; };
    options_.check.livePolls = 3;
    options_.reopen = [this](const zt::LinkSettings& s) {
      return zt::ReopenLine(port, transaction, s);
    };
    profile_.site = "泵站 3 <东>";
    profile_.meter = "A-17";
    profile_.upperLimit = 4000;
    profile_.pt = 100;
    // A folder of each test's own: ctest runs the tests of this file at the
    // same time, each in a process of its own.
    ASSERT_TRUE(folder_.isValid());
    dir_ = folder_.path().toStdString();
  }

  zt::report::CommissionRecord Applied() {
    const zt::ApplyReport apply =
        zt::ApplyProfile(session_, settings_, profile_, confirmed_, options_);
    return zt::report::RecordOf(profile_, apply, "1.0.0", "/dev/pts/7",
                                zt::WallTime{kWallStart + clock.Now()});
  }

  zt::LinkSettings settings_;
  zt::MeterSession session_{transaction, settings_};
  zt::ConfirmedInstrument confirmed_;
  zt::ApplyOptions options_;
  zt::SiteProfile profile_;
  QTemporaryDir folder_;
  std::filesystem::path dir_;
};

TEST_F(CommissionReport, JsonHoldsTheLinkTheTableEveryReadAndWriteAndTheStatistics) {
  const zt::report::CommissionRecord record = Applied();
  ASSERT_EQ(zt::report::WriteCommissionReport(dir_ / "r.json", record, Language::kChinese),
            std::nullopt);
  QFile file(QString::fromStdString((dir_ / "r.json").string()));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();

  EXPECT_EQ(o["site"].toString(), QStringLiteral("泵站 3 <东>"));
  EXPECT_EQ(o["console_version"].toString(), "1.0.0");
  EXPECT_EQ(o["link"]["port"].toString(), "/dev/pts/7");
  EXPECT_EQ(o["link"]["baud"].toInt(), 9600);
  EXPECT_EQ(o["link"]["parity"].toString(), "none");
  EXPECT_EQ(o["link"]["echo"].toBool(true), false);
  EXPECT_TRUE(o["all_match"].toBool());
  EXPECT_TRUE(o["done"].toBool());

  const QJsonArray writes = o["writes"].toArray();
  ASSERT_EQ(writes.size(), 2);
  EXPECT_EQ(writes[0]["setting"].toString(), "upper_limit");
  EXPECT_EQ(writes[0]["value"].toString(), "4000");
  EXPECT_EQ(writes[0]["state"].toString(), "confirmed");
  EXPECT_TRUE(writes[0]["time"].toString().startsWith("2026-12-07T20:00:0"));
  EXPECT_EQ(writes[1]["setting"].toString(), "pt");

  bool sawUpper = false;
  for (const QJsonValue& row : o["check"].toArray()) {
    if (row["setting"].toString() == "upper_limit") {
      sawUpper = true;
      EXPECT_EQ(row["expected"].toString(), "4000");
      EXPECT_EQ(row["read"].toString(), "4000");
      EXPECT_EQ(row["verdict"].toString(), "match");
    }
    if (row["setting"].toString() == "pt") {
      EXPECT_EQ(row["verdict"].toString(), "not_readable");
      EXPECT_EQ(row["read"].toString(), "100");
    }
  }
  EXPECT_TRUE(sawUpper);
  // The opening check's six reads and the closing check's six and three polls.
  EXPECT_EQ(o["reads"].toArray().size(), 15);
  EXPECT_EQ(o["reads"][0]["value"].toString(), "5000");
  EXPECT_DOUBLE_EQ(o["live"]["min"].toDouble(), 10.0);
  EXPECT_DOUBLE_EQ(o["live"]["max"].toDouble(), 10.02);
  EXPECT_EQ(o["live"]["error_rate"].toString(), "0.0000%");
  EXPECT_EQ(o["link_verdict"]["failures"].toInt(), 0);
  EXPECT_GT(o["link_statistics"]["replies"].toInt(), 0);
  EXPECT_TRUE(o["link_statistics"]["latency_ms"]["median"].isDouble());
}

TEST_F(CommissionReport, HtmlIsOnePageInTheChosenLanguageWithItsTextEscaped) {
  Silence();  // every read unanswered: no reply, and the link names what to check
  options_.check.livePolls = 1;
  const zt::CheckReport check = zt::CheckMeter(session_, profile_, confirmed_, options_.check);
  const auto record = zt::report::RecordOf(profile_, check, "1.0.0", "/dev/pts/7", {});

  const QString zh = zt::report::CommissionHtml(record, Language::kChinese);
  EXPECT_TRUE(zh.contains(QStringLiteral("调试报告")));
  EXPECT_TRUE(zh.contains(QStringLiteral("泵站 3 &lt;东&gt;")));
  EXPECT_FALSE(zh.contains(QStringLiteral("<东>")));
  EXPECT_TRUE(zh.contains(QStringLiteral("电源、A/B接线、地址、波特率")));
  EXPECT_TRUE(zh.contains(QStringLiteral("无应答")));
  EXPECT_TRUE(zh.contains(QStringLiteral("有不一致或无应答的项目")));
  // Self-contained: nothing is fetched from elsewhere.
  EXPECT_FALSE(zh.contains("src=")) << "no images or scripts";
  EXPECT_FALSE(zh.contains("href="));
  EXPECT_FALSE(zh.contains("@import"));

  const QString en = zt::report::CommissionHtml(record, Language::kEnglish);
  EXPECT_TRUE(en.contains("Commissioning report"));
  EXPECT_TRUE(en.contains("power, A/B wiring, address, rate"));
  EXPECT_FALSE(en.contains(QStringLiteral("调试报告")));
}

TEST_F(CommissionReport, PdfIsAnA4PageWithItsFontEmbedded) {
  const zt::report::CommissionRecord record = Applied();
  const QByteArray pdf = zt::report::CommissionPdf(record, Language::kChinese);
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  // A4 in points, and a font file inside rather than a name to look up.
  EXPECT_TRUE(pdf.contains("/MediaBox [0 0 595") || pdf.contains("/MediaBox [ 0 0 595"));
  EXPECT_TRUE(pdf.contains("/FontFile2") || pdf.contains("/FontFile3"));
  EXPECT_TRUE(pdf.contains("WenQuanYi") || pdf.contains("NotoSansCJK"));
}

TEST_F(CommissionReport, AReportThatCannotBeWrittenLeavesNoFileAndSaysWhy) {
  const zt::report::CommissionRecord record = Applied();
  const std::filesystem::path missing = dir_ / "no" / "such" / "dir" / "r.html";
  const auto failed = zt::report::WriteCommissionReport(missing, record, Language::kEnglish);
  ASSERT_TRUE(failed.has_value());
  EXPECT_NE(failed->Message().find(missing.string()), std::string::npos) << failed->Message();
  EXPECT_FALSE(std::filesystem::exists(missing));

  // A directory where the file should go: refused, the directory untouched.
  std::filesystem::create_directories(dir_ / "taken.json");
  EXPECT_TRUE(zt::report::WriteCommissionReport(dir_ / "taken.json", record, Language::kEnglish));
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "taken.json"));

  const auto wrongEnding =
      zt::report::WriteCommissionReport(dir_ / "r.txt", record, Language::kEnglish);
  ASSERT_TRUE(wrongEnding.has_value());
  EXPECT_NE(wrongEnding->Message().find("must end in .json, .html or .pdf"), std::string::npos);
  EXPECT_EQ(wrongEnding->Reason(Language::kChinese), "文件名必须以 .json、.html 或 .pdf 结尾");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "r.txt"));

  // A report written over an old one replaces it whole.
  std::ofstream(dir_ / "old.json") << "old";
  ASSERT_EQ(zt::report::WriteCommissionReport(dir_ / "old.json", record, Language::kEnglish),
            std::nullopt);
  std::ifstream in(dir_ / "old.json");
  std::string first;
  in >> first;
  EXPECT_EQ(first, "{");
}

}  // namespace

namespace {

// A Chinese report says its notes in Chinese, their figures, device and
// reason kept: the clock's offset, and a rate the meter took at which the
// port would not open again.
TEST_F(CommissionReport, AChineseReportHasNoEnglishNoteLeft) {
  const zt::CheckReport check = zt::CheckMeter(session_, profile_, confirmed_, options_.check);
  const QString checked = zt::report::CommissionHtml(
      zt::report::RecordOf(profile_, check, "1.0.0", "/dev/pts/7", {}), Language::kChinese);
  EXPECT_TRUE(checked.contains(QStringLiteral(" 秒, 允许 60 秒"))) << checked.toStdString();
  EXPECT_TRUE(checked.contains(QStringLiteral("此仪表不能读回")));
  EXPECT_FALSE(checked.contains(QLatin1String("tolerance")));

  profile_.baud = 19200;
  options_.reopen = [](const zt::LinkSettings&) {
    zt::OpenResult refused;
    refused.device = "/dev/pts/7";
    refused.reason = "Device busy";
    return refused;
  };
  const zt::report::CommissionRecord record = Applied();
  ASSERT_TRUE(record.apply.has_value());
  ASSERT_FALSE(record.apply->after.has_value() && record.apply->after->AllMatch());

  const QString zh = zt::report::CommissionHtml(record, Language::kChinese);
  EXPECT_TRUE(zh.contains(QStringLiteral("仪表已接受 19200 bit/s, 但 /dev/pts/7 未能重新打开: Device busy")))
      << zh.toStdString();
  for (const char* english : {"tolerance", "did not", "the meter", "cannot be read", "confirmed in"}) {
    EXPECT_FALSE(zh.contains(QLatin1String(english))) << english;
  }
  const QString en = zt::report::CommissionHtml(record, Language::kEnglish);
  EXPECT_TRUE(en.contains("the meter took 19200 bit/s but /dev/pts/7 did not open again: Device busy"));
}

}  // namespace
