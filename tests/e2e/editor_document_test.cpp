// The editor as a built program: started with a file while a last
// configuration is known, it offers the import, is stopped by the companion
// and saves the changed document on the way out; vnk reads the result.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "capture.h"
#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "platform/posix/settings_file.h"
#include "program_dir.h"

namespace varnok::test {
namespace {

using namespace std::chrono_literals;

void WriteConnections(const std::string& path, const std::vector<std::string>& names) {
  ConnectionTree tree;
  for (const auto& name : names) {
    rVTNodeData d;
    d.Name = name;
    d.Macro = EncodeText("SEND \"" + name + "\"");
    tree.insert(tree.top(), tree.top()->childCount(), ConnectionTree::newNode(d));
  }
  ASSERT_TRUE(SaveConfiguration(tree, path).ok);
}

TEST(EditorDocument, StopMessageSavesTheImportedConnections) {
  ProgramDir dir;
  const std::string last = dir.scratch("Sites.vnk");
  const std::string handed = dir.scratch("Extra.vnk");
  WriteConnections(last, {"home"});
  WriteConnections(handed, {"lab one", "lab two"});
  platform::OpenSettingsFile(dir.settingsFile())->writeString("LastVNKFile", last);
  dir.env["VARNOKC_PROMPT_ANSWERS"] = "Yes";

  pid_t editor = dir.start(dir.file("varnokc"), {handed});
  ASSERT_TRUE(dir.waitUntilListening(editor));
  // The import question comes half a second after the window.
  ASSERT_TRUE(Eventually([&] { return !dir.prompts().empty(); }));
  const auto prompts = dir.prompts();
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].kind, "confirmation");
  EXPECT_EQ(prompts[0].buttons, "YesNo");
  EXPECT_EQ(prompts[0].text, "Do you want to import file Extra.vnk into Varnokc?");

  // "Save changes on exit without prompting" is on by default: no question.
  EXPECT_EQ(dir.run(dir.file("varnok"), {"--stop-editor"}), 0);
  EXPECT_EQ(dir.wait(editor, 15s), 0);
  EXPECT_EQ(dir.prompts().size(), 1u);
  // The companion heard about the written settings and configuration.
  EXPECT_TRUE(Eventually([&] {
    const auto log = dir.companionLog();
    return std::count(log.begin(), log.end(), std::string("VarnokRRMessage")) >= 1;
  }));

  const auto listed = nlohmann::json::parse(Capture(dir, dir.file("vnk"), {"list", "--json", last}).out);
  ASSERT_TRUE(listed.is_array());
  std::vector<std::string> names;
  for (const auto& node : listed) names.push_back(node.at("name").get<std::string>());
  EXPECT_EQ(names, (std::vector<std::string>{"home", "lab one", "lab two"}));
  EXPECT_EQ(listed.at(2).at("macro"), "SEND \"lab two\"");
  EXPECT_EQ(listed.at(2).at("level"), 1);
  // The settings were written on the way out; the hand-over slot is empty.
  auto settings = platform::OpenSettingsFile(dir.settingsFile());
  EXPECT_EQ(settings->readString("LastVNKFile", ""), last);
  EXPECT_EQ(settings->readString("ParamName", "?"), "");
}

// A double-click on the file the editor opens anyway opens it; it is not
// imported into itself (which would double every connection as "Copy of").
TEST(EditorDocument, StartWithTheLastFileOpensItWithoutImport) {
  ProgramDir dir;
  const std::string last = dir.scratch("Sites.vnk");
  WriteConnections(last, {"home", "lab"});
  platform::OpenSettingsFile(dir.settingsFile())->writeString("LastVNKFile", last);
  pid_t editor = dir.start(dir.file("varnokc"), {last});
  ASSERT_TRUE(dir.waitUntilListening(editor));
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));  // past the hand-over's half second
  EXPECT_TRUE(dir.prompts().empty());
  EXPECT_EQ(dir.run(dir.file("varnok"), {"--stop-editor"}), 0);
  EXPECT_EQ(dir.wait(editor, std::chrono::seconds(15)), 0);
  const auto listed = nlohmann::json::parse(Capture(dir, dir.file("vnk"), {"list", "--json", last}).out);
  EXPECT_EQ(listed.size(), 2u);
}

// A file named by a relative path is kept as an absolute one.
TEST(EditorDocument, RelativePathIsStoredAbsolute) {
  ProgramDir dir;
  const std::string file = dir.scratch("Rel.vnk");
  WriteConnections(file, {"one"});
  const std::string relative = std::filesystem::relative(file, std::filesystem::current_path()).string();
  ASSERT_NE(relative.front(), '/');
  pid_t editor = dir.start(dir.file("varnokc"), {relative});
  ASSERT_TRUE(dir.waitUntilListening(editor));
  EXPECT_EQ(dir.run(dir.file("varnok"), {"--stop-editor"}), 0);
  EXPECT_EQ(dir.wait(editor, std::chrono::seconds(15)), 0);
  EXPECT_EQ(platform::OpenSettingsFile(dir.settingsFile())->readString("LastVNKFile", ""), file);
}

}  // namespace
}  // namespace varnok::test
