#include <gtest/gtest.h>

#include <filesystem>

#include "run/emulator.h"
#include "run/temp_files.h"
#include "temp_dir.h"

namespace varnok::run {
namespace {

struct ProgramDirTest : ::testing::Test {
  test::TempDir dir;
};

TEST_F(ProgramDirTest, CleanTempFilesRemovesOnlyTheNumberedFiles) {
  std::string temp = TempDir(platform::PortablePlaces(dir.path())).path;
  ASSERT_EQ(temp, dir.file("Temp_CVL"));
  const char* removed[] = {"~macroC1.cvl", "~macroC128.cvl", "~CViniC1.ini", "~CViniC64.ini", "~CVini7.ini"};
  const char* kept[] = {"~macroC0.cvl",   "~macroC129.cvl", "~macroC01.cvl",
                        "~CViniC129.ini", "notes.txt",      "~net.vnk"};
  for (auto* n : removed) test::WriteFile(temp + "/" + n, "x");
  for (auto* n : kept) test::WriteFile(temp + "/" + n, "x");
  EXPECT_TRUE(CleanTempFiles(platform::PortablePlaces(dir.path())));
  for (auto* n : removed) EXPECT_FALSE(std::filesystem::exists(temp + "/" + n)) << n;
  for (auto* n : kept) EXPECT_TRUE(std::filesystem::exists(temp + "/" + n)) << n;
}

TEST_F(ProgramDirTest, TempFolderUnavailableAndEmulatorMissing) {
  test::WriteFile(dir.file("Temp_CVL"), "a file in the folder's place");
  EXPECT_FALSE(CleanTempFiles(platform::PortablePlaces(dir.path())));
  EXPECT_EQ(CheckEmulatorPresent(platform::PortablePlaces(dir.path())).value_or(""),
            "CORVMAIN not found.\rPlease move varnokc into Corvane directory and restart it.");
  test::WriteFile(dir.file("corvmain"), "");
  EXPECT_FALSE(CheckEmulatorPresent(platform::PortablePlaces(dir.path())).has_value());
}

}  // namespace
}  // namespace varnok::run
