#pragma once

#include <cstdint>
#include <span>

namespace zt::res {

enum class ControlKind : uint8_t {
  PushButton,
  DefaultPushButton,
  Edit,
  Label,
  GroupBox,
  RadioButton,
  StateBox,  // a box whose content is one painted state character
  ComboBox,  // a drop-down list to choose from, nothing typed
  ProgressBar,
};

// Style flags of one control.
enum ControlStyle : uint32_t {
  kStyleNone = 0,
  kHidden = 1U << 0,
  kReadOnly = 1U << 1,
  kBorder = 1U << 2,
  kDisabled = 1U << 3,
  kMultiLine = 1U << 4,
  kCentered = 1U << 5,
  kDigitsOnly = 1U << 6,
};

inline constexpr int kNoId = -1;
// The standard buttons: a dialog's OK ends it accepted, its cancel rejected.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// One control of a dialog template; the rectangle is in dialog units.
struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* text;  // UTF-8
  int x;
  int y;
  int width;
  int height;
  uint32_t style = kStyleNone;
};

struct DialogTemplate {
  int id;
  const char* caption;  // UTF-8
  int pointSize;
  int width;  // dialog units
  int height;
  std::span<const ControlTemplate> controls;
};

// A menu item and the control id of the command it runs; the item follows
// that command's button when it is enabled or disabled.
struct MenuItem {
  int id;
  const char* text;  // UTF-8; '&' marks the mnemonic
  int command;
};

}  // namespace zt::res
