#pragma once

// Window texts are kept as data in Chinese, their source language, and shown
// through Qt's translation system. ZT_TEXT marks one for lupdate, which the
// build runs with ZT_TEXT as an alias of QT_TRANSLATE_NOOP; ZT_TEXT3, an
// alias of QT_TRANSLATE_NOOP3, adds a disambiguation where one Chinese text
// stands for two meanings. The value is the Chinese text itself, so this
// layer needs no Qt. Every text uses the one context below, in which the
// console looks each text up.
#define ZT_TEXT(context, text) text
#define ZT_TEXT3(context, text, disambiguation) text

namespace zt::res {

inline constexpr const char* kTextContext = "zt6100";
// The disambiguation of the relay and switch states: "分" (open) also names
// the minutes of an interval.
inline constexpr const char* kSwitchStateMeaning = "switch state";

}  // namespace zt::res
