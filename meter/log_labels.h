#pragma once

#include <array>
#include <string_view>

namespace zt {

// The fixed Chinese texts of the measurement log next to their code page 936
// (GBK) bytes. The log is written without a run-time codec: Qt built without
// ICU, as it is on Windows, has no GBK encoder, and the labels would be lost.
// A test compares every entry with an independent encoder.
struct LogLabel {
  std::string_view utf8;
  std::string_view gbk;
};

inline constexpr std::array kLogLabels = std::to_array<LogLabel>({
    {"合相", "\xBA\xCF\xCF\xE0"},
    {"A相/CA线", "A\xCF\xE0/CA\xCF\xDF"},
    {"B相/AB线", "B\xCF\xE0/AB\xCF\xDF"},
    {"C相/BC线", "C\xCF\xE0/BC\xCF\xDF"},
    {"相 电 压:", "\xCF\xE0 \xB5\xE7 \xD1\xB9:"},
    {"线 电 压:", "\xCF\xDF \xB5\xE7 \xD1\xB9:"},
    {"相 电 流:", "\xCF\xE0 \xB5\xE7 \xC1\xF7:"},
    {"有功功率:", "\xD3\xD0\xB9\xA6\xB9\xA6\xC2\xCA:"},
    {"无功功率:", "\xCE\xDE\xB9\xA6\xB9\xA6\xC2\xCA:"},
    {"视在功率:", "\xCA\xD3\xD4\xDA\xB9\xA6\xC2\xCA:"},
    {"功率因数:", "\xB9\xA6\xC2\xCA\xD2\xF2\xCA\xFD:"},
    {"频    率:", "\xC6\xB5    \xC2\xCA:"},
    {"零序电流:", "\xC1\xE3\xD0\xF2\xB5\xE7\xC1\xF7:"},
    {"正向有功电能", "\xD5\xFD\xCF\xF2\xD3\xD0\xB9\xA6\xB5\xE7\xC4\xDC"},
    {"负相有功电能", "\xB8\xBA\xCF\xE0\xD3\xD0\xB9\xA6\xB5\xE7\xC4\xDC"},
    {"正向无功电能", "\xD5\xFD\xCF\xF2\xCE\xDE\xB9\xA6\xB5\xE7\xC4\xDC"},
    {"负相无功电能", "\xB8\xBA\xCF\xE0\xCE\xDE\xB9\xA6\xB5\xE7\xC4\xDC"},
});

// The GBK bytes of a label, found while compiling: a text missing from the
// table does not build.
consteval std::string_view Gbk(std::string_view utf8) {
  for (const LogLabel& label : kLogLabels) {
    if (label.utf8 == utf8) {
      return label.gbk;
    }
  }
  throw "not a label of the measurement log";
}

}  // namespace zt
