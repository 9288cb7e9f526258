#include "meter/energy_units.h"

namespace zt {

namespace {

constexpr std::string_view kUnitCharacters = "WhKMVar";

}  // namespace

EnergyUnitsResult EnergyUnits::From(const std::array<std::string_view, 4>& texts) {
  EnergyUnits units;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string_view text = texts[i];
    if (text.find_first_not_of(kUnitCharacters) != std::string_view::npos) {
      return {std::nullopt, "the energy unit '" + std::string(text) +
                                "' holds a character the measurement log cannot write"};
    }
    units.units_[i] = std::string(text);
  }
  return {units, {}};
}

}  // namespace zt
