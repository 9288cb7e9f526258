#pragma once

#include "res/translatable.h"

// The texts of the commissioning window, UTF-8. The table's own words
// (settings, verdicts, causes, notes) are the report's, so that the window
// and the report it saves say the same.
namespace zt::res::text {

// Menu item of "系统功能(&S)".
inline constexpr const char* kCommissionItem = ZT_TEXT("zt6100", "调试检查(&K)");
inline constexpr const char* kCommissionTitle = ZT_TEXT("zt6100", "调试检查");
// Which of the report's two languages the window speaks: its translation is
// "en" where the English texts are installed.
inline constexpr const char* kReportLanguageMeaning = "language of the commissioning report";
inline constexpr const char* kReportLanguage =
    ZT_TEXT3("zt6100", "zh", "language of the commissioning report");

inline constexpr const char* kCommissionProfile = ZT_TEXT("zt6100", "现场配置:");
inline constexpr const char* kCommissionChooseProfile = ZT_TEXT("zt6100", "选择...");
inline constexpr const char* kCommissionNoProfile = ZT_TEXT("zt6100", "未选择现场配置");
inline constexpr const char* kCommissionProfileTitle = ZT_TEXT("zt6100", "选择现场配置");
inline constexpr const char* kCommissionProfileFilter = ZT_TEXT("zt6100", "现场配置 (*.json)");
// The file, the key and the reason, as the profile's reader tells them.
inline constexpr const char* kCommissionProfileRefused =
    ZT_TEXT("zt6100", "现场配置不能使用: %1");
inline constexpr const char* kCommissionSiteMeter = ZT_TEXT("zt6100", "现场: %1    仪表: %2");

inline constexpr const char* kCommissionCheck = ZT_TEXT("zt6100", "检查");
inline constexpr const char* kCommissionApply = ZT_TEXT("zt6100", "应用");
inline constexpr const char* kCommissionStop = ZT_TEXT("zt6100", "停止运行");
inline constexpr const char* kCommissionSaveReport = ZT_TEXT("zt6100", "保存报告...");
inline constexpr const char* kCommissionClose = ZT_TEXT("zt6100", "关闭");

// The status line. The step is a setting of the table.
inline constexpr const char* kCommissionChecking = ZT_TEXT("zt6100", "正在检查...");
inline constexpr const char* kCommissionApplying = ZT_TEXT("zt6100", "正在应用...");
inline constexpr const char* kCommissionReading = ZT_TEXT("zt6100", "正在读取: %1");
inline constexpr const char* kCommissionPolling = ZT_TEXT("zt6100", "正在读取实时数据...");
inline constexpr const char* kCommissionStopping = ZT_TEXT("zt6100", "正在停止...");

// Below the table: the live value over the check, and the link.
inline constexpr const char* kCommissionLive = ZT_TEXT("zt6100", "实时数据: %1 次, 成功 %2 次");
inline constexpr const char* kCommissionLiveFigures =
    ZT_TEXT("zt6100", "最小 %1, 最大 %2, 平均 %3");
inline constexpr const char* kCommissionLink = ZT_TEXT("zt6100", "链路: %1 次交换, 失败 %2 次");

// What an apply did and did not do; each list names the settings.
inline constexpr const char* kCommissionWritten = ZT_TEXT("zt6100", "已写入并确认: %1");
inline constexpr const char* kCommissionNotConfirmed = ZT_TEXT("zt6100", "未确认: %1 (%2)");
inline constexpr const char* kCommissionNotWritten = ZT_TEXT("zt6100", "未写入: %1");
inline constexpr const char* kCommissionCannotWrite = ZT_TEXT("zt6100", "不能写入: %1 (%2)");
// The address and the rate the console now talks to the meter at.
inline constexpr const char* kCommissionFollowed =
    ZT_TEXT("zt6100", "控制台已跟随仪表: 地址 %1, %2 bit/s");

inline constexpr const char* kCommissionReportTitle = ZT_TEXT("zt6100", "保存调试报告");
inline constexpr const char* kCommissionReportFilter =
    ZT_TEXT("zt6100", "PDF 文件 (*.pdf);;HTML 文件 (*.html);;JSON 文件 (*.json)");
inline constexpr const char* kCommissionReportSaved = ZT_TEXT("zt6100", "调试报告已保存: %1");
// The report writer's message: the file and the reason.
inline constexpr const char* kCommissionReportFailed = ZT_TEXT("zt6100", "调试报告未能保存: %1");

// Why a site profile is refused, as the window says it: the file, the key,
// and one of the reasons below with the values the reader found.
inline constexpr const char* kProfileKeyRefused = ZT_TEXT("zt6100", "%1: 键 \"%2\" %3");
inline constexpr const char* kProfileFileRefused = ZT_TEXT("zt6100", "%1: %2");
// %1 line, %2 column.
inline constexpr const char* kProfileNotJson = ZT_TEXT("zt6100", "第 %1 行第 %2 列: 不是有效的 JSON");
inline constexpr const char* kProfileNotObject = ZT_TEXT("zt6100", "配置文件必须是一个 JSON 对象");
inline constexpr const char* kProfileNotNumber = ZT_TEXT("zt6100", "应为数字");
inline constexpr const char* kProfileNotWhole = ZT_TEXT("zt6100", "%1 不是整数");
// %1 the value, %2 to %3 the range.
inline constexpr const char* kProfileOutside = ZT_TEXT("zt6100", "%1 不在 %2 到 %3 之间");
inline constexpr const char* kProfileAddressOutside =
    ZT_TEXT("zt6100", "%1 不在 %2 到 %3 之间 (0 是广播地址, 没有仪表应答)");
inline constexpr const char* kProfileNotString = ZT_TEXT("zt6100", "应为字符串");
inline constexpr const char* kProfileTooLong = ZT_TEXT("zt6100", "超过 %1 字节");
inline constexpr const char* kProfileNotRate =
    ZT_TEXT("zt6100", "%1 不是 1200、2400、4800、9600、19200 之一");
inline constexpr const char* kProfileNotParity =
    ZT_TEXT("zt6100", "\"%1\" 不是 \"none\"、\"odd\"、\"even\" 之一");
// %1 the keys a profile knows.
inline constexpr const char* kProfileUnknownKey = ZT_TEXT("zt6100", "不是配置文件的键 (可用: %1)");
inline constexpr const char* kProfileLowerAboveUpper = ZT_TEXT("zt6100", "%1 大于 upper_limit %2");
// %1 the system's reason.
inline constexpr const char* kProfileUnreadable = ZT_TEXT("zt6100", "无法读取: %1");
// %1 the file's size, %2 the most a profile may have.
inline constexpr const char* kProfileTooLarge =
    ZT_TEXT("zt6100", "有 %1 字节, 超过配置文件上限 %2 字节");

}  // namespace zt::res::text
