#include "link/link_settings.h"

#include <charconv>
#include <vector>

namespace zt {

namespace {

char ParityLetter(ParityIndex parity) {
  for (const ParityName& name : kParityNames) {
    if (name.parity == parity) {
      return name.letter;
    }
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

LineFormat LineFormatOf(int32_t baudRate, int32_t parityIndex) {
  LineFormat format;
  format.baudRate = baudRate;
  format.parity = parityIndex == kParityOdd    ? kParityOdd
                  : parityIndex == kParityEven ? kParityEven
                                               : kParityNone;
  return format;
}

LineFormat LineFormatOf(const LinkSettings& settings) {
  return LineFormatOf(settings.baudRate, settings.parity);
}

std::string SettingsText(int32_t baudRate, int32_t parityIndex) {
  return SettingsText(LineFormatOf(baudRate, parityIndex));
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
  const ParityName* parity = nullptr;
  for (const ParityName& name : kParityNames) {
    if (fields[1].front() == name.letter) {
      parity = &name;
    }
  }
  if (parity == nullptr) {
    return std::nullopt;
  }
  format.parity = parity->parity;
  format.baudRate = *baud;
  format.dataBits = *dataBits;
  format.stopBits = *stopBits;
  return format;
}

std::string_view ParityWord(int32_t parity) {
  for (const ParityName& name : kParityNames) {
    if (name.parity == parity) {
      return name.word;
    }
  }
  return "?";
}

std::optional<ParityIndex> ParityOfWord(std::string_view word) {
  for (const ParityName& name : kParityNames) {
    if (name.word == word) {
      return name.parity;
    }
  }
  return std::nullopt;
}

}  // namespace zt
