#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace zt {

// Why an append did not reach the file.
struct AppendFailure {
  enum class Kind {
    kNone,
    kNotRegularFile,  // a directory, a FIFO, a device
    kReadOnly,        // marked read-only
    kSystem,          // the system refused or failed: `error` says why
  };
  Kind kind = Kind::kNone;
  std::error_code error;
};

// Appends `bytes` to `file` as one whole piece or not at all, creating the
// file when it is missing. Only a regular file the user may write is touched:
// a directory, a FIFO, a device or a file marked read-only is refused without
// opening it for writing (and a FIFO without blocking). When the write falls
// short, or the data cannot be flushed to the disk or the file closed, the
// file is cut back to its length before the append, so a full disk never
// leaves a partial block for the next one to be glued onto. False when the
// file was refused or the append undone, and then `why`, when given, says why.
bool AppendWhole(const std::filesystem::path& file, std::string_view bytes,
                 AppendFailure* why = nullptr);

}  // namespace zt
