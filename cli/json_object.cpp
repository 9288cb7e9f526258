#include "cli/json_object.h"

#include <cstdio>

namespace zt::cli {

std::string JsonString(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          quoted += escaped;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

JsonObject& JsonObject::Member(std::string_view key, std::string_view json) {
  if (!members_.empty()) {
    members_ += ',';
  }
  members_ += JsonString(key);
  members_ += ':';
  members_ += json;
  return *this;
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view text) {
  return Member(key, JsonString(text));
}

JsonObject& JsonObject::Add(std::string_view key, int64_t number) {
  return Member(key, std::to_string(number));
}

JsonObject& JsonObject::Add(std::string_view key, bool value) {
  return Member(key, value ? "true" : "false");
}

JsonObject& JsonObject::AddNull(std::string_view key) { return Member(key, "null"); }

JsonObject& JsonObject::AddNumberText(std::string_view key, std::string_view number) {
  return Member(key, number);
}

}  // namespace zt::cli
