#include "console/meter_console_dlg.h"
#include "console/open_failure.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>

#include "console/state_char_box.h"
#include "meter/live_value.h"
#include "res/console_template.h"
#include "sim/fault_config.h"
#include "support/console_fixture.h"
#include "support/golden_frames.h"
#include "support/forwarding_port.h"

namespace {

using zt::test::At;
namespace frame = zt::test::frame;

namespace id = zt::res::console_id;
using Lines = std::vector<std::string>;

class ConsoleTest : public testing::Test, protected zt::test::ConsoleFixture {};

TEST_F(ConsoleTest, OpeningConfiguresThePortAndShowsTheInitialFields) {
  Open();
  using Op = zt::sim::PortOperation;
  EXPECT_EQ(port.Operations(), (std::vector<Op>{Op::SelectPort, Op::SetLineFormat, Op::Open,
                                                Op::ClearReceiveBuffer}));
  EXPECT_EQ(zt::SettingsText(port.CurrentLineFormat()), "9600,N,8,2");
  EXPECT_EQ(console->LinkInfoText(),
            "\r\n仪表地址: 1 \r\n\r\n串口:     1 \r\n\r\n波特率:  9600 \r\n\r\n校验位:  无校验");
  EXPECT_EQ(Box(id::kSuccessCount), "0");
  EXPECT_EQ(Box(id::kFailureCount), "0");
  EXPECT_EQ(Box(id::kErrorRate), "0");
  EXPECT_EQ(Box(id::kDeviceAddress), "1");
  for (const int box : {id::kUpperLimit, id::kLowerLimit, id::kMeterBaud, id::kDecimalPoint}) {
    EXPECT_EQ(Box(box), "0");
  }
  EXPECT_FALSE(console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(Frames().empty());
}

TEST_F(ConsoleTest, LinkInformationForOtherSettings) {
  settings = {17, 2, 19200, zt::kParityEven};
  Open();
  EXPECT_EQ(console->LinkInfoText(),
            "\r\n仪表地址: 17 \r\n\r\n串口:     2 \r\n\r\n波特率:  19200 \r\n\r\n校验位:  偶校验");
  EXPECT_EQ(zt::LinkInformationText({1, 1, 9600, zt::kParityNone}, true),
            "\r\n仪表地址: 1 \r\n\r\n串口:     1 \r\n\r\n波特率:  9600 \r\n\r\n校验位: 无校验");
  EXPECT_TRUE(zt::LinkInformationText({1, 1, 9600, zt::kParityOdd}, false)
                  .ends_with(" \r\n\r\n校验位:  奇校验"));
  // A serial device server: named with its kind; over raw TCP the rate is
  // the server's. A tty path adds nothing.
  EXPECT_TRUE(zt::LinkInformationText({1, 1, 9600, zt::kParityOdd}, false, false,
                                      "tcp://10.0.0.7:4001")
                  .ends_with("校验位:  奇校验\r\n\r\n网络串口服务器:\r\n10.0.0.7:4001\r\n"
                             "原始 TCP (波特率由服务器设定)"));
  EXPECT_TRUE(zt::LinkInformationText({1, 1, 9600, zt::kParityNone}, true, true,
                                      "rfc2217://[::1]:2217")
                  .ends_with("校验位: 无校验\r\n\r\n网络串口服务器:\r\n[::1]:2217\r\nRFC 2217"
                             "\r\n\r\n本地回显: 有 (已跳过)"));
  EXPECT_EQ(zt::LinkInformationText({1, 1, 9600, zt::kParityOdd}, false, false, "/dev/ttyUSB0"),
            zt::LinkInformationText({1, 1, 9600, zt::kParityOdd}, false));
}

TEST(OpenFailureMessage, SaysHowToGetPermissionOnTheDevice) {
  zt::OpenResult denied{false, "/dev/ttyUSB0", "Permission denied", true, "dialout"};
  EXPECT_EQ(zt::OpenFailureMessage(denied).toStdString(),
            "串口 /dev/ttyUSB0 打开不成功：Permission denied\n"
            "当前用户没有使用该设备的权限：请把用户加入拥有该设备的用户组 dialout"
            "（sudo usermod -aG dialout $USER），然后注销并重新登录。");
  denied.deviceGroup.clear();
  EXPECT_TRUE(zt::OpenFailureMessage(denied).endsWith("请向管理员申请该设备的读写权限。"));
  const zt::OpenResult missing{false, "/dev/ttyS0", "No such file or directory", false, ""};
  EXPECT_EQ(zt::OpenFailureMessage(missing).toStdString(),
            "串口 /dev/ttyS0 打开不成功：No such file or directory");
}

TEST_F(ConsoleTest, PortThatCannotOpenIsReportedAndTheConsoleStaysUsable) {
  port.FailOpen("No such file or directory");
  Open();
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_TRUE(ui.messages[0].contains("No such file or directory"));
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(console->StateText(), "串口未打开");
  console->OnCommand(id::kReadParameters);
  EXPECT_TRUE(Frames().empty());
  EXPECT_EQ(Box(id::kStatus), "读参数数据不成功...") << "nothing read is not reported as read";
}

// The painted state text, not the sum of widths: the columns of the menu bar
// in the state's red must span the whole text.
TEST_F(ConsoleTest, TheMenuBarsStateTextIsPaintedWhole) {
  Open();
  console->show();
  QCoreApplication::processEvents();
  ASSERT_EQ(console->StateText(), "");
  // The state changes while the window is on show.
  port.Vanish();
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  QCoreApplication::processEvents();
  ASSERT_EQ(console->StateText(), "设备已断开");
  auto* menuBar = console->findChild<QMenuBar*>();
  ASSERT_NE(menuBar, nullptr);
  const QImage shot = menuBar->grab().toImage();
  int first = shot.width();
  int last = -1;
  for (int x = 0; x < shot.width(); ++x) {
    for (int y = 0; y < shot.height(); ++y) {
      const QColor pixel = shot.pixelColor(x, y);
      if (pixel.red() > 120 && pixel.green() < 90 && pixel.blue() < 90) {
        first = std::min(first, x);
        last = std::max(last, x);
        break;
      }
    }
  }
  const int textWidth = QFontMetrics(menuBar->font()).horizontalAdvance(console->StateText());
  EXPECT_GE(last - first + 1, textWidth * 9 / 10)
      << "painted from " << first << " to " << last << " of " << shot.width();
}

TEST_F(ConsoleTest, PollStartsStopsAndTicksInOneAndAHalfSeconds) {
  Open();
  console->OnCommand(id::kStartPolling);
  EXPECT_FALSE(Enabled(id::kStartPolling));
  EXPECT_FALSE(Enabled(id::kWriteParameters));
  EXPECT_FALSE(console->MenuAction(id::kMenuStartPolling)->isEnabled());
  EXPECT_FALSE(console->MenuAction(id::kMenuWriteParameters)->isEnabled());
  EXPECT_EQ(Box(id::kStatus), "正在读测量数据...");
  EXPECT_TRUE(console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer));
  EXPECT_TRUE(Frames().empty()) << "the first poll comes one period later";

  meter.SetDecimalPoint(2);
  const uint16_t live = meter.NextLiveValue();
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_EQ(Frames(), (Lines{At(0, frame::kReadDecimalPoint), At(900, frame::kReadLiveValue)}));
  EXPECT_EQ(Now(), std::chrono::milliseconds(1500));
  EXPECT_EQ(Box(id::kLiveValue).toStdString(), zt::FormatLiveValue(live, 2));
  EXPECT_EQ(Box(id::kDecimalPoint), "2");
  EXPECT_EQ(Box(id::kSuccessCount), "1");
  EXPECT_EQ(Box(id::kErrorRate), "0.0000%");

  console->OnCommand(id::kStopPolling);
  EXPECT_FALSE(console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer));
  EXPECT_TRUE(Enabled(id::kStartPolling));
  EXPECT_TRUE(Enabled(id::kWriteParameters));
  EXPECT_TRUE(console->MenuAction(id::kMenuWriteParameters)->isEnabled());
  EXPECT_EQ(Box(id::kStatus), "已停止读测量数据...");
}

