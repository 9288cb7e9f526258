// The real console window, in this process, against zt6100-sim on a pty
// through QSerialPort and the system clock: every exchange waits its real
// time.
#include <QComboBox>
#include <QLabel>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console/comm_settings_dlg.h"
#include "console/meter_console_dlg.h"
#include "console/meter_setup_dlg.h"
#include "console/state_char_box.h"
#include "console/modal_ui.h"
#include "link/clock.h"
#include "link/port_list.h"
#include "link/qt_serial_port.h"
#include "res/comm_settings_template.h"
#include "res/console_template.h"
#include "support/child_process.h"
#include "support/console_fixture.h"
#include "support/forwarding_port.h"

namespace {

namespace comm_id = zt::res::comm_id;
namespace id = zt::res::console_id;

// Lets the window's thread take the link thread's results until `done`
// holds; false if the child's guard ran out first.
bool WaitUntil(const std::function<bool()>& done) {
  const QDeadlineTimer guard(zt::test::ChildProcess::kGuard);
  while (!done()) {
    if (guard.hasExpired()) {
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
  }
  return true;
}

// zt6100-sim at a stable symlink path, stopped and started again there as a
// USB adapter pulled and plugged back in, and the console's window on it
// through QSerialPort on its own link thread.
class ConsoleOnReplugPath : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }

  void PlugIn(std::vector<std::string> arguments = {}) {
    arguments.insert(arguments.begin(), {"--link", stablePath});
    sim = std::make_unique<zt::test::ChildProcess>();
    ASSERT_TRUE(sim->Start(ZT_SIM_PATH, arguments)) << sim->Error();
    ASSERT_EQ(sim->ReadLine(), stablePath) << sim->Errors();
  }
  void Unplug() { EXPECT_EQ(sim->Stop(), 0) << sim->Errors(); }

  void OpenConsole() {
    zt::PortDevices devices;
    devices.For(1) = stablePath;
    auto worker = std::make_unique<zt::LinkWorker>(
        [devices] { return std::make_unique<zt::QtSerialPort>(devices); }, clock, settings);
    console = std::make_unique<zt::CMeterConsoleDlg>(ui, std::move(worker), settings);
    console->OnInitDialog();
    ASSERT_TRUE(WaitUntil([&] { return !console->Worker().Busy(); }));
  }
  void AwaitState(const QString& state) {
    ASSERT_TRUE(WaitUntil([&] { return console->StateText() == state; }))
        << console->StateText().toStdString();
  }
  // Runs the command and waits for it to leave the line.
  void Command(int id) {
    console->OnCommand(id);
    ASSERT_TRUE(WaitUntil([&] { return !console->IsBusy(); }));
  }
  QString Box(int id) const { return static_cast<QLineEdit*>(console->Control(id))->text(); }

  QTemporaryDir dir;
  const std::string stablePath = dir.filePath("meter").toStdString();
  std::unique_ptr<zt::test::ChildProcess> sim;
  zt::SystemClock clock;
  zt::test::RecordingUi ui;
  const zt::LinkSettings settings;
  std::unique_ptr<zt::CMeterConsoleDlg> console;
};

// The window says the device is lost while the console idles, then reopens
// it by itself.
TEST_F(ConsoleOnReplugPath, ALostDeviceIsShownThenReopenedAtTheSamePathAndPolled) {
  PlugIn();
  OpenConsole();
  ASSERT_EQ(console->StateText(), "");

  Unplug();
  AwaitState("设备已断开");
  PlugIn();
  AwaitState("");

  // The poll timer ticks on its own from here; the first tick reads the
  // meter that came back.
  console->OnCommand(id::kStartPolling);
  ASSERT_TRUE(WaitUntil([&] { return Box(id::kSuccessCount) == "1"; }));
  EXPECT_EQ(Box(id::kFailureCount), "0");
  EXPECT_TRUE(ui.messages.empty());
  console->OnCommand(id::kExit);
}

