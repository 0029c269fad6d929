#include "common/program_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_dir.h"

namespace varnok {
namespace {

struct ProgramDirGuard {
  std::string saved = ProgramDir();
  ~ProgramDirGuard() { SetProgramDir(saved); }
};

TEST(ProgramPaths, JoinsWithExactlyOneSeparator) {
  ProgramDirGuard guard;
  SetProgramDir("/opt/corvane/");
  EXPECT_EQ(ProgramFilePath("corvmain"), "/opt/corvane/corvmain");
  EXPECT_EQ(ProgramFilePath("/corvane.ini"), "/opt/corvane/corvane.ini");
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
  ProgramDirGuard guard;
  test::TempDir dir;
  SetProgramDir(dir.path());
  std::string temp = EnsureProgramSubdir("Temp_CVL");
  EXPECT_EQ(temp, dir.file("Temp_CVL"));
  EXPECT_TRUE(std::filesystem::is_directory(temp));
  EXPECT_EQ(EnsureProgramSubdir("Temp_CVL"), temp);
  // A plain file in the way cannot become a folder.
  test::WriteFile(dir.file("Logs"), "x");
  EXPECT_EQ(EnsureProgramSubdir("Logs"), "");
}

}  // namespace
}  // namespace varnok