TEST_F(ConsoleTest, ErrorRateCountsEveryPollIncludingTheCurrentOne) {
  Open();
  const auto tick = [&] { console->OnTimer(zt::CMeterConsoleDlg::kPollTimer); };
  tick();
  EXPECT_EQ(Box(id::kErrorRate), "0.0000%");
  EXPECT_FALSE(console->IsLiveValueStale());
  Silence();
  tick();
  EXPECT_EQ(Box(id::kErrorRate), "50.0000%");
  EXPECT_EQ(Box(id::kFailureCount), "1");
  const QString liveBefore = Box(id::kLiveValue);
  tick();
  EXPECT_EQ(Box(id::kErrorRate), "66.6667%");
  EXPECT_EQ(Box(id::kLiveValue), liveBefore) << "a failed poll keeps the last value shown";
  EXPECT_TRUE(console->IsLiveValueStale()) << "...but marked as not current";
  EXPECT_FALSE(console->Control(id::kLiveValue)->toolTip().isEmpty());
  port.SetFaults({});
  tick();
  EXPECT_FALSE(console->IsLiveValueStale());
  EXPECT_EQ(Box(id::kErrorRate), "50.0000%");
  EXPECT_EQ(Box(id::kSuccessCount), "2");
  EXPECT_EQ(Box(id::kFailureCount), "2");
}

