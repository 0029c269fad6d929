// vnk list, macro and run on a configuration file, run as the built programs
// in a temporary program directory with the stand-in emulator recording what
// it was given.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "capture.h"
#include "common/ini_file.h"
#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "model/connection_tree.h"
#include "platform/system_info.h"
#include "program_dir.h"
#include "properties/color_set.h"

namespace varnok::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

rVTNodeData Connection(const std::string& name, const std::string& macro, int schema, bool logging) {
  rVTNodeData d;
  d.Name = name;
  d.Macro = EncodeText(macro);
  d.Colors = properties::ColorSchemas[static_cast<std::size_t>(schema)].colors;
  d.StartLogging = logging;
  d.NodeType = macro.empty() ? StoredNodeType::NoMacro : StoredNodeType::Macro;
  return d;
}

class VnkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ConnectionTree tree;
    auto site = ConnectionTree::newNode(Connection("Site (A)", "ssh $CONNECTION$\r\nsend $User$", 3, false));
    ConnectionTree::appendDetached(
        site.get(), ConnectionTree::newNode(Connection("Lab/1 x",
                                                       "telnet $CONNECTION$\r\n\r\n  sendln '$NAME$'  "
                                                       "\r\nline3\r\n$LOGIT$",
                                                       4, false)));
    ConnectionTree::appendDetached(site.get(), ConnectionTree::newNode(Connection("Logged", "x", 0, true)));
    tree.insert(tree.top(), 0, std::move(site));
    rVTNodeData sep;
    sep.Name = std::string(kSeparatorName);
    tree.insert(tree.top(), 1, ConnectionTree::newNode(sep));
    tree.insert(tree.top(), 2, ConnectionTree::newNode(Connection("Caf\xE9", "plain\r\n", 6, false)));
    ASSERT_TRUE(SaveConfiguration(tree, config));
  }

  // The records the stand-in emulator wrote, waiting for `count` of them.
  std::vector<nlohmann::json> emulatorRecords(std::size_t count) {
    std::vector<nlohmann::json> records;
    Eventually([&] {
      records = EmulatorRecords(dir.scratch("corvmain.jsonl"));
      return records.size() >= count;
    });
    return records;
  }

  Output vnk(const std::vector<std::string>& args) { return Capture(dir, dir.file("vnk"), args); }

  ProgramDir dir{{"vnk", "corvmain"}};
  std::string config = dir.scratch("net work.vnk");
  std::string logon = platform::LogonName();
};

TEST_F(VnkTest, ListPrintsTheOutlineAndJson) {
  Output o = vnk({"list", config});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Site (A)\n  Lab/1 x\n  Logged\n----- separator line -----\nCaf\xE9\n");

  o = vnk({"list", "--json", config});
  ASSERT_EQ(o.status, 0) << o.err;
  auto j = nlohmann::json::parse(o.out);
  ASSERT_EQ(j.size(), 5u);
  EXPECT_EQ(j[1]["index"], 2);
  EXPECT_EQ(j[1]["level"], 2);
  EXPECT_EQ(j[1]["name"], "Lab/1 x");
  EXPECT_EQ(j[1]["nodeType"], 2);
  EXPECT_EQ(j[2]["startLogging"], true);
  EXPECT_EQ(j[0]["macro"], "ssh $CONNECTION$\r\nsend $User$");
  EXPECT_EQ(j[0]["colors"], properties::ColorSchemas[3].colors);
  EXPECT_EQ(j[4]["name"], "Caf\u00e9");  // byte E9 as the code point U+00E9
  EXPECT_EQ(j[4]["index"], 5);
}

