#pragma once

#include <QString>

namespace zt {

// The analysis program, in the working directory.
#ifdef _WIN32
inline constexpr const char* kAnalysisProgram = ".\\dovir.exe";
#else
inline constexpr const char* kAnalysisProgram = "./dovir";
#endif

struct LaunchResult {
  bool started = false;
  QString reason;  // the system's, when it did not start

  explicit operator bool() const { return started; }
};

// Starts the analysis program without arguments and does not wait for it:
// the console polls and logs on while it runs.
LaunchResult StartAnalysisProgram();

}  // namespace zt
