#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zt {

struct JsonMember;

// A JSON value as read from a small file the technician wrote by hand. The
// meter core reads site files itself so that it needs no Qt.
struct JsonValue {
  enum class Type { Null, Bool, Number, String, Array, Object };

  Type type = Type::Null;
  bool boolean = false;
  double number = 0.0;
  // A string's text (UTF-8), or a number's literal as written.
  std::string text;
  std::vector<JsonValue> items;
  // In the order written; a key given twice is refused by the reader. A
  // struct of its own, not a pair: a pair of a type not yet complete is
  // refused by some standard libraries.
  std::vector<JsonMember> members;

  // The number, when it is a whole number written without fraction or exponent.
  std::optional<long long> Integer() const;
};

struct JsonMember {
  std::string key;
  JsonValue value;
};

// Where the text stops being JSON, 1-based.
struct JsonError {
  int line = 1;
  int column = 1;
  std::string reason;
};

// RFC 8259 JSON, with nesting limited to 32 levels and a key given twice in
// one object refused.
std::variant<JsonValue, JsonError> ReadJson(std::string_view text);

// "string", "number", ... for a message.
const char* JsonTypeName(JsonValue::Type type);

}  // namespace zt
