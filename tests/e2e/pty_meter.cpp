#include "pty_meter.h"

#include <optional>

namespace zt::test {

::testing::AssertionResult PtyMeter::Start(std::vector<std::string> arguments) {
  // The simulator names its pty on the first line it prints.
  arguments.push_back("--verbose");
  if (!sim_.Start(ZT_SIM_PATH, arguments)) {
    return ::testing::AssertionFailure() << sim_.Error();
  }
  const std::optional<std::string> device = sim_.ReadLine();
  if (!device) {
    return ::testing::AssertionFailure() << "no device path; stderr: " << sim_.Errors();
  }
  pty_ = *device;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult PtyMeter::Open(const std::string& device) {
  line_ = std::make_unique<MeterLine>(port_, clock_, LinkSettings{});
  const OpenResult opened = line_->Open(device.empty() ? pty_ : device);
  if (!opened) {
    return ::testing::AssertionFailure() << opened.device << ": " << opened.reason;
  }
  return ::testing::AssertionSuccess();
}

void PtyMeter::Close() {
  if (line_) {
    line_->Port().Close();
  }
}

void PtyMeter::Stop() {
  Close();
  if (sim_.Running()) {
    EXPECT_EQ(sim_.Stop(), 0) << "zt6100-sim did not end cleanly; stderr:\n" << sim_.Errors();
  }
}

}  // namespace zt::test
