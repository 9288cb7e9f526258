#include "meter/json_reader.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace zt {

namespace {

constexpr int kMaxDepth = 32;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::variant<JsonValue, JsonError> ReadDocument() {
    JsonValue value;
    SkipSpace();
    if (!ReadValue(value, 0)) {
      return error_;
    }
    SkipSpace();
    if (pos_ != text_.size()) {
      Fail("text after the end of the value");
      return error_;
    }
    return value;
  }

 private:
  bool Fail(std::string reason) {
    if (error_.reason.empty()) {
      int line = 1;
      int column = 1;
      for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) {
        if (text_[i] == '\n') {
          ++line;
          column = 1;
        } else {
          ++column;
        }
      }
      error_ = {line, column, std::move(reason)};
    }
    return false;
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  void SkipSpace() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) {
      ++pos_;
    }
  }

  bool Literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) {
      return Fail("not a JSON value");
    }
    pos_ += word.size();
    return true;
  }

  bool ReadValue(JsonValue& value, int depth) {
    if (depth > kMaxDepth) {
      return Fail("nested too deeply");
    }
    switch (Peek()) {
      case '{':
        return ReadObject(value, depth);
      case '[':
        return ReadArray(value, depth);
      case '"':
        value.type = JsonValue::Type::String;
        return ReadString(value.text);
      case 't':
        value.type = JsonValue::Type::Bool;
        value.boolean = true;
        return Literal("true");
      case 'f':
        value.type = JsonValue::Type::Bool;
        return Literal("false");
      case 'n':
        value.type = JsonValue::Type::Null;
        return Literal("null");
      case '\0':
        if (AtEnd()) {
          return Fail("the text ends where a value should be");
        }
        return Fail("not a JSON value");
      default:
        return ReadNumber(value);
    }
  }

  bool ReadObject(JsonValue& value, int depth) {
    value.type = JsonValue::Type::Object;
    ++pos_;
    SkipSpace();
    if (Peek() == '}') {
      ++pos_;
      return true;
    }
    for (;;) {
      SkipSpace();
      if (Peek() != '"') {
        return Fail("a key in double quotes expected");
      }
      std::string key;
      const std::size_t keyStart = pos_;
      if (!ReadString(key)) {
        return false;
      }
      for (const auto& member : value.members) {
        if (member.key == key) {
          pos_ = keyStart;
          return Fail("the key \"" + key + "\" is given twice");
        }
      }
      SkipSpace();
      if (Peek() != ':') {
        return Fail("':' expected after a key");
      }
      ++pos_;
      SkipSpace();
      JsonValue member;
      if (!ReadValue(member, depth + 1)) {
        return false;
      }
      value.members.push_back({std::move(key), std::move(member)});
      SkipSpace();
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      if (Peek() == '}') {
        ++pos_;
        return true;
      }
      return Fail("',' or '}' expected");
    }
  }

  bool ReadArray(JsonValue& value, int depth) {
    value.type = JsonValue::Type::Array;
    ++pos_;
    SkipSpace();
    if (Peek() == ']') {
      ++pos_;
      return true;
    }
    for (;;) {
      SkipSpace();
      JsonValue item;
      if (!ReadValue(item, depth + 1)) {
        return false;
      }
      value.items.push_back(std::move(item));
      SkipSpace();
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      if (Peek() == ']') {
        ++pos_;
        return true;
      }
      return Fail("',' or ']' expected");
    }
  }

  bool Hex4(uint32_t& out) {
    out = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = Peek();
      uint32_t digit = 0;
      if (c >= '0' && c <= '9') {
        digit = static_cast<uint32_t>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        digit = static_cast<uint32_t>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        digit = static_cast<uint32_t>(c - 'A' + 10);
      } else {
        return Fail("four hex digits expected after \\u");
      }
      out = out * 16 + digit;
      ++pos_;
    }
    return true;
  }

  static void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  bool ReadEscape(std::string& out) {
    const char c = Peek();
    ++pos_;
    switch (c) {
      case '"': out += '"'; return true;
      case '\\': out += '\\'; return true;
      case '/': out += '/'; return true;
      case 'b': out += '\b'; return true;
      case 'f': out += '\f'; return true;
      case 'n': out += '\n'; return true;
      case 'r': out += '\r'; return true;
      case 't': out += '\t'; return true;
      case 'u': {
        uint32_t cp = 0;
        if (!Hex4(cp)) {
          return false;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF) {
          uint32_t low = 0;
          if (text_.substr(pos_, 2) != "\\u") {
            return Fail("a lone surrogate in \\u escapes");
          }
          pos_ += 2;
          if (!Hex4(low)) {
            return false;
          }
          if (low < 0xDC00 || low > 0xDFFF) {
            return Fail("a lone surrogate in \\u escapes");
          }
          cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
          return Fail("a lone surrogate in \\u escapes");
        }
        AppendUtf8(out, cp);
        return true;
      }
      default:
        --pos_;
        return Fail("an unknown escape in a string");
    }
  }

  bool ReadString(std::string& out) {
    ++pos_;
    for (;;) {
      if (AtEnd()) {
        return Fail("a string is not closed");
      }
      const auto c = static_cast<unsigned char>(Peek());
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (c < 0x20) {
        return Fail("a control character inside a string");
      }
      ++pos_;
      if (c == '\\') {
        if (!ReadEscape(out)) {
          return false;
        }
      } else {
        out += static_cast<char>(c);
      }
    }
  }

  bool Digits() {
    const std::size_t start = pos_;
    while (Peek() >= '0' && Peek() <= '9') {
      ++pos_;
    }
    return pos_ > start;
  }

  bool ReadNumber(JsonValue& value) {
    const std::size_t start = pos_;
    if (Peek() == '-') {
      ++pos_;
    }
    if (Peek() == '0') {
      ++pos_;
    } else if (!Digits()) {
      pos_ = start;
      return Fail("not a JSON value");
    }
    if (Peek() == '.') {
      ++pos_;
      if (!Digits()) {
        return Fail("digits expected after '.'");
      }
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++pos_;
      if (Peek() == '+' || Peek() == '-') {
        ++pos_;
      }
      if (!Digits()) {
        return Fail("digits expected in the exponent");
      }
    }
    value.type = JsonValue::Type::Number;
    value.text = std::string(text_.substr(start, pos_ - start));
    value.number = std::strtod(value.text.c_str(), nullptr);
    if (!std::isfinite(value.number)) {
      pos_ = start;
      return Fail("a number too large");
    }
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  JsonError error_;
};

}  // namespace

std::optional<long long> JsonValue::Integer() const {
  if (type != Type::Number || text.find_first_of(".eE") != std::string::npos) {
    return std::nullopt;
  }
  long long out = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  if (ec != std::errc{} || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return out;
}

std::variant<JsonValue, JsonError> ReadJson(std::string_view text) {
  return Reader(text).ReadDocument();
}

const char* JsonTypeName(JsonValue::Type type) {
  switch (type) {
    case JsonValue::Type::Null: return "null";
    case JsonValue::Type::Bool: return "true or false";
    case JsonValue::Type::Number: return "a number";
    case JsonValue::Type::String: return "a string";
    case JsonValue::Type::Array: return "a list";
    case JsonValue::Type::Object: return "an object";
  }
  return "a value";
}

}  // namespace zt
