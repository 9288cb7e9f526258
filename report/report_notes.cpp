#include "report/report_notes.h"

#include <array>
#include <regex>

#include "report/report_texts.h"

namespace zt::report {

namespace {

// The notes that carry figures, by their English form, and their Chinese
// with the same figures in the same places.
struct NotePattern {
  const char* english;
  const char* chinese;
};

constexpr std::array<NotePattern, 6> kPatterns = {{
    {R"(([+-]?\d+) s, tolerance (\d+) s)", "偏差 $1 秒, 允许 $2 秒"},
    {R"(the meter confirmed address (\d+) but did not answer a read there \(it was at (\d+)\))",
     "仪表确认了地址 $1, 但在该地址未应答读取 (原地址 $2)"},
    {R"(the meter did not confirm the new rate; the link stays at (\d+) bit/s)",
     "仪表未确认新波特率, 链路仍为 $1 bit/s"},
    {R"(the meter took (\d+) bit/s but the port cannot be reopened here)",
     "仪表已接受 $1 bit/s, 但此处不能重新打开端口"},
    {R"(the meter took (\d+) bit/s but (.+) did not open again: (.*))",
     "仪表已接受 $1 bit/s, 但 $2 未能重新打开: $3"},
    {R"(the meter confirmed (\d+) bit/s but did not answer a read at that rate)",
     "仪表确认了 $1 bit/s, 但在该波特率下未应答读取"},
}};

}  // namespace

std::string NoteText(std::string_view note, Language language) {
  if (language == Language::kChinese) {
    const std::string text(note);
    for (const NotePattern& pattern : kPatterns) {
      const std::regex english(pattern.english);
      if (std::regex_match(text, english)) {
        return std::regex_replace(text, english, pattern.chinese);
      }
    }
  }
  return std::string(Say(note, language));
}

}  // namespace zt::report
