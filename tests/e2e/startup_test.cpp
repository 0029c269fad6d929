// The editor's start-up, single instance and companion messages, run as the
// built programs in a temporary program directory.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

#include "bus_client.h"
#include "capture.h"
#include "platform/posix/settings_file.h"
#include "program_dir.h"

namespace varnok::test {
namespace {

using namespace std::chrono_literals;

std::string ParamName(const ProgramDir& dir) {
  return platform::OpenSettingsFile(dir.settingsFile())->readString("ParamName", "");
}

// Starts the first editor and waits until it takes messages.
pid_t StartEditor(ProgramDir& dir, const std::vector<std::string>& args = {}) {
  pid_t pid = dir.start(dir.file("varnokc"), args);
  EXPECT_TRUE(dir.waitUntilListening(pid)) << "the editor did not come up";
  return pid;
}

void StopEditor(ProgramDir& dir, pid_t editor) {
  EXPECT_EQ(dir.run(dir.file("varnok"), {"--stop-editor"}), 0);
  EXPECT_EQ(dir.wait(editor, 10s), 0);
}

// A connection to the message socket of process `pid`, as any process of the user may open.

TEST(Startup, TricklingSenderDoesNotHoldUpTheEditorsMessages) {
  ProgramDir dir;
  pid_t editor = StartEditor(dir);
  int fd = ConnectToBusSocket(dir.runtimeDir(), "bus-" + std::to_string(editor) + "-");
  ASSERT_GE(fd, 0);
  // A byte every 50 ms for eight seconds, never a whole message.
  std::atomic<bool> trickling{true};
  std::thread trickle([&] {
    for (int i = 0; i < 160; ++i) {
      (void)::send(fd, "x", 1, MSG_NOSIGNAL);
      std::this_thread::sleep_for(50ms);
    }
    trickling = false;
  });
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(dir.run(dir.file("varnok"), {"--stop-editor"}), 0);
  EXPECT_EQ(dir.wait(editor, 10s), 0);
  EXPECT_TRUE(trickling) << "the stop message waited for the trickling sender to give up";
  trickle.join();
  ::close(fd);
}

TEST(Startup, WrongExecutableNameIsRefusedAnyLetterCaseIsAccepted) {
  ProgramDir dir;
  std::filesystem::copy_file(dir.file("varnokc"), dir.file("varnokc-old"));
  EXPECT_EQ(dir.run(dir.file("varnokc-old")), 1);
  auto prompts = dir.prompts();
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].kind, "error");
  EXPECT_EQ(prompts[0].buttons, "OK");
  EXPECT_EQ(prompts[0].text,
            "This application cannot be executed unless having the original name.\r"
            "Please rename it to 'varnokc' and re-run it.");

  std::filesystem::rename(dir.file("varnokc-old"), dir.file("VarnokC"));
  pid_t editor = StartEditor(dir);
  StopEditor(dir, editor);
  EXPECT_EQ(dir.prompts().size(), 1u);
}

TEST(Startup, PromptLogHookSaysOnStandardErrorThatItAnswersQuestions) {
  ProgramDir dir;
  std::filesystem::copy_file(dir.file("varnokc"), dir.file("renamed"));
  dir.env["VARNOKC_PROMPT_ANSWERS"] = "OK";
  Output out = Capture(dir, dir.file("renamed"), {});
  EXPECT_EQ(out.status, 1);
  EXPECT_NE(out.err.find("test hook active: questions are answered automatically\n"), std::string::npos)
      << out.err;
  EXPECT_EQ(dir.prompts().size(), 1u);
}

TEST(Startup, MissingEmulatorIsRefused) {
  ProgramDir dir({"varnokc", "varnok"});
  EXPECT_EQ(dir.run(dir.file("varnokc")), 1);
  auto prompts = dir.prompts();
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].kind, "error");
  EXPECT_EQ(prompts[0].text,
            "CORVMAIN not found.\rPlease move varnokc into Corvane directory and restart it.");
}

