#include "cli/report_time.h"

#include <chrono>
#include <cstdio>

namespace zt::cli {

std::string IsoUtcTime(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto ms = floor<milliseconds>(time);
  const auto day = floor<days>(ms);
  const year_month_day date(day);
  const hh_mm_ss<milliseconds> clock(ms - day);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()),
                static_cast<int>(clock.subseconds().count()));
  return text;
}

std::string Stamped(const std::string& jsonObject, std::chrono::system_clock::time_point time) {
  const std::string member = "\"time\":\"" + IsoUtcTime(time) + "\"";
  if (jsonObject.size() < 2 || jsonObject.front() != '{') {
    return jsonObject;
  }
  return "{" + member + (jsonObject == "{}" ? "" : ",") + jsonObject.substr(1);
}

}  // namespace zt::cli
