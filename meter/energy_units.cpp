#include "meter/energy_units.h"

namespace zt {

namespace {

constexpr std::string_view kUnitCharacters = "WhKMVar";

}  // namespace

std::optional<EnergyUnits> EnergyUnits::From(const std::array<std::string_view, 4>& texts,
                                             std::string* error) {
  EnergyUnits units;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string_view text = texts[i];
    if (text.find_first_not_of(kUnitCharacters) != std::string_view::npos) {
      if (error != nullptr) {
        *error = "the energy unit '" + std::string(text) +
                 "' holds a character the measurement log cannot write";
      }
      return std::nullopt;
    }
    units.units_[i] = std::string(text);
  }
  return units;
}

}  // namespace zt
