#include "run/execute_macro.h"

#include <algorithm>
#include <filesystem>

#include "common/program_paths.h"
#include "platform/direct_write.h"
#include "platform/private_folder.h"
#include "platform/safe_write.h"
#include "platform/system_info.h"
#include "run/emulator.h"
#include "run/line_processing.h"

namespace varnok::run {
namespace {

constexpr std::size_t kMaxLogonName = 252;

bool CheckEmulator(const platform::ProgramPlaces& places, std::vector<RunMessage>& messages) {
  std::optional<std::string> missing = CheckEmulatorPresent(places);
  if (!missing) return true;
  messages.push_back({MessageKind::Error, *missing});
  return false;
}

std::string LogonNameFor(const MacroRequest& request) {
  return request.logonName ? *request.logonName : GetLogonName();
}

const std::string& PlaceOf(const platform::ProgramPlaces& places, const std::string& name) {
  return name == "Logs" ? places.logDir : places.tempDir;
}

platform::PrivateFolder EnsureReported(const platform::ProgramPlaces& places, const std::string& name,
                                       std::vector<RunMessage>& messages) {
  platform::PrivateFolder folder = name == "Logs" ? LogDir(places) : TempDir(places);
  if (!folder.refusal.empty())
    messages.push_back({MessageKind::Warning, folder.refusal});
  else if (!folder.ok())
    messages.push_back(
        {MessageKind::Warning, "Cannot create directory " + PlaceOf(places, name) + ": " + folder.reason});
  return folder;
}

}  // namespace

std::string PreviewRunText(const MacroRequest& request, const platform::ProgramPlaces& places) {
  return JoinLines(BuildMacroLines(request, places.logDir, LogonNameFor(request), false));
}

bool RunResult::ok() const {
  return std::none_of(messages.begin(), messages.end(),
                      [](const RunMessage& m) { return m.kind != MessageKind::Warning; });
}

std::string GetLogonName() {
  std::string name = platform::LogonName();
  if (name.size() > kMaxLogonName) name.resize(kMaxLogonName);
  return name;
}

std::string EnsureProgramSubdirReporting(const platform::ProgramPlaces& places, const std::string& name,
                                         std::vector<RunMessage>& messages) {
  return EnsureReported(places, name, messages).path;
}

MacroLines BuildMacroLines(const MacroRequest& request, const std::string& logDir,
                           const std::string& logonName, bool forExport) {
  AssembledMacro macro = AssembleMacro(request.ancestors, request.own);
  LineVariables vars{logonName, request.userName, request.userEmail, request.userPhone, logDir};
  bool logIt = ProcessMacroLines(macro.lines, vars);
  if (logIt || request.startLogging) {
    std::string encoded = EncodeLogName(macro.logName);
    AppendLogOpening(macro.lines,
                     forExport ? encoded : logDir + std::filesystem::path::preferred_separator + encoded);
  }
  return macro.lines;
}

std::optional<std::string> ExportMacroText(const MacroRequest& request, const platform::ProgramPlaces& places,
                                           std::vector<RunMessage>& messages) {
  if (!CheckEmulator(places, messages)) return std::nullopt;
  std::string logDir = EnsureProgramSubdirReporting(places, "Logs", messages);
  EnsureProgramSubdirReporting(places, "Temp_CVL", messages);
  return JoinLines(BuildMacroLines(request, logDir, LogonNameFor(request), true));
}

RunResult ExecuteMacro(const MacroRequest& request, RunEnvironment& env) {
  RunResult result;
  const bool forExport = !request.exportFile.empty();
  if (!CheckEmulator(env.places, result.messages)) return result;
  const std::string emulator = EmulatorExePath(env.places.emulatorDir);
  std::string logDir = EnsureProgramSubdirReporting(env.places, "Logs", result.messages);
  const platform::PrivateFolder temp = EnsureReported(env.places, "Temp_CVL", result.messages);
  const std::string& tempDir = temp.path;

  std::string macroFile;
  if (forExport) {
    macroFile = request.exportFile;
  } else if (tempDir.empty()) {
    // The warning before says why: the folder could not be made, or it is not ours.
    result.messages.push_back({MessageKind::Error, (temp.refusal.empty() ? "Failed to create the folder "
                                                                         : "Cannot use the folder ") +
                                                       env.places.tempDir + ". Cannot execute macro."});
    return result;
  } else {
    if (!env.numbering) {
      result.messages.push_back({MessageKind::Error, "No temporary file numbering given for a run."});
      return result;
    }
    result.files = env.numbering->next(tempDir);
    macroFile = result.files.macroFile;
  }

  MacroLines lines = BuildMacroLines(request, logDir, LogonNameFor(request), forExport);
  // A run's macro may hold passwords: made afresh for the user alone, never
  // through a link. An export is the user's own file, replaced safely.
  const std::string text = JoinLines(lines);
  if (platform::WriteResult w = forExport ? platform::SafeWriteFile(macroFile, text)
                                          : platform::WriteNewPrivateFile(macroFile, text);
      !w) {
    result.messages.push_back({MessageKind::FileError, w.error});
    return result;
  }
  result.macroWritten = true;
  if (forExport) return result;

  const properties::ColorSet* colors = request.disableColors ? nullptr : &request.colors;
  if (platform::WriteResult w =
          WriteRunSettings(EmulatorIniPath(env.places.emulatorDir), result.files.settingsFile, colors);
      !w) {
    result.messages.push_back({MessageKind::FileError, w.error});
    return result;
  }
  platform::LaunchResult launched =
      env.launch(emulator, EmulatorArguments(result.files.settingsFile, macroFile));
  if (!launched.ok) {
    result.messages.push_back(
        {MessageKind::Warning, "Failed to start the terminal emulator: " + launched.error});
    return result;
  }
  result.started = true;
  result.emulatorPid = launched.pid;
  return result;
}

}  // namespace varnok::run
