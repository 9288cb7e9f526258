#pragma once

#include <array>

#include "res/dialog_template.h"
#include "res/translatable.h"

namespace zt::res {

// Template 134, without a caption text. The contact lines are placeholders
// that reach nobody.
inline constexpr std::array kAboutControls = {
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "ZT6200智能电力监测仪演示软件       V2.0  "), 16, 4, 149, 12},
    ControlTemplate{kNoId, ControlKind::Label, "www.korvessa.example", 17, 35, 81, 11},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "技术支持热线：000-0000000 000-0000001"), 17, 50, 147, 11},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "传真：000-0000002"), 49, 65, 75, 11},
    ControlTemplate{kNoId, ControlKind::Label, "E-mail: support@korvessa.example", 18, 77, 124, 11},
    ControlTemplate{kIdOk, ControlKind::DefaultPushButton, ZT_TEXT("zt6100", "确认"), 69, 95, 36, 14},
};

inline constexpr DialogTemplate kAboutTemplate = {134, "", 10, 184, 120, kAboutControls};

}  // namespace zt::res
