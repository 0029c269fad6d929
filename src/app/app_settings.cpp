#include "app_settings.h"

#include <algorithm>
#include <charconv>

namespace varnok::app {

namespace {

bool ReadBool(const platform::SettingsStore& store, const char* name, bool fallback) {
  if (auto v = store.readInt(name)) return *v != 0;
  return fallback;
}

std::string ReadString(const platform::SettingsStore& store, const char* name) {
  return store.readString(name).value_or(std::string());
}

std::int32_t BoolValue(bool on) { return on ? 1 : 0; }

}  // namespace

IntRect ClampToWorkArea(IntRect stored, const IntRect& workArea, int currentWindowWidth) {
  if (stored.top > workArea.top + workArea.height)
    stored.top = workArea.top + workArea.height - 50;
  else if (stored.top < workArea.top)
    stored.top = workArea.top;
  if (stored.left > workArea.left + workArea.width)
    stored.left = workArea.left + workArea.width - 50;
  else if (stored.left + currentWindowWidth < workArea.left)
    stored.left = workArea.left - currentWindowWidth + 50;
  return stored;
}

int RunDelaySeconds(const std::string& text) {
  std::string t = text;
  t.erase(0, t.find_first_not_of(" \t"));
  t.erase(t.find_last_not_of(" \t") + 1);
  long long value = 0;
  const char* first = t.data();
  if (!t.empty() && *first == '+') ++first;
  auto [ptr, ec] = std::from_chars(first, t.data() + t.size(), value);
  if (t.empty() || ec != std::errc() || ptr != t.data() + t.size()) return 5;
  return static_cast<int>(std::clamp<long long>(value, 2, 60));
}

AppSettings LoadAppSettings(const platform::SettingsStore& store, const LoadContext& context) {
  AppSettings s;
  if (!store.keyExists()) return s;

  s.varName = ReadString(store, setting::VarName);
  s.varEmail = ReadString(store, setting::VarEmail);
  s.varPhone = ReadString(store, setting::VarPhone);
  s.multiStartInterval = store.readString(setting::MultiStartInterval, "5");
  if (s.multiStartInterval.empty()) s.multiStartInterval = "5";
  // A stored interval that is no whole number gets the spin editor's rule.
  s.multiStartInterval = std::to_string(RunDelaySeconds(s.multiStartInterval));
  if (!context.hasCommandLineParameter) s.selectedNodeIndex = store.readInt(setting::SelectedNodeIndex, 0);
  s.selectLast = ReadBool(store, setting::SelectLast, true);
  s.noColors = ReadBool(store, setting::NoColors, false);
  s.useColorsInEditor = ReadBool(store, setting::UseColorsInEditor, true);
  s.useSameBackground = ReadBool(store, setting::UseSameBackground, true);
  s.autoSave = ReadBool(store, setting::AutoSave, true);
  s.doNotTile = ReadBool(store, setting::DoNotTile, false);
  s.dblClickAction = store.readInt(setting::DblClickAction, 0);
  s.lastVnkFile = ReadString(store, setting::LastVNKFile);
  s.recentFiles = ReadRecentFiles(store);

  IntRect g;
  g.width = std::max(store.readInt(setting::WinWidth, kMinWindowWidth), kMinWindowWidth);
  g.height = std::max(store.readInt(setting::WinHeight, kMinWindowHeight), kMinWindowHeight);
  g.top = store.readInt(setting::WinTop, (context.screen.height - g.height) / 2);
  g.left = store.readInt(setting::WinLeft, (context.screen.width - g.width) / 2);
  s.geometry = ClampToWorkArea(g, context.workArea, context.currentWindowWidth);
  s.treeWidth = std::max(store.readInt(setting::TreeWidth, kMinTreeWidth), kMinTreeWidth);
  s.maximized = store.readInt(setting::WinMaximized, 0) == 1;
  return s;
}

std::vector<platform::SettingWrite> SettingsWrites(const AppSettings& s) {
  return {
      {setting::VarName, s.varName},
      {setting::VarEmail, s.varEmail},
      {setting::VarPhone, s.varPhone},
      {setting::MultiStartInterval, s.multiStartInterval},
      {setting::SelectedNodeIndex, s.selectedNodeIndex},
      {setting::SelectLast, BoolValue(s.selectLast)},
      {setting::UseColorsInEditor, BoolValue(s.useColorsInEditor)},
      {setting::UseSameBackgroundWritten, BoolValue(s.useSameBackground)},
      {setting::AutoSave, BoolValue(s.autoSave)},
      {setting::LastVNKFile, s.lastVnkFile},
      {setting::WinTop, s.geometry.top},
      {setting::WinLeft, s.geometry.left},
      {setting::WinWidth, s.geometry.width},
      {setting::WinHeight, s.geometry.height},
      {setting::TreeWidth, s.treeWidth},
      {setting::WinMaximized, BoolValue(s.maximized)},
      {setting::DoNotTile, BoolValue(s.doNotTile)},
      {setting::NoColors, BoolValue(s.noColors)},
      {setting::DblClickAction, s.dblClickAction},
  };
}

std::vector<platform::SettingWrite> RecentFileWrites(const std::vector<std::string>& files) {
  std::vector<platform::SettingWrite> writes;
  for (int i = 0; i < kRecentFileCount; ++i) {
    std::string value = i < static_cast<int>(files.size()) ? files[static_cast<std::size_t>(i)] : std::string();
    writes.push_back({"MRU" + std::to_string(i + 1), value});
  }
  return writes;
}

std::vector<std::string> ReadRecentFiles(const platform::SettingsStore& store) {
  std::vector<std::string> files;
  for (int i = 1; i <= kRecentFileCount; ++i) {
    auto value = store.readString("MRU" + std::to_string(i));
    if (!value) break;
    if (!value->empty()) files.push_back(*value);
  }
  return files;
}

}  // namespace varnok::app
