#include "platform/launcher.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace varnok::platform {

LaunchResult LaunchProgram(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

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
  // Nobody waits for the program; reap it when it ends so no zombie stays.
  std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
  return {true, {}, static_cast<int>(pid)};
}

LaunchResult OpenDocument(const std::string& pathOrUrl) { return LaunchProgram("xdg-open", {pathOrUrl}); }

}  // namespace varnok::platform