// The adapter pulled while the console polls, 停止运行 pressed, the adapter
// plugged back in: "搜索仪表" then finds the meter, and every command talks
// to it, without a restart.
TEST_F(ConsoleOnReplugPath, SearchAndEveryCommandWorkAfterAnUnplugAndReplug) {
  const std::vector<std::string> meter = {"--address", "7", "--upper", "4321"};
  PlugIn(meter);
  OpenConsole();
  console->OnCommand(id::kStartPolling);

  Unplug();
  AwaitState("设备已断开");
  console->OnCommand(id::kStopPolling);
  ASSERT_TRUE(WaitUntil([&] { return !console->Worker().Busy(); }));
  PlugIn(meter);
  AwaitState("");

  QString status;
  ui.answerDialog = [&](QDialog& dialog) {
    auto& settingsDlg = dynamic_cast<zt::CCommSettingsDlg&>(dialog);
    settingsDlg.FindButton()->click();
    EXPECT_TRUE(WaitUntil([&] { return !settingsDlg.Finding(); }));
    status = settingsDlg.FindStatus()->text();
    EXPECT_EQ(settingsDlg.AddressBox()->text(), "7");
    settingsDlg.accept();
    return settingsDlg.result();
  };
  Command(id::kCommSettings);
  EXPECT_EQ(status, QString::fromUtf8("找到仪表: 地址 7, 9600bps, 无校验"));
  EXPECT_EQ(console->Settings().address, 7);

  Command(id::kReadParameters);
  EXPECT_EQ(Box(id::kUpperLimit), "4321");
  ASSERT_TRUE(ui.messages.empty()) << ui.messages.front().toStdString();

  Command(id::kWriteParameters);
  Command(id::kReadSwitchStatus);
  EXPECT_FALSE(static_cast<zt::StateCharBox*>(console->Control(id::kRelayOutput))
                   ->Character()
                   .isEmpty());
  Command(id::kReadMeterClock);
  ui.answerDialog = [](QDialog& dialog) {
    auto& setup = dynamic_cast<zt::CMeterSetupDlg&>(dialog);
    setup.PtBox()->setText("100");
    setup.accept();
    return setup.result();
  };
  Command(id::kInstrumentSetup);
  static_cast<QLineEdit*>(console->Control(id::kDeviceAddress))->setText("8");
  Command(id::kChangeAddress);
  ASSERT_EQ(ui.messages.size(), 4U);
  EXPECT_EQ(ui.messages[0], "写数据成功！");
  EXPECT_TRUE(ui.messages[1].startsWith("当前时间:")) << ui.messages[1].toStdString();
  EXPECT_EQ(ui.messages[2], "设置仪表参数成功");
  EXPECT_EQ(ui.messages[3], "写本机地址成功！");
  EXPECT_EQ(console->HealthText(), "");
}

TEST(ConsoleOverPty, OpensPollsReadsParametersAndCloses) {
  zt::test::ChildProcess sim;
  ASSERT_TRUE(sim.Start(ZT_SIM_PATH, {"--decimal-point", "2", "--upper", "4321"})) << sim.Error();
  const std::optional<std::string> device = sim.ReadLine();
  ASSERT_TRUE(device.has_value()) << sim.Errors();

  zt::PortDevices devices;
  devices.For(1) = *device;
  zt::QtSerialPort realPort(devices);
  zt::test::ForwardingPort port(realPort);
  // After the port: the console's link ends, and looks at the port, first.
  std::unique_ptr<zt::CMeterConsoleDlg> console;
  std::vector<bool> timerRunningAtClose;
  port.beforeClose = [&] {
    timerRunningAtClose.push_back(console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer));
  };
  zt::SystemClock clock;
  zt::test::RecordingUi ui;
  console = std::make_unique<zt::CMeterConsoleDlg>(ui, port, clock, zt::LinkSettings{});
  console->OnInitDialog();
  ASSERT_TRUE(realPort.IsOpen()) << (ui.messages.empty() ? "" : ui.messages[0].toStdString());

  console->OnCommand(id::kStartPolling);
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  const auto box = [&](int controlId) {
    return static_cast<QLineEdit*>(console->Control(controlId))->text();
  };
  EXPECT_EQ(box(id::kSuccessCount), "1");
  EXPECT_EQ(box(id::kErrorRate), "0.0000%");
  EXPECT_EQ(box(id::kDecimalPoint), "2");

  console->OnCommand(id::kReadParameters);
  EXPECT_EQ(box(id::kUpperLimit), "4321");
  EXPECT_EQ(box(id::kMeterBaud), "9600");

  console->OnCommand(id::kExit);
  EXPECT_EQ(timerRunningAtClose, (std::vector<bool>{false}))
      << "timer 1 stops before the port closes";
  EXPECT_FALSE(realPort.IsOpen());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(sim.Stop(), 0) << sim.Errors();
}

