#include "cli/option_reader.h"

#include <QStringList>

#include <charconv>
#include <limits>

#include "link/link_settings.h"
#include "meter/register_map.h"

namespace zt::cli {

std::optional<int64_t> ParseInteger(const QString& text) {
  const std::string utf8 = text.toStdString();
  if (utf8.empty() || utf8.front() == '+') {
    return std::nullopt;
  }
  int64_t value = 0;
  const char* end = utf8.data() + utf8.size();
  const auto [ptr, ec] = std::from_chars(utf8.data(), end, value);
  if (ec != std::errc{} || ptr != end) {
    return std::nullopt;
  }
  return value;
}

void OptionReader::Fail(std::string error) {
  if (error_.empty()) {
    error_ = std::move(error);
  }
}

bool OptionReader::IsSet(const char* name) const {
  return parser_.isSet(QString::fromLatin1(name));
}

std::optional<QString> OptionReader::Value(const char* name) {
  const QStringList values = parser_.values(QString::fromLatin1(name));
  if (values.isEmpty()) {
    return std::nullopt;
  }
  if (values.size() > 1) {
    Fail(std::string("--") + name + " is given more than once");
    return std::nullopt;
  }
  return values.front();
}

std::optional<int64_t> OptionReader::Integer(const char* name, const EnteredValue& what) {
  const std::optional<QString> text = Value(name);
  if (!text) {
    return std::nullopt;
  }
  return Checked(*text, std::string("--") + name, what);
}

std::optional<int64_t> OptionReader::Checked(const QString& text, const std::string& label,
                                             const EnteredValue& what) {
  const std::optional<int64_t> value = ParseInteger(text);
  if (!value || !what.range.Contains(*value)) {
    Fail(label + " (" + what.caption + "): enter an integer between " +
         std::to_string(what.range.min) + " and " + std::to_string(what.range.max) + ", not '" +
         text.toStdString() + "'");
    return std::nullopt;
  }
  return value;
}

std::optional<int64_t> OptionReader::Required(const char* command, const char* name,
                                              const EnteredValue& what) {
  if (!IsSet(name)) {
    Fail(std::string(command) + " needs --" + name);
    return std::nullopt;
  }
  return Integer(name, what);
}

std::optional<int32_t> OptionReader::Rate(const QString& text, const std::string& label) {
  const std::optional<int64_t> value = ParseInteger(text);
  if (!value || *value > std::numeric_limits<int32_t>::max() ||
      !BaudIndexOf(static_cast<int32_t>(*value))) {
    Fail(label + ": the rate must be 1200, 2400, 4800, 9600 or 19200, not '" +
         text.toStdString() + "'");
    return std::nullopt;
  }
  return static_cast<int32_t>(*value);
}

}  // namespace zt::cli
