// A save to a full disk: the earlier file stays as it was and the reason is
// the system's. The disk is a small tmpfs mounted in a private mount
// namespace of a child process, so nothing of the machine's is touched.
#include "report/whole_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace zt {
namespace {

enum ChildVerdict : int { kKept = 0, kNoNamespace = 77, kReplaced = 1, kNoReason = 2, kSetUp = 3 };

bool WriteText(const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

// Maps the caller to root in a new user namespace, for a caller who is not.
bool BecomeRootOfOwnNamespace() {
  const uid_t uid = getuid();
  const gid_t gid = getgid();
  if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
    return false;
  }
  return WriteText("/proc/self/setgroups", "deny") &&
         WriteText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
         WriteText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
}

// In the child: mount a full tmpfs at `dir`, then save over its file.
int SaveOnAFullDisk(const std::string& dir) {
  if (unshare(CLONE_NEWNS) != 0 && !BecomeRootOfOwnNamespace()) {
    return kNoNamespace;
  }
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0) {
    return kNoNamespace;
  }
  const std::string earlier = dir + "/frames.txt";
  if (!WriteText(earlier, "earlier\n")) {
    return kSetUp;
  }
  // Fill the rest of the disk.
  FILE* filler = std::fopen((dir + "/filler").c_str(), "w");
  const std::string block(1024, 'x');
  while (filler != nullptr && std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
         std::fflush(filler) == 0) {
  }
  if (filler != nullptr) {
    std::fclose(filler);
  }
  QString reason;
  // Small enough to sit in the file's buffer until commit.
  const bool saved = WriteWholeFile(QString::fromStdString(earlier), QByteArray(4000, 'n'), reason);
  QFile file(QString::fromStdString(earlier));
  if (saved || !file.open(QIODevice::ReadOnly) || file.readAll() != "earlier\n") {
    return kReplaced;
  }
  return reason.contains(QStringLiteral("No space left on device")) ? kKept : kNoReason;
}

TEST(WholeFile, ASaveToAFullDiskLeavesTheEarlierFileAndSaysWhy) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    _exit(SaveOnAFullDisk(dir.path().toStdString()));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kNoNamespace) {
    GTEST_SKIP() << "no private mount namespace for a small tmpfs here (neither root nor "
                    "unprivileged user namespaces)";
  }
  EXPECT_NE(WEXITSTATUS(status), kReplaced) << "the earlier file was replaced";
  EXPECT_NE(WEXITSTATUS(status), kNoReason) << "the reason was not the system's";
  EXPECT_EQ(WEXITSTATUS(status), kKept);
}

TEST(WholeFile, WritesTheBytesOverAnEarlierFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("trend.csv"));
  QString reason;
  ASSERT_TRUE(WriteWholeFile(path, "first", reason));
  ASSERT_TRUE(WriteWholeFile(path, "second", reason));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "second");
  EXPECT_FALSE(WriteWholeFile(dir.filePath(QStringLiteral("missing/trend.csv")), "x", reason));
  EXPECT_FALSE(reason.isEmpty());
}

}  // namespace
}  // namespace zt
