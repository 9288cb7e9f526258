#pragma once

#include <chrono>
#include <string>

namespace zt::cli {

// ISO 8601 in UTC with milliseconds: "2026-12-07T10:13:44.123Z".
std::string IsoUtcTime(std::chrono::system_clock::time_point time);
// A JSON line of a report with the time as its first member.
std::string Stamped(const std::string& jsonObject, std::chrono::system_clock::time_point time);

}  // namespace zt::cli
