#pragma once

#include <array>

#include "res/dialog_template.h"
#include "res/translatable.h"

namespace zt::res {

// Control ids of the console window.
namespace console_id {
inline constexpr int kExit = kIdCancel;
inline constexpr int kCommSettings = 1004;
inline constexpr int kInstrumentSetup = 1006;
inline constexpr int kTechSupport = 1007;
inline constexpr int kReadMeterClock = 1009;
inline constexpr int kToggleLogging = 1021;
inline constexpr int kPhaseCurrentAnalysis = 1022;
inline constexpr int kReadParameters = 1023;
inline constexpr int kWriteParameters = 1024;
inline constexpr int kLiveValue = 1051;
inline constexpr int kDecimalPoint = 1052;
inline constexpr int kLinkInfo = 1057;
inline constexpr int kDeviceAddress = 1058;
inline constexpr int kUpperLimit = 1059;
inline constexpr int kLowerLimit = 1060;
inline constexpr int kMeterBaud = 1061;
inline constexpr int kStopPolling = 1064;
inline constexpr int kStartPolling = 1065;
inline constexpr int kChangeAddress = 1066;
inline constexpr int kStatus = 1068;
inline constexpr int kSuccessCount = 1069;
inline constexpr int kFailureCount = 1070;
inline constexpr int kErrorRate = 1071;
inline constexpr int kRelayOutput = 1073;
inline constexpr int kSwitchInput = 1074;
inline constexpr int kReadSwitchStatus = 1075;
// Items of the menu "系统功能(&S)"; each runs the command of a button.
inline constexpr int kMenuReadParameters = 32771;
inline constexpr int kMenuStartPolling = 32772;
inline constexpr int kMenuStopPolling = 32773;
inline constexpr int kMenuWriteParameters = 32774;
inline constexpr int kMenuChangeAddress = 32775;
}  // namespace console_id

// Template 102. The labels carry no size of their own; they are
// given the width of their text at the dialog font (8 units per character).
// The hidden read-only boxes and the serial-port control are not rebuilt.
// The live value box is 60 units wide, not 40, so that the widest values,
// "-32768.0000" and "65535.0000", are shown whole.
// The labels, the command buttons, the link information and the address
// button are wider than the template's, their boxes moved or narrowed to
// make room, so that every caption fits in English as in Chinese; the boxes
// still hold their widest values.
inline constexpr std::array kConsoleControls = {
    ControlTemplate{kNoId, ControlKind::GroupBox, ZT_TEXT("zt6100", "通信参数信息"), 7, 7, 80, 87},
    ControlTemplate{console_id::kLinkInfo, ControlKind::Edit, "", 12, 17, 70, 67,
                    kMultiLine | kReadOnly},
    ControlTemplate{kNoId, ControlKind::GroupBox, ZT_TEXT("zt6100", "系统功能"), 7, 96, 80, 160},
    ControlTemplate{console_id::kReadParameters, ControlKind::PushButton, ZT_TEXT("zt6100", "读参数数据"), 12, 107, 70, 19},
    ControlTemplate{console_id::kStartPolling, ControlKind::PushButton, ZT_TEXT("zt6100", "读测量数据"), 12, 128, 70, 19},
    ControlTemplate{console_id::kStopPolling, ControlKind::PushButton, ZT_TEXT("zt6100", "停止运行"), 12, 149, 70, 19},
    ControlTemplate{console_id::kWriteParameters, ControlKind::PushButton, ZT_TEXT("zt6100", "写参数数据"), 12, 170, 70, 19},
    ControlTemplate{console_id::kCommSettings, ControlKind::PushButton, ZT_TEXT("zt6100", "通讯设置"), 12, 191, 70, 19},
    ControlTemplate{console_id::kReadSwitchStatus, ControlKind::PushButton, ZT_TEXT("zt6100", "读开关量状态"), 12, 212, 70, 19},
    ControlTemplate{console_id::kExit, ControlKind::PushButton, ZT_TEXT("zt6100", "退  出"), 12, 233, 70, 19},
    ControlTemplate{kNoId, ControlKind::GroupBox, ZT_TEXT("zt6100", "测量数据"), 91, 4, 159, 36},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "实时数据"), 96, 25, 37, 10},
    ControlTemplate{console_id::kLiveValue, ControlKind::Edit, "", 134, 22, 60, 14, kReadOnly | kBorder},
    ControlTemplate{kNoId, ControlKind::GroupBox, ZT_TEXT("zt6100", "通讯统计"), 91, 45, 159, 42},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "成功次数"), 95, 57, 38, 10},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "失败次数"), 135, 57, 34, 10},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "误码率"), 172, 57, 50, 10},
    ControlTemplate{console_id::kSuccessCount, ControlKind::Edit, "", 95, 67, 35, 14, kReadOnly | kBorder},
    ControlTemplate{console_id::kFailureCount, ControlKind::Edit, "", 135, 67, 30, 14, kReadOnly | kBorder},
    ControlTemplate{console_id::kErrorRate, ControlKind::Edit, "", 170, 67, 53, 14, kReadOnly | kBorder},
    ControlTemplate{kNoId, ControlKind::GroupBox, ZT_TEXT("zt6100", "参数数据区"), 91, 90, 159, 50},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "上限阀值"), 95, 100, 38, 10},
    ControlTemplate{console_id::kUpperLimit, ControlKind::Edit, "", 134, 99, 38, 14, kBorder},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "下限阀值"), 95, 122, 38, 10},
    ControlTemplate{console_id::kLowerLimit, ControlKind::Edit, "", 134, 118, 38, 14, kBorder},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "波特率"), 176, 102, 36, 10},
    ControlTemplate{console_id::kMeterBaud, ControlKind::Edit, "", 213, 98, 33, 14, kBorder},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "小数点"), 176, 120, 36, 10},
    ControlTemplate{console_id::kDecimalPoint, ControlKind::Edit, "", 213, 118, 33, 14, kBorder},
    ControlTemplate{kNoId, ControlKind::GroupBox, ZT_TEXT("zt6100", "开关量信息"), 90, 144, 160, 38},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "继电器输出"), 98, 154, 46, 10},
    ControlTemplate{console_id::kRelayOutput, ControlKind::StateBox, "", 114, 163, 26, 12, kReadOnly},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "开关量输入"), 186, 153, 46, 10},
    ControlTemplate{console_id::kSwitchInput, ControlKind::StateBox, "", 202, 163, 26, 12, kReadOnly},
    ControlTemplate{kNoId, ControlKind::GroupBox, ZT_TEXT("zt6100", "地址信息"), 90, 182, 160, 40},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "本机地址"), 94, 198, 50, 10},
    ControlTemplate{console_id::kDeviceAddress, ControlKind::Edit, "", 146, 195, 30, 14, kBorder},
    ControlTemplate{console_id::kChangeAddress, ControlKind::PushButton, ZT_TEXT("zt6100", "修改地址"), 180, 190, 64, 20},
    ControlTemplate{kNoId, ControlKind::GroupBox, ZT_TEXT("zt6100", "提示信息"), 91, 224, 159, 32},
    ControlTemplate{console_id::kStatus, ControlKind::Edit, "", 95, 235, 116, 13, kDisabled | kCentered},
    // Created hidden: their commands are reached through the menu.
    ControlTemplate{console_id::kInstrumentSetup, ControlKind::PushButton, ZT_TEXT("zt6100", "仪表设置"), 165, 235, 50, 14, kHidden},
    ControlTemplate{console_id::kTechSupport, ControlKind::PushButton, ZT_TEXT("zt6100", "技术支持"), 165, 235, 50, 14, kHidden},
    ControlTemplate{console_id::kReadMeterClock, ControlKind::PushButton, ZT_TEXT("zt6100", "读仪表时间"), 165, 235, 50, 14, kHidden},
    ControlTemplate{console_id::kToggleLogging, ControlKind::PushButton, ZT_TEXT("zt6100", "开始保存数据"), 165, 235, 50, 14, kHidden},
    ControlTemplate{console_id::kPhaseCurrentAnalysis, ControlKind::PushButton, ZT_TEXT("zt6100", "相电流分析"), 165, 237, 50, 12, kHidden},
};

