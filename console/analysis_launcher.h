#pragma once

namespace zt {

// The command line that starts the analysis program from the working
// directory, through the command interpreter.
#ifdef _WIN32
inline constexpr const char* kAnalysisCommand = ".\\dovir.exe";
#else
inline constexpr const char* kAnalysisCommand = "./dovir";
#endif

// Runs the analysis program and waits for it to end; a missing program and
// its exit status are of no concern to the console.
void RunAnalysisProgram();

}  // namespace zt
