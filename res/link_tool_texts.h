#pragma once

#include <array>

#include "res/translatable.h"

// The texts of the two windows that watch the line, UTF-8: the diagnostics
// (every exchange by outcome) and the frame monitor.
namespace zt::res::text {

// Menu items of "系统功能(&S)".
inline constexpr const char* kLinkDiagnosticsItem = ZT_TEXT("zt6100", "通讯诊断(&D)");
inline constexpr const char* kFrameMonitorItem = ZT_TEXT("zt6100", "通讯监视(&M)");

// The diagnostics window.
inline constexpr const char* kLinkDiagnosticsTitle = ZT_TEXT("zt6100", "通讯诊断");
// The console's button "读测量数据" starts the poll; as this group's title it
// names the poll's counts, told apart by this disambiguation.
inline constexpr const char* kPollsGroupMeaning = "poll statistics";
inline constexpr const char* kPollsGroup = ZT_TEXT3("zt6100", "读测量数据", "poll statistics");
inline constexpr const char* kPollSuccesses = ZT_TEXT("zt6100", "成功次数");
inline constexpr const char* kPollFailures = ZT_TEXT("zt6100", "失败次数");
inline constexpr const char* kExchangesGroup = ZT_TEXT("zt6100", "通讯帧");
inline constexpr const char* kExchanges = ZT_TEXT("zt6100", "请求次数");
inline constexpr const char* kValidReplies = ZT_TEXT("zt6100", "有效应答");
inline constexpr const char* kFailedExchanges = ZT_TEXT("zt6100", "无有效应答");
inline constexpr const char* kCausesGroup = ZT_TEXT("zt6100", "无有效应答的原因");
inline constexpr const char* kLatencyGroup = ZT_TEXT("zt6100", "应答时间 (毫秒)");
inline constexpr const char* kLatencyMin = ZT_TEXT("zt6100", "最小");
inline constexpr const char* kLatencyMedian = ZT_TEXT("zt6100", "中位数");
inline constexpr const char* kLatencyP95 = "95%";
inline constexpr const char* kLatencyMax = ZT_TEXT("zt6100", "最大");
inline constexpr const char* kNoLatencyYet = ZT_TEXT("zt6100", "尚无有效应答");
// "异常应答" followed by each code seen and its count, e.g. "代码 02: 3".
inline constexpr const char* kExceptionCodeCount = ZT_TEXT("zt6100", "代码 %1: %2");

// One caption per cause, in the order of zt::FailureCause.
inline constexpr std::array<const char*, 9> kFailureCauseCaptions = {
    ZT_TEXT("zt6100", "无应答"),          // not one byte
    ZT_TEXT("zt6100", "应答不完整"),      // too few bytes
    ZT_TEXT("zt6100", "校验错误"),        // bad CRC
    ZT_TEXT("zt6100", "其他地址的应答"),  // from another address
    ZT_TEXT("zt6100", "异常应答"),        // exception reply
    ZT_TEXT("zt6100", "功能码不符"),      // another function
    ZT_TEXT("zt6100", "应答与请求不符"),  // answers another request
    ZT_TEXT("zt6100", "应答超时到达"),    // late reply
    ZT_TEXT("zt6100", "只有本地回显"),    // local echo only
};

// The frame monitor.
inline constexpr const char* kFrameMonitorTitle = ZT_TEXT("zt6100", "通讯监视");
inline constexpr const char* kMonitorClear = ZT_TEXT("zt6100", "清除");
inline constexpr const char* kMonitorPause = ZT_TEXT("zt6100", "暂停");
inline constexpr const char* kMonitorResume = ZT_TEXT("zt6100", "继续");
inline constexpr const char* kMonitorSave = ZT_TEXT("zt6100", "保存...");
inline constexpr const char* kMonitorSaveTitle = ZT_TEXT("zt6100", "保存通讯记录");
inline constexpr const char* kMonitorSaveFilter = ZT_TEXT("zt6100", "文本文件 (*.txt)");
// The file and the system's reason.
inline constexpr const char* kMonitorSaveFailed = ZT_TEXT("zt6100", "通讯记录保存失败: %1: %2");

}  // namespace zt::res::text
