#pragma once
// Running a connection: the macro file is assembled and written, the
// emulator's settings copy is written, and the emulator is started with both.
// Everything the window would supply (user variables, the logging flag,
// unapplied editor text, the colours, "Disable color support") comes in the
// request, so the window and the command-line tool share this one path.
// Nothing is shown here: messages come back in the result, in order.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/launcher.h"
#include "properties/color_set.h"
#include "run/macro_assembly.h"
#include "run/temp_files.h"

namespace varnok::run {

enum class MessageKind {
  Warning,    // shown as a warning; the run may have gone on
  Error,      // shown as an error; the run stopped
  FileError,  // a failed file operation ("<path>: <reason>"); the run stopped
};

struct RunMessage {
  MessageKind kind;
  std::string text;
  bool operator==(const RunMessage&) const = default;
};

struct MacroRequest {
  // The connections above the run connection, the child of the top node
  // first; empty unless a branch is run or exported.
  std::vector<MacroSource> ancestors;
  // The run connection with the text to run.
  MacroSource own;
  // The connection's logging flag (for the connection shown in the window,
  // the check box as it stands).
  bool startLogging = false;
  // The user variables as typed on the settings page.
  std::string userName;
  std::string userEmail;
  std::string userPhone;
  // Replaces the system's logon name when set.
  std::optional<std::string> logonName;
  // The colours of the run; not written when colour support is disabled.
  properties::ColorSet colors;
  bool disableColors = false;
  // Empty for a run; otherwise the file that receives the macro instead.
  std::string exportFile;
};

struct RunResult {
  std::vector<RunMessage> messages;
  bool macroWritten = false;  // the macro file (or export) was written
  bool started = false;       // the emulator was started
  int emulatorPid = 0;        // its process, when the launcher tells
  TempFilePair files;         // the run's numbered files (number 0 for an export)
  bool ok() const;            // no Error or FileError among the messages
};

using Launcher = std::function<platform::LaunchResult(const std::string&, const std::vector<std::string>&)>;

struct RunEnvironment {
  // The emulator and its settings, "Temp_CVL" and "Logs".
  platform::ProgramPlaces places;
  TempFileNumbering* numbering = nullptr;  // required for a run
  Launcher launch = platform::LaunchPrivately;
};

// The logon name as the system reports it, at most 252 characters.
std::string GetLogonName();

// The private folder `name` ("Temp_CVL" or "Logs") where `places` puts it,
// created when missing (TempDir, LogDir). When it cannot be created, appends
// the warning "Cannot create directory " + path + ": " + the system's reason;
// when it is not ours, the warning that names its owner and mode; and
// returns "".
std::string EnsureProgramSubdirReporting(const platform::ProgramPlaces& places, const std::string& name,
                                         std::vector<RunMessage>& messages);

// The finished macro lines: assembled, each line processed, and the
// log-opening block appended when a "$LOGIT$" line or the logging flag asks
// for it (its path is `logDir` + separator + encoded log name for a run, the
// encoded log name alone for an export).
MacroLines BuildMacroLines(const MacroRequest& request, const std::string& logDir,
                           const std::string& logonName, bool forExport);

// What an export of `request` writes, without writing it: the emulator check
// and the log directory as for an export; nullopt (and an Error message) when
// the emulator is missing.
std::optional<std::string> ExportMacroText(const MacroRequest& request, const platform::ProgramPlaces& places,
                                           std::vector<RunMessage>& messages);

// Exactly the macro text a run of `request` writes, without writing or
// starting anything (the log folder named as the run would name it).
std::string PreviewRunText(const MacroRequest& request, const platform::ProgramPlaces& places);

// The whole run (or, with `request.exportFile`, the export).
RunResult ExecuteMacro(const MacroRequest& request, RunEnvironment& env);

}  // namespace varnok::run
