#pragma once
// The editor's entry sequence before its window exists: hand-over of a
// command-line file to a running instance, the companion, the single-instance
// marker, the checks of name and emulator, and the clean-up of old temporary files.
#include <memory>
#include <string>
#include <vector>

#include "platform/process_marker.h"
#include "platform/settings_store.h"

namespace varnok::app {

class Prompter;

// Starts the companion ("varnok" in the program directory) when its marker is
// not held; warns "File '<path>' not found." when it is missing.
void EnsureCompanionRunning(const std::string& programDir, Prompter& prompter);

// Copies `file` into the temporary folder as "~" + its name, stores the copy's
// path in "ParamName". False (after showing the error) when there is no
// temporary folder.
bool HandOverFile(const std::string& file, const std::string& programDir, platform::SettingsStore& settings,
                  Prompter& prompter);

struct StartupOutcome {
  bool proceed = false;                                   // create the window and run
  std::unique_ptr<platform::ProcessMarker> editorMarker;  // held until the process ends
  int exitCode = 0;
};

// Steps up to the window: `args` are the command-line parameters (without
// the program name), `executableName` the running file's name, `programDir`
// its directory.
StartupOutcome RunStartup(const std::vector<std::string>& args, const std::string& executableName,
                          const std::string& programDir, platform::SettingsStore& settings,
                          Prompter& prompter);

}  // namespace varnok::app
