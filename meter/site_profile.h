#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "link/link_settings.h"

namespace zt {

// The settings a meter must have on one site, as written on the site's sheet.
// Every setting is optional: what the file leaves out is neither checked nor
// written.
struct SiteProfile {
  static constexpr int32_t kDefaultClockToleranceS = 60;

  std::optional<uint8_t> address;
  std::optional<int32_t> baud;
  std::optional<int32_t> parity;  // a ParityIndex
  std::optional<int32_t> upperLimit;
  std::optional<int32_t> lowerLimit;
  std::optional<int32_t> decimalPoint;
  std::optional<uint16_t> pt;
  std::optional<uint16_t> ct;
  std::optional<uint8_t> wiring;
  int32_t clockToleranceS = kDefaultClockToleranceS;
  std::string site;
  std::string meter;
};

// A setting of the profile as the rows of a check and of an apply hold it.
template <typename T>
std::optional<int32_t> RowValue(const std::optional<T>& setting) {
  if (!setting) {
    return std::nullopt;
  }
  return static_cast<int32_t>(*setting);
}

// Why a profile was refused: the file, the key (empty when the file as a whole
// is at fault) and the reason, in zt6100ctl's words and as the window says it
// (`windowReason`, a window text translated there, whose %1, %2, ... are
// `arguments`).
struct ProfileError {
  std::string file;
  std::string key;
  std::string reason;
  const char* windowReason = nullptr;
  std::vector<std::string> arguments;

  // "site.json: key \"baud\": 9601 is not one of 1200, 2400, 4800, 9600, 19200"
  std::string Message() const;
};

using ProfileResult = std::variant<SiteProfile, ProfileError>;

// `text` is the content of `file` (named in any refusal).
ProfileResult ParseSiteProfile(std::string_view text, const std::string& file);

// Reads and parses the file; a file that cannot be read is refused with the
// system's reason.
ProfileResult ReadSiteProfile(const std::filesystem::path& file);

}  // namespace zt
