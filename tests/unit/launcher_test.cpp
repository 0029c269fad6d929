#include "platform/launcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "platform/system_info.h"
#include "temp_dir.h"

namespace varnok::platform {
namespace {

TEST(Launcher, PassesArgumentsUnchangedWithoutAShell) {
  test::TempDir dir;
  std::string out = dir.file("out.txt");
  // Blanks, quotes and shell characters must arrive as they are.
  std::string tricky = "/F=\"" + dir.path() + "/a b;$(echo no).ini\"";
  auto r = LaunchProgram("/bin/sh", {"-c", "printf '%s' \"$1\" > \"$2\"", "sh", tricky, out});
  ASSERT_TRUE(r.ok) << r.error;
  for (int i = 0; i < 200 && test::ReadFile(out).empty(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(test::ReadFile(out), tricky);
}

TEST(Launcher, MissingProgramIsReportedWithTheSystemsReason) {
  auto r = LaunchProgram("/nonexistent/corvmain", {"/F=x", "/M=y"});
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("/nonexistent/corvmain"), std::string::npos);
  EXPECT_NE(r.error.find("No such file"), std::string::npos);
}

// Session logs are written by the emulator itself: it must start with a mask
// that keeps what it writes private, whatever mask we run with.
TEST(Launcher, TheEmulatorsFilesArePrivateWhateverOurMask) {
  test::TempDir dir;
  std::string out = dir.file("session.log");
  mode_t before = ::umask(002);
  auto r = LaunchPrivately("/bin/sh", {"-c", "echo x > \"$1\"; mkdir \"$1.d\"", "sh", out});
  ::umask(before);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_GT(r.pid, 0);
  struct stat st {};
  for (int i = 0; i < 200 && ::stat((out + ".d").c_str(), &st) != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(::stat(out.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat((out + ".d").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  auto missing = LaunchPrivately("/nonexistent/corvmain", {"/F=x"});
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("/nonexistent/corvmain: No such file"), std::string::npos) << missing.error;
}

TEST(SystemInfo, NamesOfUserAndComputer) {
  EXPECT_FALSE(LogonName().empty());
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  EXPECT_EQ(ComputerName(), host);
}

}  // namespace
}  // namespace varnok::platform
