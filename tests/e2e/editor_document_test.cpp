// The editor as a built program: started with a file while a last
// configuration is known, it offers the import, is stopped by the companion
// and saves the changed document on the way out; vnk reads the result.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "platform/posix/settings_file.h"
#include "program_dir.h"

namespace varnok::test {
namespace {

using namespace std::chrono_literals;

std::string CaptureStdout(const ProgramDir& dir, const std::string& program, const std::vector<std::string>& args) {
  const std::string outPath = dir.scratch("stdout.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> envStrings;
  for (const auto& [k, v] : dir.env) envStrings.push_back(k + "=" + v);
  std::vector<char*> envp, argv;
  for (auto& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) ::waitpid(pid, nullptr, 0);
  posix_spawn_file_actions_destroy(&actions);
  return ReadFile(outPath);
}

void WriteConnections(const std::string& path, const std::vector<std::string>& names) {
  ConnectionTree tree;
  for (const auto& name : names) {
    rVTNodeData d;
    d.Name = name;
    d.Macro = EncodeText("SEND \"" + name + "\"");
    tree.Insert(tree.Top(), tree.Top()->childCount(), ConnectionTree::NewNode(d));
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

  const auto listed = nlohmann::json::parse(CaptureStdout(dir, dir.file("vnk"), {"list", "--json", last}));
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

}  // namespace
}  // namespace varnok::test
