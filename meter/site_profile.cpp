#include "meter/site_profile.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "meter/json_reader.h"
#include "meter/register_map.h"
#include "res/commission_texts.h"

namespace zt {

namespace {

// A site file is a few hundred bytes; anything far larger is not one.
constexpr std::uintmax_t kMaxProfileBytes = 64 * 1024;
constexpr std::size_t kMaxFreeTextBytes = 200;
constexpr long long kMaxClockToleranceS = 86400;


namespace text = res::text;

struct IntegerKey {
  std::string_view key;
  long long min;
  long long max;
  const char* why = "";  // appended to the range in a refusal
  const char* windowOutside = text::kProfileOutside;
};

constexpr IntegerKey kAddressKey{"address", 1, 255,
                                 " (0 is the broadcast address, no meter answers it)",
                                 text::kProfileAddressOutside};
constexpr IntegerKey kUpperKey{"upper_limit", 0, 65535};
constexpr IntegerKey kLowerKey{"lower_limit", 0, 65535};
constexpr IntegerKey kDecimalKey{"decimal_point", 0, 3};
constexpr IntegerKey kPtKey{"pt", kRatioMin, kRatioMax};
constexpr IntegerKey kCtKey{"ct", kRatioMin, kRatioMax};
constexpr IntegerKey kWiringKey{"wiring", 0, kWiringModeCount - 1};
constexpr IntegerKey kToleranceKey{"clock_tolerance_s", 0, kMaxClockToleranceS};

// The reason in both words: zt6100ctl's, and the window's text with its values.
struct Reason {
  std::string words;
  const char* window;
  std::vector<std::string> arguments = {};
};

ProfileError Refusal(const std::string& file, std::string_view key, Reason reason) {
  return ProfileError{file, std::string(key), std::move(reason.words), reason.window,
                      std::move(reason.arguments)};
}

constexpr std::array<std::string_view, 12> kKnownKeys = {
    "address", "baud", "parity", "upper_limit", "lower_limit", "decimal_point",
    "pt", "ct", "wiring", "clock_tolerance_s", "site", "meter"};

class Parser {
 public:
  explicit Parser(const std::string& file) : file_(file) {}

  ProfileResult Parse(std::string_view text) {
    const std::variant<JsonValue, JsonError> read = ReadJson(text);
    if (const auto* error = std::get_if<JsonError>(&read)) {
      const std::string line = std::to_string(error->line);
      const std::string column = std::to_string(error->column);
      return Refuse("", {"line " + line + ", column " + column + ": " + error->reason,
                         text::kProfileNotJson, {line, column}});
    }
    const JsonValue& root = std::get<JsonValue>(read);
    if (root.type != JsonValue::Type::Object) {
      return Refuse("", {std::string("the profile must be an object, not ") +
                             JsonTypeName(root.type),
                         text::kProfileNotObject});
    }
    SiteProfile profile;
    for (const auto& [key, value] : root.members) {
      if (!Take(profile, key, value)) {
        return *error_;
      }
    }
    if (profile.upperLimit && profile.lowerLimit && *profile.lowerLimit > *profile.upperLimit) {
      const std::string lower = std::to_string(*profile.lowerLimit);
      const std::string upper = std::to_string(*profile.upperLimit);
      return Refuse("lower_limit", {lower + " is above upper_limit " + upper,
                                    text::kProfileLowerAboveUpper, {lower, upper}});
    }
    return profile;
  }

  ProfileError Refuse(std::string_view key, Reason reason) {
    return Refusal(file_, key, std::move(reason));
  }

 private:
  bool Fail(std::string_view key, Reason reason) {
    error_ = Refuse(key, std::move(reason));
    return false;
  }

  bool FailType(std::string_view key, const char* wanted, const char* window,
                const JsonValue& value) {
    return Fail(key, {std::string("must be ") + wanted + ", not " + JsonTypeName(value.type),
                      window});
  }

  std::optional<long long> Integer(const IntegerKey& rule, const JsonValue& value) {
    if (value.type != JsonValue::Type::Number) {
      FailType(rule.key, "a number", text::kProfileNotNumber, value);
      return std::nullopt;
    }
    const std::optional<long long> whole = value.Integer();
    if (!whole) {
      Fail(rule.key, {value.text + " is not a whole number", text::kProfileNotWhole, {value.text}});
      return std::nullopt;
    }
    if (*whole < rule.min || *whole > rule.max) {
      const std::string min = std::to_string(rule.min);
      const std::string max = std::to_string(rule.max);
      Fail(rule.key, {value.text + " is outside " + min + " to " + max + rule.why,
                      rule.windowOutside, {value.text, min, max}});
      return std::nullopt;
    }
    return whole;
  }

