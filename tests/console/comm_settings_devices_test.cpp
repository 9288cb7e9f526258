// The settings dialog's device lists and its search for a meter: the ports
// the system reports (a fake list here), the device given back after OK, and
// the search on the console's own link, on the virtual clock.
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "console/comm_settings_dlg.h"
#include "console/meter_finder.h"
#include "link/port_devices.h"
#include "link/port_list.h"
#include "meter/register_map.h"
#include "res/comm_settings_template.h"
#include "res/console_template.h"
#include "support/console_fixture.h"

namespace {

namespace comm_id = zt::res::comm_id;
namespace id = zt::res::console_id;

class ListedPorts final : public zt::PortLister {
 public:
  std::vector<zt::SerialPortEntry> List() override {
    ++asked;
    return ports;
  }
  std::vector<zt::SerialPortEntry> ports = {
      {"ttyUSB0", "/dev/ttyUSB0", "CH340 serial converter"},
      {"ttyACM0", "/dev/ttyACM0", ""},
  };
  int asked = 0;
};

std::vector<std::pair<QString, QString>> Items(const QComboBox& box) {
  std::vector<std::pair<QString, QString>> items;
  for (int i = 0; i < box.count(); ++i) {
    items.emplace_back(box.itemText(i), box.itemData(i).toString());
  }
  return items;
}

void Choose(QComboBox& box, const QString& device) {
  const int index = box.findData(device);
  ASSERT_GE(index, 0) << device.toStdString();
  box.setCurrentIndex(index);
  emit box.activated(index);
}

void ChooseServer(QComboBox& box) {
  const int index = box.findText(QString::fromUtf8("网络串口服务器"));
  ASSERT_GE(index, 0);
  box.setCurrentIndex(index);
  emit box.activated(index);
}

using zt::test::RunWith;

TEST(CommSettingsDevices, OffersThePortsTheSystemReportsAndGivesTheChoiceBack) {
  zt::test::RecordingUi ui;
  ListedPorts ports;
  zt::CCommSettingsDlg dialog(ui);
  dialog.SetSettings({});
  dialog.SetPortLister(&ports);
  const int result = RunWith(dialog, ui, [](zt::CCommSettingsDlg& d) {
    const auto items = Items(*d.DeviceBox(1));
    ASSERT_EQ(items.size(), 4u);
    // The port number's own device first, whether or not the system lists it.
    EXPECT_EQ(items[0].second.toStdString(), zt::PortDevices::PlatformDefault(1));
    EXPECT_EQ(items[1], std::make_pair(QString::fromUtf8("ttyUSB0 \u2014 CH340 serial converter"),
                                       QStringLiteral("/dev/ttyUSB0")));
    EXPECT_EQ(items[2], std::make_pair(QStringLiteral("ttyACM0"), QStringLiteral("/dev/ttyACM0")));
    // Last, a serial device server instead of a device.
    EXPECT_EQ(items[3].first, QString::fromUtf8("网络串口服务器"));
    EXPECT_EQ(d.DeviceBox(1)->currentIndex(), 0);
    Choose(*d.DeviceBox(2), "/dev/ttyUSB0");
    d.Radio(comm_id::kCom2)->click();
    d.accept();
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(dialog.Settings().port, 2);
  EXPECT_EQ(dialog.Devices().For(2), "/dev/ttyUSB0");
  EXPECT_EQ(dialog.Devices().For(1), "");
  // Without a search to offer, its controls are not shown.
  EXPECT_FALSE(dialog.FindButton()->isVisibleTo(&dialog));
}

TEST(CommSettingsDevices, TheListIsAskedForEachTimeTheDialogOpens) {
  zt::test::RecordingUi ui;
  ListedPorts ports;
  zt::CCommSettingsDlg dialog(ui);
  zt::PortDevices devices;
  devices.For(1) = "/dev/ttyUSB0";
  dialog.SetDevices(devices);
  dialog.SetPortLister(&ports);
  RunWith(dialog, ui, [](zt::CCommSettingsDlg& d) {
    EXPECT_EQ(d.DeviceBox(1)->currentData().toString(), "/dev/ttyUSB0");
    d.reject();
  });
  // The adapter is pulled out and another plugged in.
  ports.ports = {{"ttyUSB1", "/dev/ttyUSB1", "FT232R USB UART"}};
  RunWith(dialog, ui, [](zt::CCommSettingsDlg& d) {
    const auto items = Items(*d.DeviceBox(1));
    ASSERT_EQ(items.size(), 3u);
    // The device given is kept, marked as not there.
    EXPECT_EQ(items[0].first, QString::fromUtf8("/dev/ttyUSB0（未找到）"));
    EXPECT_EQ(items[1].second, "/dev/ttyUSB1");
    d.reject();
  });
  EXPECT_EQ(ports.asked, 2);
}

TEST(CommSettingsDevices, ADeviceNamedOnTheCommandLineIsShownNotChosen) {
  zt::test::RecordingUi ui;
  ListedPorts ports;
  zt::CCommSettingsDlg dialog(ui);
  zt::PortDevices devices;
  devices.For(2) = "/dev/pts/7";
  devices.fixed[1] = true;
  dialog.SetDevices(devices);
  dialog.SetPortLister(&ports);
  RunWith(dialog, ui, [](zt::CCommSettingsDlg& d) {
    EXPECT_FALSE(d.DeviceBox(2)->isEnabled());
    EXPECT_EQ(Items(*d.DeviceBox(2)),
              (std::vector<std::pair<QString, QString>>{{"/dev/pts/7", "/dev/pts/7"}}));
    EXPECT_TRUE(d.DeviceBox(1)->isEnabled());
    d.accept();
  });
  EXPECT_EQ(dialog.Devices(), devices);
}

TEST(CommSettingsDevices, ANetworkServerIsCheckedOnOkGivenBackByNameAndShownAgain) {
  zt::test::RecordingUi ui;
  ListedPorts ports;
  zt::CCommSettingsDlg dialog(ui);
  dialog.SetPortLister(&ports);
  const int result = RunWith(dialog, ui, [&ui](zt::CCommSettingsDlg& d) {
    EXPECT_FALSE(d.ServerHostBox(2)->isVisibleTo(&d));
    const int plainHeight = d.height();
    ChooseServer(*d.DeviceBox(2));
    ASSERT_TRUE(d.ServerHostBox(2)->isVisibleTo(&d));
    EXPECT_FALSE(d.ServerHostBox(1)->isVisibleTo(&d));
    EXPECT_GT(d.height(), plainHeight) << "the dialog grows by the server's row";
    EXPECT_GE(d.height(), d.ServerKindBox(2)->geometry().bottom());

    // Refused, one box at a time, and the dialog stays open.
    d.accept();
    d.ServerHostBox(2)->setText("gateway 7");
    d.accept();
    d.ServerHostBox(2)->setText("192.168.1.20");
    d.ServerPortBox(2)->setText("65536");
    d.accept();
    EXPECT_EQ(ui.messages, (std::vector<QString>{
                               QString::fromUtf8("请输入网络串口服务器的主机名或 IP 地址。"),
                               QString::fromUtf8("“gateway 7”不是有效的主机名或 IP 地址。"),
                               QString::fromUtf8("请输入一个介于 1 和 65535 之间的整数。")}));
    EXPECT_TRUE(d.ServerPortBox(2)->hasSelectedText());
    EXPECT_EQ(d.result(), 0);

    d.ServerPortBox(2)->setText("4001");
    d.ServerKindBox(2)->setCurrentIndex(1);  // RFC 2217
    d.Radio(1010)->click();
    d.accept();
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(dialog.Devices().For(2), "rfc2217://192.168.1.20:4001");
  EXPECT_EQ(dialog.Devices().For(1), "");

  zt::PortDevices devices;
  devices.For(1) = "tcp://[fe80::1]:2000";
  dialog.SetDevices(devices);
  RunWith(dialog, ui, [](zt::CCommSettingsDlg& d) {
    EXPECT_EQ(d.DeviceBox(1)->currentText(), QString::fromUtf8("网络串口服务器"));
    // The port number's own device stays a choice.
    EXPECT_EQ(d.DeviceBox(1)->itemData(0).toString().toStdString(),
              zt::PortDevices::PlatformDefault(1));
    EXPECT_EQ(d.ServerHostBox(1)->text(), "fe80::1");
    EXPECT_EQ(d.ServerPortBox(1)->text(), "2000");
    EXPECT_EQ(d.ServerKindBox(1)->currentText(), QString::fromUtf8("原始 TCP"));
    EXPECT_FALSE(d.ServerHostBox(2)->isVisibleTo(&d));
    // Back to a tty: the server is forgotten.
    Choose(*d.DeviceBox(1), "/dev/ttyUSB0");
    EXPECT_FALSE(d.ServerHostBox(1)->isVisibleTo(&d));
    d.accept();
  });
  EXPECT_EQ(dialog.Devices().For(1), "/dev/ttyUSB0");
}

// The console's "通讯设置" with its search, on the simulated meter.
class FindMeterTest : public testing::Test, protected zt::test::ConsoleFixture {
 protected:
  FindMeterTest() { Open(); }

  // Runs "通讯设置", letting `interact` play the technician.
  void CommSettings(const std::function<void(zt::CCommSettingsDlg&)>& interact) {
    ui.answerDialog = [&](QDialog& dialog) {
      auto& settingsDialog = static_cast<zt::CCommSettingsDlg&>(dialog);
      interact(settingsDialog);
      return settingsDialog.result();
    };
    console->OnCommand(id::kCommSettings);
  }

  bool WroteToRegister(uint16_t registerNumber) const {
    for (const zt::sim::WrittenFrame& frame : port.Written()) {
      if (frame.bytes.size() == 8 && frame.bytes[1] == 6 &&
          ((frame.bytes[2] << 8) | frame.bytes[3]) == registerNumber) {
        return true;
      }
    }
    return false;
  }
};

TEST_F(FindMeterTest, TheMeterFoundFillsAddressRateAndParityAndIsTakenWithoutABaudChange) {
  meter.SetAddress(9);
  meter.SetLineBaudIndex(2);  // 4800 bit/s
  CommSettings([](zt::CCommSettingsDlg& d) {
    ASSERT_TRUE(d.FindButton()->isVisibleTo(&d));
    d.FindButton()->click();
    EXPECT_FALSE(d.Finding());
    EXPECT_EQ(d.AddressBox()->text(), "9");
    EXPECT_TRUE(d.Radio(comm_id::kBaud4800)->isChecked());
    EXPECT_FALSE(d.Radio(comm_id::kBaud9600)->isChecked());
    EXPECT_TRUE(d.Radio(comm_id::kParityNone)->isChecked());
    EXPECT_EQ(d.FindStatus()->text(), QString::fromUtf8("找到仪表: 地址 9, 4800bps, 无校验"));
    d.accept();
  });
  EXPECT_EQ(console->Settings(), (zt::LinkSettings{9, 1, 4800, zt::kParityNone}));
  EXPECT_FALSE(WroteToRegister(zt::reg::kLinkBaud)) << "the meter already runs at that rate";
  EXPECT_TRUE(ui.messages.empty());

  // The console talks to the meter found.
  console->OnCommand(id::kReadParameters);
  EXPECT_EQ(Box(id::kUpperLimit), "5000");
  EXPECT_EQ(zt::SettingsText(port.CurrentLineFormat()), "4800,N,8,2");
}

TEST_F(FindMeterTest, StopEndsTheSearchWithinOneTryAndTheConsoleLineIsBack) {
  meter.SetAddress(200);
  const std::size_t before = port.Written().size();
  CommSettings([](zt::CCommSettingsDlg& d) {
    QObject::connect(d.FindProgress(), &QProgressBar::valueChanged, &d, [&d](int done) {
      if (done == 3) d.StopFindingButton()->click();
    });
    d.FindButton()->click();
    EXPECT_EQ(d.FindStatus()->text(), QString::fromUtf8("已停止搜索"));
    EXPECT_EQ(d.AddressBox()->text(), "1") << "nothing found, nothing changed";
    d.reject();
  });
  // The try under way when stop was pressed ended; no other followed.
  EXPECT_EQ(port.Written().size() - before, 4u);
  EXPECT_EQ(zt::SettingsText(port.CurrentLineFormat()), "9600,N,8,2");
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(console->Settings(), zt::LinkSettings{});
}

TEST_F(FindMeterTest, ARateChosenAfterTheSearchIsToldToTheMeterAsBefore) {
  meter.SetAddress(1);
  meter.SetLineBaudIndex(3);
  CommSettings([](zt::CCommSettingsDlg& d) {
    d.FindButton()->click();
    d.Radio(comm_id::kBaud19200)->click();
    d.accept();
  });
  EXPECT_TRUE(WroteToRegister(zt::reg::kLinkBaud));
  EXPECT_EQ(console->Settings().baudRate, 19200);
}

// The search on a link thread of its own, as at start-up: the window's
// thread gets each try's progress while the search runs, then the result.
TEST(WorkerMeterFinder, TheWindowHearsProgressWhileTheLinkThreadSearches) {
  zt::SystemClock clock;
  zt::sim::MeterModel meter;
  meter.SetAddress(3);
  zt::sim::SimulatedPort port(clock, meter);
  zt::WorkerMeterFinder finder([&] {
    return std::make_unique<zt::LinkWorker>(port, clock, zt::LinkSettings{},
                                            zt::LinkWorker::kOwnThread);
  });
  zt::test::RecordingUi ui;
  zt::CCommSettingsDlg dialog(ui);
  dialog.SetSettings({});
  dialog.SetFinder(&finder);
  std::vector<QString> statuses;
  RunWith(dialog, ui, [&](zt::CCommSettingsDlg& d) {
    d.FindButton()->click();
    EXPECT_TRUE(d.Finding()) << "the click returns while the search runs";
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(d.FindProgress(), &QProgressBar::valueChanged, &loop,
                     [&] { statuses.push_back(d.FindStatus()->text()); });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (!d.Finding()) loop.quit();
    });
    poll.start(5);
    guard.start(20000);
    loop.exec();
    d.accept();
  });
  EXPECT_EQ(dialog.Settings().address, 3);
  EXPECT_EQ(dialog.Settings().baudRate, 9600);
  ASSERT_GE(statuses.size(), 2u);
  EXPECT_EQ(statuses[0], QString::fromUtf8("正在搜索: 地址 2, 9600bps, 无校验 (2/1235)"));
}

}  // namespace
