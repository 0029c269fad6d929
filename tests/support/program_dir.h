#pragma once
// A temporary program directory holding copies of the built programs, and the
// running of those programs with a private environment: settings, runtime
// folder, prompt log and stand-in records all inside the temporary folder.
#include <sys/types.h>

#include <chrono>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace varnok::test {

struct Prompt {
  std::string kind, buttons, text;
};

class ProgramDir {
 public:
  // Copies `programs` (file names in the build's bin folder) and corvane.ini.
  explicit ProgramDir(const std::vector<std::string>& programs = {"varnokc", "corvmain", "varnok", "vnk"});
  ~ProgramDir();  // ends every process started through it

  std::string path() const { return dir_.path() + "/bin"; }
  std::string file(const std::string& name) const { return path() + "/" + name; }
  std::string scratch(const std::string& name) const { return dir_.path() + "/" + name; }

  // Environment given to every started program (may be changed by tests).
  std::map<std::string, std::string> env;

  // Starts `program` (a path) without waiting.
  pid_t start(const std::string& program, const std::vector<std::string>& args = {});
  // Waits for `pid`; nullopt when it did not end in time (it is then killed).
  std::optional<int> wait(pid_t pid, std::chrono::milliseconds limit = std::chrono::seconds(20));
  // Runs to the end and returns the exit code (-1 on a time-out).
  int run(const std::string& program, const std::vector<std::string>& args = {},
          std::chrono::milliseconds limit = std::chrono::seconds(20));
  // Waits until the process `pid` listens for messages.
  bool waitUntilListening(pid_t pid, std::chrono::milliseconds limit = std::chrono::seconds(20));

  std::vector<Prompt> prompts() const;            // from the prompt log
  std::vector<std::string> companionLog() const;  // lines of the varnok record
  std::string settingsFile() const;               // path of Varnok.conf
  std::string runtimeDir() const;                 // the private runtime folder ($XDG_RUNTIME_DIR/varnok)

 private:
  TempDir dir_;
  std::vector<pid_t> started_;
};

// The stand-in emulator's records in `file`, one JSON object a line; a line
// still being written is left out.
std::vector<nlohmann::json> EmulatorRecords(const std::string& file);

// Polls `done` every 20 ms until it holds or `limit` passes.
template <typename F>
bool Eventually(F done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    struct timespec ts {
      0, 20'000'000
    };
    nanosleep(&ts, nullptr);
  }
  return true;
}

}  // namespace varnok::test
