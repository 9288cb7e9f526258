// zt6100ctl scan against zt6100-sim on a pty, in real time: a meter at an
// address and a rate other than the console's defaults is found.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "tool_process.h"

namespace zt::cli::test {
namespace {

TEST(Zt6100ctlScan, FindsTheMeterAtANonDefaultAddressAndRate) {
  SimProcess sim({"--address", "7", "--baud", "19200", "--decimal-point", "3"});
  ASSERT_TRUE(sim.Device());
  const ToolRun run = RunCtl({"--device", *sim.Device(), "--json", "scan", "--addresses", "1-9"});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QStringList lines = run.Lines();
  ASSERT_EQ(lines.size(), 2) << run.out.toStdString();
  const QJsonObject hit = JsonLine(lines[0]);
  EXPECT_EQ(hit.value("address").toInt(), 7);
  EXPECT_EQ(hit.value("baud").toInt(), 19200);
  EXPECT_EQ(hit.value("parity").toString(), "none");
  EXPECT_EQ(hit.value("decimal_point").toInt(), 3);
  const QJsonObject totals = JsonLine(lines[1]);
  EXPECT_EQ(totals.value("tries").toInt(), 45);
  EXPECT_EQ(totals.value("meters").toInt(), 1);
  // The worst case is told first; no progress line off a terminal.
  EXPECT_TRUE(run.err.startsWith("zt6100ctl: scanning 9 address(es) at 5 line setting(s): 45 "
                                 "tries, worst case "))
      << run.err.toStdString();
  EXPECT_FALSE(run.err.contains(QLatin1Char('\r')));
}

TEST(Zt6100ctlScan, FirstStopsAtTheMeterAndTextNamesIt) {
  SimProcess sim({"--address", "3", "--baud", "2400"});
  ASSERT_TRUE(sim.Device());
  const ToolRun run = RunCtl(
      {"--device", *sim.Device(), "scan", "--addresses", "1-5", "--rates", "4800,2400", "--first"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.Lines(), (QStringList{"meter at address 3: 2400 bit/s, parity none, decimal point 2",
                                      "totals: tries 8 of 10  meters found 1"}));
}

TEST(Zt6100ctlScan, NoMeterExitsWithOne) {
  SimProcess sim({"--address", "30"});
  ASSERT_TRUE(sim.Device());
  const ToolRun run =
      RunCtl({"--device", *sim.Device(), "scan", "--addresses", "1-3", "--rates", "9600"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.Lines(), QStringList{"totals: tries 3 of 3  meters found 0"});
}

}  // namespace
}  // namespace zt::cli::test