TEST_F(ConsoleTest, AValueWithoutTheMetersDecimalPointIsNoReading) {
  Open();
  zt::sim::FaultConfig decimalSilent;
  decimalSilent.silent = true;
  decimalSilent.appliesTo = zt::sim::TouchingRegisters(0x0006, 0x0006);
  port.SetFaults(decimalSilent);
  // A decimal point typed in its box is no reading of the meter's.
  Type(id::kDecimalPoint, "3");
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_EQ(Box(id::kLiveValue), "小数点未读到");
  EXPECT_TRUE(console->IsLiveValueStale());
  EXPECT_EQ(console->Control(id::kLiveValue)->toolTip(), "小数点未读到");
  EXPECT_EQ(Box(id::kSuccessCount), "0");
  EXPECT_EQ(Box(id::kFailureCount), "1");

  port.SetFaults({});
  const uint16_t live = meter.NextLiveValue();
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_EQ(Box(id::kLiveValue).toStdString(), zt::FormatLiveValue(live, meter.DecimalPoint()));
  EXPECT_FALSE(console->IsLiveValueStale());
  EXPECT_EQ(Box(id::kSuccessCount), "1");
}

TEST_F(ConsoleTest, ADecimalPointOutsideZeroToThreeIsAnotherRequestsReply) {
  Open();
  meter.SetDecimalPoint(2);
  const uint16_t good = meter.NextLiveValue();
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  ASSERT_EQ(Box(id::kLiveValue).toStdString(), zt::FormatLiveValue(good, 2));
  for (const uint16_t notOne : {uint16_t{4}, uint16_t{65535}}) {
    meter.SetDecimalPoint(notOne);
    console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
    EXPECT_EQ(Box(id::kLiveValue).toStdString(), zt::FormatLiveValue(good, 2))
        << "the last good value stays, marked as not current";
    EXPECT_TRUE(console->IsLiveValueStale());
    EXPECT_EQ(Box(id::kDecimalPoint), "2") << "the field keeps the meter's last decimal point";
  }
  EXPECT_EQ(Box(id::kSuccessCount), "1");
  EXPECT_EQ(Box(id::kFailureCount), "2");
}

