#pragma once

#include <QString>

#include <filesystem>

#include "meter/whole_append.h"

namespace zt {

// The message of a log block that did not reach its file: the file, with
// its whole path since the working directory is nowhere on screen, and why.
QString LogFailureMessage(const std::filesystem::path& file, const AppendFailure& why);

}  // namespace zt
