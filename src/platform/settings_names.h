#pragma once
// The values of the settings key "Software\Zelmora\Varnok" that the editor,
// the companion and vnk share: one line per value with its name, its type
// (string or 32-bit integer; flags are integers 0 and 1) and its default.
// Programs read and write them through these entries only, so that a name
// or default is never spelled twice.
//
//   std::string last = platform::LastVNKFile.read(store);
//   store.write({platform::LastVNKFile.value(path), platform::SelectedNodeIndex.value(3)});
#include <cstdint>
#include <string>
#include <utility>

#include "platform/settings_store.h"

namespace varnok::platform {

// A string value. A missing value, or one of another type, reads as the default.
struct StringSetting {
  const char* name;
  const char* fallback;

  std::string read(const SettingsStore& store) const { return store.readString(name, fallback); }
  // The write of `text` under this name, for SettingsStore::write.
  SettingWrite value(std::string text) const { return {name, std::move(text)}; }
  // Writes `text` alone; returns an error text, empty on success.
  std::string write(SettingsStore& store, std::string text) const {
    return store.write({value(std::move(text))});
  }
};

// A 32-bit integer value. A missing value, or one that is no integer, reads
// as the default.
struct IntSetting {
  const char* name;
  std::int32_t fallback;

  std::int32_t read(const SettingsStore& store) const { return store.readInt(name, fallback); }
  // For values whose default depends on the situation (the window's
  // position on the current screen).
  std::int32_t read(const SettingsStore& store, std::int32_t situationalDefault) const {
    return store.readInt(name, situationalDefault);
  }
  // Flags: any number other than 0 is on.
  bool readFlag(const SettingsStore& store) const { return read(store) != 0; }
  SettingWrite value(std::int32_t number) const { return {name, number}; }
  SettingWrite flagValue(bool on) const { return {name, on ? 1 : 0}; }
  std::string write(SettingsStore& store, std::int32_t number) const { return store.write({value(number)}); }
};

// The user variables $NAME$, $EMAIL$, $PHONE$ of macros.
inline constexpr StringSetting VarName{"VarName", ""};
inline constexpr StringSetting VarEmail{"VarEmail", ""};
inline constexpr StringSetting VarPhone{"VarPhone", ""};
// Seconds between the starts of "Run all selected", as the spin editor shows it.
inline constexpr StringSetting MultiStartInterval{"MultiStartInterval", "5"};
// The absolute index of the node to focus after loading the last file.
inline constexpr IntSetting SelectedNodeIndex{"SelectedNodeIndex", 0};
inline constexpr IntSetting SelectLast{"SelectLast", 1};
// The window. WinTop and WinLeft default to a window centred on the screen,
// which only the editor knows; read them with read(store, centred).
inline constexpr IntSetting WinWidth{"WinWidth", 640};
inline constexpr IntSetting WinHeight{"WinHeight", 490};
inline constexpr IntSetting WinTop{"WinTop", 0};
inline constexpr IntSetting WinLeft{"WinLeft", 0};
inline constexpr IntSetting TreeWidth{"TreeWidth", 215};
inline constexpr IntSetting WinMaximized{"WinMaximized", 0};
// "Disable color support": runs leave the emulator's colours alone.
inline constexpr IntSetting NoColors{"NoColors", 0};
inline constexpr IntSetting UseColorsInEditor{"UseColorsInEditor", 1};
// Read as "UseSameBackground" but written as "UseSameBackGround", as stored
// files have always had it; the store compares names without letter case.
inline constexpr IntSetting UseSameBackground{"UseSameBackground", 1};
inline constexpr IntSetting UseSameBackgroundWritten{"UseSameBackGround", 1};
inline constexpr IntSetting AutoSave{"AutoSave", 1};
// Set: the started emulators' windows are not tiled.
inline constexpr IntSetting DoNotTile{"DoNotTile", 0};
inline constexpr IntSetting DblClickAction{"DblClickAction", 0};
// The configuration file last opened (absolute path); the companion reads it too.
inline constexpr StringSetting LastVNKFile{"LastVNKFile", ""};
// The folder of the emulator and its settings file; empty: the program folder.
inline constexpr StringSetting EmulatorDir{"EmulatorDir", ""};
// A file handed from a second start (or the command line) to the running editor.
inline constexpr StringSetting ParamName{"ParamName", ""};

// The recent files "MRU1", "MRU2", ... (n from 1), strings, default "".
inline std::string RecentFileName(int n) { return "MRU" + std::to_string(n); }

// The last queries of the editor's find filter, "FindQuery1" (the newest) to
// "FindQuery10", strings, default "".
inline constexpr int kFindHistoryCount = 10;
inline std::string FindQueryName(int n) { return "FindQuery" + std::to_string(n); }

}  // namespace varnok::platform
