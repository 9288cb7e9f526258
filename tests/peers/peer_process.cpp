#include "peer_process.h"

namespace zt::test {

namespace {

// Generous: a sanitizer build on a busy two-core machine starts slowly.
constexpr int kStartTimeoutMs = 10000;
constexpr int kStopTimeoutMs = 10000;

}  // namespace

PeerProcess::~PeerProcess() {
  if (process_.state() != QProcess::NotRunning) {
    Stop();
  }
}

bool PeerProcess::Start(const QString& program, const QStringList& arguments) {
  // The peer's diagnostics go to the test's own stderr, where ctest keeps them.
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.start(program, arguments);
  if (!process_.waitForStarted(kStartTimeoutMs)) {
    error_ = "cannot start " + program.toStdString() + ": " +
             process_.errorString().toStdString();
    return false;
  }
  while (!process_.canReadLine()) {
    if (!process_.waitForReadyRead(kStartTimeoutMs)) {
      error_ = program.toStdString() + " printed no device path: " +
               process_.errorString().toStdString();
      return false;
    }
  }
  devicePath_ = process_.readLine().trimmed().toStdString();
  if (devicePath_.empty()) {
    error_ = program.toStdString() + " printed an empty first line";
    return false;
  }
  return true;
}

bool PeerProcess::Stop() {
  if (process_.state() == QProcess::NotRunning) {
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
  }
  process_.terminate();
  if (!process_.waitForFinished(kStopTimeoutMs)) {
    // Only this child, by the id QProcess holds for it.
    process_.kill();
    process_.waitForFinished(kStopTimeoutMs);
    return false;
  }
  return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

}  // namespace zt::test
