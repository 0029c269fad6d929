#pragma once
// The program's settings as held between loading and saving, the rules by
// which they are read from and written to the settings store, and the
// geometry clamping applied at load. Free of widgets so that it can be
// checked alone; the settings page shows these values.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace varnok::app {

struct IntRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Value names of the settings key.
namespace setting {
inline constexpr const char* VarName = "VarName";
inline constexpr const char* VarEmail = "VarEmail";
inline constexpr const char* VarPhone = "VarPhone";
inline constexpr const char* MultiStartInterval = "MultiStartInterval";
inline constexpr const char* SelectedNodeIndex = "SelectedNodeIndex";
inline constexpr const char* SelectLast = "SelectLast";
inline constexpr const char* WinWidth = "WinWidth";
inline constexpr const char* WinHeight = "WinHeight";
inline constexpr const char* WinTop = "WinTop";
inline constexpr const char* WinLeft = "WinLeft";
inline constexpr const char* TreeWidth = "TreeWidth";
inline constexpr const char* WinMaximized = "WinMaximized";
inline constexpr const char* NoColors = "NoColors";
inline constexpr const char* UseColorsInEditor = "UseColorsInEditor";
inline constexpr const char* UseSameBackground = "UseSameBackground";
inline constexpr const char* UseSameBackgroundWritten = "UseSameBackGround";
inline constexpr const char* AutoSave = "AutoSave";
inline constexpr const char* DoNotTile = "DoNotTile";
inline constexpr const char* DblClickAction = "DblClickAction";
inline constexpr const char* LastVNKFile = "LastVNKFile";
inline constexpr const char* ParamName = "ParamName";
}  // namespace setting

inline constexpr int kMinWindowWidth = 640;
inline constexpr int kMinWindowHeight = 490;
inline constexpr IntRect kDesignedGeometry{267, 130, 648, 490};
inline constexpr int kDesignedTreeWidth = 275;
inline constexpr int kMinTreeWidth = 215;
inline constexpr int kRecentFileCount = 4;

struct AppSettings {
  std::string varName, varEmail, varPhone;
  std::string multiStartInterval = "5";
  std::int32_t selectedNodeIndex = 0;
  bool selectLast = true;
  bool noColors = false;
  bool useColorsInEditor = true;
  bool useSameBackground = true;
  bool autoSave = true;
  bool doNotTile = false;
  std::int32_t dblClickAction = 0;
  std::string lastVnkFile;
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

// The run delay in seconds from the spin editor's text: a text that is no
// whole number counts as 5; the result lies in 2..60.
int RunDelaySeconds(const std::string& text);

// The values SaveSettings writes, in their write order.
std::vector<platform::SettingWrite> SettingsWrites(const AppSettings& settings);

// "MRU1".."MRU4", entries beyond the list written as empty strings.
std::vector<platform::SettingWrite> RecentFileWrites(const std::vector<std::string>& files);

// Reads "MRU1".. until the first missing number; empty entries are skipped.
std::vector<std::string> ReadRecentFiles(const platform::SettingsStore& store);

}  // namespace varnok::app