TEST(Startup, CompanionIsStartedOnlyWhenItIsNotRunning) {
  ProgramDir dir;
  // The record also holds the messages the companion heard; count its starts.
  auto starts = [&] {
    const auto log = dir.companionLog();
    return std::count_if(log.begin(), log.end(),
                         [](const std::string& l) { return l.rfind("started ", 0) == 0; });
  };
  pid_t editor = StartEditor(dir);
  ASSERT_TRUE(Eventually([&] { return starts() == 1; }));
  StopEditor(dir, editor);
  // The companion outlives the editor; the next start finds it running.
  editor = StartEditor(dir);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(starts(), 1);
  StopEditor(dir, editor);
  EXPECT_TRUE(dir.prompts().empty());
}

TEST(Startup, MissingCompanionIsReportedAndStartGoesOn) {
  ProgramDir dir({"varnokc", "corvmain"});
  pid_t editor = StartEditor(dir);
  auto prompts = dir.prompts();
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].kind, "warning");
  EXPECT_EQ(prompts[0].text, "File '" + dir.file("varnok") + "' not found.");
  ::kill(editor, SIGTERM);
  dir.wait(editor);
}

TEST(Startup, SecondStartHandsItsFileOverAndFurtherMessagesWaitFiveSeconds) {
  ProgramDir dir;
  dir.env["VARNOKC_PROMPT_ANSWERS"] = "No";  // the import itself is tested with the document
  pid_t editor = StartEditor(dir);
  WriteFile(dir.scratch("branch office.vnk"), "VNK20 content");
  EXPECT_EQ(dir.run(dir.file("varnokc"), {dir.scratch("branch office.vnk")}), 0);

  // The question is asked only when the copy is there; once answered, the copy goes.
  std::string copy = dir.file("Temp_CVL/~branch office.vnk");
  ASSERT_TRUE(Eventually([&] { return dir.prompts().size() == 1; }));
  auto prompts = dir.prompts();
  EXPECT_EQ(prompts[0].kind, "confirmation");
  EXPECT_EQ(prompts[0].buttons, "YesNo");
  EXPECT_EQ(prompts[0].text, "Do you want to import file branch office.vnk into Varnokc?");
  ASSERT_TRUE(Eventually([&] { return ParamName(dir).empty(); }));
  EXPECT_TRUE(Eventually([&] { return !std::filesystem::exists(copy); }));

  // Within five seconds of the last one, a hand-over is not acted upon.
  WriteFile(dir.scratch("second.vnk"), "x");
  EXPECT_EQ(dir.run(dir.file("varnokc"), {dir.scratch("second.vnk")}), 0);
  std::this_thread::sleep_for(800ms);
  EXPECT_EQ(dir.prompts().size(), 1u);
  EXPECT_EQ(ParamName(dir), dir.file("Temp_CVL/~second.vnk"));
  StopEditor(dir, editor);
}

TEST(Startup, HandedOverFileWithTheLongestNameArrives) {
  ProgramDir dir;
  dir.env["VARNOKC_PROMPT_ANSWERS"] = "No";
  pid_t editor = StartEditor(dir);
  const std::string name = std::string(251, 'b') + ".vnk";  // 255 bytes: "~" + name is one too many
  WriteFile(dir.scratch(name), "VNK20 content");
  EXPECT_EQ(dir.run(dir.file("varnokc"), {dir.scratch(name)}), 0);
  ASSERT_TRUE(Eventually([&] { return dir.prompts().size() == 1; }));
  EXPECT_EQ(dir.prompts()[0].kind, "confirmation") << dir.prompts()[0].text;
  EXPECT_EQ(dir.prompts()[0].text,
            "Do you want to import file " + std::string(250, 'b') + ".vnk into Varnokc?");
  StopEditor(dir, editor);
}

TEST(Startup, SecondStartHandsNothingOverThroughALinkedTempFolder) {
  ProgramDir dir;
  pid_t editor = StartEditor(dir);
  // Swapped for a link once the first editor has made it: the copy would land elsewhere.
  std::filesystem::remove_all(dir.file("Temp_CVL"));
  std::filesystem::create_directory(dir.scratch("elsewhere"));
  std::filesystem::create_directory_symlink(dir.scratch("elsewhere"), dir.file("Temp_CVL"));
  WriteFile(dir.scratch("lab.vnk"), "VNK20 content");
  dir.run(dir.file("varnokc"), {dir.scratch("lab.vnk")});
  auto prompts = dir.prompts();
  ASSERT_EQ(prompts.size(), 2u);
  EXPECT_EQ(prompts[0].kind, "warning");
  EXPECT_EQ(prompts[0].text, "Temp_CVL folder '" + dir.file("Temp_CVL") +
                                 "' is not safe to use: a symbolic link, owned by uid " +
                                 std::to_string(::geteuid()) + ", mode 0777.");
  EXPECT_EQ(prompts[1].kind, "error");
  EXPECT_EQ(prompts[1].text, "Failed to create temporary folder. The file cannot be imported.");
  EXPECT_TRUE(std::filesystem::is_empty(dir.scratch("elsewhere")));
  std::filesystem::remove(dir.file("Temp_CVL"));
  StopEditor(dir, editor);
}