TEST_F(VnkTest, MacroOfABranchOfOneNodeAndToALine) {
  Output o =
      vnk({"macro", config, "Site (A)/Lab\\/1 x", "--branch", "--var", "name=John Doe", "--user", "JDoe"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(
      o.out.starts_with("ssh Site\r\nsend JDoe\r\ntelnet Lab/1\r\nsendln 'John Doe'\r\nline3\r\n"
                        "; Generaing log file name based on current timestamp\r\n"))
      << o.out;
  EXPECT_NE(o.out.find("\r\nstrconcat fn 'Site_%40A%41_Lab%471_x_'\r\n"), std::string::npos);
  EXPECT_TRUE(o.out.ends_with("logopen fn 0 0\r\nend\r\n"));

  // The node alone, by index; the same bytes to a file with -o.
  o = vnk({"macro", config, "2", "--to-line", "3", "-o", dir.scratch("out put.cvl")});
  ASSERT_EQ(o.status, 0) << o.err;
  // No name in the settings: the variable stays and its line keeps its blanks.
  EXPECT_EQ(ReadFile(dir.scratch("out put.cvl")), "telnet Lab/1\r\n  sendln '$NAME$'  \r\n");
  o = vnk({"macro", config, "2", "--to-line", "3"});
  EXPECT_EQ(o.out, "telnet Lab/1\r\n  sendln '$NAME$'  \r\n");

  // The stored logging flag adds the block with the encoded name only.
  o = vnk({"macro", config, "Site (A)/Logged"});
  EXPECT_TRUE(o.out.starts_with("x\r\n; Generaing log")) << o.out;
  EXPECT_NE(o.out.find("\r\nstrconcat fn 'Logged_'\r\n"), std::string::npos);
  EXPECT_TRUE(fs::is_directory(dir.file("Logs")));
  EXPECT_FALSE(fs::exists(dir.file("Temp_CVL/~macroC1.cvl")));
}

TEST_F(VnkTest, WrongUsageAndMissingNodesAreReported) {
  EXPECT_EQ(vnk({"macro", config}).status, 2);
  EXPECT_EQ(vnk({"macro", config, "1", "--var", "colour=red"}).status, 2);
  EXPECT_EQ(vnk({"macro", config, "1", "--to-line", "0"}).status, 2);
  Output o = vnk({"macro", config, "Site (A)/Nope"});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("Nope"), std::string::npos);
  EXPECT_EQ(vnk({"run", config, "4"}).status, 1);  // a separator line
  EXPECT_EQ(vnk({"run", config, "0"}).status, 1);  // the top node
  EXPECT_EQ(vnk({"run", config, "99"}).status, 1);
  o = vnk({"list", dir.scratch("none.vnk")});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("none.vnk"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir.scratch("corvmain.jsonl")));
  // The help names the pair of files a run writes.
  o = vnk({"run", "--help"});
  EXPECT_EQ(o.status, 0);
  EXPECT_NE(o.out.find("~macroC1.cvl"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("~CViniC1.ini"), std::string::npos) << o.out;
}

TEST_F(VnkTest, RunHandsTheEmulatorBothFilesWithTheConnectionsColours) {
  Output o = vnk({"run", config, "Site (A)/Lab\\/1 x", "--branch", "--var", "name=John"});
  ASSERT_EQ(o.status, 0) << o.err;
  auto records = emulatorRecords(1);
  ASSERT_EQ(records.size(), 1u);
  const auto& r = records[0];
  const std::string temp = dir.file("Temp_CVL");
  EXPECT_EQ(r["argv"],
            nlohmann::json::array({"/F=" + temp + "/~CViniC1.ini", "/M=" + temp + "/~macroC1.cvl"}));
  EXPECT_EQ(o.out, "/F=" + temp + "/~CViniC1.ini\n/M=" + temp + "/~macroC1.cvl\n");

  std::string macro = r["macro"];
  EXPECT_TRUE(
      macro.starts_with("ssh Site\r\nsend " + logon + "\r\ntelnet Lab/1\r\nsendln 'John'\r\nline3\r\n"));
  EXPECT_NE(macro.find("strconcat fn '" + dir.file("Logs") + "/Site_%40A%41_Lab%471_x_'"), std::string::npos);

  IniFile settings = IniFile::parse(r["settings"].get<std::string>());
  EXPECT_EQ(settings.get("Corvane", "VTColor"), "0,255,0,0,0,0");  // schema 4
  EXPECT_EQ(settings.get("Corvane", "VTBoldColor"), "255,255,0,0,0,0");
  EXPECT_EQ(settings.get("Corvane", "VTBlinkColor"), "0,255,255,0,0,0");
  EXPECT_EQ(settings.get("BG", "BGEnable"), "off");
  EXPECT_EQ(settings.get("Hosts", "Host1"), "192.168.0.1");
}

TEST_F(VnkTest, DisabledColoursLeaveTheSettingsCopyAsTheEmulatorsOwn) {
  fs::create_directories(dir.scratch("config/Zelmora"));
  WriteFile(dir.settingsFile(), "[Varnok]\nNoColors=1\nVarName=Stored Name\n");
  Output o = vnk({"run", config, "Site (A)/Lab\\/1 x"});
  ASSERT_EQ(o.status, 0) << o.err;
  auto records = emulatorRecords(1);
  ASSERT_EQ(records.size(), 1u);
  std::string expected = ReadFile(dir.file("corvane.ini"));
  expected.replace(expected.find("BGEnable=on"), 11, "BGEnable=off");
  EXPECT_EQ(records[0]["settings"], expected);
  EXPECT_TRUE(records[0]["macro"].get<std::string>().starts_with("telnet Lab/1\r\nsendln 'Stored Name'\r\n"));
}

TEST_F(VnkTest, PathsWithBlanksArriveIntact) {
  const std::string bin = dir.scratch("Corvane with blanks/bin dir");
  fs::create_directories(bin);
  for (const char* f : {"vnk", "corvmain", "corvane.ini"}) fs::copy_file(dir.file(f), bin + "/" + f);
  Output o = Capture(dir, bin + "/vnk", {"run", config, "5"});
  ASSERT_EQ(o.status, 0) << o.err;
  auto records = emulatorRecords(1);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0]["argv"], nlohmann::json::array({"/F=" + bin + "/Temp_CVL/~CViniC1.ini",
                                                       "/M=" + bin + "/Temp_CVL/~macroC1.cvl"}));
  EXPECT_EQ(records[0]["macro"], "plain\r\n");
  EXPECT_EQ(IniFile::parse(records[0]["settings"].get<std::string>()).get("Corvane", "VTColor"),
            "255,255,255,0,0,0");
}

