// The measurement log's append on the real file system: a block is whole or
// absent, and nothing but a writable regular file is ever written or waited on.
#include "meter/whole_append.h"

#include <QTemporaryDir>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "meter/measurement_log.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string Block() {
  zt::ThreePhaseQuantities quantities;
  quantities.CombinedCurrent = 12.3456;
  return zt::FormatMeasurementBlock(quantities, {}, zt::MeterClock{2006, 12, 15, 10, 30, 45});
}

class WholeAppendTest : public ::testing::Test {
 protected:
  fs::path Table() const { return dir_.filePath("Table.txt").toStdString(); }

  QTemporaryDir dir_;
};

// A FIFO named like the log would hold the writer until a reader came, and
// feed the block to whoever reads it; a device is never opened at all.
TEST_F(WholeAppendTest, AFifoOrADeviceIsRefusedWithoutWaiting) {
  ASSERT_EQ(::mkfifo(Table().c_str(), 0666), 0);
  EXPECT_FALSE(zt::AppendWhole(Table(), "block\r\n"));

  const int reader = ::open(Table().c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_FALSE(zt::AppendWhole(Table(), "block\r\n"));
  char byte = 0;
  EXPECT_LE(::read(reader, &byte, 1), 0) << "the block went into the FIFO";
  ::close(reader);

  fs::remove(Table());
  fs::create_symlink("/dev/null", Table());
  EXPECT_FALSE(zt::AppendWhole(Table(), "block\r\n"));
}

// What the child of FullDiskRun reports through its pipe.
constexpr int kMountRefused = 77;

// Fills a small tmpfs to one free page's worth of log, appends until the disk
// is full, frees space and appends once more. Runs in a child with a mount
// namespace of its own, so the mount ends with the child whatever happens.
// Writes one 'Y' or 'N' per append to `out`, then the log's content.
[[noreturn]] void FullDiskChild(const fs::path& mountPoint, const std::string& block,
                                int attempts, int out) {
  const long page = ::sysconf(_SC_PAGESIZE);
  const std::string size = "size=" + std::to_string(2 * page);
  if (::unshare(CLONE_NEWNS) != 0 ||
      ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, size.c_str()) != 0) {
    ::_exit(kMountRefused);
  }
  const fs::path filler = mountPoint / "filler";
  std::ofstream(filler, std::ios::binary) << std::string(static_cast<std::size_t>(page), 'x');
  const fs::path table = mountPoint / "Table.txt";
  std::string report;
  for (int i = 0; i < attempts; ++i) {
    report += zt::AppendWhole(table, block) ? 'Y' : 'N';
  }
  fs::remove(filler);
  report += zt::AppendWhole(table, block) ? 'Y' : 'N';
  report += ReadFile(table);
  for (std::size_t sent = 0; sent < report.size();) {
    const ssize_t n = ::write(out, report.data() + sent, report.size() - sent);
    if (n <= 0) {
      ::_exit(1);
    }
    sent += static_cast<std::size_t>(n);
  }
  ::_exit(0);
}

TEST_F(WholeAppendTest, OnAFullDiskABlockIsWholeOrAbsentAndLoggingGoesOn) {
  const std::string block = Block();
  const auto fitting = static_cast<int>(static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) /
                                        block.size());
  const int attempts = fitting + 2;
  const fs::path mountPoint = dir_.filePath("disk").toStdString();
  fs::create_directory(mountPoint);

  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipeFds[0]);
    FullDiskChild(mountPoint, block, attempts, pipeFds[1]);
  }
  ::close(pipeFds[1]);
  std::string report;
  char chunk[4096];
  for (ssize_t n; (n = ::read(pipeFds[0], chunk, sizeof chunk)) != 0;) {
    if (n > 0) {
      report.append(chunk, static_cast<std::size_t>(n));
    } else if (errno != EINTR) {
      break;
    }
  }
  ::close(pipeFds[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kMountRefused) {
    GTEST_SKIP() << "mounting a tmpfs in a mount namespace of its own is not permitted here";
  }
  ASSERT_EQ(WEXITSTATUS(status), 0);

  // The block that no longer fitted was written in part and cut back; the
  // next one is refused whole; once space is back, a whole block follows the
  // last whole one.
  const std::string expectedAppends =
      std::string(static_cast<std::size_t>(fitting), 'Y') + "NNY";
  ASSERT_GE(report.size(), expectedAppends.size());
  EXPECT_EQ(report.substr(0, expectedAppends.size()), expectedAppends);
  std::string expectedLog;
  for (int i = 0; i <= fitting; ++i) {
    expectedLog += block;
  }
  EXPECT_EQ(report.substr(expectedAppends.size()), expectedLog);
}

}  // namespace
