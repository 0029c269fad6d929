// The programs run from a program folder the user may not write (a system
// install): run files and logs go to the user's XDG folders, private, and
// the emulator comes from the folder the settings name.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "capture.h"
#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "model/connection_tree.h"
#include "platform/posix/settings_file.h"
#include "platform/settings_names.h"
#include "program_dir.h"

namespace varnok::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

unsigned ModeOf(const std::string& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st.st_mode & 07777;
}

class InstalledPlacesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ConnectionTree tree;
    rVTNodeData d;
    d.Name = "Lab";
    d.Macro = EncodeText("send $LOGDIR$\r\n");
    d.NodeType = StoredNodeType::Macro;
    d.StartLogging = true;
    tree.insert(tree.top(), 0, ConnectionTree::newNode(d));
    ASSERT_TRUE(SaveConfiguration(tree, config));
    // The emulator in a folder of its own; the program folder read-only
    // (mode 0555 counts as read-only for root too).
    fs::create_directories(emulatorDir);
    fs::rename(dir.file("corvmain"), emulatorDir + "/corvmain");
    fs::rename(dir.file("corvane.ini"), emulatorDir + "/corvane.ini");
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    dir.env["XDG_STATE_HOME"] = dir.scratch("state");
  }
  void TearDown() override { fs::permissions(dir.path(), fs::perms::owner_all); }

  void setEmulatorDir(const std::string& folder) {
    platform::OpenSettingsFile(dir.settingsFile())->write({platform::EmulatorDir.value(folder)});
  }

  ProgramDir dir{{"vnk", "corvmain", "varnokc", "varnok"}};
  std::string config = dir.scratch("net.vnk");
  std::string emulatorDir = dir.scratch("corvane");
};

TEST_F(InstalledPlacesTest, RunWritesItsFilesIntoTheUsersPrivateFolders) {
  setEmulatorDir(emulatorDir);
  Output o = Capture(dir, dir.file("vnk"), {"run", config, "Lab"});
  ASSERT_EQ(o.status, 0) << o.err;
  const std::string temp = dir.runtimeDir() + "/Temp_CVL";
  const std::string logs = dir.scratch("state") + "/varnok/Logs";
  EXPECT_EQ(o.out, "/F=" + temp + "/~CViniC1.ini\n/M=" + temp + "/~macroC1.cvl\n");
  EXPECT_EQ(ModeOf(temp), 0700u);
  EXPECT_EQ(ModeOf(temp + "/~macroC1.cvl"), 0600u);
  EXPECT_EQ(ModeOf(temp + "/~CViniC1.ini"), 0600u);
  EXPECT_EQ(ModeOf(dir.scratch("state") + "/varnok"), 0700u);
  EXPECT_EQ(ModeOf(logs), 0700u);
  // $LOGDIR$ and the log block name the state folder.
  const std::string macro = ReadFile(temp + "/~macroC1.cvl");
  EXPECT_TRUE(macro.starts_with("send " + logs + "/\r\n")) << macro;
  EXPECT_NE(macro.find("strconcat fn '" + logs + "/Lab_'"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir.file("Temp_CVL")));
  EXPECT_FALSE(fs::exists(dir.file("Logs")));

  // The emulator from the settings' folder got both files.
  std::vector<nlohmann::json> records;
  ASSERT_TRUE(Eventually([&] {
    records = EmulatorRecords(dir.scratch("corvmain.jsonl"));
    return !records.empty();
  }));
  EXPECT_EQ(records[0]["argv"][1], "/M=" + temp + "/~macroC1.cvl") << records[0];
  EXPECT_EQ(records[0]["macro"], macro);
}

TEST_F(InstalledPlacesTest, MissingEmulatorNamesTheFolderAndTheSetting) {
  Output o = Capture(dir, dir.file("vnk"), {"run", config, "Lab"});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(
      o.err.find("CORVMAIN not found in " + dir.path() + ".\nSet the emulator folder on the Settings page."),
      std::string::npos)
      << o.err;
  EXPECT_FALSE(fs::exists(dir.runtimeDir() + "/Temp_CVL/~macroC1.cvl"));
}

TEST_F(InstalledPlacesTest, EditorStartsWithoutTheEmulatorSoThatItsFolderCanBeSet) {
  pid_t editor = dir.start(dir.file("varnokc"));
  ASSERT_TRUE(dir.waitUntilListening(editor)) << "the editor did not come up";
  EXPECT_EQ(dir.run(dir.file("varnok"), {"--stop-editor"}), 0);
  EXPECT_EQ(dir.wait(editor, 10s), 0);
  EXPECT_TRUE(dir.prompts().empty()) << dir.prompts()[0].text;
  // Its start-up clean-up made the run folder in the runtime folder, not beside it.
  EXPECT_EQ(ModeOf(dir.runtimeDir() + "/Temp_CVL"), 0700u);
  EXPECT_FALSE(fs::exists(dir.file("Temp_CVL")));
}

}  // namespace
}  // namespace varnok::test
