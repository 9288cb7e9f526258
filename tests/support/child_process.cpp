#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace zt::test {

namespace {

using Clock = std::chrono::steady_clock;

void CloseFd(int& fd) {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

}  // namespace

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    Stop();
  }
  CloseFd(outFd_);
  CloseFd(errFd_);
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingDirectory) {
  std::array<int, 2> out{};
  std::array<int, 2> err{};
  if (::pipe2(out.data(), O_CLOEXEC) != 0 || ::pipe2(err.data(), O_CLOEXEC) != 0) {
    error_ = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  if (!workingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  }

  std::vector<std::string> argvStrings{program};
  argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : argvStrings) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);

  const int spawned =
      ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  outFd_ = out[0];
  errFd_ = err[0];
  if (spawned != 0) {
    pid_ = -1;
    error_ = program + ": " + std::strerror(spawned);
    return false;
  }
  return true;
}

bool ChildProcess::Pump(std::chrono::milliseconds guard) {
  std::array<pollfd, 2> fds{pollfd{outFd_, POLLIN, 0}, pollfd{errFd_, POLLIN, 0}};
  if (outFd_ < 0 && errFd_ < 0) {
    return false;
  }
  const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(guard.count()));
  if (ready <= 0) {
    return ready < 0 && errno == EINTR;
  }
  std::array<char, 4096> chunk{};
  for (std::size_t i = 0; i < fds.size(); ++i) {
    if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
      continue;
    }
    int& fd = i == 0 ? outFd_ : errFd_;
    const ssize_t got = ::read(fd, chunk.data(), chunk.size());
    if (got > 0) {
      (i == 0 ? output_ : errors_).append(chunk.data(), static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      CloseFd(fd);
    }
  }
  return true;
}

std::optional<std::string> ChildProcess::TakeLine(std::string& buffer, std::size_t& consumed,
                                                  std::string_view containing) {
  for (;;) {
    const std::size_t end = buffer.find('\n', consumed);
    if (end == std::string::npos) {
      return std::nullopt;
    }
    std::string line = buffer.substr(consumed, end - consumed);
    consumed = end + 1;
    if (line.find(containing) != std::string::npos) {
      return line;
    }
  }
}

std::optional<std::string> ChildProcess::WaitForLine(std::string& buffer, std::size_t& consumed,
                                                     const int& fd, std::string_view containing,
                                                     std::chrono::milliseconds guard) {
  const auto deadline = Clock::now() + guard;
  for (;;) {
    if (auto line = TakeLine(buffer, consumed, containing)) {
      return line;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || fd < 0 || !Pump(left)) {
      return std::nullopt;
    }
  }
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds guard) {
  return WaitForLine(output_, outputTaken_, outFd_, {}, guard);
}

std::optional<std::string> ChildProcess::WaitForOutputLine(std::string_view text,
                                                           std::chrono::milliseconds guard) {
  return WaitForLine(output_, outputTaken_, outFd_, text, guard);
}

std::optional<std::string> ChildProcess::WaitForErrorLine(std::string_view text,
                                                          std::chrono::milliseconds guard) {
  return WaitForLine(errors_, errorsTaken_, errFd_, text, guard);
}

std::optional<int> ChildProcess::Finish(std::chrono::milliseconds guard) {
  const auto deadline = Clock::now() + guard;
  while (outFd_ >= 0 || errFd_ >= 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || !Pump(left)) {
      break;
    }
  }
  if (pid_ <= 0) {
    return std::nullopt;
  }
  if (outFd_ >= 0 || errFd_ >= 0) {
    // Outlived its guard: end it so that the test can go on.
    ::kill(pid_, SIGKILL);
  }
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  CloseFd(outFd_);
  CloseFd(errFd_);
  if (!WIFEXITED(status)) {
    return std::nullopt;
  }
  return WEXITSTATUS(status);
}

void ChildProcess::Signal(int signal) const {
  if (pid_ > 0) {
    ::kill(pid_, signal);
  }
}

std::optional<int> ChildProcess::Stop() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
  }
  return Finish();
}

}  // namespace zt::test
