#include "link/network_device.h"

#include <gtest/gtest.h>

namespace {

using zt::NetworkDevice;

TEST(NetworkDevice, ParsesBothKindsWithHostNamesAndAddresses) {
  const auto raw = zt::ParseNetworkDevice("tcp://10.0.0.7:4001");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->kind, NetworkDevice::Kind::kRawTcp);
  EXPECT_EQ(raw->host, "10.0.0.7");
  EXPECT_EQ(raw->port, 4001);
  EXPECT_EQ(raw->Name(), "tcp://10.0.0.7:4001");

  const auto telnet = zt::ParseNetworkDevice("RFC2217://gw-3.plant.example:2217");
  ASSERT_TRUE(telnet);
  EXPECT_EQ(telnet->kind, NetworkDevice::Kind::kRfc2217);
  EXPECT_EQ(telnet->host, "gw-3.plant.example");
  EXPECT_EQ(telnet->Server(), "gw-3.plant.example:2217");

  const auto v6 = zt::ParseNetworkDevice("rfc2217://[::1]:65535");
  ASSERT_TRUE(v6);
  EXPECT_EQ(v6->host, "::1");
  EXPECT_EQ(v6->Name(), "rfc2217://[::1]:65535");
}

TEST(NetworkDevice, RefusesMalformedNamesAndSaysWhat) {
  struct Case {
    const char* name;
    const char* problem;
  };
  for (const Case& c : {
           Case{"tcp://host", "no :PORT after the host"},
           Case{"tcp://:502", "no host before :PORT"},
           Case{"tcp://host:0", "the port \"0\" is not a number from 1 to 65535"},
           Case{"tcp://host:65536", "the port \"65536\" is not a number from 1 to 65535"},
           Case{"tcp://host:50x", "the port \"50x\" is not a number from 1 to 65535"},
           Case{"tcp://host:", "the port \"\" is not a number from 1 to 65535"},
           Case{"tcp://host:+502", "the port \"+502\" is not a number from 1 to 65535"},
           Case{"tcp://ho st:502", "\"ho st\" is not a host name or address"},
           Case{"tcp://-gw:502", "\"-gw\" is not a host name or address"},
           Case{"tcp://gw..x:502", "\"gw..x\" is not a host name or address"},
           Case{"tcp://gw/x:502", "\"gw/x\" is not a host name or address"},
           Case{"tcp://::1:502", "\"::1\" is not a host name or address"},
           Case{"rfc2217://[::1:2217", "the IPv6 address has no closing ]"},
           Case{"rfc2217://[gw]:2217", "\"gw\" is not an IPv6 address"},
           Case{"rfc2217://[::1]2217", "no :PORT after the host"},
           Case{"udp://host:502", "not tcp://HOST:PORT or rfc2217://HOST:PORT"},
       }) {
    std::string problem;
    EXPECT_FALSE(zt::ParseNetworkDevice(c.name, &problem)) << c.name;
    EXPECT_EQ(problem, c.problem) << c.name;
  }
  const std::string longHost(254, 'a');
  EXPECT_FALSE(zt::ParseNetworkDevice("tcp://" + longHost + ":1"));
}

TEST(NetworkDevice, OnlyTheTwoSchemesNameAServer) {
  EXPECT_TRUE(zt::NamesNetworkDevice("tcp://"));
  EXPECT_TRUE(zt::NamesNetworkDevice("Rfc2217://x"));
  for (const char* device : {"/dev/ttyUSB0", "COM5", "tcp:/x:1", "/tmp/tcp://x:1", ""}) {
    EXPECT_FALSE(zt::NamesNetworkDevice(device)) << device;
  }
}

}  // namespace
