#pragma once

#include <string>
#include <string_view>

#include "report/commission_record.h"

namespace zt::report {

// A note of the check or the apply (the clock's offset, why a write was not
// confirmed) in `language`: the meter core writes them in English, with
// their figures, device and reason kept as they are.
std::string NoteText(std::string_view note, Language language);

}  // namespace zt::report
