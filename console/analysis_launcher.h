#pragma once

#include <QString>

#include <optional>

namespace zt {

// The analysis program, in the working directory.
#ifdef _WIN32
inline constexpr const char* kAnalysisProgram = ".\\dovir.exe";
#else
inline constexpr const char* kAnalysisProgram = "./dovir";
#endif

// Starts the analysis program without arguments and does not wait for it:
// the console polls and logs on while it runs. Empty when it started,
// otherwise the system's reason.
std::optional<QString> StartAnalysisProgram();

}  // namespace zt
