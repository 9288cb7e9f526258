#include "cli/poll_report.h"

#include <chrono>
#include <cstdio>

#include "cli/json_object.h"
#include "cli/report_time.h"
#include "res/texts.h"

namespace zt::cli {

namespace {

namespace text = res::text;

// The console's rate text without its "%", which JSON numbers cannot carry.
std::string RateNumber(const std::string& errorRate) {
  return errorRate.ends_with('%') ? errorRate.substr(0, errorRate.size() - 1) : errorRate;
}

std::string CountsText(const LinkStatistics& stats) {
  return "successes " + std::to_string(stats.successCount) + "  failures " +
         std::to_string(stats.failureCount) + "  error rate " + stats.errorRate;
}

void AddCounts(JsonObject& json, const LinkStatistics& stats) {
  json.Add("successes", stats.successCount)
      .Add("failures", stats.failureCount)
      .AddNumberText("error_rate", RateNumber(stats.errorRate));
}

std::string HexByte(uint8_t byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

std::string Milliseconds(std::chrono::microseconds time, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(time.count()) / 1000.0);
  return text;
}

std::string CausesJson(const ExchangeSummary& exchanges) {
  JsonObject json;
  for (const FailureCauseName& name : kFailureCauseNames) {
    json.Add(name.key, exchanges.failures[static_cast<std::size_t>(name.cause)]);
  }
  return json.Text();
}

std::string ExceptionCodesJson(const ExchangeSummary& exchanges) {
  JsonObject json;
  for (const auto& [code, count] : exchanges.exceptions) {
    json.Add(HexByte(code), count);
  }
  return json.Text();
}

std::string LatencyJson(const std::optional<LatencySummary>& latency) {
  if (!latency) {
    return "null";
  }
  JsonObject json;
  json.AddNumberText("min", Milliseconds(latency->min, 3))
      .AddNumberText("median", Milliseconds(latency->median, 3))
      .AddNumberText("p95", Milliseconds(latency->p95, 3))
      .AddNumberText("max", Milliseconds(latency->max, 3));
  return json.Text();
}

// "exchanges 6  replies 4  failures 2: no byte 1, exception reply 02 1"
std::string CausesText(const ExchangeSummary& exchanges) {
  std::string text = "exchanges " + std::to_string(exchanges.replies + exchanges.Failures()) +
                     "  replies " + std::to_string(exchanges.replies) + "  failures " +
                     std::to_string(exchanges.Failures());
  std::string causes;
  const auto add = [&causes](const std::string& words, int64_t count) {
    causes += (causes.empty() ? ": " : ", ") + words + " " + std::to_string(count);
  };
  for (const FailureCauseName& name : kFailureCauseNames) {
    const int64_t count = exchanges.failures[static_cast<std::size_t>(name.cause)];
    if (name.cause == FailureCause::Exception) {
      for (const auto& [code, n] : exchanges.exceptions) {
        add(FailureDiagnosis{FailureCause::Exception, code}.Words(), n);
      }
    } else if (count > 0) {
      add(std::string(name.words), count);
    }
  }
  return text + causes;
}

std::string LatencyText(const std::optional<LatencySummary>& latency) {
  if (!latency) {
    return "reply latency: no reply";
  }
  return "reply latency: min " + Milliseconds(latency->min, 1) + " ms  median " +
         Milliseconds(latency->median, 1) + " ms  p95 " + Milliseconds(latency->p95, 1) +
         " ms  max " + Milliseconds(latency->max, 1) + " ms";
}

}  // namespace

std::string FormatPollTick(const std::optional<std::string>& live, const LinkStatistics& stats,
                           OutputFormat format) {
  if (IsJson(format)) {
    JsonObject json;
    if (live) {
      json.AddNumberText("live", *live);
    } else {
      json.AddNull("live");
    }
    json.Add("ok", live.has_value());
    AddCounts(json, stats);
    return json.Text();
  }
  return "live " + live.value_or("failed") + "  " + CountsText(stats);
}

std::string FormatPollTotals(const LinkStatistics& stats, OutputFormat format) {
  const int32_t polls = stats.successCount + stats.failureCount;
  if (IsJson(format)) {
    JsonObject json;
    json.Add("totals", true).Add("polls", polls);
    AddCounts(json, stats);
    return json.Text();
  }
  return "totals: polls " + std::to_string(polls) + "  " + CountsText(stats);
}

std::string FormatPollTotals(const LinkStatistics& stats, const ExchangeSummary& exchanges,
                             OutputFormat format) {
  const int32_t polls = stats.successCount + stats.failureCount;
  if (IsJson(format)) {
    JsonObject json;
    json.Add("totals", true).Add("polls", polls);
    AddCounts(json, stats);
    json.Add("exchanges", exchanges.replies + exchanges.Failures())
        .Add("replies", exchanges.replies)
        .AddRaw("failures_by_cause", CausesJson(exchanges))
        .AddRaw("exception_codes", ExceptionCodesJson(exchanges))
        .AddRaw("latency_ms", LatencyJson(exchanges.latency));
    return json.Text();
  }
  return FormatPollTotals(stats, format) + "\n" + CausesText(exchanges) + "\n" +
         LatencyText(exchanges.latency);
}

std::string CauseKey(const FailureDiagnosis& diagnosis) {
  std::string key(NameOf(diagnosis.cause).key);
  if (diagnosis.cause == FailureCause::Exception) {
    key += "_" + HexByte(diagnosis.exceptionCode);
  }
  return key;
}

std::string CauseKey(const TickFailure& failure) {
  return failure.decimalPointUnread ? std::string(failure.Key()) : CauseKey(failure.diagnosis);
}

std::string FormatPollCsvRow(const PollRow& row, const LinkStatistics& stats) {
  return IsoUtcTime(row.time) + "," + row.live.value_or("") + "," +
         std::to_string(row.decimalPoint) + "," + (row.live ? "true" : "false") + "," +
         (row.failure ? CauseKey(*row.failure) : std::string()) + "," +
         std::to_string(stats.successCount) + "," + std::to_string(stats.failureCount) + "," +
         RateNumber(stats.errorRate);
}

std::string FormatLogBlock(int32_t block, const std::string& file, bool appended,
                           OutputFormat format) {
  if (IsJson(format)) {
    JsonObject json;
    json.Add("block", block).Add("file", file).Add("appended", appended);
    if (!appended) {
      json.Add("message", text::kLogFileFailed);
    }
    return json.Text();
  }
  return appended ? "block " + std::to_string(block) + " appended to " + file
                  : std::string(text::kLogFileFailed) + ": " + file;
}

}  // namespace zt::cli
