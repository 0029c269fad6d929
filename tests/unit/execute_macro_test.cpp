#include "run/execute_macro.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "common/ini_file.h"
#include "platform/ini_file_io.h"
#include "run/emulator.h"
#include "temp_dir.h"

namespace varnok::run {
namespace {

namespace fs = std::filesystem;

const char* const kEmulatorIni =
    "[Corvane]\r\nVTColor=1,1,1,1,1,1\r\nFont=Fixed\r\n\r\n[BG]\r\nBGEnable=on\r\n";

struct Launch {
  std::string program;
  std::vector<std::string> args;
};

class ExecuteMacroTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.places = platform::PortablePlaces(dir.path());
    test::WriteFile(dir.file(EmulatorExeName()), "");
    test::WriteFile(dir.file("corvane.ini"), kEmulatorIni);
    env.numbering = &numbering;
    env.launch = [this](const std::string& program, const std::vector<std::string>& args) {
      launches.push_back({program, args});
      return platform::LaunchResult{launchOk, launchOk ? "" : program + ": Permission denied"};
    };
    request.own = {"Lab", "send $User$\r\n\r\n$LOGIT$\r\n"};
    request.ancestors = {{"Site (A)", "ssh site"}};
    request.logonName = "jdoe";
    properties::ParseColorString(properties::ColorSchemas[0].colors, request.colors);
  }

  test::TempDir dir;
  TempFileNumbering numbering;
  RunEnvironment env;
  MacroRequest request;
  std::vector<Launch> launches;
  bool launchOk = true;
};

TEST_F(ExecuteMacroTest, RunWritesBothFilesAndStartsTheEmulator) {
  RunResult r = ExecuteMacro(request, env);
  EXPECT_TRUE(r.messages.empty());
  ASSERT_TRUE(r.started);
  const std::string temp = dir.file("Temp_CVL");
  EXPECT_EQ(r.files.macroFile, temp + "/~macroC1.cvl");
  EXPECT_EQ(r.files.settingsFile, temp + "/~CViniC1.ini");
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].program, dir.file("corvmain"));
  EXPECT_EQ(launches[0].args,
            (std::vector<std::string>{"/F=" + r.files.settingsFile, "/M=" + r.files.macroFile}));

  std::string macro = test::ReadFile(r.files.macroFile);
  EXPECT_TRUE(macro.starts_with("ssh site\r\nsend jdoe\r\n; Generaing log"));
  EXPECT_NE(macro.find("strconcat fn '" + dir.file("Logs") + "/Site_%40A%41_Lab_'\r\n"), std::string::npos);
  EXPECT_TRUE(macro.ends_with("end\r\n"));
  EXPECT_TRUE(fs::is_directory(dir.file("Logs")));

  EXPECT_EQ(test::ReadFile(r.files.settingsFile),
            "[Corvane]\r\nVTColor=0,0,0,255,255,216\r\nFont=Fixed\r\nVTBoldColor=0,0,255,255,255,216\r\n"
            "VTBlinkColor=0,255,255,255,255,216\r\n\r\n[BG]\r\nBGEnable=off\r\n");
  EXPECT_EQ(test::ReadFile(dir.file("corvane.ini")), kEmulatorIni);  // the emulator's own file is untouched
}

TEST_F(ExecuteMacroTest, TemporaryFilesAreOnlyTheUsers) {
  // An older version left a readable folder and readable files behind.
  fs::create_directory(dir.file("Temp_CVL"));
  ::chmod(dir.file("Temp_CVL").c_str(), 0755);
  test::WriteFile(dir.file("Temp_CVL/~macroC1.cvl"), "old");
  ::chmod(dir.file("Temp_CVL/~macroC1.cvl").c_str(), 0644);
  RunResult r = ExecuteMacro(request, env);
  ASSERT_TRUE(r.started);
  auto mode = [](const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
  };
  EXPECT_EQ(mode(dir.file("Temp_CVL")), 0700u);
  EXPECT_EQ(mode(r.files.macroFile), 0600u);
  EXPECT_EQ(mode(r.files.settingsFile), 0600u);
  // An export is the user's own file with the usual permissions.
  request.exportFile = dir.file("export.cvl");
  ASSERT_TRUE(ExecuteMacro(request, env).macroWritten);
  EXPECT_NE(mode(request.exportFile), 0600u);
}

