#include "system/startup.h"

#include <cctype>
#include <filesystem>

#include "common/program_paths.h"
#include "dialogs/prompts.h"
#include "platform/launcher.h"
#include "platform/message_bus.h"
#include "platform/program_names.h"
#include "platform/program_places.h"
#include "platform/runtime_dir.h"
#include "platform/safe_write.h"
#include "platform/settings_names.h"
#include "run/emulator.h"
#include "run/temp_files.h"

namespace varnok::app {
namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

void EnsureCompanionRunning(const std::string& programDir, Prompter& prompter) {
  if (platform::IsMarkerHeld(platform::kCompanionMarker)) return;
  std::string path = ProgramFilePath(programDir, platform::kCompanionFile);
  if (!FileExists(path)) {
    prompter.warning("File '" + DisplayName(path) + "' not found.");
    return;
  }
  if (auto r = platform::LaunchProgram(path, {}); !r.ok)
    prompter.warning("Cannot start the companion program: " + r.error);
}

bool HandOverFile(const std::string& file, const std::string& programDir, platform::SettingsStore& settings,
                  Prompter& prompter) {
  const platform::PrivateFolder folder = run::TempDir(platform::ThisProgramPlaces(programDir, {}));
  if (!folder.refusal.empty()) prompter.warning(folder.refusal);
  const std::string& temp = folder.path;
  if (temp.empty()) {
    prompter.error("Failed to create temporary folder. The file cannot be imported.");
    return false;
  }
  std::string copy = run::HandOverCopyPath(temp, file);
  std::error_code ec;  // a failed copy is not reported: the running editor says the file is missing
  if (platform::CheckRegularFile(file).empty())  // a FIFO would block the copy
    std::filesystem::copy_file(file, copy, std::filesystem::copy_options::overwrite_existing, ec);
  platform::ParamName.write(settings, copy);
  return true;
}

StartupOutcome RunStartup(const std::vector<std::string>& args, const std::string& executableName,
                          const std::string& programDir, platform::SettingsStore& settings,
                          Prompter& prompter) {
  StartupOutcome out;
  // 1. The file to open or import travels through "ParamName".
  // As an absolute path: the companion and later starts elsewhere must find it.
  if (!args.empty()) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(args.front(), ec);
    platform::ParamName.write(settings, ec ? args.front() : absolute.lexically_normal().string());
  }

  // 2. The companion.
  EnsureCompanionRunning(programDir, prompter);

  // 3. One editor per user: a second start hands its file over and ends. A
  // runtime folder that is not safe leaves no way to tell: refused, as
  // two editors at once could overwrite each other's saves.
  if (std::string problem = platform::RuntimeDirProblem(); !problem.empty()) {
    prompter.error(problem);
    out.exitCode = 1;
    return out;
  }
  out.editorMarker = platform::AcquireMarker(platform::kEditorMarker);
  if (!out.editorMarker && platform::IsMarkerHeld(platform::kEditorMarker)) {
    if (!args.empty() && !HandOverFile(args.front(), programDir, settings, prompter)) return out;
    platform::PostBroadcast(platform::kEditorMessage, 0);
    return out;
  }

  // 4. The program must keep its own name.
  if (Upper(executableName) != platform::kEditorCheckName) {
    prompter.error(std::string("This application cannot be executed unless having the original name.\r"
                               "Please rename it to '") +
                   platform::kEditorFile + "' and re-run it.");
    out.exitCode = 1;
    return out;
  }

  // 5. A portable editor must sit beside the emulator. Installed, or with
  // the emulator folder set, it starts without one: the folder is set on
  // the Settings page, and a run names the folder it looked in.
  const platform::ProgramPlaces places =
      platform::ThisProgramPlaces(programDir, platform::EmulatorDir.read(settings));
  if (auto error = run::CheckEmulatorPresent(places); error && run::EmulatorBelongsInProgramFolder(places)) {
    prompter.error(*error);
    out.exitCode = 1;
    return out;
  }

  // 6. Files of earlier runs go.
  run::CleanTempFiles(places);
  out.proceed = true;
  return out;
}

}  // namespace varnok::app
