#include "platform/settings_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "platform/posix/settings_file.h"
#include "platform/settings_names.h"
#include "scoped_env.h"
#include "temp_dir.h"

namespace varnok::platform {
namespace {

struct SettingsTest : ::testing::Test {
  test::TempDir home;
  test::ScopedEnv env{"XDG_CONFIG_HOME", home.path()};
  std::string path = home.path() + "/Zelmora/Varnok.conf";
};

TEST_F(SettingsTest, MissingKeyReadsAsDefaults) {
  auto s = OpenVarnokSettings();
  EXPECT_FALSE(s->keyExists());
  EXPECT_EQ(s->readString("LastVNKFile", "none"), "none");
  EXPECT_EQ(s->readInt("TreeWidth", 215), 215);
}

TEST_F(SettingsTest, NamesAreCaseInsensitiveAndTypesAreChecked) {
  auto s = OpenVarnokSettings();
  ASSERT_EQ(s->write({{"UseSameBackGround", 0},
                      {"VarName", std::string("Ann Smith")},
                      {"MultiStartInterval", std::string("7")},
                      {"WinTop", -20}}),
            "");
  EXPECT_TRUE(s->keyExists());
  EXPECT_EQ(s->readInt("UseSameBackground", 1), 0);
  EXPECT_EQ(s->readInt("usesamebackground", 1), 0);
  EXPECT_EQ(s->readString("varname", ""), "Ann Smith");
  EXPECT_EQ(s->readInt("WinTop", 0), -20);
  // A text that is no 32-bit number reads as the caller's default.
  EXPECT_EQ(s->readInt("VarName", 42), 42);
  ASSERT_EQ(s->writeString("WinLeft", "12px"), "");
  EXPECT_EQ(s->readInt("WinLeft", 5), 5);
  ASSERT_EQ(s->writeString("WinLeft", "99999999999"), "");
  EXPECT_EQ(s->readInt("WinLeft", 5), 5);
  // Rewriting under another letter case keeps one value.
  ASSERT_EQ(s->writeInt("USESAMEBACKGROUND", 1), "");
  EXPECT_EQ(OpenVarnokSettings()->readInt("UseSameBackGround", 0), 1);
  std::string file = test::ReadFile(path);
  EXPECT_EQ(file.find("USESAMEBACKGROUND"), std::string::npos);
}

TEST_F(SettingsTest, TableEntriesReadTheirDefaultsAndWriteTheirType) {
  auto s = OpenVarnokSettings();
  // Missing values: the defaults the editor and the companion agree on.
  EXPECT_EQ(MultiStartInterval.read(*s), "5");
  EXPECT_TRUE(SelectLast.readFlag(*s));
  EXPECT_FALSE(DoNotTile.readFlag(*s));
  EXPECT_EQ(TreeWidth.read(*s), 215);
  EXPECT_EQ(WinTop.read(*s, 77), 77);
  // A value of the other type reads as the default too; any number but 0 is on.
  ASSERT_EQ(s->write({{"SelectLast", std::string("yes")}, NoColors.value(-3), VarEmail.value("a@b")}), "");
  EXPECT_TRUE(SelectLast.readFlag(*s));
  EXPECT_TRUE(NoColors.readFlag(*s));
  EXPECT_EQ(VarEmail.read(*s), "a@b");
  // The flag written under "UseSameBackGround" is the one read as "UseSameBackground".
  ASSERT_EQ(s->write({UseSameBackgroundWritten.flagValue(false)}), "");
  EXPECT_FALSE(UseSameBackground.readFlag(*OpenVarnokSettings()));
  ASSERT_EQ(LastVNKFile.write(*s, "/srv/net.vnk"), "");
  EXPECT_EQ(s->readString("LastVNKFile", ""), "/srv/net.vnk");
  EXPECT_EQ(RecentFileName(4), "MRU4");
}

TEST_F(SettingsTest, TextsSurviveLineBreaksBackslashesAndEdgeBlanks) {
  auto s = OpenVarnokSettings();
  const std::string tricky = " C:\\Corvane\\net.VNK\r\nsecond line\\n ";
  ASSERT_EQ(s->writeString("ParamName", tricky), "");
  ASSERT_EQ(s->writeString("VarPhone", ""), "");
  auto again = OpenVarnokSettings();
  EXPECT_EQ(again->readString("ParamName", "x"), tricky);
  EXPECT_EQ(again->readString("VarPhone", "x"), "");
}

TEST_F(SettingsTest, WriteChangesOnlyTheNamedValuesAndSeesOtherWriters) {
  auto mine = OpenVarnokSettings();
  auto other = OpenVarnokSettings();
  ASSERT_EQ(mine->write({{"VarName", std::string("a")}, {"VarEmail", std::string("b")}}), "");
  EXPECT_EQ(other->readString("VarName", ""), "a");  // a later write elsewhere is seen
  ASSERT_EQ(other->writeString("ParamName", "/tmp/x.vnk"), "");
  ASSERT_EQ(mine->writeString("VarName", "c"), "");
  EXPECT_EQ(mine->readString("ParamName", ""), "/tmp/x.vnk");
  EXPECT_EQ(mine->readString("VarEmail", ""), "b");
  ASSERT_EQ(mine->remove("VarEmail"), "");
  EXPECT_FALSE(other->readString("VarEmail").has_value());
}

TEST_F(SettingsTest, ConcurrentProcessesKeepEachOthersValues) {
  constexpr int kProcesses = 6, kRounds = 40;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = ::fork();
    if (pid == 0) {
      auto s = OpenVarnokSettings();
      for (int r = 0; r < kRounds; ++r)
        if (!s->writeInt("Writer" + std::to_string(p) + "_" + std::to_string(r), r).empty()) ::_exit(1);
      ::_exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto s = OpenVarnokSettings();
  for (int p = 0; p < kProcesses; ++p)
    for (int r = 0; r < kRounds; ++r)
      EXPECT_EQ(s->readInt("Writer" + std::to_string(p) + "_" + std::to_string(r), -1), r);
}

TEST_F(SettingsTest, DamagedFileReadsAsMissingAndIsKeptAside) {
  std::filesystem::create_directories(home.path() + "/Zelmora");
  const std::string garbage = std::string(
      "\x7f"
      "ELF\0\0binary junk\nno structure here",
      35);
  test::WriteFile(path, garbage);
  auto s = OpenVarnokSettings();
  EXPECT_FALSE(s->keyExists());
  EXPECT_EQ(s->readString("LastVNKFile", "default"), "default");
  ASSERT_EQ(s->writeString("VarName", "Ann"), "");
  EXPECT_EQ(test::ReadFile(path + ".damaged"), garbage);
  EXPECT_EQ(s->readString("VarName", ""), "Ann");
  const std::string notice = s->takeNotice();
  EXPECT_NE(notice.find(path + " was damaged"), std::string::npos) << notice;
  EXPECT_NE(notice.find("kept as " + path + ".damaged "), std::string::npos) << notice;
  EXPECT_EQ(s->takeNotice(), "") << "told once";

  // A second damage keeps its own copy; the first stays.
  test::WriteFile(path, garbage + "second");
  ASSERT_EQ(s->writeString("VarName", "Bob"), "");
  EXPECT_EQ(test::ReadFile(path + ".damaged"), garbage);
  EXPECT_EQ(test::ReadFile(path + ".damaged-2"), garbage + "second");
  EXPECT_NE(s->takeNotice().find(".damaged-2"), std::string::npos);
}

TEST_F(SettingsTest, StrayLinesAreIgnoredAndKept) {
  std::filesystem::create_directories(home.path() + "/Zelmora");
  test::WriteFile(path, "[Varnok]\nVarName=Ann\noops, typed here by hand\nVarEmail=a@b.c\n");
  auto s = OpenVarnokSettings();
  EXPECT_TRUE(s->keyExists());
  EXPECT_EQ(s->readString("VarEmail", ""), "a@b.c");
  ASSERT_EQ(s->writeString("VarPhone", "12"), "");
  EXPECT_EQ(test::ReadFile(path),
            "[Varnok]\nVarName=Ann\noops, typed here by hand\nVarEmail=a@b.c\nVarPhone=12\n");
  EXPECT_FALSE(std::filesystem::exists(path + ".damaged"));
  EXPECT_EQ(s->takeNotice(), "");
}

TEST_F(SettingsTest, UnreadableFileIsNeverOverwritten) {
  std::filesystem::create_directories(path);  // a folder where the file belongs
  auto s = OpenVarnokSettings();
  EXPECT_FALSE(s->keyExists());
  std::string error = s->writeString("VarName", "Ann");
  EXPECT_NE(error, "");
  EXPECT_NE(error.find(path), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  // Said once per session, however often the settings are saved.
  EXPECT_EQ(s->takeNotice(), "The settings cannot be saved: " + error);
  EXPECT_NE(s->writeString("VarName", "Ann"), "");
  EXPECT_EQ(s->takeNotice(), "");

  // A folder in the lock file's place.
  std::filesystem::remove(path);
  std::filesystem::remove(path + ".lock");
  std::filesystem::create_directories(path + ".lock");
  auto other = OpenVarnokSettings();
  EXPECT_NE(other->writeString("VarName", "Ann"), "");
  EXPECT_NE(other->takeNotice().find(path + ".lock: Is a directory"), std::string::npos);
}

TEST_F(SettingsTest, LockHeldByAnotherProcessIsWaitedForAtMostTwoSeconds) {
  auto s = OpenVarnokSettings();
  ASSERT_EQ(s->writeString("VarName", "Ann"), "");
  const std::string before = test::ReadFile(path);
  // Another process takes the lock and keeps it for six seconds.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t holder = ::fork();
  if (holder == 0) {
    int fd = ::open((path + ".lock").c_str(), O_RDWR);
    if (fd < 0 || ::flock(fd, LOCK_EX) != 0) ::_exit(1);
    (void)!::write(ready[1], "1", 1);
    ::sleep(6);
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  const auto start = std::chrono::steady_clock::now();
  const std::string error = s->writeString("VarName", "Bob");
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_NE(error.find(path + ".lock: another program has held the settings lock for more than 2 seconds"),
            std::string::npos)
      << error;
  EXPECT_GE(waited, std::chrono::milliseconds(1900));
  EXPECT_LT(waited, std::chrono::seconds(5)) << "it waited for the other process";
  EXPECT_EQ(test::ReadFile(path), before);
  EXPECT_EQ(s->takeNotice(), "The settings cannot be saved: " + error);
  // The writes right after it (the rest of a close) do not wait again.
  const auto again = std::chrono::steady_clock::now();
  EXPECT_NE(s->writeString("MRU1", "/x.vnk"), "");
  EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(1000));
  EXPECT_EQ(s->takeNotice(), "");
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  // Free again: written, and a later failure would be told again.
  EXPECT_EQ(s->writeString("VarName", "Bob"), "");
  EXPECT_EQ(OpenVarnokSettings()->readString("VarName", ""), "Bob");
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(SettingText, EscapesRoundTrip) {
  for (std::string t : {"", " ", "a\\b", "\\n", "x\r\ny", "\tlead", "trail\t", "mid dle"})
    EXPECT_EQ(UnescapeSettingText(EscapeSettingText(t)), t) << t;
}

}  // namespace
}  // namespace varnok::platform
