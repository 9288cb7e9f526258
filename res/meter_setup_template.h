#pragma once

#include <array>

#include "res/dialog_template.h"
#include "res/translatable.h"

namespace zt::res {

namespace setup_id {
inline constexpr int kPt = 1000;
inline constexpr int kCt = 1001;
// The radio of wiring mode m is kFirstWiringRadio + m.
inline constexpr int kFirstWiringRadio = 1009;
inline constexpr int kLastWiringRadio = 1014;
}  // namespace setup_id

// Template 131. "ＰＴ" and "ＣＴ" are written in full-width letters. The
// dialog is 200 units wide instead of 184 and its radio columns 74 and 72
// instead of 65 and 55, the buttons moved right by as much, so that the
// wiring modes fit in English ("3P4W unbalanced") as in the CJK fonts of
// every platform. "设置" is not the default button: Enter in a box moves on
// to the next one instead of writing to the meter.
inline constexpr std::array kMeterSetupControls = {
    ControlTemplate{kIdOk, ControlKind::PushButton, ZT_TEXT("zt6100", "设置"), 156, 30, 30, 14},
    ControlTemplate{kIdCancel, ControlKind::PushButton, ZT_TEXT("zt6100", "退出"), 156, 65, 30, 14},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "ＰＴ"), 10, 8, 20, 10},
    ControlTemplate{setup_id::kPt, ControlKind::Edit, "", 45, 5, 80, 12, kBorder},
    ControlTemplate{kNoId, ControlKind::Label, ZT_TEXT("zt6100", "ＣＴ"), 10, 22, 20, 10},
    ControlTemplate{setup_id::kCt, ControlKind::Edit, "", 45, 20, 80, 12, kBorder},
    ControlTemplate{setup_id::kFirstWiringRadio, ControlKind::RadioButton, ZT_TEXT("zt6100", "3相4线(非平衡)"), 5, 44, 74, 10},
    ControlTemplate{setup_id::kFirstWiringRadio + 1, ControlKind::RadioButton, ZT_TEXT("zt6100", "单相2线"), 5, 62, 74, 10},
    ControlTemplate{setup_id::kFirstWiringRadio + 2, ControlKind::RadioButton, ZT_TEXT("zt6100", "3相3线(非平衡)"), 5, 80, 74, 10},
    ControlTemplate{setup_id::kFirstWiringRadio + 3, ControlKind::RadioButton, ZT_TEXT("zt6100", "3相3线(平衡)"), 81, 45, 72, 10},
    ControlTemplate{setup_id::kFirstWiringRadio + 4, ControlKind::RadioButton, ZT_TEXT("zt6100", "单相3线"), 81, 63, 72, 10},
    ControlTemplate{setup_id::kLastWiringRadio, ControlKind::RadioButton, ZT_TEXT("zt6100", "3相4线(平衡)"), 81, 81, 72, 10},
};

// The template's own caption was a placeholder ("Dialog"); the window takes
// the caption of the command that opens it.
inline constexpr DialogTemplate kMeterSetupTemplate = {131, ZT_TEXT("zt6100", "仪表设置"), 10, 200, 98,
                                                       kMeterSetupControls};

}  // namespace zt::res
