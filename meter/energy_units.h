#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zt {

// Units of the forward and reverse active, forward and reverse reactive
// energies, as the measurement log writes them after each energy. Their
// vocabulary is Wh, KWh, MWh, Varh, KVarh and MVarh; only the characters of
// those words can be held, and they are the same bytes in code page 936. Any
// other text is refused rather than written wrong or dropped.
struct EnergyUnitsResult;

class EnergyUnits {
 public:
  EnergyUnits() = default;  // all four empty

  // The four units from UTF-8 texts, refused with the reason when one of
  // them holds a character outside the vocabulary.
  static EnergyUnitsResult From(const std::array<std::string_view, 4>& texts);

  std::string_view operator[](std::size_t index) const { return units_[index]; }

 private:
  std::array<std::string, 4> units_;
};

struct EnergyUnitsResult {
  std::optional<EnergyUnits> units;
  std::string reason;

  explicit operator bool() const { return units.has_value(); }
  const EnergyUnits& operator*() const { return *units; }
};

}  // namespace zt
