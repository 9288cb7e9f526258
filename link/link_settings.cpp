#include "link/link_settings.h"

#include <charconv>
#include <vector>

namespace zt {

namespace {

char ParityLetter(Parity parity) {
  switch (parity) {
    case Parity::Odd:
      return 'O';
    case Parity::Even:
      return 'E';
    case Parity::None:
      break;
  }
  return 'N';
}

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    fields.push_back(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (comma == std::string_view::npos) {
      return fields;
    }
    start = comma + 1;
  }
}

std::optional<int32_t> ParseDecimal(std::string_view field) {
  int32_t value = 0;
  const char* end = field.data() + field.size();
  const auto [ptr, ec] = std::from_chars(field.data(), end, value);
  if (field.empty() || ec != std::errc{} || ptr != end || field.front() == '-' ||
      field.front() == '+') {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::string SettingsText(const LineFormat& format) {
  return std::to_string(format.baudRate) + ',' + ParityLetter(format.parity) + ',' +
         std::to_string(format.dataBits) + ',' + std::to_string(format.stopBits);
}

std::string SettingsText(int32_t baudRate, int32_t parityIndex) {
  LineFormat format;
  format.baudRate = baudRate;
  format.parity = parityIndex == kParityOdd    ? Parity::Odd
                  : parityIndex == kParityEven ? Parity::Even
                                               : Parity::None;
  return SettingsText(format);
}

std::string SettingsText(const LinkSettings& settings) {
  return SettingsText(settings.baudRate, settings.parity);
}

std::optional<LineFormat> ParseSettingsText(std::string_view text) {
  const std::vector<std::string_view> fields = SplitFields(text);
  if (fields.size() != 4) {
    return std::nullopt;
  }
  const std::optional<int32_t> baud = ParseDecimal(fields[0]);
  const std::optional<int32_t> dataBits = ParseDecimal(fields[2]);
  const std::optional<int32_t> stopBits = ParseDecimal(fields[3]);
  if (!baud || *baud <= 0 || !dataBits || *dataBits < 5 || *dataBits > 8 || !stopBits ||
      (*stopBits != 1 && *stopBits != 2) || fields[1].size() != 1) {
    return std::nullopt;
  }
  LineFormat format;
  switch (fields[1].front()) {
    case 'N':
      format.parity = Parity::None;
      break;
    case 'O':
      format.parity = Parity::Odd;
      break;
    case 'E':
      format.parity = Parity::Even;
      break;
    default:
      return std::nullopt;
  }
  format.baudRate = *baud;
  format.dataBits = *dataBits;
  format.stopBits = *stopBits;
  return format;
}

}  // namespace zt
