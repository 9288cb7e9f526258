// What zt6100ctl prints: the JSON keys scripts rely on, valid JSON for every
// value, and the console's own texts and characters.
#include "cli/meter_report.h"
#include "cli/poll_report.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "cli/json_object.h"

namespace zt::cli {
namespace {

constexpr OutputFormat kJson = OutputFormat::Json;
constexpr OutputFormat kText = OutputFormat::Text;

// Parses with Qt's reader, so that a malformed line fails the test.
QJsonObject Parsed(const std::string& line) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
  EXPECT_TRUE(document.isObject()) << line;
  return document.object();
}

LinkStatistics StatsAfter(std::initializer_list<bool> polls) {
  LinkStatistics stats;
  for (const bool replied : polls) {
    stats.Record(replied);
  }
  return stats;
}

TEST(JsonObject, EscapesWhatJsonRequiresAndKeepsUtf8) {
  JsonObject json;
  json.Add("text", "a\"b\\c\nd\x01 通");
  EXPECT_EQ(json.Text(), "{\"text\":\"a\\\"b\\\\c\\nd\\u0001 通\"}");
  EXPECT_EQ(Parsed(json.Text())["text"].toString(), QString::fromUtf8("a\"b\\c\nd\x01 通"));
}

TEST(JsonObject, KeepsMemberOrderAndTypes) {
  JsonObject json;
  json.Add("b", false).AddNull("z").AddNumberText("x", "1.5000").Add("n", int64_t{-5});
  EXPECT_EQ(json.Text(), "{\"b\":false,\"z\":null,\"x\":1.5000,\"n\":-5}");
}

TEST(PollFormat, JsonKeysAndTheErrorRateAsANumber) {
  const QJsonObject tick =
      Parsed(FormatPollTick(std::string("12.3400"), StatsAfter({true, false, true}), kJson));
  EXPECT_EQ(tick.keys(), (QStringList{"error_rate", "failures", "live", "ok", "successes"}));
  EXPECT_DOUBLE_EQ(tick["live"].toDouble(), 12.34);
  EXPECT_TRUE(tick["ok"].toBool());
  EXPECT_EQ(tick["successes"].toInt(), 2);
  EXPECT_EQ(tick["failures"].toInt(), 1);
  EXPECT_NEAR(tick["error_rate"].toDouble(), 33.3333, 1e-9);
}

TEST(PollFormat, AFailedTickIsAFailureWithoutAValue) {
  const LinkStatistics stats = StatsAfter({true, false});
  const QJsonObject tick = Parsed(FormatPollTick(std::nullopt, stats, kJson));
  EXPECT_TRUE(tick["live"].isNull());
  EXPECT_EQ(tick["ok"], QJsonValue(false));
  EXPECT_EQ(FormatPollTick(std::nullopt, stats, kText),
            "live failed  successes 1  failures 1  error rate 50.0000%");
}

TEST(PollFormat, ACsvRowNamesWhyItsTickHasNoGoodValue) {
  const LinkStatistics stats = StatsAfter({false});
  const auto cause = [&stats](const std::optional<TickFailure>& failure) {
    const std::string row = FormatPollCsvRow(PollRow{{}, std::nullopt, 0, failure}, stats);
    // time,live,decimal_point,ok,cause,...
    std::size_t at = 0;
    for (int field = 0; field < 4; ++field) {
      at = row.find(',', at) + 1;
    }
    return row.substr(at, row.find(',', at) - at);
  };
  EXPECT_EQ(cause(TickFailure{true, {}}), "decimal_point_unread");
  EXPECT_EQ(cause(TickFailure{false, FailureDiagnosis{FailureCause::OtherRequest}}), "other_request");
  FailureDiagnosis refused{FailureCause::Exception};
  refused.exceptionCode = 0x03;
  EXPECT_EQ(cause(TickFailure{false, refused}), "exception_03");
}

TEST(PollFormat, TotalsBeforeAnyPollAreStillValidJson) {
  const QJsonObject totals = Parsed(FormatPollTotals(LinkStatistics{}, kJson));
  EXPECT_TRUE(totals["totals"].toBool());
  EXPECT_EQ(totals["polls"].toInt(), 0);
  EXPECT_EQ(totals["error_rate"].toDouble(), 0.0);
}

TEST(ParameterFormat, ReadsWithAFailedReadAsNull) {
  ParameterReads reads;
  reads.upperLimit = 65535;
  reads.decimalPoint = 2;
  reads.meterBaud = 7;
  const QJsonObject json = Parsed(FormatParameterReads(reads, kJson));
  EXPECT_EQ(json.keys(), (QStringList{"baud", "decimal_point", "lower_limit", "upper_limit"}));
  EXPECT_EQ(json["upper_limit"].toInt(), 65535);
  EXPECT_TRUE(json["lower_limit"].isNull());
  EXPECT_EQ(json["baud"].toInt(), 7);
}

TEST(ParameterFormat, TheFailureMessageNamesEveryUnconfirmedBoxInWriteOrder) {
  ParameterWrites writes;
  writes.upperLimit = true;
  writes.lowerLimit = true;
  EXPECT_EQ(Parsed(FormatParameterWrites(writes, kJson))["message"].toString(),
            QString::fromUtf8("写数据不成功: 小数点 波特率"));
  writes.decimalPoint = writes.meterBaud = true;
  EXPECT_EQ(Parsed(FormatParameterWrites(writes, kJson))["message"].toString(),
            QString::fromUtf8("写数据成功！"));
}

TEST(SwitchStatusFormat, OnlyTheValueOneIsOnOrClosed) {
  for (const uint8_t value : std::initializer_list<uint8_t>{0, 2, 255}) {
    EXPECT_EQ(FormatSwitchStatus(SwitchStatus{value, value}, kText),
              "relay output: 断 (off)\nswitch input: 分 (open)");
  }
  const QJsonObject json = Parsed(FormatSwitchStatus(SwitchStatus{1, 1}, kJson));
  EXPECT_EQ(json["relay_output"].toString(), QString::fromUtf8("通"));
  EXPECT_EQ(json["relay_output_state"].toString(), "on");
  EXPECT_EQ(json["switch_input"].toString(), QString::fromUtf8("合"));
  EXPECT_EQ(json["switch_input_state"].toString(), "closed");
  EXPECT_TRUE(Parsed(FormatSwitchStatus(std::nullopt, kJson))["relay_output"].isNull());
}

}  // namespace
}  // namespace zt::cli
