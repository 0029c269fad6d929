// The companion program with a test clock: a scheduled connection runs
// through the recording emulator at its minute, the editor's message makes
// it read the configuration again, and the runs land in its history log.
// Also `vnk next`, which lists the same timetable.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "capture.h"
#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "platform/message_bus.h"
#include "platform/posix/settings_file.h"
#include "platform/program_names.h"
#include "platform/settings_names.h"
#include "program_dir.h"
#include "scoped_env.h"
#include "tree_helpers.h"

namespace varnok::test {
namespace {

using namespace std::chrono_literals;

void WriteConfiguration(const std::string& path,
                        const std::vector<std::pair<std::string, std::string>>& scheduledConnections) {
  ConnectionTree tree;
  TreeNode* site = Add(tree, tree.top(), "Site");
  rVTNodeData d = site->data();
  d.Macro = EncodeText("connect site");
  tree.setData(site, d);
  for (const auto& [name, schedule] : scheduledConnections) {
    TreeNode* n = Add(tree, site, name);
    rVTNodeData nd = n->data();
    nd.Macro = EncodeText("sendln " + name);
    nd.Schedule = schedule;
    tree.setData(n, nd);
  }
  ASSERT_TRUE(SaveConfiguration(tree, path));
}

bool Logged(const ProgramDir& dir, const std::string& line) {
  auto log = dir.companionLog();
  return std::find(log.begin(), log.end(), line) != log.end();
}

class Companion : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.env["TZ"] = "UTC";
    std::filesystem::create_directories(dir.scratch("config/Zelmora"));
    settings = platform::OpenSettingsFile(dir.settingsFile());
  }
  ProgramDir dir{{"varnok", "corvmain", "vnk"}};
  std::unique_ptr<platform::SettingsStore> settings;
};

TEST_F(Companion, RunsAScheduledConnectionAtItsMinuteAndReloadsOnTheEditorsMessage) {
  WriteConfiguration(dir.scratch("net.vnk"), {{"Router", "=0 9 * * *"}, {"Spare", ""}});
  settings->write({platform::LastVNKFile.value(dir.scratch("net.vnk"))});
  // The clock starts 20 s before nine and runs ten times as fast.
  dir.env["VARNOK_CLOCK"] = "2026-05-04 08:59:40";
  dir.env["VARNOK_CLOCK_RATE"] = "10";
  pid_t companion = dir.start(dir.file("varnok"));
  ASSERT_TRUE(dir.waitUntilListening(companion));
  ASSERT_TRUE(Eventually([&] { return Logged(dir, "loaded 3 connections, 1 scheduled"); }));
  EXPECT_TRUE(Logged(dir, "tray: window (offscreen)"));
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(EmulatorRecords(dir.scratch("corvmain.jsonl")).empty()) << "run before its minute";

  ASSERT_TRUE(Eventually([&] { return EmulatorRecords(dir.scratch("corvmain.jsonl")).size() == 1; }, 5s));
  nlohmann::json run = EmulatorRecords(dir.scratch("corvmain.jsonl"))[0];
  EXPECT_EQ(run["argv"][1], "/M=" + dir.file("Temp_CVL/~macroC1.cvl"));
  const std::string macro = run["macro"];
  EXPECT_LT(macro.find("connect site"), macro.find("sendln Router"));
  EXPECT_TRUE(Logged(dir, "run scheduled Site/Router: started"));
  EXPECT_EQ(platform::SelectedNodeIndex.read(*settings), 2);
  const std::string history = ReadFile(dir.scratch(".local/share/Zelmora/varnok-runs.log"));
  EXPECT_EQ(history.rfind("2026-05-04 09:00:0", 0), 0u) << history;
  EXPECT_EQ(history.substr(19), "\tscheduled\tSite/Router\tstarted\n");

  // The editor opened another file: its message makes the companion read it
  // (the folder is made first, so that the watch on the old folder has settled).
  std::filesystem::create_directories(dir.scratch("other"));
  std::this_thread::sleep_for(500ms);
  WriteConfiguration(dir.scratch("other/lab.vnk"), {{"A", "=1 9 * * *"}, {"B", "=1 9 * * *"}, {"C", ""}});
  settings->write({platform::LastVNKFile.value(dir.scratch("other/lab.vnk"))});
  {
    ScopedEnv runtime("XDG_RUNTIME_DIR", dir.scratch("runtime"));
    EXPECT_EQ(platform::SendBroadcast(platform::kCompanionReloadMessage), 1);
  }
  ASSERT_TRUE(Eventually([&] { return Logged(dir, "loaded 4 connections, 2 scheduled"); }));
  EXPECT_TRUE(Logged(dir, platform::kCompanionReloadMessage));

  // 9:01: A, then B one start interval (2 s, 0.2 s of real time) later.
  ASSERT_TRUE(Eventually([&] { return EmulatorRecords(dir.scratch("corvmain.jsonl")).size() >= 2; }, 15s));
  auto afterA = std::chrono::steady_clock::now();
  ASSERT_TRUE(Eventually([&] { return EmulatorRecords(dir.scratch("corvmain.jsonl")).size() == 3; }, 5s));
  EXPECT_GE(std::chrono::steady_clock::now() - afterA, 100ms);
  EXPECT_NE(EmulatorRecords(dir.scratch("corvmain.jsonl"))[1]["macro"].get<std::string>().find("sendln A"),
            std::string::npos);
  EXPECT_NE(EmulatorRecords(dir.scratch("corvmain.jsonl"))[2]["macro"].get<std::string>().find("sendln B"),
            std::string::npos);
  ::kill(companion, SIGTERM);
  EXPECT_EQ(dir.wait(companion), 0);
}

