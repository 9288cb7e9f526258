#pragma once

#include <QString>

namespace zt {

// A window text of res/ (marked with ZT_TEXT) as the window shows it: its
// translation into the language the program installed, or else the Chinese
// source text itself. `disambiguation` is the one its ZT_TEXT3 mark gives.
QString Tr(const char* source, const char* disambiguation = nullptr);

}  // namespace zt
