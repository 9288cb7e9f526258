#include "console/analysis_launcher.h"

#include <cstdlib>

namespace zt {

void RunAnalysisProgram() {
  [[maybe_unused]] const int ignored = std::system(kAnalysisCommand);
}

}  // namespace zt
