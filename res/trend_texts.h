#pragma once

#include "res/translatable.h"

// The texts of the trend window, UTF-8.
namespace zt::res::text {

// Menu item of "&系统功能".
inline constexpr const char* kTrendItem = ZT_TEXT("zt6100", "趋势图(&T)");
inline constexpr const char* kTrendTitle = ZT_TEXT("zt6100", "趋势图");

inline constexpr const char* kTrendSpan = ZT_TEXT("zt6100", "时间范围");
inline constexpr const char* kTrendSpanMinute = ZT_TEXT("zt6100", "1 分钟");
inline constexpr const char* kTrendSpanTenMinutes = ZT_TEXT("zt6100", "10 分钟");
inline constexpr const char* kTrendSpanHour = ZT_TEXT("zt6100", "1 小时");
inline constexpr const char* kTrendSpanAll = ZT_TEXT("zt6100", "全部");

// The figures over the span shown.
inline constexpr const char* kTrendLast = ZT_TEXT("zt6100", "最新值");
inline constexpr const char* kTrendMin = ZT_TEXT("zt6100", "最小值");
inline constexpr const char* kTrendMax = ZT_TEXT("zt6100", "最大值");
inline constexpr const char* kTrendMean = ZT_TEXT("zt6100", "平均值");
inline constexpr const char* kTrendPolls = ZT_TEXT("zt6100", "轮询次数");
inline constexpr const char* kTrendFailed = ZT_TEXT("zt6100", "失败次数");

inline constexpr const char* kTrendPause = ZT_TEXT("zt6100", "暂停");
inline constexpr const char* kTrendResume = ZT_TEXT("zt6100", "继续");
inline constexpr const char* kTrendReset = ZT_TEXT("zt6100", "清除");
inline constexpr const char* kTrendSaveImage = ZT_TEXT("zt6100", "保存图片...");
inline constexpr const char* kTrendSaveData = ZT_TEXT("zt6100", "保存数据...");
inline constexpr const char* kTrendSaveTitle = ZT_TEXT("zt6100", "保存趋势图");
inline constexpr const char* kTrendImageFilter = ZT_TEXT("zt6100", "PNG 图片 (*.png)");
inline constexpr const char* kTrendDataFilter = ZT_TEXT("zt6100", "CSV 文件 (*.csv)");
// The file and the system's reason.
inline constexpr const char* kTrendSaveFailed = ZT_TEXT("zt6100", "趋势图保存失败: %1: %2");

// Drawn in the plot.
inline constexpr const char* kTrendNoData = ZT_TEXT("zt6100", "尚无数据");
inline constexpr const char* kTrendPaused = ZT_TEXT("zt6100", "已暂停");
// Where a good poll came with another decimal point than the one before.
inline constexpr const char* kTrendScale = ZT_TEXT("zt6100", "小数点 %1");

}  // namespace zt::res::text
