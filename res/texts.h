#pragma once

#include "res/translatable.h"

// Every fixed text the windows show, UTF-8.
namespace zt::res::text {

// The standard prompts of the data exchange.
inline constexpr const char* kEnterInteger = ZT_TEXT("zt6100", "请输入一个整数。");
inline constexpr const char* kEnterIntegerBetween = ZT_TEXT("zt6100", "请输入一个介于 %1 和 %2 之间的整数。");

// Captions of the parameter boxes, also used to name a box in a message.
inline constexpr const char* kUpperLimitCaption = ZT_TEXT("zt6100", "上限阀值");
inline constexpr const char* kLowerLimitCaption = ZT_TEXT("zt6100", "下限阀值");
inline constexpr const char* kMeterBaudCaption = ZT_TEXT("zt6100", "波特率");
inline constexpr const char* kDecimalPointCaption = ZT_TEXT("zt6100", "小数点");
inline constexpr const char* kDeviceAddressCaption = ZT_TEXT("zt6100", "本机地址");

// Captions of the values the settings and setup dialogs ask for.
inline constexpr const char* kMeterAddressCaption = ZT_TEXT("zt6100", "仪表地址");
inline constexpr const char* kPortCaption = ZT_TEXT("zt6100", "串口");
inline constexpr const char* kPtCaption = "PT";
inline constexpr const char* kCtCaption = "CT";
inline constexpr const char* kWiringCaption = ZT_TEXT("zt6100", "接线方式");

inline constexpr const char* kPolling = ZT_TEXT("zt6100", "正在读测量数据...");
inline constexpr const char* kStopped = ZT_TEXT("zt6100", "已停止读测量数据...");
inline constexpr const char* kParametersRead = ZT_TEXT("zt6100", "已读参数数据...");
inline constexpr const char* kWritingParameters = ZT_TEXT("zt6100", "写参数数据...");
inline constexpr const char* kChangingAddress = ZT_TEXT("zt6100", "修改地址信息...");

inline constexpr const char* kWriteSucceeded = ZT_TEXT("zt6100", "写数据成功！");
inline constexpr const char* kWriteFailed = ZT_TEXT("zt6100", "写数据不成功");
inline constexpr const char* kAddressWritten = ZT_TEXT("zt6100", "写本机地址成功！");
inline constexpr const char* kAddressNotWritten = ZT_TEXT("zt6100", "写本机地址不成功");

inline constexpr const char* kBaudChangeFailed = ZT_TEXT("zt6100", "改变波特率不成功");
// The meter confirmed its new rate (%1) over raw TCP: the server's serial
// port must be set to it by hand.
inline constexpr const char* kSetServerRate =
    ZT_TEXT("zt6100", "已通知仪表新的波特率，请将网络串口服务器的串口设为 %1 bit/s");
inline constexpr const char* kPtFailed = ZT_TEXT("zt6100", "设置PT不成功");
inline constexpr const char* kCtFailed = ZT_TEXT("zt6100", "设置CT不成功");
inline constexpr const char* kWiringFailed = ZT_TEXT("zt6100", "设置接线方式不成功");
inline constexpr const char* kInstrumentSet = ZT_TEXT("zt6100", "设置仪表参数成功");
inline constexpr const char* kClockFailed = ZT_TEXT("zt6100", "读时间不成功");

inline constexpr const char* kStartLogging = ZT_TEXT("zt6100", "开始保存数据");
inline constexpr const char* kStopLogging = ZT_TEXT("zt6100", "停止保存数据");
inline constexpr const char* kLogFileFailed = ZT_TEXT("zt6100", "文件打开不成功");
// The log file's failure with the file and the reason.
inline constexpr const char* kLogFileFailedBecause = ZT_TEXT("zt6100", "文件打开不成功: %1: %2");
inline constexpr const char* kLogNotRegularFile = ZT_TEXT("zt6100", "不是普通文件");
inline constexpr const char* kLogReadOnly = ZT_TEXT("zt6100", "文件为只读");

// The console's own state, shown at the right of its menu bar.
inline constexpr const char* kPortNotOpen = ZT_TEXT("zt6100", "串口未打开");
// The port's device went away; the port opens again by itself once it is back.
inline constexpr const char* kDeviceLost = ZT_TEXT("zt6100", "设备已断开");
inline constexpr const char* kLoggingFailing = ZT_TEXT("zt6100", "保存数据失败");
inline constexpr const char* kLinkBusy = ZT_TEXT("zt6100", "正在与仪表通讯...");
// The live value of the last good poll, after a poll without a reply.
inline constexpr const char* kLiveValueStale = ZT_TEXT("zt6100", "本次读测量数据不成功，显示的是上次的数据");
// A live value read before any decimal point of this meter: it has no scale.
inline constexpr const char* kDecimalPointUnread = ZT_TEXT("zt6100", "小数点未读到");

// A parameter read that did not get every value; the captions not read follow.
inline constexpr const char* kParametersNotRead = ZT_TEXT("zt6100", "读参数数据不成功:");
inline constexpr const char* kParametersReadFailed = ZT_TEXT("zt6100", "读参数数据不成功...");
// A parameter write with boxes that hold neither a value read from the meter
// nor one typed; their captions follow.
inline constexpr const char* kParametersUnknown = ZT_TEXT("zt6100", "请先读参数数据或输入参数，未读也未输入:");
// Added to the message of a port that cannot be opened when the user lacks
// permission on its device: the group that owns it, twice.
inline constexpr const char* kPermissionHint = ZT_TEXT("zt6100",
    "当前用户没有使用该设备的权限：请把用户加入拥有该设备的用户组 %1（sudo usermod -aG %1 $USER），然后注销并重新登录。");
inline constexpr const char* kPermissionHintNoGroup = ZT_TEXT("zt6100",
    "当前用户没有使用该设备的权限：请向管理员申请该设备的读写权限。");
// The search for a meter in the settings dialog: how many tries and the
// worst case in seconds; the try under way (address, rate, parity, tries
// done, tries in all); the meter found (address, rate, parity).
inline constexpr const char* kFindingPlan = ZT_TEXT("zt6100", "搜索 %1 次，最长约 %2 秒");
inline constexpr const char* kFindingProgress = ZT_TEXT("zt6100", "正在搜索: 地址 %1, %2bps, %3 (%4/%5)");
inline constexpr const char* kMeterFound = ZT_TEXT("zt6100", "找到仪表: 地址 %1, %2bps, %3");
inline constexpr const char* kNoMeterFound = ZT_TEXT("zt6100", "未找到仪表");
inline constexpr const char* kFindingStopped = ZT_TEXT("zt6100", "已停止搜索");
// The parity radios' captions, naming the parity of a meter found.
inline constexpr const char* kNoParity = ZT_TEXT("zt6100", "无校验");
inline constexpr const char* kOddParity = ZT_TEXT("zt6100", "奇校验");
inline constexpr const char* kEvenParity = ZT_TEXT("zt6100", "偶校验");
// After a device in the device list that the system does not report now.
inline constexpr const char* kDeviceNotPresent = ZT_TEXT("zt6100", "（未找到）");
// Added to the link information when the device remembered for the port is
// gone: that device, then the one used instead.
inline constexpr const char* kRememberedDeviceGone =
    ZT_TEXT("zt6100", "\r\n\r\n上次使用的设备 %1 已不存在，已改用 %2");
// A serial device server as a port number's device: the choice in the device
// list, the two kinds of server, and what is refused on OK.
inline constexpr const char* kNetworkServer = ZT_TEXT("zt6100", "网络串口服务器");
inline constexpr const char* kRawTcp = ZT_TEXT("zt6100", "原始 TCP");
inline constexpr const char* kServerHostMissing =
    ZT_TEXT("zt6100", "请输入网络串口服务器的主机名或 IP 地址。");
inline constexpr const char* kServerHostInvalid =
    ZT_TEXT("zt6100", "“%1”不是有效的主机名或 IP 地址。");
// The analysis program and the system's reason.
inline constexpr const char* kAnalysisNotStarted = ZT_TEXT("zt6100", "无法启动分析程序 %1: %2");

inline constexpr const char* kRelayOn = ZT_TEXT3("zt6100", "通", "switch state");
inline constexpr const char* kRelayOff = ZT_TEXT3("zt6100", "断", "switch state");
inline constexpr const char* kInputClosed = ZT_TEXT3("zt6100", "合", "switch state");
inline constexpr const char* kInputOpen = ZT_TEXT3("zt6100", "分", "switch state");

// Link information: address, port, baud (%1, %2, %3), then the parity entry.
inline constexpr const char* kLinkInfoFormat = ZT_TEXT("zt6100", "\r\n仪表地址: %1 \r\n\r\n串口:     %2 \r\n\r\n波特率:  %3 \r\n\r\n");
inline constexpr const char* kParityNoneAtOpening = ZT_TEXT("zt6100", "校验位:  无校验");
inline constexpr const char* kParityNoneAfterChange = ZT_TEXT("zt6100", "校验位: 无校验");
inline constexpr const char* kParityOdd = ZT_TEXT("zt6100", "校验位:  奇校验");
inline constexpr const char* kParityEven = ZT_TEXT("zt6100", "校验位:  偶校验");
// Added once the link has found that the adapter echoes every request.
inline constexpr const char* kLocalEchoDetected = ZT_TEXT("zt6100", "\r\n\r\n本地回显: 有 (已跳过)");
// Added when the port number's device is a serial device server: host:port,
// then the kind; over raw TCP the rate is the server's.
inline constexpr const char* kLinkInfoServer = ZT_TEXT("zt6100", "\r\n\r\n网络串口服务器:\r\n%1\r\n%2");
inline constexpr const char* kRateSetByServer = ZT_TEXT("zt6100", "(波特率由服务器设定)");

// The port's device and the system's reason.
inline constexpr const char* kPortOpenFailed = ZT_TEXT("zt6100", "串口 %1 打开不成功：%2");
// The longest logging interval, in hours, minutes and seconds.
inline constexpr const char* kLogIntervalOutOfRange =
    ZT_TEXT("zt6100", "存储时间间隔须在 1 秒到 %1 时 %2 分 %3 秒之间。");
// The meter's clock: year, month, day, hour, minute, second, zero-padded.
inline constexpr const char* kMeterClockFormat =
    ZT_TEXT("zt6100", "当前时间:  %1年%2月%3日 %4时%5分%6秒");

// The line that says why the meter does not answer: what went wrong, then
// what to check.
inline constexpr const char* kLinkHealthFormat = ZT_TEXT("zt6100", "通讯故障: %1。请检查: %2");
// What to check when the port's device went away.
inline constexpr const char* kDeviceLostLook = ZT_TEXT("zt6100", "电缆或 USB 转换器");
// The menu item that sets the poll's counts, the failures by cause and the
// latency to zero.
inline constexpr const char* kResetCountersItem = ZT_TEXT("zt6100", "计数清零(&Z)");

// The buttons of a question.
inline constexpr const char* kOk = ZT_TEXT("zt6100", "确定");
inline constexpr const char* kCancel = ZT_TEXT("zt6100", "取消");
// Esc or the close box while the console talks to the meter or logs.
inline constexpr const char* kExitWhileCommunicating = ZT_TEXT("zt6100", "正在通讯，确定退出吗？");

}  // namespace zt::res::text
