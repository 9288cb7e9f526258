#pragma once

#include <array>

#include "res/dialog_template.h"
#include "res/translatable.h"

namespace zt::res {

namespace interval_id {
inline constexpr int kHours = 1000;
inline constexpr int kMinutes = 1001;
inline constexpr int kSeconds = 1002;
}  // namespace interval_id

// Template 146, without a caption text. The minutes label is 14 units wide, not 10, so
// that "min" fits.
inline constexpr std::array kSaveIntervalControls = {
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "请输入存储时间间隔："), 26, 7, 80, 9},
    ControlTemplate{interval_id::kHours, ControlKind::Edit, "", 19, 29, 30, 12, kBorder},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "时"), 52, 32, 10, 9},
    ControlTemplate{interval_id::kMinutes, ControlKind::Edit, "", 65, 29, 30, 12, kBorder},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "分"), 96, 32, 14, 9},
    ControlTemplate{interval_id::kSeconds, ControlKind::Edit, "", 111, 29, 30, 12, kBorder},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "秒"), 142, 32, 10, 9},
    ControlTemplate{kIdOk, ControlKind::DefaultPushButton, ZT_TEXT("zt6100", "确定"), 44, 55, 32, 14},
    ControlTemplate{kIdCancel, ControlKind::PushButton, ZT_TEXT("zt6100", "取消"), 92, 55, 32, 14},
};

inline constexpr DialogTemplate kSaveIntervalTemplate = {146, "", 10, 171, 82,
                                                         kSaveIntervalControls};

}  // namespace zt::res
