#pragma once

#include <QString>

#include <string>

#include "meter/value_ranges.h"

namespace zt {

// A window text of res/ (marked with ZT_TEXT) as the window shows it: its
// translation into the language the program installed, or else the Chinese
// source text itself. `disambiguation` is the one its ZT_TEXT3 mark gives.
QString Tr(const char* source, const char* disambiguation = nullptr);
// The same as UTF-8, for the meter layer's reports.
std::string TranslatedText(const char* source);

// The window's prompt for a value out of `range`.
QString RangePrompt(const ValueRange& range);

}  // namespace zt