TEST_F(ConsoleTest, TicksLeaveHalfTypedParametersAlone) {
  Open();
  meter.SetDecimalPoint(2);
  Type(id::kUpperLimit, "-");
  Type(id::kLowerLimit, "");
  Type(id::kMeterBaud, "96");
  Type(id::kDecimalPoint, "+");
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_TRUE(ui.messages.empty()) << "no prompt for a box being typed in";
  EXPECT_EQ(Box(id::kUpperLimit), "-");
  EXPECT_EQ(Box(id::kLowerLimit), "");
  EXPECT_EQ(Box(id::kMeterBaud), "96");
  EXPECT_EQ(Box(id::kDecimalPoint), "+");
  EXPECT_EQ(Frames().size(), 4U);
  EXPECT_EQ(Box(id::kSuccessCount), "2");

  // A box nobody is typing in shows the decimal point the poll read.
  console->OnCommand(id::kReadParameters);
  meter.SetDecimalPoint(3);
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_EQ(Box(id::kDecimalPoint), "3");
}

TEST_F(ConsoleTest, ParameterReadFillsTheBoxesSixHundredMillisecondsApart) {
  Open();
  meter.SetUpperLimit(0xFFFF);
  meter.SetLowerLimit(100);
  meter.SetDecimalPoint(2);
  meter.SetParameterBaud(3);
  console->OnCommand(id::kReadParameters);
  EXPECT_EQ(Frames(), (Lines{At(0, frame::kReadUpperLimit), At(600, frame::kReadLowerLimit),
                              At(1200, frame::kReadDecimalPoint), At(1800, frame::kReadParameterBaud)}));
  EXPECT_EQ(Box(id::kUpperLimit), "65535");
  EXPECT_EQ(Box(id::kLowerLimit), "100");
  EXPECT_EQ(Box(id::kDecimalPoint), "2");
  EXPECT_EQ(Box(id::kMeterBaud), "9600");
  EXPECT_EQ(Box(id::kStatus), "已读参数数据...");
}

TEST_F(ConsoleTest, ParameterReadFromASilentMeterKeepsTheFields) {
  Open();
  Silence();
  Type(id::kUpperLimit, "1234");
  console->OnCommand(id::kReadParameters);
  EXPECT_EQ(Box(id::kUpperLimit), "1234") << "a value not read leaves what was typed";
  EXPECT_EQ(Box(id::kStatus), "读参数数据不成功...");
  EXPECT_EQ(ui.messages,
            (std::vector<QString>{"读参数数据不成功: 上限阀值 下限阀值 小数点 波特率"}));
}

TEST_F(ConsoleTest, ParameterReadNamesTheValuesItDidNotGet) {
  Open();
  meter.SetLowerLimit(100);
  zt::sim::FaultConfig silent;
  silent.silent = true;
  silent.appliesTo = zt::sim::TouchingRegisters(0x0302, 0x0302);
  port.SetFaults(silent);
  console->OnCommand(id::kReadParameters);
  EXPECT_EQ(ui.messages, (std::vector<QString>{"读参数数据不成功: 上限阀值"}));
  EXPECT_EQ(Box(id::kLowerLimit), "100");
  EXPECT_EQ(Box(id::kMeterBaud), "9600");
}

TEST_F(ConsoleTest, ParameterWriteNeedsEveryValueReadOrTyped) {
  Open();
  console->OnCommand(id::kWriteParameters);
  EXPECT_EQ(ui.messages, (std::vector<QString>{
                             "请先读参数数据或输入参数，未读也未输入: 小数点 上限阀值 下限阀值 波特率"}));
  EXPECT_TRUE(Frames().empty()) << "the initial zeros would switch the meter to 1200 bit/s";

  ui.messages.clear();
  Type(id::kUpperLimit, "1000");
  Type(id::kMeterBaud, "9600");
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);  // reads the decimal point
  const std::size_t pollFrames = Frames().size();
  console->OnCommand(id::kWriteParameters);
  EXPECT_EQ(ui.messages,
            (std::vector<QString>{"请先读参数数据或输入参数，未读也未输入: 下限阀值"}));
  EXPECT_EQ(Frames().size(), pollFrames);

  ui.messages.clear();
  console->OnCommand(id::kReadParameters);
  console->OnCommand(id::kWriteParameters);
  EXPECT_EQ(Frames().size(), pollFrames + 8) << "read, then written back";
  EXPECT_EQ(ui.messages, (std::vector<QString>{"写数据成功！"}));
}

