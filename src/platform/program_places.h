#pragma once
// Where the programs keep their files. One decision serves the editor, the
// companion and vnk, so that all three find the same run files and logs:
//
// - portable: the program folder is the user's own and writable (a folder
//   unpacked or built by the user). "Temp_CVL" and "Logs" lie in it, as they
//   always have;
// - installed: the program folder is a system folder (/usr/bin) or another
//   user's. "Temp_CVL" goes to $XDG_RUNTIME_DIR/varnok (else the private
//   /tmp/varnok-<uid>), "Logs" to $XDG_STATE_HOME/varnok (default
//   ~/.local/state/varnok).
//
// The emulator's folder (its executable and "corvane.ini") is the setting
// "EmulatorDir" when set, else the program folder.
#include <string>

namespace varnok::platform {

struct ProgramPlaces {
  std::string programDir;   // the programs themselves (editor, companion, vnk)
  std::string emulatorDir;  // the emulator and its settings file
  std::string tempDir;      // "Temp_CVL": the run files
  std::string logDir;       // "Logs": the session logs
  bool portable = true;     // tempDir and logDir lie in the program folder
};

// What the decision depends on, gathered from the system by ThisProgramPlaces
// and written out by tests.
struct PlaceFacts {
  std::string programDir;
  bool programDirOurs = false;  // a folder the user owns and may write
  std::string runtimeDir;       // RuntimeDirPath(): $XDG_RUNTIME_DIR/varnok or its fallback
  std::string stateHome;        // $XDG_STATE_HOME as set (ignored unless absolute)
  std::string home;             // $HOME, else the user's home from the system
  std::string emulatorDirSetting;
};

// The decision itself: no system calls.
ProgramPlaces DecidePlaces(const PlaceFacts& facts);

// The emulator's folder for a value of "EmulatorDir": the value when it is
// an absolute path (without trailing separators), else the program folder.
std::string EmulatorDirFor(const std::string& programDir, const std::string& setting);

// The facts of the running process for `programDir`.
PlaceFacts ThisProcessFacts(const std::string& programDir, const std::string& emulatorDirSetting);

// DecidePlaces(ThisProcessFacts(...)). Nothing is created here: the run
// layer makes the folders private when it first needs them.
ProgramPlaces ThisProgramPlaces(const std::string& programDir, const std::string& emulatorDirSetting);

// The places of a portable program folder: everything in `programDir`. For
// tools and tests that are handed one folder for everything.
ProgramPlaces PortablePlaces(const std::string& programDir);

}  // namespace varnok::platform
