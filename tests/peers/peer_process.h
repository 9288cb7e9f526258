#pragma once

#include <QProcess>
#include <QStringList>

#include <string>

namespace zt::test {

// A peer program run as a child process that prints the device path its
// client should open as its first stdout line and serves until SIGTERM.
class PeerProcess {
 public:
  PeerProcess() = default;
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;
  // Stops the child if it still runs.
  ~PeerProcess();

  // Starts `program` and waits for its first line. On failure, Error() says why.
  bool Start(const QString& program, const QStringList& arguments);

  // SIGTERM, then the exit: true when the child ended by itself with status 0.
  bool Stop();

  const std::string& DevicePath() const { return devicePath_; }
  const std::string& Error() const { return error_; }

 private:
  QProcess process_;
  std::string devicePath_;
  std::string error_;
};

}  // namespace zt::test
