#include "meter/whole_append.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zt {

namespace {

// A file without any write permission is left alone even by a user whom the
// system would let write it anyway (root).
AppendFailure::Kind Refusal(const struct stat& status) {
  if (!S_ISREG(status.st_mode)) {
    return AppendFailure::Kind::kNotRegularFile;
  }
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    return AppendFailure::Kind::kReadOnly;
  }
  return AppendFailure::Kind::kNone;
}

bool Fail(AppendFailure* why, AppendFailure::Kind kind, int error = 0) {
  if (why != nullptr) {
    why->kind = kind;
    why->error = std::error_code(error, std::generic_category());
  }
  return false;
}

}  // namespace

bool AppendWhole(const std::filesystem::path& file, std::string_view bytes, AppendFailure* why) {
  // Looked at before opening, so that no device is ever opened; and again on
  // the open descriptor, since the name may have changed in between.
  struct stat status {};
  if (::stat(file.c_str(), &status) == 0) {
    if (const AppendFailure::Kind refused = Refusal(status); refused != AppendFailure::Kind::kNone) {
      return Fail(why, refused);
    }
  }
  // O_NONBLOCK: a FIFO without a reader fails at once instead of waiting for
  // one; on a regular file it changes nothing.
  const int fd = ::open(file.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    return Fail(why, AppendFailure::Kind::kSystem, errno);
  }
  if (::fstat(fd, &status) != 0) {
    const int error = errno;
    ::close(fd);
    return Fail(why, AppendFailure::Kind::kSystem, error);
  }
  if (const AppendFailure::Kind refused = Refusal(status); refused != AppendFailure::Kind::kNone) {
    ::close(fd);
    return Fail(why, refused);
  }

  // One write, so that the block lands in one piece at the end of the file
  // even when another program appends to it too.
  ssize_t written = -1;
  do {
    written = ::write(fd, bytes.data(), bytes.size());
  } while (written < 0 && errno == EINTR);
  // A write that falls short without an error has met a full disk.
  int error = written < 0 ? errno : ENOSPC;
  bool whole = written == static_cast<ssize_t>(bytes.size());
  if (whole && ::fsync(fd) != 0) {
    whole = false;
    error = errno;
  }

  // With O_APPEND the offset is the end of what this write put there.
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  const off_t blockStart = written > 0 && end >= written ? end - written : -1;
  if (!whole && blockStart >= 0) {
    static_cast<void>(::ftruncate(fd, blockStart));
  }
  if (::close(fd) != 0 && whole) {
    whole = false;
    error = errno;
    if (blockStart >= 0) {
      static_cast<void>(::truncate(file.c_str(), blockStart));
    }
  }
  return whole || Fail(why, AppendFailure::Kind::kSystem, error);
}

}  // namespace zt
