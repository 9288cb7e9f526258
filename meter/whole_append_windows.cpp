#include "meter/whole_append.h"

#include <windows.h>

#include <limits>
#include <system_error>

namespace zt {

namespace {

bool Fail(AppendFailure* why, AppendFailure::Kind kind, DWORD error = ERROR_SUCCESS) {
  if (why != nullptr) {
    why->kind = kind;
    why->error = std::error_code(static_cast<int>(error), std::system_category());
  }
  return false;
}

}  // namespace

bool AppendWhole(const std::filesystem::path& file, std::string_view bytes, AppendFailure* why) {
  if (bytes.size() > std::numeric_limits<DWORD>::max()) {
    return Fail(why, AppendFailure::Kind::kSystem, ERROR_BUFFER_OVERFLOW);
  }
  // A directory or a file marked read-only cannot be opened for writing;
  // reserved device names (CON, COM1, ...) open, and are refused below.
  const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return Fail(why, AppendFailure::Kind::kSystem, ::GetLastError());
  }
  LARGE_INTEGER blockStart{};
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    ::CloseHandle(handle);
    return Fail(why, AppendFailure::Kind::kNotRegularFile);
  }
  if (!::SetFilePointerEx(handle, LARGE_INTEGER{}, &blockStart, FILE_END)) {
    const DWORD error = ::GetLastError();
    ::CloseHandle(handle);
    return Fail(why, AppendFailure::Kind::kSystem, error);
  }

  DWORD written = 0;
  const auto size = static_cast<DWORD>(bytes.size());
  bool whole = ::WriteFile(handle, bytes.data(), size, &written, nullptr) && written == size &&
               ::FlushFileBuffers(handle);
  // A write that falls short without an error has met a full disk.
  DWORD error = whole ? ERROR_SUCCESS : ::GetLastError();
  if (!whole && error == ERROR_SUCCESS) {
    error = ERROR_DISK_FULL;
  }
  if (!whole) {
    ::SetFilePointerEx(handle, blockStart, nullptr, FILE_BEGIN);
    ::SetEndOfFile(handle);
  }
  if (!::CloseHandle(handle) && whole) {
    whole = false;
    error = ::GetLastError();
    std::error_code ignored;
    std::filesystem::resize_file(file, static_cast<std::uintmax_t>(blockStart.QuadPart), ignored);
  }
  return whole || Fail(why, AppendFailure::Kind::kSystem, error);
}

}  // namespace zt