TEST_F(ExecuteMacroTest, DisabledColoursLeaveTheCopyAloneExceptTheBackground) {
  test::WriteFile(dir.file("corvane.ini"), "; lf only\n[Corvane]\nVTColor=1,1,1,1,1,1\n[BG]\nBGEnable=on");
  request.disableColors = true;
  RunResult r = ExecuteMacro(request, env);
  ASSERT_TRUE(r.started);
  EXPECT_EQ(test::ReadFile(r.files.settingsFile),
            "; lf only\r\n[Corvane]\r\nVTColor=1,1,1,1,1,1\r\n[BG]\r\nBGEnable=off\r\n");
}

TEST(TempFileNumbering, RunsFrom1To128ThenStartsAgain) {
  TempFileNumbering numbering;
  for (int i = 1; i <= 128; ++i) ASSERT_EQ(numbering.next("/t").number, i);
  TempFilePair again = numbering.next("/t");
  EXPECT_EQ(again.number, 1);
  EXPECT_EQ(again.macroFile, "/t/~macroC1.cvl");
  EXPECT_EQ(again.settingsFile, "/t/~CViniC1.ini");
  EXPECT_EQ(numbering.counter(), 2);
}

TEST_F(ExecuteMacroTest, RunsAfterThe128thReuseTheFirstPair) {
  request.own.text = "first";
  RunResult first = ExecuteMacro(request, env);
  for (int n = 2; n < 128; ++n) numbering.next(dir.file("Temp_CVL"));
  RunResult last = ExecuteMacro(request, env);
  request.own.text = "again";
  RunResult again = ExecuteMacro(request, env);
  ASSERT_TRUE(first.started && last.started && again.started);
  EXPECT_EQ(last.files.macroFile, dir.file("Temp_CVL/~macroC128.cvl"));
  EXPECT_EQ(again.files.macroFile, first.files.macroFile);
  EXPECT_EQ(again.files.settingsFile, first.files.settingsFile);
  EXPECT_TRUE(test::ReadFile(again.files.macroFile).starts_with("ssh site\r\nagain\r\n"));
  EXPECT_EQ(launches.back().args[1], "/M=" + dir.file("Temp_CVL") + "/~macroC1.cvl");
}

// Another program's pair written moments ago is passed over; an older one,
// or one of this numbering's own, is taken.
TEST(TempFileNumbering, PassesOverPairsAnotherProgramJustWrote) {
  test::TempDir dir;
  const auto touch = [&](int n, bool old) {
    const std::string path = dir.file(MacroTempName(n));
    test::WriteFile(path, "x");
    if (old)
      std::filesystem::last_write_time(
          path, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(5));
  };
  touch(1, false);
  touch(2, true);
  TempFileNumbering numbering;
  EXPECT_EQ(numbering.next(dir.path()).number, 2);
  EXPECT_EQ(numbering.next(dir.path()).number, 3);
  test::WriteFile(dir.file(MacroTempName(3)), "ours");  // our own run wrote it
  numbering = TempFileNumbering(3);
  EXPECT_EQ(numbering.next(dir.path()).number, 4);  // a fresh numbering does not know it
  for (int n = 1; n <= 128; ++n) touch(n, false);
  TempFileNumbering crowded(5);
  EXPECT_EQ(crowded.next(dir.path()).number, 5);  // all fresh: its own turn
  EXPECT_EQ(crowded.next(dir.path()).number, 6);
}

TEST_F(ExecuteMacroTest, ExportConsumesNoNumberAndLogsWithoutDirectory) {
  request.own.text = "to $LOGDIR$";
  request.startLogging = true;
  request.exportFile = dir.file("out dir.cvl");
  RunResult r = ExecuteMacro(request, env);
  EXPECT_TRUE(r.macroWritten);
  EXPECT_FALSE(r.started);
  EXPECT_TRUE(launches.empty());
  std::string text = test::ReadFile(request.exportFile);
  EXPECT_TRUE(text.starts_with("ssh site\r\nto " + dir.file("Logs") + "/\r\n"));
  EXPECT_NE(text.find("strconcat fn 'Site_%40A%41_Lab_'\r\n"), std::string::npos);
  EXPECT_EQ(numbering.counter(), 1);
  EXPECT_FALSE(fs::exists(dir.file("Temp_CVL/~CViniC1.ini")));

  std::vector<RunMessage> messages;
  EXPECT_EQ(ExportMacroText(request, platform::PortablePlaces(dir.path()), messages), text);
  EXPECT_TRUE(messages.empty());
}

