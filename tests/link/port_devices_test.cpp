#include "link/port_devices.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(PortDevices, PlatformNamesUnlessOverridden) {
  PortDevices devices;
#ifdef _WIN32
  EXPECT_EQ(devices.DeviceFor(1), "COM1");
  EXPECT_EQ(devices.DeviceFor(2), "COM2");
#else
  EXPECT_EQ(devices.DeviceFor(1), "/dev/ttyS0");
  EXPECT_EQ(devices.DeviceFor(2), "/dev/ttyS1");
#endif
  EXPECT_EQ(devices.DeviceFor(1), PortDevices::PlatformDefault(1));
  EXPECT_EQ(devices.DeviceFor(2), PortDevices::PlatformDefault(2));

  devices.For(1) = "/dev/ttyUSB0";
  EXPECT_EQ(devices.DeviceFor(1), "/dev/ttyUSB0");
  EXPECT_EQ(devices.DeviceFor(2), PortDevices::PlatformDefault(2));

  devices.For(2) = "tcp://192.168.1.20:4001";
  EXPECT_EQ(devices.DeviceFor(2), "tcp://192.168.1.20:4001");
  EXPECT_EQ(devices.DeviceFor(1), "/dev/ttyUSB0");

  // An empty device gives the number back to the platform's own.
  devices.For(1).clear();
  EXPECT_EQ(devices.DeviceFor(1), PortDevices::PlatformDefault(1));
}

TEST(PortDevices, FixedIsPerPortAndPartOfEquality) {
  PortDevices named;
  named.For(2) = "/dev/pts/7";
  PortDevices fixed = named;
  fixed.fixed[1] = true;

  EXPECT_FALSE(fixed.Fixed(1));
  EXPECT_TRUE(fixed.Fixed(2));
  EXPECT_NE(named, fixed);
  EXPECT_EQ(fixed.DeviceFor(2), "/dev/pts/7");
}

}  // namespace
}  // namespace zt
