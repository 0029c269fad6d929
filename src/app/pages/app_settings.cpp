#include "pages/app_settings.h"

#include <algorithm>
#include <charconv>

namespace varnok::app {

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

AppSettings LoadAppSettings(const platform::SettingsStore& store, const LoadContext& context) {
  AppSettings s;
  if (!store.keyExists()) return s;

  s.varName = platform::VarName.read(store);
  s.varEmail = platform::VarEmail.read(store);
  s.varPhone = platform::VarPhone.read(store);
  s.multiStartInterval = platform::MultiStartInterval.read(store);
  if (s.multiStartInterval.empty()) s.multiStartInterval = platform::MultiStartInterval.fallback;
  // A stored interval that is no whole number gets the spin editor's rule.
  s.multiStartInterval = std::to_string(RunDelaySeconds(s.multiStartInterval));
  if (!context.hasCommandLineParameter) s.selectedNodeIndex = platform::SelectedNodeIndex.read(store);
  s.selectLast = platform::SelectLast.readFlag(store);
  s.noColors = platform::NoColors.readFlag(store);
  s.useColorsInEditor = platform::UseColorsInEditor.readFlag(store);
  s.useSameBackground = platform::UseSameBackground.readFlag(store);
  s.autoSave = platform::AutoSave.readFlag(store);
  s.doNotTile = platform::DoNotTile.readFlag(store);
  s.dblClickAction = platform::DblClickAction.read(store);
  s.lastVnkFile = platform::LastVNKFile.read(store);
  s.emulatorDir = platform::EmulatorDir.read(store);
  s.recentFiles = ReadRecentFiles(store);

  IntRect g;
  g.width = std::max(platform::WinWidth.read(store), kMinWindowWidth);
  g.height = std::max(platform::WinHeight.read(store), kMinWindowHeight);
  g.top = platform::WinTop.read(store, (context.screen.height - g.height) / 2);
  g.left = platform::WinLeft.read(store, (context.screen.width - g.width) / 2);
  s.geometry = ClampToWorkArea(g, context.workArea, context.currentWindowWidth);
  s.treeWidth = std::max(platform::TreeWidth.read(store), kMinTreeWidth);
  s.maximized = platform::WinMaximized.read(store) == 1;
  return s;
}

std::vector<platform::SettingWrite> SettingsWrites(const AppSettings& s) {
  return {
      platform::VarName.value(s.varName),
      platform::VarEmail.value(s.varEmail),
      platform::VarPhone.value(s.varPhone),
      platform::MultiStartInterval.value(s.multiStartInterval),
      platform::SelectedNodeIndex.value(s.selectedNodeIndex),
      platform::SelectLast.flagValue(s.selectLast),
      platform::UseColorsInEditor.flagValue(s.useColorsInEditor),
      platform::UseSameBackgroundWritten.flagValue(s.useSameBackground),
      platform::AutoSave.flagValue(s.autoSave),
      platform::LastVNKFile.value(s.lastVnkFile),
      platform::WinTop.value(s.geometry.top),
      platform::WinLeft.value(s.geometry.left),
      platform::WinWidth.value(s.geometry.width),
      platform::WinHeight.value(s.geometry.height),
      platform::TreeWidth.value(s.treeWidth),
      platform::WinMaximized.flagValue(s.maximized),
      platform::DoNotTile.flagValue(s.doNotTile),
      platform::NoColors.flagValue(s.noColors),
      platform::DblClickAction.value(s.dblClickAction),
      platform::EmulatorDir.value(s.emulatorDir),
  };
}

std::vector<platform::SettingWrite> RecentFileWrites(const std::vector<std::string>& files) {
  std::vector<platform::SettingWrite> writes;
  for (int i = 0; i < kRecentFileCount; ++i) {
    std::string value =
        i < static_cast<int>(files.size()) ? files[static_cast<std::size_t>(i)] : std::string();
    writes.push_back({platform::RecentFileName(i + 1), value});
  }
  return writes;
}

std::vector<std::string> ReadRecentFiles(const platform::SettingsStore& store) {
  std::vector<std::string> files;
  for (int i = 1; i <= kRecentFileCount; ++i) {
    auto value = store.readString(platform::RecentFileName(i));
    if (!value) break;
    if (!value->empty()) files.push_back(*value);
  }
  return files;
}

}  // namespace varnok::app