class ParameterWriteTest : public ConsoleTest {
 protected:
  void SetUp() override {
    Open();
    Type(id::kDecimalPoint, "2");
    Type(id::kUpperLimit, "1000");
    Type(id::kLowerLimit, "100");
    Type(id::kMeterBaud, "9600");
  }
};

TEST_F(ParameterWriteTest, ConfirmedWritesEndWithSuccess) {
  console->OnCommand(id::kWriteParameters);
  // The read first tells whether the line echoes; the four writes follow.
  EXPECT_EQ(Frames(), (Lines{At(0, frame::kReadDecimalPoint), At(600, frame::kWriteDecimalPoint2),
                              At(900, frame::kWriteUpperLimit1000), At(1200, frame::kWriteLowerLimit100),
                              At(1500, frame::kWriteParameterBaud9600)}));
  EXPECT_EQ(Now(), std::chrono::milliseconds(1800));
  EXPECT_EQ(Box(id::kMeterBaud), "3") << "the box shows the code that was sent";
  EXPECT_EQ(Box(id::kStatus), "写参数数据...");
  EXPECT_EQ(ui.messages, (std::vector<QString>{"写数据成功！"}));
  EXPECT_EQ(meter.UpperLimit(), 1000);
  EXPECT_EQ(meter.ParameterBaud(), 3);
}

TEST_F(ParameterWriteTest, UnconfirmedWritesAreNamed) {
  zt::sim::FaultConfig upperSilent;
  upperSilent.silent = true;
  upperSilent.appliesTo = zt::sim::TouchingRegisters(0x0302, 0x0302);
  port.SetFaults(upperSilent);
  console->OnCommand(id::kWriteParameters);
  EXPECT_EQ(Frames().size(), 1U + 4U);
  EXPECT_EQ(ui.messages, (std::vector<QString>{"写数据不成功: 上限阀值 (仪表无应答)"}));
}

TEST_F(ParameterWriteTest, UnpluggedCableIsNotReportedAsSuccess) {
  Silence();
  console->OnCommand(id::kWriteParameters);
  EXPECT_EQ(Frames().size(), 1U + 4U) << "the echo probe, then all four in every case";
  EXPECT_EQ(ui.messages, (std::vector<QString>{
                              "写数据不成功: 小数点 (仪表无应答) 上限阀值 (仪表无应答) "
                              "下限阀值 (仪表无应答) 波特率 (仪表无应答)"}));
}

TEST_F(ParameterWriteTest, InvalidOrOversizedBoxSendsNothing) {
  // A letter is refused as it is typed; what is left that is no number yet
  // gets the prompt on the write.
  Type(id::kLowerLimit, "1O0");
  EXPECT_NE(Box(id::kLowerLimit), "1O0");
  Type(id::kLowerLimit, "-");
  console->OnCommand(id::kWriteParameters);
  EXPECT_EQ(ui.messages, (std::vector<QString>{"请输入一个整数。"}));
  EXPECT_TRUE(Frames().empty());

  ui.messages.clear();
  Type(id::kLowerLimit, "100");
  Type(id::kUpperLimit, "70000");
  console->OnCommand(id::kWriteParameters);
  EXPECT_EQ(ui.messages,
            (std::vector<QString>{"上限阀值: 请输入一个介于 -32768 和 65535 之间的整数。"}));
  EXPECT_TRUE(Frames().empty());

  ui.messages.clear();
  Type(id::kUpperLimit, "-1");
  console->OnCommand(id::kWriteParameters);
  ASSERT_EQ(Frames().size(), 1U + 4U);
  EXPECT_EQ(Frames()[2], "900: 01 06 03 02 FF FF 29 FE");
}

