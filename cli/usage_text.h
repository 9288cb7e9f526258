#pragma once

#include <string_view>

namespace zt::cli {

// The text of --help.
std::string_view UsageText();

}  // namespace zt::cli