  template <typename T>
  bool TakeInteger(std::optional<T>& field, const IntegerKey& rule, const JsonValue& value) {
    const std::optional<long long> whole = Integer(rule, value);
    if (!whole) {
      return false;
    }
    field = static_cast<T>(*whole);
    return true;
  }

  bool TakeText(std::string& field, std::string_view key, const JsonValue& value) {
    if (value.type != JsonValue::Type::String) {
      return FailType(key, "a string", text::kProfileNotString, value);
    }
    if (value.text.size() > kMaxFreeTextBytes) {
      const std::string most = std::to_string(kMaxFreeTextBytes);
      return Fail(key, {"is longer than " + most + " bytes", text::kProfileTooLong, {most}});
    }
    field = value.text;
    return true;
  }

  bool TakeBaud(SiteProfile& profile, const JsonValue& value) {
    if (value.type != JsonValue::Type::Number) {
      return FailType("baud", "a number", text::kProfileNotNumber, value);
    }
    const std::optional<long long> whole = value.Integer();
    if (!whole || !BaudIndexOf(static_cast<int32_t>(*whole)) || *whole > 19200) {
      return Fail("baud", {value.text + " is not one of 1200, 2400, 4800, 9600, 19200",
                           text::kProfileNotRate, {value.text}});
    }
    profile.baud = static_cast<int32_t>(*whole);
    return true;
  }

  bool TakeParity(SiteProfile& profile, const JsonValue& value) {
    if (value.type != JsonValue::Type::String) {
      return FailType("parity", "a string", text::kProfileNotString, value);
    }
    if (const std::optional<ParityIndex> parity = ParityOfWord(value.text)) {
      profile.parity = *parity;
      return true;
    }
    return Fail("parity", {"\"" + value.text + "\" is not one of \"none\", \"odd\", \"even\"",
                           text::kProfileNotParity, {value.text}});
  }

  bool Take(SiteProfile& profile, const std::string& key, const JsonValue& value) {
    if (key == "address") return TakeInteger(profile.address, kAddressKey, value);
    if (key == "baud") return TakeBaud(profile, value);
    if (key == "parity") return TakeParity(profile, value);
    if (key == "upper_limit") return TakeInteger(profile.upperLimit, kUpperKey, value);
    if (key == "lower_limit") return TakeInteger(profile.lowerLimit, kLowerKey, value);
    if (key == "decimal_point") return TakeInteger(profile.decimalPoint, kDecimalKey, value);
    if (key == "pt") return TakeInteger(profile.pt, kPtKey, value);
    if (key == "ct") return TakeInteger(profile.ct, kCtKey, value);
    if (key == "wiring") return TakeInteger(profile.wiring, kWiringKey, value);
    if (key == "clock_tolerance_s") {
      std::optional<int32_t> tolerance;
      if (!TakeInteger(tolerance, kToleranceKey, value)) {
        return false;
      }
      profile.clockToleranceS = *tolerance;
      return true;
    }
    if (key == "site") return TakeText(profile.site, key, value);
    if (key == "meter") return TakeText(profile.meter, key, value);
    std::string known;
    for (const std::string_view name : kKnownKeys) {
      known += (known.empty() ? "" : ", ") + std::string(name);
    }
    return Fail(key, {"is not a profile key (known: " + known + ")", text::kProfileUnknownKey,
                      {known}});
  }

  std::string file_;
  std::optional<ProfileError> error_;
};

}  // namespace

std::string ProfileError::Message() const {
  std::string message = file + ": ";
  if (!key.empty()) {
    message += "key \"" + key + "\" ";
  }
  return message + reason;
}

ProfileResult ParseSiteProfile(std::string_view text, const std::string& file) {
  return Parser(file).Parse(text);
}

ProfileResult ReadSiteProfile(const std::filesystem::path& file) {
  const std::string name = file.string();
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  const auto unreadable = [&name](const std::string& why) {
    return Refusal(name, "", {"cannot be read: " + why, text::kProfileUnreadable, {why}});
  };
  if (ec) {
    return unreadable(ec.message());
  }
  if (size > kMaxProfileBytes) {
    const std::string bytes = std::to_string(size);
    const std::string most = std::to_string(kMaxProfileBytes);
    return Refusal(name, "", {"is " + bytes + " bytes, more than a profile's " + most,
                              text::kProfileTooLarge, {bytes, most}});
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    return unreadable(std::strerror(errno));
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    return unreadable(std::strerror(EIO));
  }
  return ParseSiteProfile(content.str(), name);
}

}  // namespace zt
