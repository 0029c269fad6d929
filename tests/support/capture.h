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

struct CaptureOptions {
  std::string standardOutput;         // a file for standard output instead of the capture ("/dev/full")
  bool appendOutput = false;          // that file opened for appending (">>"), not emptied
  unsigned seconds = 60;              // killed (SIGALRM, status 142) when it runs longer
  std::size_t addressSpaceBytes = 0;  // the program's address-space limit (ulimit -v); 0: none
};

// Runs `program` with the directory's environment, capturing both outputs.
Output Capture(const ProgramDir& dir, const std::string& program, const std::vector<std::string>& args,
               const CaptureOptions& options = {});

}  // namespace varnok::test
