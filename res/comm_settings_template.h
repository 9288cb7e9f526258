#pragma once

#include <array>

#include "res/dialog_template.h"
#include "res/translatable.h"

namespace zt::res {

namespace comm_id {
inline constexpr int kAddress = 1000;
inline constexpr int kCom1 = 1009;
inline constexpr int kCom2 = 1010;
inline constexpr int kBaud1200 = 1011;
inline constexpr int kBaud2400 = 1012;
inline constexpr int kBaud4800 = 1013;
inline constexpr int kBaud9600 = 1014;
inline constexpr int kBaud19200 = 1015;
inline constexpr int kParityNone = 1016;
inline constexpr int kParityOdd = 1017;
inline constexpr int kParityEven = 1018;
// The device each port number stands for, and the search for a meter.
inline constexpr int kDevice1 = 1101;
inline constexpr int kDevice2 = 1102;
inline constexpr int kFindMeter = 1103;
inline constexpr int kFindProgress = 1104;
inline constexpr int kStopFinding = 1105;
inline constexpr int kFindStatus = 1106;
// How long the line guard may wait for a late reply to end, in ms.
inline constexpr int kGuardLimit = 1107;
// A serial device server for a port number: its label, host, port and kind.
inline constexpr int kServerLabel1 = 1108;
inline constexpr int kServerHost1 = 1109;
inline constexpr int kServerPort1 = 1110;
inline constexpr int kServerKind1 = 1111;
inline constexpr int kServerLabel2 = 1112;
inline constexpr int kServerHost2 = 1113;
inline constexpr int kServerPort2 = 1114;
inline constexpr int kServerKind2 = 1115;
// The first server row's top; a row is this much below the one before.
inline constexpr int kFirstServerRowY = 190;
inline constexpr int kServerRowStep = 17;
}  // namespace comm_id

// Template 130. The radios form three sets: baud rate, port and parity.
// The address label starts at 5 units and is 50 wide, not 15 and 31, so that
// "Meter address" fits; the device labels below follow it.
// Below the radios, which device each port number stands for, and the search
// for a meter whose address and rate are not known; at the foot, for slow
// links such as a serial device server, how long the line guard may wait
// for a late reply. Below the foot, shown only for a port number whose
// device is a serial device server, its host, port and kind; the dialog grows
// by the rows shown.
inline constexpr std::array kCommSettingsControls = {
    ControlTemplate{kIdOk, ControlKind::DefaultPushButton, ZT_TEXT("zt6100", "确    定"), 130, 40, 50, 14},
    ControlTemplate{kIdCancel, ControlKind::PushButton, ZT_TEXT("zt6100", "退    出"), 130, 70, 50, 14},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "仪表地址"), 5, 6, 50, 10},
    ControlTemplate{comm_id::kAddress, ControlKind::Edit, "", 56, 5, 69, 12, kBorder | kDigitsOnly},
    ControlTemplate{comm_id::kBaud1200, ControlKind::RadioButton, "1200bps", 15, 25, 48, 15},
    ControlTemplate{comm_id::kBaud2400, ControlKind::RadioButton, "2400bps", 15, 39, 48, 15},
    ControlTemplate{comm_id::kBaud4800, ControlKind::RadioButton, "4800bps", 15, 53, 48, 15},
    ControlTemplate{comm_id::kBaud9600, ControlKind::RadioButton, "9600bps", 15, 67, 48, 15},
    ControlTemplate{comm_id::kBaud19200, ControlKind::RadioButton, "19200bps", 15, 81, 48, 15},
    ControlTemplate{comm_id::kCom1, ControlKind::RadioButton, "COM1", 78, 25, 42, 15},
    ControlTemplate{comm_id::kCom2, ControlKind::RadioButton, "COM2", 78, 39, 42, 15},
    ControlTemplate{comm_id::kParityNone, ControlKind::RadioButton, ZT_TEXT("zt6100", "无校验"), 78, 53, 42, 15},
    ControlTemplate{comm_id::kParityOdd, ControlKind::RadioButton, ZT_TEXT("zt6100", "奇校验"), 78, 67, 42, 15},
    ControlTemplate{comm_id::kParityEven, ControlKind::RadioButton, ZT_TEXT("zt6100", "偶校验"), 78, 81, 42, 15},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "COM1 设备"), 5, 103, 50, 10},
    ControlTemplate{comm_id::kDevice1, ControlKind::ComboBox, "", 56, 101, 124, 14},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "COM2 设备"), 5, 120, 50, 10},
    ControlTemplate{comm_id::kDevice2, ControlKind::ComboBox, "", 56, 118, 124, 14},
    ControlTemplate{comm_id::kFindMeter, ControlKind::PushButton, ZT_TEXT("zt6100", "搜索仪表"), 15, 137, 50, 14},
    ControlTemplate{comm_id::kFindProgress, ControlKind::ProgressBar, "", 70, 139, 55, 10},
    ControlTemplate{comm_id::kStopFinding, ControlKind::PushButton, ZT_TEXT("zt6100", "停止搜索"), 130, 137, 50, 14,
                    kDisabled},
    ControlTemplate{comm_id::kFindStatus, ControlKind::Label, "", 15, 155, 165, 10},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "迟到应答保护(毫秒)"), 5, 173, 90, 10},
    ControlTemplate{comm_id::kGuardLimit, ControlKind::Edit, "", 96, 171, 40, 12, kBorder | kDigitsOnly},
    ControlTemplate{comm_id::kServerLabel1, ControlKind::Label, ZT_TEXT("zt6100", "COM1 服务器"), 5, 192, 50, 10,
                    kHidden},
    ControlTemplate{comm_id::kServerHost1, ControlKind::Edit, "", 56, 190, 56, 12, kBorder | kHidden},
    ControlTemplate{comm_id::kServerPort1, ControlKind::Edit, "", 114, 190, 26, 12,
                    kBorder | kDigitsOnly | kHidden},
    ControlTemplate{comm_id::kServerKind1, ControlKind::ComboBox, "", 142, 189, 48, 14, kHidden},
    ControlTemplate{comm_id::kServerLabel2, ControlKind::Label, ZT_TEXT("zt6100", "COM2 服务器"), 5, 209, 50, 10,
                    kHidden},
    ControlTemplate{comm_id::kServerHost2, ControlKind::Edit, "", 56, 207, 56, 12, kBorder | kHidden},
    ControlTemplate{comm_id::kServerPort2, ControlKind::Edit, "", 114, 207, 26, 12,
                    kBorder | kDigitsOnly | kHidden},
    ControlTemplate{comm_id::kServerKind2, ControlKind::ComboBox, "", 142, 206, 48, 14, kHidden},
};

inline constexpr DialogTemplate kCommSettingsTemplate = {130, ZT_TEXT("zt6100", "通讯设置"), 10, 195, 188,
                                                         kCommSettingsControls};

}  // namespace zt::res
