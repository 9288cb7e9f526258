// check and apply of zt6100ctl against zt6100-sim on a pty, in real time:
// the JSON object, an apply that follows the meter to a new address and rate,
// and a report in each format, the PDF read back with poppler's tools.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>

#include "support/child_process.h"
#include "tool_process.h"

namespace zt::cli::test {
namespace {

// The meter keeps UTC+8; the simulator starts with the PC's time in it.
QString MeterNow() {
  return QDateTime::currentDateTimeUtc().addSecs(8 * 3600).toString("yyyy-MM-ddTHH:mm:ss");
}

// A poppler tool by its path; empty when it is not installed.
std::string Poppler(const char* name) {
  return QStandardPaths::findExecutable(QString::fromLatin1(name)).toStdString();
}

class CommissionE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Device()) << "zt6100-sim did not start";
    ASSERT_TRUE(dir_.isValid());
  }

  QString Profile(const QByteArray& json) {
    const QString path = dir_.filePath("site.json");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(json);
    return path;
  }

  ToolRun Run(const QStringList& arguments) {
    return RunCtl(QStringList{"--device", *sim_.Device(), "--fast"} + arguments);
  }

  SimProcess sim_{{"--clock", MeterNow()}};
  QTemporaryDir dir_;
};

TEST_F(CommissionE2e, CheckPrintsOneObjectAndExitsZeroWhenEverythingMatches) {
  const QString profile = Profile(
      R"({"site": "泵站 3", "address": 1, "baud": 9600, "parity": "none", "upper_limit": 5000,
          "lower_limit": 100, "decimal_point": 2, "pt": 100})");
  const ToolRun run = Run({"--json", "check", "--profile", profile});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
  ASSERT_EQ(run.Lines().size(), 1);
  const QJsonObject o = JsonLine(run.Lines().front());
  EXPECT_EQ(o["site"].toString(), QStringLiteral("泵站 3"));
  EXPECT_TRUE(o["all_match"].toBool());
  EXPECT_EQ(o["live"]["polls"].toInt(), 10);
  EXPECT_EQ(o["live"]["replies"].toInt(), 10);
  EXPECT_EQ(o["link"]["port"].toString(), *sim_.Device());
  for (const QJsonValue& row : o["check"].toArray()) {
    const QString setting = row["setting"].toString();
    const QString verdict = row["verdict"].toString();
    if (setting == "pt" || setting == "ct" || setting == "wiring") {
      EXPECT_EQ(verdict, "not_readable");
    } else if (row["expected"].isNull()) {
      EXPECT_EQ(verdict, "no_expectation") << setting.toStdString();
    } else {
      EXPECT_EQ(verdict, "match") << setting.toStdString();
    }
  }

  // One setting off: the table says which, and the exit status is 1.
  const ToolRun differs = Run({"check", "--profile", Profile(R"({"upper_limit": 4000})")});
  EXPECT_EQ(differs.exitCode, 1);
  EXPECT_TRUE(differs.out.contains(QRegularExpression("upper_limit +4000 +5000 +differs")))
      << differs.out.toStdString();
  EXPECT_TRUE(differs.out.contains("check: something differs"));
}

TEST_F(CommissionE2e, ApplyFollowsTheMeterToItsNewAddressAndRate) {
  const QString profile =
      Profile(R"({"address": 7, "baud": 19200, "upper_limit": 4000, "pt": 100})");
  const ToolRun apply = Run({"apply", "--profile", profile});
  ASSERT_TRUE(apply.finished);
  EXPECT_EQ(apply.exitCode, 0) << apply.out.toStdString() << apply.err.toStdString();
  const QStringList lines = apply.Lines();
  ASSERT_GE(lines.size(), 5);
  EXPECT_TRUE(lines[0].startsWith("write upper_limit 4000: confirmed at ")) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].startsWith("write parameter_baud 19200: confirmed"));
  EXPECT_TRUE(lines[2].startsWith("write pt 100: confirmed"));
  EXPECT_TRUE(lines[3].startsWith("write address 7: confirmed"));
  EXPECT_TRUE(lines[4].startsWith("write baud 19200: confirmed"));
  EXPECT_TRUE(apply.out.contains("check: everything matches"));

  // The meter is now where the profile says, and only there.
  const ToolRun there = Run({"--address", "7", "--baud", "19200", "read-params"});
  EXPECT_EQ(there.exitCode, 0);
  EXPECT_TRUE(there.out.startsWith("upper threshold: 4000\n")) << there.out.toStdString();
  EXPECT_EQ(Run({"read-params"}).exitCode, 1);
}

TEST_F(CommissionE2e, AReportInEachFormatHoldsTheValues) {
  const QString profile = Profile(R"({"site": "泵站 3", "meter": "A-17", "upper_limit": 5000})");
  for (const char* name : {"r.json", "r.html", "r.pdf"}) {
    const ToolRun run = Run({"check", "--profile", profile, "--report", dir_.filePath(name)});
    EXPECT_EQ(run.exitCode, 0) << name << run.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir_.filePath(name))) << name;
  }
  QFile json(dir_.filePath("r.json"));
  ASSERT_TRUE(json.open(QIODevice::ReadOnly));
  EXPECT_EQ(QJsonDocument::fromJson(json.readAll())["meter"].toString(), "A-17");
  QFile html(dir_.filePath("r.html"));
  ASSERT_TRUE(html.open(QIODevice::ReadOnly));
  EXPECT_TRUE(QString::fromUtf8(html.readAll()).contains(QStringLiteral("调试报告")));

  zt::test::ChildProcess text;
  ASSERT_TRUE(text.Start(Poppler("pdftotext"), {dir_.filePath("r.pdf").toStdString(), "-"}))
      << "pdftotext (poppler-utils) is needed";
  ASSERT_EQ(text.Finish(std::chrono::seconds(30)), 0);
  const QString pdf = QString::fromStdString(text.Output());
  EXPECT_TRUE(pdf.contains(QStringLiteral("调试报告"))) << pdf.toStdString();
  EXPECT_TRUE(pdf.contains(QStringLiteral("泵站 3")));
  EXPECT_TRUE(pdf.contains("5000"));
  EXPECT_TRUE(pdf.contains(*sim_.Device()));

  zt::test::ChildProcess page;
  const QString png = dir_.filePath("page");
  ASSERT_TRUE(page.Start(Poppler("pdftoppm"), {"-png", "-r", "50", "-f", "1", "-l", "1",
                                      dir_.filePath("r.pdf").toStdString(), png.toStdString()}))
      << "pdftoppm (poppler-utils) is needed";
  ASSERT_EQ(page.Finish(std::chrono::seconds(30)), 0);
  EXPECT_GT(QFile(png + "-1.png").size(), 10000);
}

TEST_F(CommissionE2e, ARefusedProfileOrAnUnwritableReportIsToldAndNamed) {
  const ToolRun refused = Run({"check", "--profile", Profile(R"({"ct": 0})")});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_TRUE(refused.err.contains(dir_.filePath("site.json") + ": key \"ct\" 0 is outside 1 to 64000"))
      << refused.err.toStdString();
  EXPECT_TRUE(refused.out.isEmpty());

  const QString nowhere = dir_.filePath("no/such/dir/r.pdf");
  const ToolRun unwritable =
      Run({"check", "--profile", Profile("{}"), "--report", nowhere});
  EXPECT_EQ(unwritable.exitCode, 5);
  EXPECT_TRUE(unwritable.err.contains("the report " + nowhere + " was not written"))
      << unwritable.err.toStdString();
  EXPECT_FALSE(QFile::exists(nowhere));
}

}  // namespace
}  // namespace zt::cli::test
