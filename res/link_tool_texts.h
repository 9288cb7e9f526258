#pragma once

#include <array>

// The texts of the two windows that watch the line, UTF-8: the diagnostics
// (every exchange by outcome) and the frame monitor.
namespace zt::res::text {

// Menu items of "&系统功能".
inline constexpr const char* kLinkDiagnosticsItem = "通讯诊断";
inline constexpr const char* kFrameMonitorItem = "通讯监视";

// The diagnostics window.
inline constexpr const char* kLinkDiagnosticsTitle = "通讯诊断";
inline constexpr const char* kPollsGroup = "读测量数据";
inline constexpr const char* kPollSuccesses = "成功次数";
inline constexpr const char* kPollFailures = "失败次数";
inline constexpr const char* kExchangesGroup = "通讯帧";
inline constexpr const char* kExchanges = "请求次数";
inline constexpr const char* kValidReplies = "有效应答";
inline constexpr const char* kFailedExchanges = "无有效应答";
inline constexpr const char* kCausesGroup = "无有效应答的原因";
inline constexpr const char* kLatencyGroup = "应答时间 (毫秒)";
inline constexpr const char* kLatencyMin = "最小";
inline constexpr const char* kLatencyMedian = "中位数";
inline constexpr const char* kLatencyP95 = "95%";
inline constexpr const char* kLatencyMax = "最大";
inline constexpr const char* kNoLatencyYet = "尚无有效应答";
// "异常应答" followed by each code seen and its count, e.g. "代码 02: 3".
inline constexpr const char* kExceptionCodeCount = "代码 %1: %2";

// One caption per cause, in the order of zt::FailureCause.
inline constexpr std::array<const char*, 9> kFailureCauseCaptions = {
    "无应答",          // not one byte
    "应答不完整",      // too few bytes
    "校验错误",        // bad CRC
    "其他地址的应答",  // from another address
    "异常应答",        // exception reply
    "功能码不符",      // another function
    "应答与请求不符",  // answers another request
    "应答超时到达",    // late reply
    "只有本地回显",    // local echo only
};

// The frame monitor.
inline constexpr const char* kFrameMonitorTitle = "通讯监视";
inline constexpr const char* kMonitorClear = "清除";
inline constexpr const char* kMonitorPause = "暂停";
inline constexpr const char* kMonitorResume = "继续";
inline constexpr const char* kMonitorSave = "保存...";
inline constexpr const char* kMonitorSaveTitle = "保存通讯记录";
inline constexpr const char* kMonitorSaveFilter = "文本文件 (*.txt)";
// The file and the system's reason.
inline constexpr const char* kMonitorSaveFailed = "通讯记录保存失败: %1: %2";

}  // namespace zt::res::text
