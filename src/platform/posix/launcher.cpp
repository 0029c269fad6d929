#include "platform/launcher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace varnok::platform {

namespace {

std::vector<char*> ArgumentVector(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// Nobody waits for a started program; reap it when it ends so no zombie stays.
void ReapWhenDone(pid_t pid) {
  std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
}

}  // namespace

LaunchResult LaunchProgram(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv = ArgumentVector(program, args);

  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // Its own session: the started program outlives us and our terminal.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  bool searchPath = program.find('/') == std::string::npos;
  int rc = searchPath ? ::posix_spawnp(&pid, program.c_str(), nullptr, &attr, argv.data(), environ)
                      : ::posix_spawn(&pid, program.c_str(), nullptr, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return {false, program + ": " + std::strerror(rc)};
  ReapWhenDone(pid);
  return {true, {}, static_cast<int>(pid)};
}

// posix_spawn cannot set the child's mask, so this forks. Between fork and
// exec the child calls only async-signal-safe functions (we may have
// threads); a failed exec reports its errno through a close-on-exec pipe.
LaunchResult LaunchPrivately(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv = ArgumentVector(program, args);
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return {false, program + ": " + std::strerror(errno)};
  const bool searchPath = program.find('/') == std::string::npos;
  pid_t pid = ::fork();
  if (pid < 0) {
    int err = errno;
    ::close(report[0]);
    ::close(report[1]);
    return {false, program + ": " + std::strerror(err)};
  }
  if (pid == 0) {
    ::close(report[0]);
    ::setsid();  // its own session: it outlives us and our terminal
    ::umask(077);
    if (searchPath)
      ::execvp(program.c_str(), argv.data());
    else
      ::execv(program.c_str(), argv.data());
    int err = errno;
    [[maybe_unused]] auto n = ::write(report[1], &err, sizeof err);
    ::_exit(127);
  }
  ::close(report[1]);
  int err = 0;
  ssize_t got;
  do got = ::read(report[0], &err, sizeof err);
  while (got < 0 && errno == EINTR);
  ::close(report[0]);
  if (got == static_cast<ssize_t>(sizeof err)) {
    ::waitpid(pid, nullptr, 0);
    return {false, program + ": " + std::strerror(err)};
  }
  ReapWhenDone(pid);
  return {true, {}, static_cast<int>(pid)};
}

LaunchResult OpenDocument(const std::string& pathOrUrl) { return LaunchProgram("xdg-open", {pathOrUrl}); }

}  // namespace varnok::platform
