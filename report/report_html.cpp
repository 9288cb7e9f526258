#include <QStringList>

#include <cstdio>

#include "meter/commission_check.h"
#include "report/report_notes.h"
#include "report/report_texts.h"
#include "report/report_writer.h"

namespace zt::report {

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class Page {
 public:
  explicit Page(Language language) : language_(language) {}

  QString T(std::string_view key) const { return Q(Say(key, language_)).toHtmlEscaped(); }
  static QString E(const std::string& text) { return Q(text).toHtmlEscaped(); }

  // A read or expected value as the technician reads it: parity, relay and
  // switch states in words.
  QString Value(std::string_view key, const std::optional<std::string>& value) const {
    if (!value) {
      return QStringLiteral("—");
    }
    if (key == row::kParity || key == row::kRelay || key == row::kSwitch) {
      return T(*value);
    }
    return E(*value);
  }

  static QString Time(const std::optional<WallTime>& time) {
    return time ? Q(ChinaTimeText(*time)) : QStringLiteral("—");
  }
  // The time of day only, in the tables: the date is in the heading.
  static QString Clock(const std::optional<WallTime>& time) {
    return time ? Q(ChinaTimeText(*time).substr(11)) : QStringLiteral("—");
  }
  QString Note(const std::string& note) const { return E(NoteText(note, language_)); }

  void Heading(std::string_view key) { html_ += "<h2>" + T(key) + "</h2>\n"; }

  void Table(const QStringList& header, const std::vector<QStringList>& rows,
             const std::vector<QString>& classes = {}) {
    html_ += "<table>\n<tr>";
    for (const QString& cell : header) {
      html_ += "<th>" + cell + "</th>";
    }
    html_ += "</tr>\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const QString cls = i < classes.size() ? classes[i] : QString();
      html_ += cls.isEmpty() ? QStringLiteral("<tr>") : "<tr class=\"" + cls + "\">";
      for (const QString& cell : rows[i]) {
        html_ += "<td>" + cell + "</td>";
      }
      html_ += "</tr>\n";
    }
    html_ += "</table>\n";
  }

  void Pairs(const std::vector<std::pair<std::string_view, QString>>& pairs) {
    html_ += "<table class=\"pairs\">\n";
    for (const auto& [key, value] : pairs) {
      html_ += "<tr><th>" + T(key) + "</th><td>" + value + "</td></tr>\n";
    }
    html_ += "</table>\n";
  }

  void Raw(const QString& text) { html_ += text; }
  QString Html() const { return html_; }

 private:
  Language language_;
  QString html_;
};

QString Number(double value) { return QString::number(value, 'f', 4); }

QString Ms(std::chrono::microseconds us) {
  return QString::number(static_cast<double>(us.count()) / 1000.0, 'f', 1);
}

}  // namespace

