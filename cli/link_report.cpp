#include "cli/link_report.h"

namespace zt::cli {

FrameObserver TraceTo(std::ostream& out, std::chrono::microseconds origin) {
  return [&out, origin](const FrameRecord& record) {
    out << FormatFrameRecord(record, origin) << '\n' << std::flush;
  };
}

std::string FormatLinkNotes(const std::optional<bool>& lineEchoes, LocalEcho mode,
                            const LinkCounters& counters) {
  std::string notes;
  if (mode == LocalEcho::Auto && lineEchoes.value_or(false)) {
    notes += "local echo detected: the adapter echoes every request; " +
             std::to_string(counters.echoesSkipped) + " copies skipped\n";
  } else if (mode == LocalEcho::On) {
    notes += "local echo on: " + std::to_string(counters.echoesSkipped) + " copies skipped\n";
  }
  if (counters.lateReplies > 0) {
    notes += std::to_string(counters.lateReplies) + " late replies (" +
             std::to_string(counters.lateBytes) + " bytes) discarded before the next request\n";
  }
  return notes;
}

std::string FormatOpenFailure(const OpenResult& opened) {
  std::string text = "zt6100ctl: cannot open " + opened.device + ": " + opened.reason;
  if (opened.permissionDenied) {
    text += "\nzt6100ctl: you may not use " + opened.device + ": ";
    text += opened.deviceGroup.empty()
                ? "ask for read and write permission on it"
                : "add your user to the group '" + opened.deviceGroup +
                      "' that owns it (sudo usermod -aG " + opened.deviceGroup +
                      " $USER), then log out and in again";
  }
  return text;
}

}  // namespace zt::cli
