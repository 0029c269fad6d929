#include "platform/safe_write.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "temp_dir.h"

namespace varnok {
namespace {

int FilesIn(const std::string& dir) {
  int n = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(SafeWrite, ReplacesContentAndKeepsPermissions) {
  test::TempDir dir;
  std::string path = dir.file("net.vnk");
  test::WriteFile(path, "old contents");
  ::chmod(path.c_str(), 0600);
  ASSERT_TRUE(SafeWriteFile(path, std::string("new\0bytes", 9)));
  EXPECT_EQ(test::ReadFile(path), std::string("new\0bytes", 9));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(FilesIn(dir.path()), 1);
}

TEST(SafeWrite, TargetThatCannotBeReplacedIsReportedWithItsPath) {
  test::TempDir dir;
  // A folder in the target's place cannot be replaced by a file.
  std::filesystem::create_directory(dir.file("net.vnk"));
  WriteResult r = SafeWriteFile(dir.file("net.vnk"), "replacement");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(dir.file("net.vnk")), std::string::npos);
  // A missing folder fails before anything is written.
  EXPECT_FALSE(SafeWriteFile(dir.file("no/such/folder.vnk"), "x").ok);
  EXPECT_EQ(FilesIn(dir.path()), 1);
}

TEST(SafeWrite, FullDiskLeavesOldFileIntactAndNamesReason) {
  test::TempDir dir;
  std::string path = dir.file("net.vnk");
  test::WriteFile(path, "precious");
  // A file-size limit stands in for a full disk; run in a child so the limit
  // does not stay with the test process.
  pid_t pid = ::fork();
  if (pid == 0) {
    struct rlimit lim {
      4096, 4096
    };
    ::setrlimit(RLIMIT_FSIZE, &lim);
    WriteResult r = SafeWriteFile(path, std::string(100000, 'x'));
    bool named = r.error.find(path) != std::string::npos && r.error.find("large") != std::string::npos;
    ::_exit(!r.ok && named ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(test::ReadFile(path), "precious");
  EXPECT_EQ(FilesIn(dir.path()), 1);
}

TEST(SafeWrite, ReadWholeFileReportsMissingFileWithPath) {
  test::TempDir dir;
  std::string bytes;
  WriteResult r = ReadWholeFile(dir.file("gone.vnk"), bytes);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("gone.vnk"), std::string::npos);
  test::WriteFile(dir.file("x"), std::string(200000, 'a'));
  ASSERT_TRUE(ReadWholeFile(dir.file("x"), bytes));
  EXPECT_EQ(bytes.size(), 200000u);
}

}  // namespace
}  // namespace varnok