TEST_F(ConsoleTest, AnEchoingAdapterIsShownAndConfirmsNothingByItself) {
  Open();
  port.SetLocalEcho(true);
  zt::sim::FaultConfig silent;
  silent.silent = true;
  port.SetFaults(silent);
  Type(id::kDeviceAddress, "5");
  console->OnCommand(id::kChangeAddress);
  EXPECT_EQ(ui.messages, (std::vector<QString>{"写本机地址不成功 (只收到转换器的回显)"}));
  EXPECT_TRUE(console->LinkInfoText().ends_with("\r\n\r\n本地回显: 有 (已跳过)"))
      << console->LinkInfoText();
  // The note runs past the box's eight lines: its scroll bar reaches it.
  auto* info = static_cast<QPlainTextEdit*>(console->Control(id::kLinkInfo));
  console->show();
  QCoreApplication::processEvents();
  EXPECT_GT(info->verticalScrollBar()->maximum(), 0);
  EXPECT_TRUE(info->verticalScrollBar()->isVisible());

  // With the meter back on the line, its own echo confirms the change.
  port.SetFaults({});
  ui.messages.clear();
  console->OnCommand(id::kChangeAddress);
  EXPECT_EQ(ui.messages, (std::vector<QString>{"写本机地址成功！"}));
}

TEST_F(ConsoleTest, AddressChangeIsConfirmedByTheEcho) {
  Open();
  Type(id::kDeviceAddress, "5");
  console->OnCommand(id::kChangeAddress);
  EXPECT_EQ(Frames(), (Lines{At(0, frame::kReadDecimalPoint), At(600, frame::kWriteAddress5)}));
  EXPECT_EQ(Box(id::kStatus), "修改地址信息...");
  EXPECT_EQ(ui.messages, (std::vector<QString>{"写本机地址成功！"}));
  EXPECT_EQ(meter.Address(), 5);
  EXPECT_EQ(console->Settings().address, 1);

  // The console keeps polling the old address, which no longer answers.
  console->OnTimer(zt::CMeterConsoleDlg::kPollTimer);
  EXPECT_EQ(Box(id::kFailureCount), "1");
}

TEST_F(ConsoleTest, AddressChangeToASilentMeterOrOutOfRange) {
  Open();
  Type(id::kDeviceAddress, "300");
  console->OnCommand(id::kChangeAddress);
  EXPECT_EQ(ui.messages, (std::vector<QString>{"请输入一个介于 0 和 255 之间的整数。"}));
  EXPECT_TRUE(Frames().empty());

  ui.messages.clear();
  Silence();
  Type(id::kDeviceAddress, "5");
  console->OnCommand(id::kChangeAddress);
  EXPECT_EQ(Frames().size(), 2U) << "the echo probe and the write";
  EXPECT_EQ(ui.messages, (std::vector<QString>{"写本机地址不成功 (仪表无应答)"}));
}

bool IsCellGrey(const QColor& pixel) { return pixel == zt::StateCharBox::kCellGrey; }
bool IsRed(const QColor& pixel) {
  return pixel.red() > 100 && pixel.green() < 40 && pixel.blue() < 40;
}
bool IsGreen(const QColor& pixel) {
  return pixel.green() > 50 && pixel.red() < 30 && pixel.blue() < 30;
}

// Renders `widget` as a repaint would and counts the pixels `match` accepts.
int PixelsDrawn(QWidget& widget, bool (*match)(const QColor&)) {
  const QImage image = widget.grab().toImage();
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (match(image.pixelColor(x, y))) ++count;
    }
  }
  return count;
}

