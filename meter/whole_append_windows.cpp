#include "meter/whole_append.h"

#include <windows.h>

#include <limits>
#include <system_error>

namespace zt {

bool AppendWhole(const std::filesystem::path& file, std::string_view bytes) {
  if (bytes.size() > std::numeric_limits<DWORD>::max()) {
    return false;
  }
  // A directory or a file marked read-only cannot be opened for writing;
  // reserved device names (CON, COM1, ...) open, and are refused below.
  const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return false;
  }
  LARGE_INTEGER blockStart{};
  if (::GetFileType(handle) != FILE_TYPE_DISK ||
      !::SetFilePointerEx(handle, LARGE_INTEGER{}, &blockStart, FILE_END)) {
    ::CloseHandle(handle);
    return false;
  }

  DWORD written = 0;
  const auto size = static_cast<DWORD>(bytes.size());
  bool whole = ::WriteFile(handle, bytes.data(), size, &written, nullptr) && written == size &&
               ::FlushFileBuffers(handle);
  if (!whole) {
    ::SetFilePointerEx(handle, blockStart, nullptr, FILE_BEGIN);
    ::SetEndOfFile(handle);
  }
  if (!::CloseHandle(handle) && whole) {
    whole = false;
    std::error_code ignored;
    std::filesystem::resize_file(file, static_cast<std::uintmax_t>(blockStart.QuadPart), ignored);
  }
  return whole;
}

}  // namespace zt
