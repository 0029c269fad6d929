#pragma once
// Starting programs and opening documents, without a shell.
#include <string>
#include <vector>

namespace varnok::platform {

struct LaunchResult {
  bool ok = false;
  std::string error;  // the system's reason when !ok
  int pid = 0;        // the started process, when the system tells
};

// Starts `program` with `args` (argv[1..]); does not wait for it.
LaunchResult LaunchProgram(const std::string& program, const std::vector<std::string>& args);

// Starts the terminal emulator of a run: as LaunchProgram, but the program
// runs with the file-creation mask 077, so the session logs it writes into
// "Logs" (and any other file it makes) are private to the user (0600), as
// the run files are, whatever mask we were started with.
LaunchResult LaunchPrivately(const std::string& program, const std::vector<std::string>& args);

// Opens a document or a link with the desktop's opener.
LaunchResult OpenDocument(const std::string& pathOrUrl);

}  // namespace varnok::platform
