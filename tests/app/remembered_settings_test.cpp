// What the console remembers from one run to the next: the link settings,
// each port number's device and the logging interval, in a test-only
// QSettings file; and a remembered device that is gone.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/meter_app.h"
#include "console/comm_settings_dlg.h"
#include "console/meter_console_dlg.h"
#include "console/save_interval_dlg.h"
#include "console/settings_memory.h"
#include "link/port_devices.h"
#include "link/port_list.h"
#include "res/comm_settings_template.h"
#include "res/console_template.h"
#include "res/save_interval_template.h"
#include "support/console_fixture.h"

namespace {

namespace comm_id = zt::res::comm_id;
namespace id = zt::res::console_id;
namespace interval = zt::res::interval_id;

class ListedPorts final : public zt::PortLister {
 public:
  std::vector<zt::SerialPortEntry> List() override { return ports; }
  std::vector<zt::SerialPortEntry> ports = {{"ttyUSB0", "/dev/ttyUSB0", "CH340 serial converter"}};
};

// One run of the program: `settings` plays the settings dialog, `console`
// the technician at the console, which is then closed.
struct ProgramRun {
  std::function<void(zt::CCommSettingsDlg&)> settings;
  std::function<void(zt::CMeterConsoleDlg&)> console;
};

class RememberedSettingsTest : public testing::Test {
 protected:
  void Start(const ProgramRun& run, zt::PortLister& ports,
             std::array<std::string, 2> commandLine = {}) {
    zt::test::ConsoleFixture world;
    // A new memory on the same file: nothing carried over in this process.
    zt::SettingsMemory memory(dir.filePath("zt6100-console.ini"));
    world.ui.answerDialog = [&](QDialog& dialog) {
      if (auto* settingsDlg = dynamic_cast<zt::CCommSettingsDlg*>(&dialog)) {
        run.settings(*settingsDlg);
        return settingsDlg->result();
      }
      if (auto* intervalDlg = dynamic_cast<zt::CSaveIntervalDlg*>(&dialog)) {
        offeredInterval = intervalDlg->Box(interval::kHours)->text() + ":" +
                          intervalDlg->Box(interval::kMinutes)->text() + ":" +
                          intervalDlg->Box(interval::kSeconds)->text();
        intervalDlg->Box(interval::kSeconds)->setText(QStringLiteral("5"));
        intervalDlg->accept();
        return intervalDlg->result();
      }
      if (auto* console = dynamic_cast<zt::CMeterConsoleDlg*>(&dialog)) {
        linkInfo = console->LinkInfoText();
        if (run.console) {
          run.console(*console);
        }
      }
      return int{QDialog::Rejected};
    };
    zt::CMeterApp app(world.ui, world.port, world.clock);
    app.SetPortLister(&ports);
    app.SetSettingsMemory(&memory);
    app.SetCommandLineDevices(std::move(commandLine));
    app.InitInstance();
    openedDevice = world.port.DeviceOf(world.port.SelectedPort());
  }

