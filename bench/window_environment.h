#pragma once
// What the window benchmarks share: a temporary folder with a generated
// 100,000-connection file and its own settings, a prompter that gives one
// answer to every question, and the window opened on the file.
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "dialogs/prompts.h"
#include "files/vnk_file.h"
#include "generated_tree.h"
#include "platform/posix/settings_file.h"
#include "window/main_window.h"

namespace varnok::bench {

inline const int kConnections = Connections(100000);  // VARNOK_BENCH_CONNECTIONS=1000000: the large one

// OK to a message; `yes` (or No) to every question.
class SilentPrompter : public app::Prompter {
 public:
  bool yes = false;
  app::PromptAnswer ask(app::PromptKind, app::PromptButtons buttons, const std::string&) override {
    if (buttons == app::PromptButtons::OK) return app::PromptAnswer::OK;
    return yes ? app::PromptAnswer::Yes : app::PromptAnswer::No;
  }
};

class NoDialogs : public app::FileDialogs {
 public:
  std::optional<std::string> openFile(const app::FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const app::FileDialogRequest&) override { return std::nullopt; }
};

// The window as the editor opens it on `file` (LastVNKFile), with the
// settings in `settings` and the program directory `dir`, shown and exposed.
inline std::unique_ptr<app::MainWindow> OpenWindowOn(platform::SettingsStore& settings,
                                                     const std::string& file, const std::string& dir,
                                                     int selectedNodeIndex, app::Prompter& prompter,
                                                     app::FileDialogs& dialogs) {
  settings.write({{"LastVNKFile", file}, {"SelectedNodeIndex", selectedNodeIndex}});
  app::WindowServices services;
  services.settings = &settings;
  services.dialogs = &dialogs;
  services.hasCommandLineParameter = false;
  services.programDir = dir;
  auto window = std::make_unique<app::MainWindow>(prompter, nullptr, services);
  window->show();
  (void)QTest::qWaitForWindowExposed(window.get());
  return window;
}

struct Environment {
  std::string dir;
  std::string file;
  std::uintmax_t fileSize = 0;
  std::unique_ptr<platform::SettingsStore> settings;
  SilentPrompter prompter;
  NoDialogs dialogs;

  Environment() {
    dir = (std::filesystem::temp_directory_path() / ("varnok-bench-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(dir);
    file = dir + "/Large.vnk";
    ConnectionTree tree;
    GenerateTree(tree, kConnections);
    SaveConfiguration(tree, file);
    fileSize = std::filesystem::file_size(file);
    settings = platform::OpenSettingsFile(dir + "/Varnok.conf");
  }
  ~Environment() { std::filesystem::remove_all(dir); }

  std::unique_ptr<app::MainWindow> openWindow() {
    auto window = OpenWindowOn(*settings, file, dir, 0, prompter, dialogs);
    QCoreApplication::processEvents();
    return window;
  }
};

inline Environment& Env() {
  static Environment env;
  return env;
}

inline long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

inline void Settle() {
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
}

}  // namespace varnok::bench
