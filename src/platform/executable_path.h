#pragma once
// Where the running program lies. Its directory is the program directory
// (emulator, companion, "corvane.ini", "Temp_CVL", "Logs"): a program
// computes it once at start and hands it to the code that needs it.
#include <string>

namespace varnok::platform {

// The absolute path of the running executable; empty when the system does not tell.
std::string ExecutablePath();

// The directory of ExecutablePath() without a trailing separator; the
// current directory when the executable's path is unknown.
std::string ExecutableDir();

}  // namespace varnok::platform