TEST_F(ExecuteMacroTest, MissingEmulatorStopsBeforeAnyFile) {
  fs::remove(dir.file(EmulatorExeName()));
  request.exportFile = dir.file("x.cvl");
  RunResult r = ExecuteMacro(request, env);
  EXPECT_EQ(r.messages,
            (std::vector<RunMessage>{
                {MessageKind::Error, *CheckEmulatorPresent(platform::PortablePlaces(dir.path()))}}));
  EXPECT_FALSE(fs::exists(request.exportFile));
  EXPECT_FALSE(fs::exists(dir.file("Logs")));
  std::vector<RunMessage> messages;
  EXPECT_EQ(ExportMacroText(request, platform::PortablePlaces(dir.path()), messages), std::nullopt);
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(ExecuteMacroTest, MissingEmulatorSettingsStopsTheRunNamingTheFile) {
  fs::remove(dir.file("corvane.ini"));
  RunResult r = ExecuteMacro(request, env);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0].kind, MessageKind::FileError);
  EXPECT_NE(r.messages[0].text.find(dir.file("corvane.ini")), std::string::npos);
  EXPECT_TRUE(r.macroWritten);  // written before the settings copy, its number used
  EXPECT_FALSE(r.started);
  EXPECT_TRUE(launches.empty());
  EXPECT_EQ(numbering.counter(), 2);
}

TEST_F(ExecuteMacroTest, UncreatableDirectoriesAreReported) {
  test::WriteFile(dir.file("Temp_CVL"), "a file in the folder's place");
  test::WriteFile(dir.file("Logs"), "likewise");
  RunResult r = ExecuteMacro(request, env);
  EXPECT_EQ(
      r.messages,
      (std::vector<RunMessage>{
          {MessageKind::Warning, "Cannot create directory " + dir.file("Logs") + ": Not a directory"},
          {MessageKind::Warning, "Cannot create directory " + dir.file("Temp_CVL") + ": Not a directory"},
          {MessageKind::Error,
           "Failed to create the folder " + dir.file("Temp_CVL") + ". Cannot execute macro."}}));
  EXPECT_FALSE(r.macroWritten);
  EXPECT_TRUE(launches.empty());

  // An export goes on, with "$LOGDIR$" and the log path beginning at the separator.
  request.own.text = "$LOGDIR$";
  request.exportFile = dir.file("e.cvl");
  r = ExecuteMacro(request, env);
  EXPECT_TRUE(r.macroWritten);
  EXPECT_TRUE(test::ReadFile(request.exportFile).starts_with("ssh site\r\n/\r\n"));
}

TEST_F(ExecuteMacroTest, FailedStartIsReportedWithTheProgram) {
  launchOk = false;
  RunResult r = ExecuteMacro(request, env);
  EXPECT_FALSE(r.started);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0].kind, MessageKind::Warning);
  EXPECT_NE(r.messages[0].text.find(dir.file("corvmain")), std::string::npos);
  EXPECT_NE(r.messages[0].text.find("Permission denied"), std::string::npos);
}

TEST_F(ExecuteMacroTest, UnwritableExportIsAFileError) {
  request.exportFile = dir.file("no such folder/x.cvl");
  RunResult r = ExecuteMacro(request, env);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0].kind, MessageKind::FileError);
  EXPECT_NE(r.messages[0].text.find(request.exportFile), std::string::npos);
}

TEST(IniColors, WrittenOnlyIntoAnExistingFile) {
  test::TempDir dir;
  properties::ColorSet set;
  properties::ParseColorString(properties::ColorSchemas[0].colors, set);
  EXPECT_TRUE(WriteIniColors(dir.file("none.ini"), set));
  EXPECT_FALSE(fs::exists(dir.file("none.ini")));
  EXPECT_TRUE(WriteIniBackgroundOff(dir.file("none.ini")));
  EXPECT_FALSE(fs::exists(dir.file("none.ini")));

  test::WriteFile(dir.file("c.ini"), "");
  ASSERT_TRUE(WriteIniColors(dir.file("c.ini"), set));
  ASSERT_TRUE(WriteIniBackgroundOff(dir.file("c.ini")));
  EXPECT_EQ(platform::ReadProfileString(dir.file("c.ini"), "Corvane", "VTColor"), "0,0,0,255,255,216");
  EXPECT_EQ(platform::ReadProfileString(dir.file("c.ini"), "Corvane", "VTBoldColor"), "0,0,255,255,255,216");
  EXPECT_EQ(platform::ReadProfileString(dir.file("c.ini"), "Corvane", "VTBlinkColor"),
            "0,255,255,255,255,216");
  EXPECT_EQ(platform::ReadProfileString(dir.file("c.ini"), "BG", "BGEnable"), "off");
}

}  // namespace
}  // namespace varnok::run
