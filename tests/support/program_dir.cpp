#include "program_dir.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace varnok::test {

ProgramDir::ProgramDir(const std::vector<std::string>& programs) {
  fs::create_directories(path());
  fs::create_directories(scratch("config"));
  fs::create_directories(scratch("runtime"));
  fs::permissions(scratch("runtime"), fs::perms::owner_all);  // as a real runtime folder is
  for (const auto& p : programs) fs::copy_file(std::string(VARNOK_BIN_DIR) + "/" + p, file(p));
  fs::copy_file(std::string(VARNOK_BIN_DIR) + "/corvane.ini", file("corvane.ini"));
  env = {{"XDG_CONFIG_HOME", scratch("config")},
         {"XDG_RUNTIME_DIR", scratch("runtime")},
         {"QT_QPA_PLATFORM", "offscreen"},
         {"VARNOKC_PROMPT_LOG", scratch("prompts.jsonl")},
         {"VARNOK_RECORD", scratch("varnok.log")},
         {"CORVMAIN_RECORD", scratch("corvmain.jsonl")},
         {"HOME", scratch("")},
         {"PATH", "/usr/bin:/bin"}};
}

ProgramDir::~ProgramDir() {
  for (pid_t pid : started_) ::kill(pid, SIGKILL);
  for (pid_t pid : started_) ::waitpid(pid, nullptr, 0);
  // Programs the editor started itself (the companion) found their pid in its record.
  for (const auto& line : companionLog())
    if (line.rfind("started ", 0) == 0) ::kill(std::stoi(line.substr(8)), SIGKILL);
  // And whatever else still runs from this directory: a companion on a busy
  // machine may not have recorded its start yet, and would keep the test
  // runner's output open.
  std::error_code ec;
  const std::string own = path() + "/";
  for (const auto& entry : fs::directory_iterator("/proc", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::error_code linkError;
    const std::string exe = fs::read_symlink(entry.path() / "exe", linkError).string();
    if (!linkError && exe.rfind(own, 0) == 0) ::kill(std::stoi(name), SIGKILL);
  }
}

pid_t ProgramDir::start(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> envStrings;
  for (const auto& [k, v] : env) envStrings.push_back(k + "=" + v);
  std::vector<char*> envp, argv;
  for (auto& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string prog = program;
  argv.push_back(prog.data());
  std::vector<std::string> argsCopy = args;
  for (auto& a : argsCopy) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawn(&pid, prog.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
  started_.push_back(pid);
  return pid;
}

std::optional<int> ProgramDir::wait(pid_t pid, std::chrono::milliseconds limit) {
  int status = 0;
  bool ended = Eventually([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, limit);
  std::erase(started_, pid);
  if (!ended) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return std::nullopt;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int ProgramDir::run(const std::string& program, const std::vector<std::string>& args,
                    std::chrono::milliseconds limit) {
  pid_t pid = start(program, args);
  if (pid < 0) return -1;
  return wait(pid, limit).value_or(-1);
}

std::string ProgramDir::runtimeDir() const { return scratch("runtime") + "/varnok"; }

bool ProgramDir::waitUntilListening(pid_t pid, std::chrono::milliseconds limit) {
  std::string prefix = "bus-" + std::to_string(pid) + "-";
  return Eventually(
      [&] {
        std::error_code ec;
        for (auto& e : fs::directory_iterator(runtimeDir(), ec))
          if (e.path().filename().string().rfind(prefix, 0) == 0) return true;
        return false;
      },
      limit);
}

std::vector<Prompt> ProgramDir::prompts() const {
  std::vector<Prompt> out;
  std::ifstream in(scratch("prompts.jsonl"));
  std::string line;
  while (std::getline(in, line)) {
    auto j = nlohmann::json::parse(line, nullptr, false);
    if (j.is_discarded()) continue;
    out.push_back({j.value("kind", ""), j.value("buttons", ""), j.value("text", "")});
  }
  return out;
}

std::vector<std::string> ProgramDir::companionLog() const {
  std::vector<std::string> out;
  std::ifstream in(scratch("varnok.log"));
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

std::string ProgramDir::settingsFile() const { return scratch("config") + "/Zelmora/Varnok.conf"; }

std::vector<nlohmann::json> EmulatorRecords(const std::string& file) {
  std::vector<nlohmann::json> records;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    nlohmann::json entry = nlohmann::json::parse(line, nullptr, false);
    if (!line.empty() && !entry.is_discarded()) records.push_back(std::move(entry));
  }
  return records;
}

}  // namespace varnok::test
