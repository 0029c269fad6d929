#include "common/program_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/executable_path.h"
#include "temp_dir.h"

namespace varnok {
namespace {

TEST(ProgramPaths, JoinsWithExactlyOneSeparator) {
  EXPECT_EQ(ProgramFilePath("/opt/corvane/", "corvmain"), "/opt/corvane/corvmain");
  EXPECT_EQ(ProgramFilePath("/opt/corvane", "/corvane.ini"), "/opt/corvane/corvane.ini");
  // Without a directory the name stays relative: never a file in the root folder.
  EXPECT_EQ(ProgramFilePath("", "/corvane.ini"), "corvane.ini");
}

TEST(ProgramPaths, DisplayNameIsTheFileNameOrThePathItself) {
  test::TempDir dir;
  test::WriteFile(dir.file("My sites.vnk"), "");
  EXPECT_EQ(DisplayName(dir.file("My sites.vnk")), "My sites.vnk");
  EXPECT_EQ(DisplayName(dir.file("gone.vnk")), dir.file("gone.vnk"));
  EXPECT_EQ(DisplayName(dir.path() + "/"), dir.path() + "/");
  EXPECT_EQ(FileNameOf("C:\\Corvane\\net.VNK"), "net.VNK");
}

TEST(ProgramPaths, EnsureProgramSubdirCreatesOnceAndReportsFailure) {
  test::TempDir dir;
  std::string temp = EnsureProgramSubdir(dir.path(), "Temp_CVL");
  EXPECT_EQ(temp, dir.file("Temp_CVL"));
  EXPECT_TRUE(std::filesystem::is_directory(temp));
  EXPECT_EQ(EnsureProgramSubdir(dir.path(), "Temp_CVL"), temp);
  // A plain file in the way cannot become a folder.
  test::WriteFile(dir.file("Logs"), "x");
  EXPECT_EQ(EnsureProgramSubdir(dir.path(), "Logs"), "");
}

TEST(ProgramPaths, ExecutableDirHoldsTheRunningProgram) {
  const std::string exe = platform::ExecutablePath();
  ASSERT_FALSE(exe.empty());
  EXPECT_TRUE(std::filesystem::path(exe).is_absolute());
  EXPECT_TRUE(FileExists(ProgramFilePath(platform::ExecutableDir(), FileNameOf(exe))));
}

}  // namespace
}  // namespace varnok