TEST(Startup, UnsafeRuntimeFolderIsRefusedNamingIt) {
  ProgramDir dir;
  // Someone else's folder (here: a link) where the markers would live.
  std::filesystem::create_directory(dir.scratch("planted"));
  std::filesystem::create_directory_symlink(dir.scratch("planted"), dir.runtimeDir());
  EXPECT_EQ(dir.run(dir.file("varnokc")), 1);
  ASSERT_EQ(dir.prompts().size(), 1u);
  EXPECT_EQ(dir.prompts()[0].kind, "error");
  EXPECT_NE(dir.prompts()[0].text.find(dir.runtimeDir() + " for the markers"), std::string::npos)
      << dir.prompts()[0].text;
  EXPECT_NE(dir.prompts()[0].text.find("a symbolic link"), std::string::npos);
  EXPECT_EQ(dir.run(dir.file("varnok"), {"--stop-editor"}), 1);
  EXPECT_EQ(dir.run(dir.file("varnok")), 1);
  EXPECT_TRUE(std::filesystem::is_empty(dir.scratch("planted")));
}

TEST(Startup, SecondStartWithoutFileAsksNothingAndAVanishedFileIsReported) {
  ProgramDir dir;
  pid_t editor = StartEditor(dir);
  EXPECT_EQ(dir.run(dir.file("varnokc")), 0);
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(dir.prompts().empty());
  StopEditor(dir, editor);

  // A hand-over whose copy is gone by the time the editor looks.
  editor = StartEditor(dir);
  platform::OpenSettingsFile(dir.settingsFile())->writeString("ParamName", dir.file("Temp_CVL/~lost.vnk"));
  EXPECT_EQ(dir.run(dir.file("varnokc")), 0);
  ASSERT_TRUE(Eventually([&] { return dir.prompts().size() == 1; }));
  EXPECT_EQ(dir.prompts()[0].kind, "warning");
  EXPECT_EQ(dir.prompts()[0].text, "Cannot import file lost.vnk. File not found.");
  EXPECT_EQ(ParamName(dir), dir.file("Temp_CVL/~lost.vnk"));  // kept for a later try
  StopEditor(dir, editor);
}

TEST(Startup, EditorStartsOnceAndLeavesTheEnvironmentOfItsProgramsAlone) {
  ProgramDir dir;
  pid_t editor = StartEditor(dir);  // listening under the pid it was started with: no restart
  // What the editor's environment holds, every program it starts inherits.
  std::string environ = '\0' + ReadFile("/proc/" + std::to_string(editor) + "/environ");
  EXPECT_EQ(environ.find(std::string(1, '\0') + "GLIBC_TUNABLES="), std::string::npos);
  EXPECT_EQ(environ.find(std::string(1, '\0') + "VARNOK_HEAP_TUNED="), std::string::npos);
  StopEditor(dir, editor);
}

TEST(Startup, StaleTemporaryFilesAreRemoved) {
  ProgramDir dir;
  std::filesystem::create_directories(dir.file("Temp_CVL"));
  for (const char* name : {"~macroC1.cvl", "~macroC128.cvl", "~CViniC1.ini", "~CViniC77.ini", "keep.txt"})
    WriteFile(dir.file("Temp_CVL/") + name, "old");
  pid_t editor = StartEditor(dir);
  for (const char* name : {"~macroC1.cvl", "~macroC128.cvl", "~CViniC1.ini", "~CViniC77.ini"})
    EXPECT_FALSE(std::filesystem::exists(dir.file("Temp_CVL/") + name)) << name;
  EXPECT_TRUE(std::filesystem::exists(dir.file("Temp_CVL/keep.txt")));
  StopEditor(dir, editor);
}

}  // namespace
}  // namespace varnok::test
