#pragma once

// Every fixed text the windows show, UTF-8.
namespace zt::res::text {

// The standard prompts of the data exchange.
inline constexpr const char* kEnterInteger = "请输入一个整数。";
inline constexpr const char* kEnterIntegerBetween = "请输入一个介于 %1 和 %2 之间的整数。";

// Captions of the parameter boxes, also used to name a box in a message.
inline constexpr const char* kUpperLimitCaption = "上限阀值";
inline constexpr const char* kLowerLimitCaption = "下限阀值";
inline constexpr const char* kMeterBaudCaption = "波特率";
inline constexpr const char* kDecimalPointCaption = "小数点";
inline constexpr const char* kDeviceAddressCaption = "本机地址";

// Captions of the values the settings and setup dialogs ask for.
inline constexpr const char* kMeterAddressCaption = "仪表地址";
inline constexpr const char* kPortCaption = "串口";
inline constexpr const char* kPtCaption = "PT";
inline constexpr const char* kCtCaption = "CT";
inline constexpr const char* kWiringCaption = "接线方式";

inline constexpr const char* kPolling = "正在读测量数据...";
inline constexpr const char* kStopped = "已停止读测量数据...";
inline constexpr const char* kParametersRead = "已读参数数据...";
inline constexpr const char* kWritingParameters = "写参数数据...";
inline constexpr const char* kChangingAddress = "修改地址信息...";

inline constexpr const char* kWriteSucceeded = "写数据成功！";
inline constexpr const char* kWriteFailed = "写数据不成功";
inline constexpr const char* kAddressWritten = "写本机地址成功！";
inline constexpr const char* kAddressNotWritten = "写本机地址不成功";

inline constexpr const char* kBaudChangeFailed = "改变波特率不成功";
inline constexpr const char* kPtFailed = "设置PT不成功";
inline constexpr const char* kCtFailed = "设置CT不成功";
inline constexpr const char* kWiringFailed = "设置接线方式不成功";
inline constexpr const char* kInstrumentSet = "设置仪表参数成功";
inline constexpr const char* kClockFailed = "读时间不成功";

inline constexpr const char* kStartLogging = "开始保存数据";
inline constexpr const char* kStopLogging = "停止保存数据";
inline constexpr const char* kLogFileFailed = "文件打开不成功";

// The console's own state, shown at the right of its menu bar.
inline constexpr const char* kPortNotOpen = "串口未打开";
// The port's device went away; the port opens again by itself once it is back.
inline constexpr const char* kDeviceLost = "设备已断开";
inline constexpr const char* kLoggingFailing = "保存数据失败";
inline constexpr const char* kLinkBusy = "正在与仪表通讯...";
// The live value of the last good poll, after a poll without a reply.
inline constexpr const char* kLiveValueStale = "本次读测量数据不成功，显示的是上次的数据";

// A parameter read that did not get every value; the captions not read follow.
inline constexpr const char* kParametersNotRead = "读参数数据不成功:";
inline constexpr const char* kParametersReadFailed = "读参数数据不成功...";
// A parameter write with boxes that hold neither a value read from the meter
// nor one typed; their captions follow.
inline constexpr const char* kParametersUnknown = "请先读参数数据或输入参数，未读也未输入:";
// The analysis program and the system's reason.
inline constexpr const char* kAnalysisNotStarted = "无法启动分析程序 %1: %2";

inline constexpr const char* kRelayOn = "通";
inline constexpr const char* kRelayOff = "断";
inline constexpr const char* kInputClosed = "合";
inline constexpr const char* kInputOpen = "分";

// Link information: address, port, baud, then the parity entry.
inline constexpr const char* kLinkInfoFormat = "\r\n仪表地址: %d \r\n\r\n串口:     %d \r\n\r\n波特率:  %d \r\n\r\n";
inline constexpr const char* kParityNoneAtOpening = "校验位:  无校验";
inline constexpr const char* kParityNoneAfterChange = "校验位: 无校验";
inline constexpr const char* kParityOdd = "校验位:  奇校验";
inline constexpr const char* kParityEven = "校验位:  偶校验";
// Added once the link has found that the adapter echoes every request.
inline constexpr const char* kLocalEchoDetected = "\r\n\r\n本地回显: 有 (已跳过)";

}  // namespace zt::res::text
