#pragma once
// A main window with scripted prompts and dialogs, its own settings file in
// a temporary folder and a fixed clock.
#include <memory>
#include <string>

#include "common/time_stamp.h"
#include "pages/connection_pages.h"
#include "platform/settings_store.h"
#include "scoped_env.h"
#include "scripted_prompts_qt.h"
#include "temp_dir.h"
#include "tree/tree_view.h"
#include "window/main_window.h"

namespace varnok::test {

class WindowFixture {
 public:
  WindowFixture();
  ~WindowFixture();

  // Creates (or re-creates) the window; the settings file stays.
  app::MainWindow& open(app::WindowServices extra = {});
  // Opens the window, shows it and waits until it is the active window.
  app::MainWindow& openActive(app::WindowServices extra = {});
  // The same on a configuration "T.vnk" of `entries` (see WriteVnk), made the last file.
  app::MainWindow& openActiveOn(const std::vector<std::string>& entries, app::WindowServices extra = {});
  // Destroys the window without its close questions.
  void destroy();
  app::MainWindow& window() { return *window_; }
  platform::SettingsStore& settings() { return *settings_; }
  std::string settingsPath() const { return dir.file("Varnok.conf"); }

  TempDir dir;
  // Autostart entries and associations go to the temporary folder.
  ScopedEnv configHome{"XDG_CONFIG_HOME", dir.path() + "/config"};
  ScopedEnv dataHome{"XDG_DATA_HOME", dir.path() + "/data"};
  // The window's program directory unless a test gives another one.
  std::string programDir = dir.path() + "/program";
  ScriptedPrompter prompter;
  ScriptedFileDialogs dialogs;
  FixedClock clock{{2026, 12, 8, 9, 5, 7}};

  // prompter + dialogs problems, for QVERIFY2.
  std::string problems() const { return prompter.problems() + dialogs.problems(); }

 private:
  std::unique_ptr<platform::SettingsStore> settings_;
  std::unique_ptr<app::MainWindow> window_;
};

// Writes a .VNK file with the given connections below the top node: each
// entry is "level:name:macro text" (macro text plain, may be empty).
void WriteVnk(const std::string& path, const std::vector<std::string>& entries);

// Refreshes the commands and triggers the action called `name`; false (and
// nothing triggered) when it is missing or disabled.
bool Trigger(app::MainWindow& w, const char* name);

// The window's child widget or object of type T called `name` (its objectName).
template <typename T>
T* Child(app::MainWindow& w, const char* name) {
  return w.findChild<T*>(QString::fromLatin1(name));
}

}  // namespace varnok::test
