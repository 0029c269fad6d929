#pragma once
// The companion under test in a temporary program directory, with a
// recording launcher and a clock the test sets; shared by its GUI tests.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>

#include "common/stored_text.h"
#include "companion.h"
#include "files/vnk_file.h"
#include "history_window.h"
#include "platform/posix/settings_file.h"
#include "platform/settings_names.h"
#include "program_dir.h"
#include "scoped_env.h"
#include "temp_dir.h"
#include "tray_menu.h"
#include "tree_helpers.h"

namespace companion_test {

using namespace varnok;

class TestClock : public properties::WallClock {
 public:
  std::int64_t now() const override { return t; }
  std::int64_t t = 0;
};

inline std::int64_t At(int y, int mo, int d, int h, int mi, int s = 0) {
  return *properties::FirstInstantOf({y, mo, d, h, mi}) + s;
}

struct Launch {
  std::string program;
  std::vector<std::string> args;
};

// A program directory with the emulator's files, a settings file and a
// configuration; the companion under test runs with a recording launcher.
struct Fixture {
  test::TempDir dir;
  test::ScopedEnv tz{"TZ", "UTC"};
  std::string programDir = dir.path() + "/program";
  std::string vnk = dir.file("net.vnk");
  std::unique_ptr<platform::SettingsStore> settings = platform::OpenSettingsFile(dir.file("Varnok.conf"));
  TestClock clock;
  std::vector<Launch> launches;
  std::vector<std::string> records;
  std::unique_ptr<tray::Companion> companion;

  Fixture() {
    tzset();
    std::filesystem::create_directories(programDir);
    test::WriteFile(programDir + "/corvmain", "#!/bin/sh\n");
    std::filesystem::copy_file(std::string(VARNOK_BIN_DIR) + "/corvane.ini", programDir + "/corvane.ini");
    settings->write({platform::LastVNKFile.value(vnk), platform::MultiStartInterval.value("2")});
    clock.t = At(2026, 5, 4, 8, 59, 30);
  }
  ~Fixture() { tzset(); }

  // Top: "Lab" (macro "lab") with children "Router" and a separator and
  // "Switch"; "Solo" (schedule as given).
  void writeTree(const std::string& soloSchedule = "", const std::string& routerSchedule = "") {
    ConnectionTree tree;
    TreeNode* lab = test::Add(tree, tree.top(), "Lab");
    auto withMacro = [&](TreeNode* n, const std::string& macro, const std::string& schedule) {
      rVTNodeData d = n->data();
      d.Macro = EncodeText(macro);
      d.Schedule = schedule;
      tree.setData(n, d);
    };
    withMacro(lab, "connect lab", "");
    withMacro(test::Add(tree, lab, "Router"), "sendln router", routerSchedule);
    test::Add(tree, lab, "----- separator line -----");
    withMacro(test::Add(tree, lab, "Switch & Co"), "sendln switch", "");
    withMacro(test::Add(tree, tree.top(), "Solo"), "connect solo", soloSchedule);
    QVERIFY(SaveConfiguration(tree, vnk));
  }

  tray::Companion& start(double clockRate = 1000) {
    tray::CompanionOptions o;
    o.programDir = programDir;
    o.clock = &clock;
    o.clockRate = clockRate;  // 1000: "MultiStartInterval" seconds pass in milliseconds
    o.launch = [this](const std::string& p, const std::vector<std::string>& a) {
      launches.push_back({p, a});
      return platform::LaunchResult{true, ""};
    };
    o.launchEditor = o.launch;
    o.historyFile = dir.file("data/varnok-runs.log");
    o.record = [this](const std::string& line) { records.push_back(line); };
    companion = std::make_unique<tray::Companion>(o, *settings);
    return *companion;
  }

  std::string macroOf(const Launch& l) {
    return test::ReadFile(l.args.at(1).substr(3));  // "/M=<path>"
  }
  int notices() const {
    return static_cast<int>(std::count_if(records.begin(), records.end(),
                                          [](const std::string& r) { return r.rfind("notice: ", 0) == 0; }));
  }
};

inline QStringList Texts(const QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("--") : a->text());
  return out;
}

inline QAction* Find(const QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions())
    if (a->text() == text) return a;
  return nullptr;
}

inline QMenu* Open(QAction* submenuAction) {
  QMenu* sub = submenuAction ? submenuAction->menu() : nullptr;
  if (sub) emit sub->aboutToShow();
  return sub;
}

}  // namespace companion_test
