#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zt::test {

// A program run as a child with its standard output and error on pipes.
// Every wait is bounded by a guard so that a broken child fails the test
// instead of hanging it; the guards are generous and never asserted on.
class ChildProcess {
 public:
  static constexpr std::chrono::milliseconds kGuard{20000};

  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  // Stops the child if it still runs.
  ~ChildProcess();

  // Runs `program` in `workingDirectory` (the test's own if empty). On
  // failure, Error() says why.
  bool Start(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& workingDirectory = {});

  // The next line of standard output, without its newline.
  std::optional<std::string> ReadLine(std::chrono::milliseconds guard = kGuard);
  // Reads standard output, or error, up to and including the first line
  // containing `text`; that line, or nothing if the child ended or the guard
  // ran out.
  std::optional<std::string> WaitForOutputLine(std::string_view text,
                                               std::chrono::milliseconds guard = kGuard);
  std::optional<std::string> WaitForErrorLine(std::string_view text,
                                              std::chrono::milliseconds guard = kGuard);
  // Waits for the end of both outputs and of the child: its exit code, or
  // nothing if it was killed by a signal or outlived the guard.
  std::optional<int> Finish(std::chrono::milliseconds guard = kGuard);
  // SIGTERM, then Finish.
  std::optional<int> Stop();
  // Sends `signal` to this child only.
  void Signal(int signal) const;

  bool Running() const { return pid_ > 0; }
  const std::string& Output() const { return output_; }
  const std::string& Errors() const { return errors_; }
  const std::string& Error() const { return error_; }

 private:
  // Reads whatever either pipe holds within `guard`; false when nothing more
  // will come.
  bool Pump(std::chrono::milliseconds guard);
  // The next line of `buffer` from `consumed` on containing `containing`,
  // reading the pipe `fd` as long as it takes.
  std::optional<std::string> WaitForLine(std::string& buffer, std::size_t& consumed, const int& fd,
                                         std::string_view containing,
                                         std::chrono::milliseconds guard);
  std::optional<std::string> TakeLine(std::string& buffer, std::size_t& consumed,
                                      std::string_view containing);

  pid_t pid_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  std::string output_;
  std::string errors_;
  std::size_t outputTaken_ = 0;
  std::size_t errorsTaken_ = 0;
  std::string error_;
};

}  // namespace zt::test
