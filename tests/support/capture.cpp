#include "capture.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "temp_dir.h"

namespace varnok::test {

Output Capture(const ProgramDir& dir, const std::string& program, const std::vector<std::string>& args,
               const CaptureOptions& options) {
  std::string outPath = options.standardOutput.empty() ? dir.scratch("stdout.txt") : options.standardOutput;
  std::string errPath = dir.scratch("stderr.txt");
  std::vector<std::string> envStrings;
  for (const auto& [k, v] : dir.env) envStrings.push_back(k + "=" + v);
  std::vector<char*> envp, argv;
  for (auto& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  Output o;
  // Everything is prepared before the fork: the child only opens, limits and
  // executes. An alarm survives the exec, so a program that hangs is killed.
  pid_t pid = ::fork();
  if (pid == 0) {
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | (options.appendOutput ? O_APPEND : O_TRUNC), 0644);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
    if (options.addressSpaceBytes) {
      struct rlimit lim {
        options.addressSpaceBytes, options.addressSpaceBytes
      };
      ::setrlimit(RLIMIT_AS, &lim);
    }
    ::alarm(options.seconds);
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  if (pid > 0) {
    int st = 0;
    ::waitpid(pid, &st, 0);
    o.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  }
  if (options.standardOutput.empty()) o.out = ReadFile(outPath);
  o.err = ReadFile(errPath);
  return o;
}

}  // namespace varnok::test
