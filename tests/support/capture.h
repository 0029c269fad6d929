#pragma once
// Running a program of a temporary program directory to its end with both of
// its outputs captured.
#include <string>
#include <vector>

#include "program_dir.h"

namespace varnok::test {

struct Output {
  int status = -1;  // exit code, 128 + signal number when killed, -1 when not started
  std::string out, err;
};

// Runs `program` with the directory's environment, capturing both outputs.
Output Capture(const ProgramDir& dir, const std::string& program, const std::vector<std::string>& args);

}  // namespace varnok::test