TEST_F(Companion, FollowsTheFileOnDiskAndKeepsTheLastGoodMenu) {
  WriteConfiguration(dir.scratch("net.vnk"), {{"Router", ""}});
  settings->write({platform::LastVNKFile.value(dir.scratch("net.vnk"))});
  pid_t companion = dir.start(dir.file("varnok"));
  ASSERT_TRUE(Eventually([&] { return Logged(dir, "loaded 2 connections, 0 scheduled"); }));
  WriteConfiguration(dir.scratch("net.vnk"), {{"Router", "=0 3 * * *"}, {"Switch", ""}});
  ASSERT_TRUE(Eventually([&] { return Logged(dir, "loaded 3 connections, 1 scheduled"); }));
  WriteFile(dir.scratch("net.vnk"), "VNK20 truncated");
  ASSERT_TRUE(Eventually([&] {
    auto log = dir.companionLog();
    return std::any_of(log.begin(), log.end(), [](const std::string& l) {
      return l.rfind("notice: Cannot read the configuration ", 0) == 0 &&
             l.find("The menu keeps the connections read before.") != std::string::npos;
    });
  }));
  ::kill(companion, SIGTERM);
  EXPECT_EQ(dir.wait(companion), 0);
}

TEST_F(Companion, TestClockThatIsNoTimeIsRefused) {
  dir.env["VARNOK_CLOCK"] = "nine o'clock";
  Output out = Capture(dir, dir.file("varnok"), {});
  EXPECT_EQ(out.status, 2);
  EXPECT_EQ(out.err, "varnok: VARNOK_CLOCK=\"nine o'clock\" is not a local time \"YYYY-MM-DD HH:MM[:SS]\"\n");
}

TEST_F(Companion, VnkNextListsTheTimetable) {
  WriteConfiguration(dir.scratch("net.vnk"),
                     {{"Router", "=0 9 * * 1,2,3,4,5"}, {"Backup", "=30 23 31 * *"}, {"Odd", "=0 9 30 2 *"}});
  Output out = Capture(dir, dir.file("vnk"),
                       {"next", dir.scratch("net.vnk"), "--from", "2026-05-29 09:00", "-n", "4"});
  EXPECT_EQ(out.status, 0) << out.err;
  EXPECT_EQ(out.out,
            "2026-05-29 09:00\tSite/Router\n"
            "2026-05-31 23:30\tSite/Backup\n"
            "2026-06-01 09:00\tSite/Router\n"
            "2026-06-02 09:00\tSite/Router\n");
  EXPECT_EQ(out.err, "vnk: Site/Odd: the schedule cannot run: none of its days exists in its months\n");
  out = Capture(dir, dir.file("vnk"), {"next", dir.scratch("net.vnk"), "--from", "May 29"});
  EXPECT_EQ(out.status, 1);
  EXPECT_EQ(out.err, "vnk: --from: \"May 29\" is not a time \"YYYY-MM-DD HH:MM\"\n");
}

}  // namespace
}  // namespace varnok::test
