#pragma once
// What the tray's items and its double-click do besides running connections:
// open the configuration editor, start the emulator (bare or with the last
// macro again), show the desktop, start the screen saver, lock the screen.
// Failures are told through `notify`; nothing here waits for a program.
#include <QObject>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "run/execute_macro.h"
#include "run/temp_files.h"

namespace varnok::tray {

class DesktopActions : public QObject {
  Q_OBJECT
 public:
  struct Hooks {
    run::Launcher launch;        // the emulator (its logs private to the user)
    run::Launcher launchEditor;  // the configuration editor (the user's own file mask)
    std::function<void(const std::string& text, bool failure)> notify;
    std::function<void(const std::string& line)> record;  // the test record (may be empty)
  };
  DesktopActions(std::string programDir, Hooks hooks, QObject* parent = nullptr);

  void openConfiguration();
  void startEmulator();
  // The emulator with the files of the last run (number 0: none yet).
  void startLastMacro(const run::TempFilePair& last);
  void showDesktop();
  void startScreenSaver();
  void lockScreen();

  // Whether this desktop offers the calls (the menu leaves the others out).
  static bool canShowDesktop();
  static bool canUseScreenSaver();

 private:
  void launch(const run::Launcher& launcher, const std::string& program, const std::vector<std::string>& args,
              const std::string& what);
  void desktopCommand(const QString& program, const QStringList& args, const std::string& what);
  void record(const std::string& line) const;

  std::string programDir_;
  Hooks hooks_;
};

}  // namespace varnok::tray
