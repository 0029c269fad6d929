// Where the programs keep their run files and logs, and where they look for
// the emulator: the decision from the facts, the facts of a real folder, and
// the folders a run makes outside a portable program folder.
#include "platform/program_places.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "run/emulator.h"
#include "run/temp_files.h"
#include "scoped_env.h"
#include "temp_dir.h"

namespace varnok::platform {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kOtherUid = 65534;

PlaceFacts Facts(bool ours) {
  PlaceFacts f;
  f.programDir = "/opt/varnok";
  f.programDirOurs = ours;
  f.runtimeDir = "/run/user/1000/varnok";
  f.stateHome = "";
  f.home = "/home/jdoe";
  return f;
}

unsigned ModeOf(const std::string& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(ProgramPlacesTest, OwnWritableFolderKeepsEverythingBesideThePrograms) {
  const ProgramPlaces p = DecidePlaces(Facts(true));
  EXPECT_TRUE(p.portable);
  EXPECT_EQ(p.programDir, "/opt/varnok");
  EXPECT_EQ(p.emulatorDir, "/opt/varnok");
  EXPECT_EQ(p.tempDir, "/opt/varnok/Temp_CVL");
  EXPECT_EQ(p.logDir, "/opt/varnok/Logs");
}

TEST(ProgramPlacesTest, FolderNotOursPutsRunFilesAndLogsInTheUsersFolders) {
  PlaceFacts f = Facts(false);
  ProgramPlaces p = DecidePlaces(f);
  EXPECT_FALSE(p.portable);
  EXPECT_EQ(p.emulatorDir, "/opt/varnok");  // the emulator is still looked for beside the programs
  EXPECT_EQ(p.tempDir, "/run/user/1000/varnok/Temp_CVL");
  EXPECT_EQ(p.logDir, "/home/jdoe/.local/state/varnok/Logs");

  f.stateHome = "/data/state/";
  EXPECT_EQ(DecidePlaces(f).logDir, "/data/state/varnok/Logs");
  f.stateHome = "relative/state";  // invalid by the XDG rules: the default applies
  EXPECT_EQ(DecidePlaces(f).logDir, "/home/jdoe/.local/state/varnok/Logs");
}

TEST(ProgramPlacesTest, EmulatorFolderComesFromTheSettingWhenItIsAnAbsolutePath) {
  for (bool ours : {true, false}) {
    PlaceFacts f = Facts(ours);
    f.emulatorDirSetting = "/opt/corvane//";
    EXPECT_EQ(DecidePlaces(f).emulatorDir, "/opt/corvane");
    f.emulatorDirSetting = "corvane";  // relative: would change with the working folder
    EXPECT_EQ(DecidePlaces(f).emulatorDir, "/opt/varnok");
  }
  EXPECT_EQ(EmulatorDirFor("/p", ""), "/p");
  EXPECT_EQ(EmulatorDirFor("/p", "/"), "/");
}

TEST(ProgramPlacesTest, FactsOfRealFolders) {
  test::TempDir dir;
  const std::string program = dir.file("bin");
  fs::create_directory(program);
  EXPECT_TRUE(ThisProcessFacts(program, "").programDirOurs);

  // Read-only: not ours even for root, who could write it anyway.
  ASSERT_EQ(::chmod(program.c_str(), 0555), 0);
  EXPECT_FALSE(ThisProcessFacts(program, "").programDirOurs);
  ASSERT_EQ(::chmod(program.c_str(), 0755), 0);

  EXPECT_FALSE(ThisProcessFacts("/usr/bin", "").programDirOurs);
  EXPECT_FALSE(ThisProcessFacts(dir.file("missing"), "").programDirOurs);
  test::WriteFile(dir.file("file"), "");
  EXPECT_FALSE(ThisProcessFacts(dir.file("file"), "").programDirOurs);

  if (::geteuid() == 0) {
    // Another user's folder, even one open to all, is not ours.
    ASSERT_EQ(::chown(program.c_str(), kOtherUid, kOtherUid), 0);
    ASSERT_EQ(::chmod(program.c_str(), 01777), 0);
    EXPECT_FALSE(ThisProcessFacts(program, "").programDirOurs);
  }
}

TEST(ProgramPlacesTest, FactsFollowTheXdgVariables) {
  test::TempDir dir;
  {
    test::ScopedEnv runtime("XDG_RUNTIME_DIR", dir.file("run"));
    test::ScopedEnv state("XDG_STATE_HOME", dir.file("state"));
    test::ScopedEnv home("HOME", dir.file("home"));
    const PlaceFacts f = ThisProcessFacts("/usr/bin", "/opt/corvane");
    EXPECT_EQ(f.runtimeDir, dir.file("run") + "/varnok");
    EXPECT_EQ(f.stateHome, dir.file("state"));
    EXPECT_EQ(f.home, dir.file("home"));
    EXPECT_EQ(f.emulatorDirSetting, "/opt/corvane");
  }
  test::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
  test::ScopedEnv state("XDG_STATE_HOME", std::nullopt);
  const ProgramPlaces p = ThisProgramPlaces("/usr/bin", "");
  EXPECT_EQ(p.tempDir, "/tmp/varnok-" + std::to_string(::getuid()) + "/Temp_CVL");
  EXPECT_EQ(p.logDir.substr(p.logDir.size() - 25), "/.local/state/varnok/Logs");
}

TEST(ProgramPlacesTest, InstalledRunFoldersAreMadePrivateWithTheirParents) {
  test::TempDir dir;
  PlaceFacts f = Facts(false);
  f.runtimeDir = dir.file("run/varnok");
  f.stateHome = dir.file("state");
  const ProgramPlaces p = DecidePlaces(f);

  ASSERT_EQ(run::TempDir(p).path, dir.file("run/varnok/Temp_CVL"));
  ASSERT_EQ(run::LogDir(p).path, dir.file("state/varnok/Logs"));
  for (const char* folder : {"run/varnok", "run/varnok/Temp_CVL", "state/varnok", "state/varnok/Logs"})
    EXPECT_EQ(ModeOf(dir.file(folder)), 0700u) << folder;
  EXPECT_TRUE(run::CleanTempFiles(p));
}

TEST(ProgramPlacesTest, ParentOfAnotherUserIsRefusedAndLeftAlone) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a folder to another uid needs root";
  test::TempDir dir;
  PlaceFacts f = Facts(false);
  f.stateHome = dir.file("state");
  fs::create_directories(dir.file("state/varnok"));
  ASSERT_EQ(::chown(dir.file("state/varnok").c_str(), kOtherUid, kOtherUid), 0);
  ASSERT_EQ(::chmod(dir.file("state/varnok").c_str(), 0777), 0);

  const PrivateFolder logs = run::LogDir(DecidePlaces(f));
  EXPECT_FALSE(logs.ok());
  EXPECT_EQ(logs.refusal, "varnok folder '" + dir.file("state/varnok") +
                              "' is not safe to use: owned by uid 65534, mode 0777.");
  EXPECT_FALSE(fs::exists(dir.file("state/varnok/Logs")));
  EXPECT_EQ(ModeOf(dir.file("state/varnok")), 0777u);
}

TEST(ProgramPlacesTest, MissingEmulatorNamesTheFolderOutsideThePortableCase) {
  test::TempDir dir;
  PlaceFacts f = Facts(true);
  f.programDir = dir.path();
  EXPECT_EQ(run::CheckEmulatorPresent(DecidePlaces(f)).value_or(""),
            "CORVMAIN not found.\rPlease move varnokc into Corvane directory and restart it.");
  EXPECT_TRUE(run::EmulatorBelongsInProgramFolder(DecidePlaces(f)));

  f.emulatorDirSetting = dir.file("corvane");
  EXPECT_FALSE(run::EmulatorBelongsInProgramFolder(DecidePlaces(f)));
  EXPECT_EQ(
      run::CheckEmulatorPresent(DecidePlaces(f)).value_or(""),
      "CORVMAIN not found in " + dir.file("corvane") + ".\rSet the emulator folder on the Settings page.");
  fs::create_directory(dir.file("corvane"));
  test::WriteFile(dir.file("corvane/corvmain"), "");
  EXPECT_FALSE(run::CheckEmulatorPresent(DecidePlaces(f)).has_value());

  f.emulatorDirSetting.clear();
  f.programDirOurs = false;
  EXPECT_FALSE(run::EmulatorBelongsInProgramFolder(DecidePlaces(f)));
  EXPECT_EQ(run::CheckEmulatorPresent(DecidePlaces(f)).value_or(""),
            "CORVMAIN not found in " + dir.path() + ".\rSet the emulator folder on the Settings page.");
}

}  // namespace
}  // namespace varnok::platform
