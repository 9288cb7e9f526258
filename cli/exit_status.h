#pragma once

namespace zt::cli {

// What zt6100ctl tells the shell; scripts commissioning a batch of meters
// branch on these.
enum ExitStatus : int {
  kDone = 0,           // done, and every write confirmed by the meter
  kNoValidReply = 1,   // a read found no valid reply, or a write was not confirmed
  kUsageError = 2,     // refused before anything was sent
  kPortNotOpened = 3,  // the device could not be opened
  kLogNotWritten = 4,  // Table.txt could not be appended to
  kReportNotWritten = 5,  // the commissioning report could not be written
  kOutputNotWritten = 6,  // standard output could not be written
  // Ctrl-C or SIGTERM ended a one-shot command between two exchanges, before
  // it was done; its output says what was sent and what was not.
  kStopped = 130,
};

}  // namespace zt::cli