inline constexpr DialogTemplate kConsoleTemplate = {
    102, ZT_TEXT("zt6100", "ZT6100单相电流表调试-Korvessa"), 10, 254, 263, kConsoleControls};

// Menu 148: the pop-up "系统功能(&S)" and the top-level "帮助(&H)". No key
// types a Chinese character, so menus and items carry a Latin mnemonic after
// their text, in brackets, as Chinese programs do; the English keeps its own.
inline constexpr const char* kSystemMenuTitle = ZT_TEXT("zt6100", "系统功能(&S)");
inline constexpr const char* kHelpMenuTitle = ZT_TEXT("zt6100", "帮助(&H)");
inline constexpr std::array kSystemMenuItems = {
    MenuItem{console_id::kMenuReadParameters, ZT_TEXT("zt6100", "读基本数据(&R)"), console_id::kReadParameters},
    MenuItem{console_id::kMenuStartPolling, ZT_TEXT("zt6100", "读测量数据(&P)"), console_id::kStartPolling},
    MenuItem{console_id::kMenuStopPolling, ZT_TEXT("zt6100", "停止运行(&S)"), console_id::kStopPolling},
    MenuItem{console_id::kMenuWriteParameters, ZT_TEXT("zt6100", "写数据(&W)"), console_id::kWriteParameters},
    MenuItem{console_id::kMenuChangeAddress, ZT_TEXT("zt6100", "修改地址(&A)"), console_id::kChangeAddress},
};

// The logging item, as logging is off or on.
inline constexpr const char* kStartLoggingItem = ZT_TEXT("zt6100", "开始保存数据(&L)");
inline constexpr const char* kStopLoggingItem = ZT_TEXT("zt6100", "停止保存数据(&L)");

// Items of our own for commands whose buttons stay hidden; they carry the
// command id itself.
inline constexpr std::array kHiddenCommandItems = {
    MenuItem{console_id::kInstrumentSetup, ZT_TEXT("zt6100", "仪表设置(&I)"), console_id::kInstrumentSetup},
    MenuItem{console_id::kReadMeterClock, ZT_TEXT("zt6100", "读仪表时间(&C)"), console_id::kReadMeterClock},
    MenuItem{console_id::kToggleLogging, kStartLoggingItem, console_id::kToggleLogging},
    MenuItem{console_id::kPhaseCurrentAnalysis, ZT_TEXT("zt6100", "相电流分析(&N)"), console_id::kPhaseCurrentAnalysis},
};
inline constexpr std::array kHelpMenuItems = {
    MenuItem{console_id::kTechSupport, ZT_TEXT("zt6100", "技术支持(&A)"), console_id::kTechSupport},
};

}  // namespace zt::res