TEST(ConsoleOverPty, BaudChangeTakenByTheMeterThenPollsAtTheNewRate) {
  zt::test::ChildProcess sim;
  ASSERT_TRUE(sim.Start(ZT_SIM_PATH, {"--verbose"})) << sim.Error();
  const std::optional<std::string> device = sim.ReadLine();
  ASSERT_TRUE(device.has_value()) << sim.Errors();

  zt::PortDevices devices;
  devices.For(1) = *device;
  zt::QtSerialPort port(devices);
  zt::SystemClock clock;
  zt::test::RecordingUi ui;
  zt::CMeterConsoleDlg console(ui, port, clock, zt::LinkSettings{});
  console.OnInitDialog();
  ui.answerDialog = [](QDialog& dialog) {
    auto& settings = dynamic_cast<zt::CCommSettingsDlg&>(dialog);
    settings.Radio(comm_id::kBaud19200)->click();
    settings.accept();
    return settings.result();
  };
  console.OnCommand(id::kCommSettings);
  EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].toStdString();
  EXPECT_EQ(console.Settings().baudRate, 19200);
  EXPECT_TRUE(console.LinkInfoText().find("波特率:  19200 ") != std::string::npos);

  console.OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_EQ(static_cast<QLineEdit*>(console.Control(id::kSuccessCount))->text(), "1")
      << sim.Errors();
  console.OnCommand(id::kExit);
  EXPECT_EQ(sim.Stop(), 0) << sim.Errors();
}

// Two meters on two ptys, listed as the system would list two adapters: the
// technician picks the second for COM1 in "通讯设置", finds its address with
// "搜索仪表" on the link thread while the window goes on, and the console
// then talks to that meter on that device.
TEST(ConsoleOverPty, ChoosesTheAdapterFindsTheMeterAndTalksToIt) {
  zt::test::ChildProcess first;
  ASSERT_TRUE(first.Start(ZT_SIM_PATH, {})) << first.Error();
  const std::optional<std::string> firstPty = first.ReadLine();
  ASSERT_TRUE(firstPty);
  zt::test::ChildProcess second;
  ASSERT_TRUE(second.Start(ZT_SIM_PATH, {"--address", "4", "--upper", "4321"})) << second.Error();
  const std::optional<std::string> secondPty = second.ReadLine();
  ASSERT_TRUE(secondPty);

  class TwoAdapters final : public zt::PortLister {
   public:
    std::vector<zt::SerialPortEntry> List() override { return ports; }
    std::vector<zt::SerialPortEntry> ports;
  } adapters;
  adapters.ports = {{"first", *firstPty, "CH340 serial converter"},
                    {"second", *secondPty, "FT232R USB UART"}};

  zt::SystemClock clock;
  zt::test::RecordingUi ui;
  const zt::LinkSettings settings;
  auto worker = std::make_unique<zt::LinkWorker>(
      [] { return std::make_unique<zt::QtSerialPort>(); }, clock, settings);
  zt::CMeterConsoleDlg console(ui, std::move(worker), settings);
  zt::PortDevices devices;
  devices.For(1) = *firstPty;
  console.SetPortDevices(devices);
  console.SetPortLister(&adapters);
  console.OnInitDialog();
  ASSERT_TRUE(WaitUntil([&] { return !console.Worker().Busy(); }));
  ASSERT_EQ(console.StateText(), "");

  bool progressSeen = false;
  ui.answerDialog = [&](QDialog& dialog) {
    auto& settingsDlg = dynamic_cast<zt::CCommSettingsDlg&>(dialog);
    const int index = settingsDlg.DeviceBox(1)->findData(QString::fromStdString(*secondPty));
    EXPECT_EQ(settingsDlg.DeviceBox(1)->itemText(index),
              QString::fromUtf8("second \u2014 FT232R USB UART"));
    settingsDlg.DeviceBox(1)->setCurrentIndex(index);
    emit settingsDlg.DeviceBox(1)->activated(index);
    // Each try's progress reaches the window while the search still runs.
    QObject::connect(settingsDlg.FindProgress(), &QProgressBar::valueChanged, &settingsDlg,
                     [&] { progressSeen = progressSeen || settingsDlg.Finding(); });
    settingsDlg.FindButton()->click();
    EXPECT_TRUE(WaitUntil([&] { return !settingsDlg.Finding(); }));
    EXPECT_EQ(settingsDlg.AddressBox()->text(), "4");
    settingsDlg.accept();
    return settingsDlg.result();
  };
  console.OnCommand(id::kCommSettings);
  ASSERT_TRUE(WaitUntil([&] { return !console.IsBusy(); }));
  EXPECT_TRUE(progressSeen) << "the window took the search's progress while it ran";
  EXPECT_EQ(console.Settings(), (zt::LinkSettings{4, 1, 9600, zt::kParityNone}));
  EXPECT_EQ(console.Devices().For(1), *secondPty);

  console.OnCommand(id::kReadParameters);
  ASSERT_TRUE(WaitUntil([&] { return !console.IsBusy(); }));
  EXPECT_EQ(static_cast<QLineEdit*>(console.Control(id::kUpperLimit))->text(), "4321");
  EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().toStdString();
}

}  // namespace
