// The line under the console that says why the meter does not answer: each
// fault of the simulated meter and line named with what to check, cleared by
// the next good poll or command; the cause in a failure message; the
// counters set to zero.
#include <QString>

#include <gtest/gtest.h>

#include "console/link_diagnostics_dlg.h"
#include "console/meter_console_dlg.h"
#include "res/console_template.h"
#include "sim/fault_config.h"
#include "support/console_fixture.h"

namespace {

namespace id = zt::res::console_id;

class LinkHealthTest : public testing::Test, protected zt::test::ConsoleFixture {
 protected:
  void Poll() { console->OnTimer(zt::CMeterConsoleDlg::kPollTimer); }
  void PollWith(zt::sim::FaultConfig faults) {
    port.SetFaults(std::move(faults));
    Poll();
  }
  QString Health() const { return console->HealthText(); }
};

TEST_F(LinkHealthTest, EachFaultIsNamedWithWhatToCheckAndTheNextGoodPollClearsIt) {
  Open();
  console->OnCommand(id::kStartPolling);
  Poll();
  ASSERT_EQ(Health(), "");

  struct Case {
    const char* fault;
    zt::sim::FaultConfig faults;
    QString expected;
  };
  zt::sim::FaultConfig silent;
  silent.silent = true;
  zt::sim::FaultConfig badCrc;
  badCrc.flipCrcBit = true;
  zt::sim::FaultConfig otherMeter;
  otherMeter.foreignAddress = true;
  zt::sim::FaultConfig refused;
  refused.exceptionReply = true;
  refused.exceptionCode = zt::sim::ExceptionCode::IllegalDataAddress;
  const Case cases[] = {
      {"silence", silent, "通讯故障: 仪表无应答。请检查: 电源、A/B 接线、仪表地址、波特率"},
      {"bad CRC", badCrc, "通讯故障: 应答校验码错误。请检查: 波特率、校验位、终端电阻、干扰"},
      {"other address", otherMeter,
       "通讯故障: 其他地址的仪表应答。请检查: 线上另有一台仪表使用该地址"},
      {"exception", refused, "通讯故障: 仪表拒绝: 异常 02。请检查: 仪表不接受该寄存器或数值"},
  };
  for (const Case& c : cases) {
    PollWith(c.faults);
    EXPECT_EQ(Health(), c.expected) << c.fault;
    EXPECT_TRUE(console->IsLiveValueStale()) << c.fault;
    PollWith({});
    EXPECT_EQ(Health(), "") << c.fault << ": a good poll clears the line";
  }
}

TEST_F(LinkHealthTest, TheMostFrequentCauseSinceTheLastSuccessIsShown) {
  Open();
  console->OnCommand(id::kStartPolling);
  zt::sim::FaultConfig silent;
  silent.silent = true;
  PollWith(silent);
  PollWith(silent);
  zt::sim::FaultConfig badCrc;
  badCrc.flipCrcBit = true;
  PollWith(badCrc);
  EXPECT_TRUE(Health().contains("仪表无应答")) << Health().toStdString();
}

TEST_F(LinkHealthTest, ALostDeviceNamesTheCableOrAdapterUntilItIsBack) {
  Open();
  console->OnCommand(id::kStartPolling);
  port.Vanish();
  Poll();
  EXPECT_EQ(Health(), "通讯故障: 设备已断开。请检查: 电缆或 USB 转换器");
  port.Reappear();
  Poll();
  Poll();
  EXPECT_EQ(Health(), "");
}

TEST_F(LinkHealthTest, AWriteTheMeterRefusedCarriesItsException) {
  Open();
  console->OnCommand(id::kReadParameters);
  zt::sim::FaultConfig refused;
  refused.exceptionReply = true;
  refused.exceptionCode = zt::sim::ExceptionCode::IllegalDataValue;
  refused.appliesTo = zt::sim::TouchingRegisters(0x0308, 0x0308);
  port.SetFaults(refused);
  console->OnCommand(id::kWriteParameters);
  EXPECT_EQ(ui.messages, (std::vector<QString>{"写数据不成功: 波特率 (仪表拒绝: 异常 03)"}));
  EXPECT_EQ(Health(), "通讯故障: 仪表拒绝: 异常 03。请检查: 仪表不接受该寄存器或数值");
}

TEST_F(LinkHealthTest, EveryCommandTellsTheLineAndItsFailureMessageNamesTheCause) {
  Open();
  zt::sim::FaultConfig silent;
  silent.silent = true;
  port.SetFaults(silent);
  console->OnCommand(id::kChangeAddress);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.back(), "写本机地址不成功 (仪表无应答)");
  EXPECT_EQ(Health(), "通讯故障: 仪表无应答。请检查: 电源、A/B 接线、仪表地址、波特率");

  port.SetFaults({});
  console->OnCommand(id::kReadSwitchStatus);
  EXPECT_EQ(Health(), "") << "a command's answered read clears the line as a poll does";

  zt::sim::FaultConfig refused;
  refused.exceptionReply = true;
  refused.exceptionCode = zt::sim::ExceptionCode::IllegalDataAddress;
  port.SetFaults(refused);
  console->OnCommand(id::kReadMeterClock);
  EXPECT_EQ(ui.messages.back(), "读时间不成功 (仪表拒绝: 异常 02)");
  EXPECT_EQ(Health(), "通讯故障: 仪表拒绝: 异常 02。请检查: 仪表不接受该寄存器或数值");
}

TEST_F(LinkHealthTest, ResetSetsTheCountsCausesAndLatencyToZero) {
  Open();
  console->OnCommand(id::kStartPolling);
  Poll();
  zt::sim::FaultConfig silent;
  silent.silent = true;
  PollWith(silent);
  ASSERT_EQ(Box(id::kSuccessCount), "1");
  ASSERT_EQ(Box(id::kFailureCount), "1");
  zt::CLinkDiagnosticsDlg& diagnostics = console->OnLinkDiagnostics();
  diagnostics.Refresh();
  ASSERT_NE(diagnostics.Figure("no_bytes"), "0");
  ASSERT_NE(diagnostics.Figure("latency"), "尚无有效应答");

  console->OnResetCounters();
  EXPECT_EQ(Box(id::kSuccessCount), "0");
  EXPECT_EQ(Box(id::kFailureCount), "0");
  EXPECT_EQ(Box(id::kErrorRate), "0");
  EXPECT_EQ(Health(), "");
  diagnostics.Refresh();
  EXPECT_EQ(diagnostics.Figure("poll_failures"), "0");
  EXPECT_EQ(diagnostics.Figure("exchanges"), "0");
  EXPECT_EQ(diagnostics.Figure("no_bytes"), "0");
  EXPECT_EQ(diagnostics.Figure("latency"), "尚无有效应答");

  // The poll counts on from zero.
  PollWith({});
  EXPECT_EQ(Box(id::kSuccessCount), "1");
  EXPECT_EQ(Box(id::kFailureCount), "0");
}

}  // namespace
