#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zt::cli {

// One JSON object on one line, members in the order they are added. Strings
// are UTF-8 and stay UTF-8; only what JSON requires is escaped.
class JsonObject {
 public:
  JsonObject& Add(std::string_view key, std::string_view text);
  JsonObject& Add(std::string_view key, const char* text) {
    return Add(key, std::string_view(text));
  }
  JsonObject& Add(std::string_view key, int64_t number);
  JsonObject& Add(std::string_view key, int32_t number) { return Add(key, int64_t{number}); }
  JsonObject& Add(std::string_view key, bool value);
  JsonObject& AddNull(std::string_view key);
  // A number already written as JSON wants it, such as "12.5000": the
  // console's four decimals survive.
  JsonObject& AddNumberText(std::string_view key, std::string_view number);
  // A value already written as JSON: an object, an array or null.
  JsonObject& AddRaw(std::string_view key, std::string_view json) { return Member(key, json); }

  template <typename T>
  JsonObject& AddOptional(std::string_view key, const std::optional<T>& value) {
    return value ? Add(key, *value) : AddNull(key);
  }

  std::string Text() const { return "{" + members_ + "}"; }

 private:
  JsonObject& Member(std::string_view key, std::string_view json);

  std::string members_;
};

// `text` as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

}  // namespace zt::cli
