#include "capture.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "temp_dir.h"

namespace varnok::test {

Output Capture(const ProgramDir& dir, const std::string& program, const std::vector<std::string>& args) {
  std::string outPath = dir.scratch("stdout.txt"), errPath = dir.scratch("stderr.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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
  pid_t pid = 0;
  if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
    int st = 0;
    ::waitpid(pid, &st, 0);
    o.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  }
  posix_spawn_file_actions_destroy(&actions);
  o.out = ReadFile(outPath);
  o.err = ReadFile(errPath);
  return o;
}

}  // namespace varnok::test
