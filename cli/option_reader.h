#pragma once

#include <QCommandLineParser>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

#include "meter/value_ranges.h"

namespace zt::cli {

// A decimal integer with nothing around it; no sign '+'.
std::optional<int64_t> ParseInteger(const QString& text);

// One parser's options, read back with the checks every value needs; the
// first problem found is kept and the rest are skipped.
class OptionReader {
 public:
  explicit OptionReader(QCommandLineParser& parser) : parser_(parser) {}

  bool Failed() const { return !error_.empty(); }
  std::string TakeError() { return std::move(error_); }
  void Fail(std::string error);

  bool IsSet(const char* name) const;
  std::optional<QString> Value(const char* name);

  // An integer within the range of `what`, named by its caption as the
  // console's box would be.
  std::optional<int64_t> Integer(const char* name, const EnteredValue& what);
  std::optional<int64_t> Checked(const QString& text, const std::string& label,
                                 const EnteredValue& what);
  std::optional<int64_t> Required(const char* command, const char* name,
                                  const EnteredValue& what);
  // One of the five line rates.
  std::optional<int32_t> Rate(const QString& text, const std::string& label);

 private:
  QCommandLineParser& parser_;
  std::string error_;
};

}  // namespace zt::cli