TEST_F(ConsoleTest, SwitchStatusPaintsKeptCharacters) {
  Open();
  auto* blank = static_cast<zt::StateCharBox*>(console->Control(id::kRelayOutput));
  EXPECT_EQ(PixelsDrawn(*blank, IsCellGrey), 0) << "nothing is drawn before the first read";
  auto* relay = static_cast<zt::StateCharBox*>(console->Control(id::kRelayOutput));
  auto* input = static_cast<zt::StateCharBox*>(console->Control(id::kSwitchInput));
  meter.SetRelayOutput(1);
  meter.SetSwitchInput(0);
  console->OnCommand(id::kReadSwitchStatus);
  EXPECT_EQ(Frames(), (Lines{At(0, frame::kReadSwitchStatus)}));
  EXPECT_EQ(relay->Character(), "通");
  EXPECT_EQ(relay->Color(), zt::StateCharBox::kOnRed);
  EXPECT_EQ(input->Character(), "分");
  EXPECT_EQ(input->Color(), zt::StateCharBox::kOffGreen);

  // What a repaint draws: the grey cell and the character in its colour.
  EXPECT_GT(PixelsDrawn(*relay, IsCellGrey), 0) << "no cell drawn";
  EXPECT_GT(PixelsDrawn(*relay, IsRed), 0) << "the relay's character is not drawn in red";
  EXPECT_EQ(PixelsDrawn(*relay, IsGreen), 0);
  EXPECT_GT(PixelsDrawn(*input, IsGreen), 0) << "the input's character is not drawn in green";

  meter.SetRelayOutput(2);
  meter.SetSwitchInput(1);
  console->OnCommand(id::kReadSwitchStatus);
  EXPECT_EQ(relay->Character(), "断");
  EXPECT_EQ(input->Character(), "合");
  EXPECT_EQ(input->Color(), zt::StateCharBox::kOnRed);

  Silence();
  console->OnCommand(id::kReadSwitchStatus);
  EXPECT_EQ(relay->Character(), "断");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ConsoleTest, MenuItemsRunTheirCommands) {
  Open();
  console->MenuAction(id::kMenuReadParameters)->trigger();
  EXPECT_EQ(Frames().size(), 4U);
  console->MenuAction(id::kMenuStartPolling)->trigger();
  EXPECT_TRUE(console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer));
  console->MenuAction(id::kMenuStopPolling)->trigger();
  EXPECT_FALSE(console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer));
}

TEST_F(ConsoleTest, UnknownCommandIdsDoNothing) {
  Open();
  constexpr int kNoSuchCommand = 4242;
  EXPECT_FALSE(console->OnCommand(kNoSuchCommand));
  EXPECT_TRUE(Frames().empty());
}

TEST_F(ConsoleTest, EnterInAnEditBoxMovesOnAndNeverEndsTheConsole) {
  Open();
  console->show();
  QApplication::setActiveWindow(console.get());
  for (const QString text : {"12", "abc"}) {
    console->Control(id::kUpperLimit)->setFocus();
    Type(id::kUpperLimit, text);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(console->Control(id::kUpperLimit), &enter);
    EXPECT_TRUE(console->isVisible()) << text.toStdString();
    EXPECT_TRUE(port.IsOpen());
    EXPECT_NE(console->focusWidget(), console->Control(id::kUpperLimit)) << "the focus moved on";
  }
  EXPECT_TRUE(ui.messages.empty());
  console->hide();
}

TEST_F(ConsoleTest, FocusNeverRestsOnABoxThatCannotShowIt) {
  Open();
  for (const int box : {id::kLinkInfo, id::kLiveValue, id::kSuccessCount, id::kErrorRate}) {
    EXPECT_EQ(console->Control(box)->focusPolicy(), Qt::NoFocus) << box;
  }
}

TEST_F(ConsoleTest, EnterOnAButtonPressesItInsteadOfEndingTheConsole) {
  Open();
  console->show();
  console->Control(id::kReadSwitchStatus)->setFocus();
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(console->Control(id::kReadSwitchStatus), &enter);
  EXPECT_EQ(Frames(), (Lines{At(0, frame::kReadSwitchStatus)}));
  EXPECT_TRUE(port.IsOpen());
  console->hide();
}