TEST_F(VnkTest, MissingEmulatorSettingsStopsTheRunNamingTheFile) {
  fs::remove(dir.file("corvane.ini"));
  Output o = vnk({"run", config, "5"});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find(dir.file("corvane.ini")), std::string::npos) << o.err;
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(fs::exists(dir.scratch("corvmain.jsonl")));
  EXPECT_TRUE(fs::exists(dir.file("Temp_CVL/~macroC1.cvl")));
  EXPECT_FALSE(fs::exists(dir.file("Temp_CVL/~CViniC1.ini")));
}

TEST_F(VnkTest, MissingEmulatorStopsBeforeAnyFile) {
  fs::remove(dir.file("corvmain"));
  Output o = vnk({"run", config, "5"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: CORVMAIN not found.\nPlease move varnokc into Corvane directory and restart it.\n");
  EXPECT_FALSE(fs::exists(dir.file("Temp_CVL")));
  EXPECT_EQ(vnk({"macro", config, "5"}).status, 1);
}

TEST_F(VnkTest, RunRefusesATempFolderThatAnotherUserShares) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a folder to another uid needs root";
  // Another user's world-writable Temp_CVL with a dangling link at the first macro's name.
  const std::string temp = dir.file("Temp_CVL");
  fs::create_directory(temp);
  ASSERT_EQ(::chmod(temp.c_str(), 01777), 0);
  ASSERT_EQ(::chown(temp.c_str(), 65534, 65534), 0);
  fs::create_directory(dir.scratch("theirs"));
  fs::create_symlink(dir.scratch("theirs/stolen.cvl"), temp + "/~macroC1.cvl");
  Output o = vnk({"run", config, "5"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: warning: Temp_CVL folder '" + temp +
                       "' is not safe to use: owned by uid 65534, mode 1777.\n"
                       "vnk: Cannot use the folder " +
                       temp + ". Cannot execute macro.\n");
  EXPECT_FALSE(fs::exists(dir.scratch("theirs/stolen.cvl")));
  struct stat st {};
  ASSERT_EQ(::stat(temp.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 01777u);
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(fs::exists(dir.scratch("corvmain.jsonl")));
}

}  // namespace
}  // namespace varnok::test
