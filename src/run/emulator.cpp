#include "run/emulator.h"

#include <cctype>

#include "common/program_paths.h"

namespace varnok::run {

#ifdef _WIN32
static constexpr const char* kEmulatorFile = "corvmain.exe";
static constexpr const char* kEditorFile = "Varnokc.exe";
#else
static constexpr const char* kEmulatorFile = "corvmain";
static constexpr const char* kEditorFile = "varnokc";
#endif

std::string EmulatorExePath() { return ProgramFilePath(kEmulatorFile); }

std::optional<std::string> CheckEmulatorPresent() {
  if (FileExists(EmulatorExePath())) return std::nullopt;
  std::string upper = kEmulatorFile;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper + " not found.\rPlease move " + kEditorFile + " into Corvane directory and restart it.";
}

}  // namespace varnok::run