  QTemporaryDir dir;
  std::string linkInfo;
  std::string openedDevice;
  QString offeredInterval;
};

TEST_F(RememberedSettingsTest, TheLastSettingsAreOfferedAtTheNextStart) {
  ListedPorts ports;
  Start({[](zt::CCommSettingsDlg& d) {
           d.AddressBox()->setText("17");
           d.GuardLimitBox()->setText("4500");
           d.Radio(comm_id::kCom2)->click();
           d.Radio(comm_id::kBaud19200)->click();
           d.Radio(comm_id::kParityEven)->click();
           const int index = d.DeviceBox(2)->findData(QStringLiteral("/dev/ttyUSB0"));
           d.DeviceBox(2)->setCurrentIndex(index);
           emit d.DeviceBox(2)->activated(index);
           d.accept();
         },
         [](zt::CMeterConsoleDlg& console) { console.OnCommand(id::kToggleLogging); }},
        ports);
  EXPECT_EQ(openedDevice, "/dev/ttyUSB0") << "the console opens the device chosen";
  EXPECT_EQ(offeredInterval, "0:0:1");

  Start({[](zt::CCommSettingsDlg& d) {
           EXPECT_EQ(d.AddressBox()->text(), "17");
           EXPECT_EQ(d.GuardLimitBox()->text(), "4500");
           EXPECT_TRUE(d.Radio(comm_id::kCom2)->isChecked());
           EXPECT_TRUE(d.Radio(comm_id::kBaud19200)->isChecked());
           EXPECT_TRUE(d.Radio(comm_id::kParityEven)->isChecked());
           EXPECT_EQ(d.DeviceBox(2)->currentData().toString(), "/dev/ttyUSB0");
           d.accept();
         },
         [](zt::CMeterConsoleDlg& console) { console.OnCommand(id::kToggleLogging); }},
        ports);
  EXPECT_EQ(offeredInterval, "0:0:5");
  EXPECT_EQ(linkInfo.find("上次使用的设备"), std::string::npos);
}

TEST_F(RememberedSettingsTest, ARememberedDeviceThatIsGoneFallsBackToTheDefaultWithANote) {
  ListedPorts ports;
  Start({[](zt::CCommSettingsDlg& d) {
           const int index = d.DeviceBox(1)->findData(QStringLiteral("/dev/ttyUSB0"));
           d.DeviceBox(1)->setCurrentIndex(index);
           emit d.DeviceBox(1)->activated(index);
           d.accept();
         },
         {}},
        ports);
  ASSERT_EQ(openedDevice, "/dev/ttyUSB0");

  ports.ports.clear();  // the adapter is gone
  Start({[](zt::CCommSettingsDlg& d) {
           EXPECT_EQ(d.DeviceBox(1)->currentData().toString().toStdString(),
                     zt::PortDevices::PlatformDefault(1));
           d.accept();
         },
         {}},
        ports);
  EXPECT_EQ(openedDevice, "");
  EXPECT_NE(linkInfo.find("\r\n\r\n上次使用的设备 /dev/ttyUSB0 已不存在，已改用 " +
                          zt::PortDevices::PlatformDefault(1)),
            std::string::npos)
      << linkInfo;
}

TEST_F(RememberedSettingsTest, ADeviceNamedOnTheCommandLineWinsAndIsNotRemembered) {
  ListedPorts ports;
  Start({[](zt::CCommSettingsDlg& d) { d.accept(); }, {}}, ports, {"/dev/pts/42", ""});
  EXPECT_EQ(openedDevice, "/dev/pts/42");
  Start({[](zt::CCommSettingsDlg& d) {
           EXPECT_TRUE(d.DeviceBox(1)->isEnabled());
           EXPECT_EQ(d.DeviceBox(1)->currentData().toString().toStdString(),
                     zt::PortDevices::PlatformDefault(1));
           d.reject();
         },
         {}},
        ports);
}

TEST_F(RememberedSettingsTest, ANetworkServerIsRememberedAndNamedInTheLinkInformation) {
  ListedPorts ports;
  Start({[](zt::CCommSettingsDlg& d) {
           const int index = d.DeviceBox(1)->findText(QString::fromUtf8("网络串口服务器"));
           d.DeviceBox(1)->setCurrentIndex(index);
           emit d.DeviceBox(1)->activated(index);
           d.ServerHostBox(1)->setText("moxa-7.local");
           d.ServerPortBox(1)->setText("4001");
           d.accept();
         },
         {}},
        ports);
  EXPECT_EQ(openedDevice, "tcp://moxa-7.local:4001");
  EXPECT_TRUE(linkInfo.ends_with("\r\n\r\n网络串口服务器:\r\nmoxa-7.local:4001\r\n"
                                 "原始 TCP (波特率由服务器设定)"))
      << linkInfo;

  // Not looked for at the start, as a missing tty is: offered again as it was.
  Start({[](zt::CCommSettingsDlg& d) {
           EXPECT_TRUE(d.ServerHostBox(1)->isVisibleTo(&d));
           EXPECT_EQ(d.ServerHostBox(1)->text(), "moxa-7.local");
           EXPECT_EQ(d.ServerPortBox(1)->text(), "4001");
           d.accept();
         },
         {}},
        ports);
  EXPECT_EQ(openedDevice, "tcp://moxa-7.local:4001");
  EXPECT_EQ(linkInfo.find("上次使用的设备"), std::string::npos);
}

TEST(SettingsMemory, ValuesOutOfRangeReadAsTheDefaults) {
  QTemporaryDir dir;
  const QString file = dir.filePath("bad.ini");
  {
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue("link/address", 300);
    settings.setValue("link/port", 3);
    settings.setValue("link/baud", 9601);
    settings.setValue("link/parity", "even");
    settings.setValue("log/seconds", 0);
  }
  const zt::RememberedSettings remembered = zt::SettingsMemory(file).Load();
  EXPECT_EQ(remembered.link, zt::LinkSettings{});
  EXPECT_EQ(zt::LogPeriodMs(remembered.logInterval), 1000);
}

}  // namespace
