#pragma once
// The program's settings as held between loading and saving, the rules by
// which they are read from and written to the settings store, and the
// geometry clamping applied at load. Free of widgets so that it can be
// checked alone; the settings page shows these values.
#include <cstdint>
#include <string>
#include <vector>

#include "common/run_delay.h"
#include "platform/settings_names.h"
#include "platform/settings_store.h"

namespace varnok::app {

struct IntRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The value names, types and defaults are those of platform/settings_names.h.
inline constexpr int kMinWindowWidth = 640;
inline constexpr int kMinWindowHeight = 490;
inline constexpr IntRect kDesignedGeometry{267, 130, 648, 490};
inline constexpr int kDesignedTreeWidth = 275;
inline constexpr int kMinTreeWidth = 215;
inline constexpr int kRecentFileCount = 4;

// Each value starts at its default of the settings table.
struct AppSettings {
  std::string varName = platform::VarName.fallback;
  std::string varEmail = platform::VarEmail.fallback;
  std::string varPhone = platform::VarPhone.fallback;
  std::string multiStartInterval = platform::MultiStartInterval.fallback;
  std::int32_t selectedNodeIndex = platform::SelectedNodeIndex.fallback;
  bool selectLast = platform::SelectLast.fallback != 0;
  bool noColors = platform::NoColors.fallback != 0;
  bool useColorsInEditor = platform::UseColorsInEditor.fallback != 0;
  bool useSameBackground = platform::UseSameBackground.fallback != 0;
  bool autoSave = platform::AutoSave.fallback != 0;
  bool doNotTile = platform::DoNotTile.fallback != 0;
  std::int32_t dblClickAction = platform::DblClickAction.fallback;
  std::string lastVnkFile = platform::LastVNKFile.fallback;
  std::string emulatorDir = platform::EmulatorDir.fallback;
  std::vector<std::string> recentFiles;  // most recent first, at most 4

  IntRect geometry = kDesignedGeometry;
  int treeWidth = kDesignedTreeWidth;
  bool maximized = false;
};

struct LoadContext {
  bool hasCommandLineParameter = false;  // "SelectedNodeIndex" is then not read
  IntRect workArea{0, 0, 1024, 768};
  IntRect screen{0, 0, 1024, 768};
  int currentWindowWidth = kDesignedGeometry.width;
};

// Reads every value of the key, a missing or wrongly typed one giving its
// default; without the key everything keeps its default and the designed
// geometry. The geometry comes back clamped to the work area. Does not
// check whether the last file still exists (the caller does).
AppSettings LoadAppSettings(const platform::SettingsStore& store, const LoadContext& context);

// Keeps a stored position reachable: a top below the work area moves 50
// pixels above its bottom, one above it to its top; a left right of the work
// area moves 50 pixels inside its right edge, one whose window would end left
// of it puts the right edge 50 pixels inside.
IntRect ClampToWorkArea(IntRect stored, const IntRect& workArea, int currentWindowWidth);

// The values saveSettings writes, in their write order.
std::vector<platform::SettingWrite> SettingsWrites(const AppSettings& settings);

// "MRU1".."MRU4", entries beyond the list written as empty strings.
std::vector<platform::SettingWrite> RecentFileWrites(const std::vector<std::string>& files);

// Reads "MRU1".. until the first missing number; empty entries are skipped.
std::vector<std::string> ReadRecentFiles(const platform::SettingsStore& store);

}  // namespace varnok::app
