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

  s.varName = setting::VarName.read(store);
  s.varEmail = setting::VarEmail.read(store);
  s.varPhone = setting::VarPhone.read(store);
  s.multiStartInterval = setting::MultiStartInterval.read(store);
  if (s.multiStartInterval.empty()) s.multiStartInterval = setting::MultiStartInterval.fallback;
  // A stored interval that is no whole number gets the spin editor's rule.
  s.multiStartInterval = std::to_string(RunDelaySeconds(s.multiStartInterval));
  if (!context.hasCommandLineParameter) s.selectedNodeIndex = setting::SelectedNodeIndex.read(store);
  s.selectLast = setting::SelectLast.readFlag(store);
  s.noColors = setting::NoColors.readFlag(store);
  s.useColorsInEditor = setting::UseColorsInEditor.readFlag(store);
  s.useSameBackground = setting::UseSameBackground.readFlag(store);
  s.autoSave = setting::AutoSave.readFlag(store);
  s.doNotTile = setting::DoNotTile.readFlag(store);
  s.dblClickAction = setting::DblClickAction.read(store);
  s.lastVnkFile = setting::LastVNKFile.read(store);
  s.emulatorDir = setting::EmulatorDir.read(store);
  s.recentFiles = ReadRecentFiles(store);

  IntRect g;
  g.width = std::max(setting::WinWidth.read(store), kMinWindowWidth);
  g.height = std::max(setting::WinHeight.read(store), kMinWindowHeight);
  g.top = setting::WinTop.read(store, (context.screen.height - g.height) / 2);
  g.left = setting::WinLeft.read(store, (context.screen.width - g.width) / 2);
  s.geometry = ClampToWorkArea(g, context.workArea, context.currentWindowWidth);
  s.treeWidth = std::max(setting::TreeWidth.read(store), kMinTreeWidth);
  s.maximized = setting::WinMaximized.read(store) == 1;
  return s;
}

std::vector<platform::SettingWrite> SettingsWrites(const AppSettings& s) {
  return {
      setting::VarName.value(s.varName),
      setting::VarEmail.value(s.varEmail),
      setting::VarPhone.value(s.varPhone),
      setting::MultiStartInterval.value(s.multiStartInterval),
      setting::SelectedNodeIndex.value(s.selectedNodeIndex),
      setting::SelectLast.flagValue(s.selectLast),
      setting::UseColorsInEditor.flagValue(s.useColorsInEditor),
      setting::UseSameBackgroundWritten.flagValue(s.useSameBackground),
      setting::AutoSave.flagValue(s.autoSave),
      setting::LastVNKFile.value(s.lastVnkFile),
      setting::WinTop.value(s.geometry.top),
      setting::WinLeft.value(s.geometry.left),
      setting::WinWidth.value(s.geometry.width),
      setting::WinHeight.value(s.geometry.height),
      setting::TreeWidth.value(s.treeWidth),
      setting::WinMaximized.flagValue(s.maximized),
      setting::DoNotTile.flagValue(s.doNotTile),
      setting::NoColors.flagValue(s.noColors),
      setting::DblClickAction.value(s.dblClickAction),
      setting::EmulatorDir.value(s.emulatorDir),
  };
}

std::vector<platform::SettingWrite> RecentFileWrites(const std::vector<std::string>& files) {
  std::vector<platform::SettingWrite> writes;
  for (int i = 0; i < kRecentFileCount; ++i) {
    std::string value =
        i < static_cast<int>(files.size()) ? files[static_cast<std::size_t>(i)] : std::string();
    writes.push_back({setting::RecentFileName(i + 1), value});
  }
  return writes;
}

std::vector<std::string> ReadRecentFiles(const platform::SettingsStore& store) {
  std::vector<std::string> files;
  for (int i = 1; i <= kRecentFileCount; ++i) {
    auto value = store.readString(setting::RecentFileName(i));
    if (!value) break;
    if (!value->empty()) files.push_back(*value);
  }
  return files;
}

}  // namespace varnok::app
