#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDateTime>
#include <QTimeZone>

#include "link/failure_cause.h"
#include "report/report_writer.h"

namespace zt::report {

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QJsonValue Optional(const std::optional<std::string>& text) {
  return text ? QJsonValue(Q(*text)) : QJsonValue(QJsonValue::Null);
}

QJsonValue Optional(const std::optional<double>& value) {
  return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QString Iso(WallTime time) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch());
  return QDateTime::fromMSecsSinceEpoch(ms.count(), QTimeZone::utc())
      .toString(Qt::ISODateWithMs);
}

QJsonValue OptionalTime(const std::optional<WallTime>& time) {
  return time ? QJsonValue(Iso(*time)) : QJsonValue(QJsonValue::Null);
}

QJsonArray Reads(const CheckReport& check) {
  QJsonArray reads;
  for (const ReadRecord& read : check.reads) {
    reads.append(QJsonObject{{"what", Q(read.what)}, {"value", Optional(read.value)},
                             {"time", Iso(read.at)}});
  }
  return reads;
}

QJsonObject Exchanges(const ExchangeSummary& summary) {
  QJsonObject failures;
  for (int i = 0; i < kFailureCauses; ++i) {
    failures[Q(kFailureCauseNames[i].key)] =
        static_cast<qint64>(summary.failures[static_cast<std::size_t>(i)]);
  }
  QJsonObject object{{"replies", static_cast<qint64>(summary.replies)},
                     {"failures", static_cast<qint64>(summary.Failures())},
                     {"failures_by_cause", failures}};
  if (summary.latency) {
    const auto ms = [](std::chrono::microseconds us) { return static_cast<double>(us.count()) / 1000.0; };
    object["latency_ms"] = QJsonObject{{"min", ms(summary.latency->min)},
                                       {"median", ms(summary.latency->median)},
                                       {"p95", ms(summary.latency->p95)},
                                       {"max", ms(summary.latency->max)}};
  }
  return object;
}

}  // namespace

QByteArray CommissionJson(const CommissionRecord& record) {
  const CheckReport& check = record.check;
  QJsonArray rows;
  for (const CheckRow& row : check.rows) {
    rows.append(QJsonObject{{"setting", Q(row.key)},
                            {"expected", Optional(row.expected)},
                            {"read", Optional(row.read)},
                            {"verdict", Q(VerdictKey(row.verdict))},
                            {"time", OptionalTime(row.at)},
                            {"note", Q(row.note)}});
  }
  QJsonArray reads = record.apply ? Reads(record.apply->before) : QJsonArray{};
  for (const QJsonValue& read : Reads(check)) {
    reads.append(read);
  }
  const LinkSettings& line = check.line.settings;
  QJsonObject link{{"port", Q(record.port)},
                   {"address", line.address},
                   {"baud", line.baudRate},
                   {"parity", Q(ParityWord(line.parity))},
                   {"echo", check.line.echoes ? QJsonValue(*check.line.echoes)
                                              : QJsonValue(QJsonValue::Null)}};
  QJsonObject verdict{{"exchanges", static_cast<qint64>(check.link.exchanges)},
                      {"failures", static_cast<qint64>(check.link.failures)},
                      {"main_cause", check.link.mainCause
                                         ? QJsonValue(Q(NameOf(*check.link.mainCause).key))
                                         : QJsonValue(QJsonValue::Null)},
                      {"check", Q(check.link.check)}};
  const LinkStatistics& polls = check.pollStatistics;
  QJsonObject live{{"polls", check.live.polls},
                   {"replies", check.live.replies},
                   {"min", Optional(check.live.min)},
                   {"max", Optional(check.live.max)},
                   {"mean", Optional(check.live.mean)},
                   {"successes", polls.successCount},
                   {"failures", polls.failureCount},
                   {"error_rate", Q(polls.errorRate)}};
  QJsonObject object{{"site", Q(record.profile.site)},
                     {"meter", Q(record.profile.meter)},
                     {"time", Iso(record.written)},
                     {"console_version", Q(record.consoleVersion)},
                     {"link", link},
                     {"check", rows},
                     {"all_match", check.AllMatch()},
                     {"cancelled", check.cancelled || (record.apply && record.apply->cancelled)},
                     {"reads", reads},
                     {"live", live},
                     {"link_verdict", verdict},
                     {"link_statistics", Exchanges(check.exchanges)}};
  if (record.apply) {
    QJsonArray writes;
    for (const ApplyStep& step : record.apply->steps) {
      writes.append(QJsonObject{{"setting", Q(step.key)},
                                {"value", Q(step.value)},
                                {"state", Q(StepStateKey(step.state))},
                                {"time", OptionalTime(step.at)},
                                {"note", Q(step.note)}});
    }
    object["writes"] = writes;
    object["done"] = record.apply->Done();
  }
  return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

}  // namespace zt::report