QString CommissionHtml(const CommissionRecord& record, Language language) {
  Page page(language);
  const CheckReport& check = record.check;
  const bool cancelled = check.cancelled || (record.apply && record.apply->cancelled);
  const QString lang = language == Language::kChinese ? "zh-CN" : "en";
  page.Raw("<!DOCTYPE html>\n<html lang=\"" + lang + "\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           page.T("title") + "</title>\n<style>\n"
           "body { font-family: 'WenQuanYi Micro Hei', 'Noto Sans CJK SC', SimSun, sans-serif;"
           " font-size: 10pt; margin: 1.5em; }\n"
           "h1 { font-size: 16pt; } h2 { font-size: 12pt; margin-top: 1.2em; }\n"
           "table { border-collapse: collapse; margin: 0.3em 0; }\n"
           "th, td { border: 1px solid #888; padding: 2px 6px; text-align: left; }\n"
           "th { background: #dde6f0; }\n"
           "tr.differs td, tr.no_reply td, tr.not_confirmed td { color: #b00000; font-weight: bold; }\n"
           "</style>\n</head>\n<body>\n");
  page.Raw("<h1>" + page.T("title") + "</h1>\n");

  const LinkSettings& line = check.line.settings;
  const QString echo = check.line.echoes ? page.T(*check.line.echoes ? "yes" : "no")
                                         : page.T("unknown");
  page.Pairs({{"site", Page::E(record.profile.site)},
              {"meter", Page::E(record.profile.meter)},
              {"written", Page::Time(record.written) + " (UTC+8)"},
              {"version", Page::E(record.consoleVersion)},
              {"overall", cancelled          ? page.T("cancelled")
                          : check.AllMatch() ? page.T("all_match")
                                             : page.T("some_differ")}});

  page.Heading("link");
  page.Pairs({{"port", Page::E(record.port)},
              {"address", QString::number(line.address)},
              {"rate", QString::number(line.baudRate)},
              {"parity", page.T(ParityWord(line.parity))},
              {"echo", echo}});

  page.Heading("check");
  std::vector<QStringList> rows;
  std::vector<QString> classes;
  for (const CheckRow& row : check.rows) {
    rows.push_back({page.T(row.key), page.Value(row.key, row.expected),
                    page.Value(row.key, row.read), page.T(VerdictKey(row.verdict)),
                    Page::Clock(row.at), page.Note(row.note)});
    classes.push_back(Q(VerdictKey(row.verdict)));
  }
  page.Table({page.T("setting"), page.T("expected"), page.T("read"), page.T("verdict"),
              page.T("time"), page.T("note")},
             rows, classes);

  if (record.apply) {
    page.Heading("writes");
    if (record.apply->steps.empty()) {
      page.Raw("<p>" + page.T("no_writes") + "</p>\n");
    } else {
      std::vector<QStringList> steps;
      std::vector<QString> stepClasses;
      for (const ApplyStep& step : record.apply->steps) {
        steps.push_back({page.T(step.key), page.Value(step.key, step.value),
                         page.T(StepStateKey(step.state)), Page::Clock(step.at),
                         page.Note(step.note)});
        stepClasses.push_back(Q(StepStateKey(step.state)));
      }
      page.Table({page.T("setting"), page.T("value"), page.T("state"), page.T("time"),
                  page.T("note")},
                 steps, stepClasses);
    }
  }

  page.Heading("live");
  const LiveSummary& live = check.live;
  const auto optional = [](const std::optional<double>& v) {
    return v ? Number(*v) : QStringLiteral("—");
  };
  page.Pairs({{"polls", QString::number(live.polls)},
              {"replies", QString::number(live.replies)},
              {"min", optional(live.min)},
              {"max", optional(live.max)},
              {"mean", optional(live.mean)},
              {"error_rate", Page::E(check.pollStatistics.errorRate)}});

  page.Heading("statistics");
  const ExchangeSummary& exchanges = check.exchanges;
  std::vector<std::pair<std::string_view, QString>> stats = {
      {"exchanges", QString::number(check.link.exchanges)},
      {"failures", QString::number(check.link.failures)}};
  if (check.link.mainCause) {
    const std::string_view cause = NameOf(*check.link.mainCause).key;
    stats.emplace_back("main_cause", page.T(cause));
    stats.emplace_back("advice", page.T("advice_" + std::string(cause)));
  } else {
    stats.emplace_back("verdict", page.T("link_good"));
  }
  for (int i = 0; i < kFailureCauses; ++i) {
    const int64_t count = exchanges.failures[static_cast<std::size_t>(i)];
    if (count > 0) {
      stats.emplace_back(kFailureCauseNames[i].key, QString::number(count));
    }
  }
  stats.emplace_back("replies", QString::number(exchanges.replies));
  if (exchanges.latency) {
    const LatencySummary& l = *exchanges.latency;
    stats.emplace_back("latency", Ms(l.min) + " / " + Ms(l.median) + " / " + Ms(l.p95) + " / " +
                                      Ms(l.max) + " ms");
  }
  page.Pairs(stats);

  page.Heading("reads");
  std::vector<QStringList> reads;
  const auto addReads = [&](const CheckReport& from) {
    for (const ReadRecord& read : from.reads) {
      reads.push_back({page.T(read.what), read.value ? Page::E(*read.value) : page.T("no_value"),
                       Page::Clock(read.at)});
    }
  };
  if (record.apply) {
    addReads(record.apply->before);
  }
  addReads(check);
  page.Table({page.T("setting"), page.T("value"), page.T("time")}, reads);
  page.Raw("</body>\n</html>\n");
  return page.Html();
}

}  // namespace zt::report
