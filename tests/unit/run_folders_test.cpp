// The folders a run writes into (Temp_CVL, Logs) when another user made them,
// shared them or put a link in their place, and the run files themselves
// when a link waits at their name.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "common/program_paths.h"
#include "run/emulator.h"
#include "run/execute_macro.h"
#include "temp_dir.h"

namespace varnok::run {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kOtherUid = 65534;

struct stat StatOf(const std::string& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st;
}

class RunFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteFile(dir.file(EmulatorExeName()), "");
    test::WriteFile(dir.file("corvane.ini"), "[Corvane]\r\nFont=Fixed\r\n");
    env.places = platform::PortablePlaces(dir.path());
    env.numbering = &numbering;
    env.launch = [this](const std::string&, const std::vector<std::string>&) {
      ++launches;
      return platform::LaunchResult{true, {}};
    };
    request.own = {"Lab", "send $LOGDIR$\r\n"};
    request.logonName = "jdoe";
  }

  std::string temp() const { return dir.file("Temp_CVL"); }
  std::string logs() const { return dir.file("Logs"); }

  test::TempDir dir;
  TempFileNumbering numbering;
  RunEnvironment env;
  MacroRequest request;
  int launches = 0;
};

TEST_F(RunFoldersTest, SharedTempFolderOfAnotherUserIsRefusedAndLeftAlone) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a folder to another uid needs root";
  // Another user's folder open to all, with a dangling link where the first macro goes.
  fs::create_directory(temp());
  ASSERT_EQ(::chmod(temp().c_str(), 01777), 0);
  ASSERT_EQ(::chown(temp().c_str(), kOtherUid, kOtherUid), 0);
  const std::string planted = dir.file("attacker/macro.cvl");
  fs::create_directory(dir.file("attacker"));
  fs::create_symlink(planted, temp() + "/~macroC1.cvl");

  RunResult r = ExecuteMacro(request, env);
  ASSERT_EQ(r.messages.size(), 2u);
  EXPECT_EQ(r.messages[0],
            (RunMessage{MessageKind::Warning, "Temp_CVL folder '" + temp() +
                                                  "' is not safe to use: owned by uid 65534, mode 1777."}));
  EXPECT_EQ(r.messages[1],
            (RunMessage{MessageKind::Error, "Cannot use the folder " + temp() + ". Cannot execute macro."}));
  EXPECT_FALSE(r.macroWritten);
  EXPECT_EQ(launches, 0);
  EXPECT_FALSE(fs::exists(planted));
  // Neither taken over nor closed: it is not ours to change.
  EXPECT_EQ(StatOf(temp()).st_uid, kOtherUid);
  EXPECT_EQ(StatOf(temp()).st_mode & 07777, 01777u);
  // The start-up clean-up removes nothing from it either.
  EXPECT_FALSE(CleanTempFiles(platform::PortablePlaces(dir.path())));
  EXPECT_TRUE(fs::is_symlink(temp() + "/~macroC1.cvl"));
}

TEST_F(RunFoldersTest, FoldersThatAreLinksAreRefusedEvenToOurOwnFolder) {
  fs::create_directory(dir.file("elsewhere"));
  fs::create_directory_symlink(dir.file("elsewhere"), temp());
  fs::create_directory_symlink(dir.file("elsewhere"), logs());
  RunResult r = ExecuteMacro(request, env);
  const auto link = [](const std::string& name, const std::string& path) {
    return name + " folder '" + path + "' is not safe to use: a symbolic link, owned by uid " +
           std::to_string(::geteuid()) + ", mode 0777.";
  };
  ASSERT_EQ(r.messages.size(), 3u);
  EXPECT_EQ(r.messages[0], (RunMessage{MessageKind::Warning, link("Logs", logs())}));
  EXPECT_EQ(r.messages[1], (RunMessage{MessageKind::Warning, link("Temp_CVL", temp())}));
  EXPECT_EQ(r.messages[2].kind, MessageKind::Error);
  EXPECT_TRUE(fs::is_empty(dir.file("elsewhere")));
  EXPECT_EQ(launches, 0);
}

TEST_F(RunFoldersTest, LogsOfAnotherUserIsRefusedAndTheRunGoesOnWithoutIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a folder to another uid needs root";
  fs::create_directory(logs());
  ASSERT_EQ(::chmod(logs().c_str(), 0755), 0);
  ASSERT_EQ(::chown(logs().c_str(), kOtherUid, kOtherUid), 0);
  RunResult r = ExecuteMacro(request, env);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0].text,
            "Logs folder '" + logs() + "' is not safe to use: owned by uid 65534, mode 0755.");
  EXPECT_TRUE(r.started);
  // As when the folder cannot be made: no log directory in the macro.
  EXPECT_EQ(test::ReadFile(r.files.macroFile), "send /\r\n");
  EXPECT_EQ(StatOf(logs()).st_mode & 07777, 0755u);
}

TEST_F(RunFoldersTest, FoldersArePrivateWhateverTheUmaskAndLooseOnesAreClosed) {
  const mode_t old = ::umask(0);
  RunResult r = ExecuteMacro(request, env);
  ::umask(old);
  ASSERT_TRUE(r.started);
  EXPECT_EQ(StatOf(logs()).st_mode & 07777, 0700u);
  EXPECT_EQ(StatOf(temp()).st_mode & 07777, 0700u);
  EXPECT_EQ(StatOf(r.files.macroFile).st_mode & 07777, 0600u);
  EXPECT_EQ(StatOf(r.files.settingsFile).st_mode & 07777, 0600u);

  // An earlier version's Logs, readable by all, is ours: closed and used.
  ASSERT_EQ(::chmod(logs().c_str(), 0755), 0);
  r = ExecuteMacro(request, env);
  EXPECT_TRUE(r.messages.empty());
  EXPECT_EQ(StatOf(logs()).st_mode & 07777, 0700u);
}

TEST_F(RunFoldersTest, RunFilesReplaceLinksAtTheirNamesInsteadOfFollowingThem) {
  // Links at both names of the first pair, to files that must stay as they are.
  fs::create_directory(temp());
  ::chmod(temp().c_str(), 0700);
  const std::string victim = dir.file("victim.txt"), absent = dir.file("absent.ini");
  test::WriteFile(victim, "keep me");
  fs::last_write_time(victim, fs::file_time_type::clock::now() - std::chrono::hours(1));
  fs::create_symlink(victim, temp() + "/~macroC1.cvl");
  fs::create_symlink(absent, temp() + "/~CViniC1.ini");
  RunResult r = ExecuteMacro(request, env);
  ASSERT_TRUE(r.started) << (r.messages.empty() ? "" : r.messages[0].text);
  ASSERT_EQ(r.files.number, 1);
  EXPECT_EQ(test::ReadFile(victim), "keep me");
  EXPECT_FALSE(fs::exists(absent));
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(r.files.macroFile)));
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(r.files.settingsFile)));
  EXPECT_EQ(test::ReadFile(r.files.macroFile), "send " + logs() + "/\r\n");

  // A folder in a run file's place stops the run with its name.
  fs::create_directory(temp() + "/~macroC2.cvl");
  // Old enough not to count as another program's run of a moment ago.
  fs::last_write_time(temp() + "/~macroC2.cvl", fs::file_time_type::clock::now() - std::chrono::hours(1));
  r = ExecuteMacro(request, env);
  ASSERT_FALSE(r.messages.empty());
  EXPECT_EQ(r.messages.back(),
            (RunMessage{MessageKind::FileError, temp() + "/~macroC2.cvl: is a folder, not a regular file"}));
}

}  // namespace
}  // namespace varnok::run
