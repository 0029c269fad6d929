#include "platform/program_places.h"

#include "common/program_paths.h"

namespace varnok::platform {
namespace {

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

}  // namespace

std::string EmulatorDirFor(const std::string& programDir, const std::string& setting) {
  // A relative value would mean a different folder from every working
  // directory: it is not taken.
  return IsAbsolute(setting) ? WithoutTrailingSeparators(setting) : programDir;
}

ProgramPlaces PortablePlaces(const std::string& programDir) {
  return {programDir, programDir, ProgramFilePath(programDir, "Temp_CVL"),
          ProgramFilePath(programDir, "Logs"), true};
}

ProgramPlaces DecidePlaces(const PlaceFacts& facts) {
  ProgramPlaces places = PortablePlaces(facts.programDir);
  places.emulatorDir = EmulatorDirFor(facts.programDir, facts.emulatorDirSetting);
  if (facts.programDirOurs) return places;
  places.portable = false;
  places.tempDir = ProgramFilePath(facts.runtimeDir, "Temp_CVL");
  // XDG: a relative $XDG_STATE_HOME is invalid and ignored.
  const std::string state = IsAbsolute(facts.stateHome) ? WithoutTrailingSeparators(facts.stateHome)
                                                        : ProgramFilePath(facts.home, ".local/state");
  places.logDir = ProgramFilePath(state, "varnok/Logs");
  return places;
}

ProgramPlaces ThisProgramPlaces(const std::string& programDir, const std::string& emulatorDirSetting) {
  return DecidePlaces(ThisProcessFacts(programDir, emulatorDirSetting));
}

}  // namespace varnok::platform