TEST_F(ConsoleTest, VanishedDeviceIsShownLostThenReopenedAndPollingResumes) {
  using Op = zt::sim::PortOperation;
  using std::chrono_literals::operator""s;
  constexpr int kPoll = zt::CMeterConsoleDlg::kPollTimer;
  meter.SetDecimalPoint(2);
  Open();
  console->OnCommand(id::kStartPolling);
  console->OnTimer(kPoll);
  ASSERT_EQ(Box(id::kSuccessCount), "1");

  // Pulled out while polling: the tick sends nothing, counts a failure and
  // shows the device lost, not merely a port that was never opened.
  port.Vanish();
  console->OnTimer(kPoll);
  EXPECT_EQ(console->StateText(), "设备已断开");
  EXPECT_EQ(Box(id::kSuccessCount), "1");
  EXPECT_EQ(Box(id::kFailureCount), "1");
  EXPECT_TRUE(console->IsLiveValueStale());
  EXPECT_EQ(Frames().size(), 2U);
  // Idle checks while it is still gone change nothing and ask nothing.
  clock.Advance(1s);
  console->Worker().CheckDevice();
  EXPECT_EQ(console->StateText(), "设备已断开");
  EXPECT_TRUE(ui.messages.empty()) << "no message box stops the window";

  // Plugged back in: the next check within the second does not reopen yet,
  // the one after it does.
  port.Reappear();
  console->Worker().CheckDevice();
  EXPECT_FALSE(port.IsOpen()) << "reopened sooner than a second after the last try";
  clock.Advance(1s);
  console->Worker().CheckDevice();
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(console->StateText(), "");
  EXPECT_EQ(zt::SettingsText(port.CurrentLineFormat()), "9600,N,8,2");

  // Opens after the first are tries at least a second apart.
  std::vector<std::chrono::microseconds> opens;
  for (const zt::sim::PortEvent& event : port.Events()) {
    if (event.operation == Op::Open) opens.push_back(event.at);
  }
  ASSERT_GE(opens.size(), 3U);
  for (std::size_t i = 2; i < opens.size(); ++i) {
    EXPECT_GE(opens[i] - opens[i - 1], 1s) << "open try " << i;
  }

  // Polling never stopped: the next tick reads the meter again.
  ASSERT_TRUE(console->IsTimerRunning(kPoll));
  const long long start = Now().count();
  const uint16_t live = meter.NextLiveValue();
  console->OnTimer(kPoll);
  const Lines frames = Frames();
  ASSERT_EQ(frames.size(), 4U);
  EXPECT_EQ((Lines{frames[2], frames[3]}),
            (Lines{At(start, frame::kReadDecimalPoint), At(start + 900, frame::kReadLiveValue)}));
  EXPECT_EQ(Box(id::kLiveValue).toStdString(), zt::FormatLiveValue(live, 2));
  EXPECT_EQ(Box(id::kSuccessCount), "2");
  EXPECT_FALSE(console->IsLiveValueStale());
}

TEST_F(ConsoleTest, ClosingWhilePollingStopsTheTimerBeforeClosingThePort) {
  std::vector<bool> pollingWhenPortClosed;
  zt::test::ForwardingPort watched(port);
  watched.beforeClose = [&] {
    pollingWhenPortClosed.push_back(console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer));
  };
  Open(&watched);
  console->OnCommand(id::kStartPolling);
  ASSERT_TRUE(console->IsTimerRunning(zt::CMeterConsoleDlg::kPollTimer));

  console->OnCommand(id::kExit);
  EXPECT_EQ(pollingWhenPortClosed, (std::vector<bool>{false}))
      << "the poll timer stops before the port closes, and the port closes once";
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(console->result(), QDialog::Rejected);
  console.reset();
  EXPECT_EQ(pollingWhenPortClosed.size(), 1U) << "the window's end closes nothing more";
}

}  // namespace
