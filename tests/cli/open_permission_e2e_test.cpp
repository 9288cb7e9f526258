// zt6100ctl on a device its user may not open: the message says which group
// to join. The device is a pty served by zt6100-sim; run by root, which may
// open anything, the pty is given to the dialout group as a serial adapter
// is, and zt6100ctl runs as nobody.
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/child_process.h"
#include "tool_process.h"

namespace zt::cli::test {
namespace {

constexpr const char* kSetpriv = "/usr/bin/setpriv";
constexpr uid_t kNobody = 65534;

TEST(Zt6100ctlPermission, ADeviceTheUserMayNotOpenNamesTheGroupThatOwnsIt) {
  SimProcess sim;
  ASSERT_TRUE(sim.Device());
  const std::string device = sim.Device()->toStdString();
  std::string program = ZT6100CTL_PATH;
  std::vector<std::string> arguments = {"--device", device, "read-params"};
  if (geteuid() == 0) {
    if (access(kSetpriv, X_OK) != 0) {
      GTEST_SKIP() << "root, and no setpriv to run zt6100ctl as another user";
    }
    const struct group* dialout = getgrnam("dialout");
    ASSERT_EQ(chown(device.c_str(), 0, dialout != nullptr ? dialout->gr_gid : 0), 0);
    ASSERT_EQ(chmod(device.c_str(), 0660), 0);
    arguments.insert(arguments.begin(), {"--reuid=" + std::to_string(kNobody),
                                         "--regid=" + std::to_string(kNobody), "--clear-groups",
                                         ZT6100CTL_PATH});
    program = kSetpriv;
  } else {
    ASSERT_EQ(chmod(device.c_str(), 0), 0);
  }
  struct stat status {};
  ASSERT_EQ(stat(device.c_str(), &status), 0);
  const struct group* owner = getgrgid(status.st_gid);
  ASSERT_NE(owner, nullptr);
  const std::string group = owner->gr_name;

  zt::test::ChildProcess ctl;
  ASSERT_TRUE(ctl.Start(program, arguments)) << ctl.Error();
  EXPECT_EQ(ctl.Finish(), 3);
  const std::string expected = "zt6100ctl: cannot open " + device + ": ";
  EXPECT_EQ(ctl.Errors().rfind(expected, 0), 0u) << ctl.Errors();
  EXPECT_NE(ctl.Errors().find("\nzt6100ctl: you may not use " + device + ": add your user to the group '" +
                              group + "' that owns it (sudo usermod -aG " + group +
                              " $USER), then log out and in again\n"),
            std::string::npos)
      << ctl.Errors();
  EXPECT_TRUE(ctl.Output().empty());
}

}  // namespace
}  // namespace zt::cli::test
