#pragma once
// A program folder holding the stand-in emulator, which records each start
// as one JSON line ({"argv", "macro", ...}) in a scratch file while this
// object lives: what GUI tests of runs read back.
#include <chrono>
#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "program_dir.h"
#include "scoped_env.h"

namespace varnok::test {

class RecordingEmulator {
 public:
  RecordingEmulator();

  ProgramDir& programs() { return programs_; }
  // The program folder to give the window (WindowServices::programDir).
  std::string path() const { return programs_.path(); }
  std::string recordFile() const { return programs_.scratch("corvmain.jsonl"); }

  // The starts recorded so far, once there are `count` of them or `limit`
  // has passed; Qt's events are handled meanwhile, so that the window's
  // timers go on starting runs. A line still being written is not counted.
  std::vector<nlohmann::json> records(std::size_t count,
                                      std::chrono::milliseconds limit = std::chrono::seconds(5)) const;

 private:
  ProgramDir programs_{{"corvmain"}};
  ScopedEnv record_{"CORVMAIN_RECORD", recordFile()};
};

}  // namespace varnok::test
