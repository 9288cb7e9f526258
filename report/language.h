#pragma once

namespace zt::report {

// The languages the console speaks: Chinese, the language its texts are
// written in, and English, the one a translation ships for. The window and the
// commissioning report take the same one.
enum class Language { kChinese, kEnglish };

}  // namespace zt::report
