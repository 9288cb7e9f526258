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
inline constexpr int kBaud19200 = 1015;
inline constexpr int kParityNone = 1016;
inline constexpr int kParityEven = 1018;
}  // namespace comm_id

// Template 130. The radios form three sets: baud rate, port and parity.
// The address label starts at 5 units and is 50 wide, not 15 and 31, so that
// "Meter address" fits.
inline constexpr std::array kCommSettingsControls = {
    ControlTemplate{kIdOk, ControlKind::DefaultPushButton, ZT_TEXT("zt6100", "确    定"), 130, 40, 50, 14},
    ControlTemplate{kIdCancel, ControlKind::PushButton, ZT_TEXT("zt6100", "退    出"), 130, 70, 50, 14},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "仪表地址"), 5, 6, 50, 10},
    ControlTemplate{comm_id::kAddress, ControlKind::Edit, "", 56, 5, 69, 12, kBorder | kDigitsOnly},
    ControlTemplate{1011, ControlKind::RadioButton, "1200bps", 15, 25, 48, 15},
    ControlTemplate{1012, ControlKind::RadioButton, "2400bps", 15, 39, 48, 15},
    ControlTemplate{1013, ControlKind::RadioButton, "4800bps", 15, 53, 48, 15},
    ControlTemplate{1014, ControlKind::RadioButton, "9600bps", 15, 67, 48, 15},
    ControlTemplate{1015, ControlKind::RadioButton, "19200bps", 15, 81, 48, 15},
    ControlTemplate{1009, ControlKind::RadioButton, "COM1", 78, 25, 42, 15},
    ControlTemplate{1010, ControlKind::RadioButton, "COM2", 78, 39, 42, 15},
    ControlTemplate{1016, ControlKind::RadioButton, ZT_TEXT("zt6100", "无校验"), 78, 53, 42, 15},
    ControlTemplate{1017, ControlKind::RadioButton, ZT_TEXT("zt6100", "奇校验"), 78, 67, 42, 15},
    ControlTemplate{1018, ControlKind::RadioButton, ZT_TEXT("zt6100", "偶校验"), 78, 81, 42, 15},
};

inline constexpr DialogTemplate kCommSettingsTemplate = {130, ZT_TEXT("zt6100", "通讯设置"), 10, 195, 101,
                                                         kCommSettingsControls};

}  // namespace zt::res
