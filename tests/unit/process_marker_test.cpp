#include "platform/process_marker.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/message_bus.h"
#include "platform/runtime_dir.h"
#include "scoped_env.h"
#include "temp_dir.h"

namespace varnok::platform {
namespace {

struct MarkerTest : ::testing::Test {
  test::TempDir runtime;
  test::ScopedEnv env{"XDG_RUNTIME_DIR", runtime.path()};
};

TEST_F(MarkerTest, HeldUntilReleasedAndOnlyOnce) {
  EXPECT_FALSE(IsMarkerHeld("VarnokcSemaphore"));
  auto marker = AcquireMarker("VarnokcSemaphore");
  ASSERT_NE(marker, nullptr);
  EXPECT_TRUE(IsMarkerHeld("VarnokcSemaphore"));
  EXPECT_EQ(AcquireMarker("VarnokcSemaphore"), nullptr);
  EXPECT_FALSE(IsMarkerHeld("VarnokSemaphore"));  // markers are independent
  marker.reset();
  EXPECT_FALSE(IsMarkerHeld("VarnokcSemaphore"));
  EXPECT_NE(AcquireMarker("VarnokcSemaphore"), nullptr);
}

TEST_F(MarkerTest, KilledHolderDoesNotBlockTheNextStart) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  if (child == 0) {
    auto held = AcquireMarker("VarnokcSemaphore");
    char c = held ? '1' : '0';
    (void)!::write(ready[1], &c, 1);
    ::pause();
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, '1');
  EXPECT_TRUE(IsMarkerHeld("VarnokcSemaphore"));
  EXPECT_EQ(AcquireMarker("VarnokcSemaphore"), nullptr);
  ::kill(child, SIGKILL);  // a crash: no clean-up runs
  ::waitpid(child, nullptr, 0);
  EXPECT_FALSE(IsMarkerHeld("VarnokcSemaphore"));
  EXPECT_NE(AcquireMarker("VarnokcSemaphore"), nullptr);
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(RuntimeDir, UnsafeFoldersAreRefusedWithTheirOwnerModeAndType) {
  test::TempDir base;
  test::ScopedEnv env{"XDG_RUNTIME_DIR", base.path()};
  const std::string dir = base.file("varnok");

  // A link in the folder's place, even to a private folder of ours.
  std::filesystem::create_directory(base.file("elsewhere"));
  ::symlink("elsewhere", dir.c_str());
  std::string problem = RuntimeDirProblem();
  EXPECT_NE(problem.find("The folder " + dir + " "), std::string::npos) << problem;
  EXPECT_NE(problem.find("a symbolic link"), std::string::npos) << problem;
  EXPECT_EQ(RuntimeDir(), "");
  EXPECT_EQ(AcquireMarker("VarnokcSemaphore"), nullptr);
  EXPECT_EQ(ListenForMessages(), nullptr);
  ::unlink(dir.c_str());

  test::WriteFile(dir, "");
  EXPECT_NE(RuntimeDirProblem().find("is a file of "), std::string::npos) << RuntimeDirProblem();
  ::unlink(dir.c_str());

  // Another user's folder (only root can make one here).
  if (::geteuid() == 0) {
    ::mkdir(dir.c_str(), 0777);
    ::chmod(dir.c_str(), 0777);
    ASSERT_EQ(::chown(dir.c_str(), 65534, 65534), 0);
    problem = RuntimeDirProblem();
    EXPECT_NE(problem.find("a folder of "), std::string::npos) << problem;
    EXPECT_NE(problem.find("uid 65534"), std::string::npos) << problem;
    EXPECT_NE(problem.find("mode 0777"), std::string::npos) << problem;
    EXPECT_EQ(RuntimeDir(), "");
    ::rmdir(dir.c_str());
  }

  // Our own folder, left open by mistake, is closed again and used.
  ::mkdir(dir.c_str(), 0755);
  EXPECT_EQ(RuntimeDirProblem(), "");
  EXPECT_EQ(RuntimeDir(), dir);
  struct stat st {};
  ASSERT_EQ(::stat(dir.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(RuntimeDir, TooLongForASocketNameFallsBackToTmp) {
  const std::string longBase = "/run/user/" + std::string(90, 'x');
  test::ScopedEnv env{"XDG_RUNTIME_DIR", longBase};
  EXPECT_EQ(RuntimeDirPath(), "/tmp/varnok-" + std::to_string(::getuid()));
  test::ScopedEnv fits{"XDG_RUNTIME_DIR", "/run/user/1000"};
  EXPECT_EQ(RuntimeDirPath(), "/run/user/1000/varnok");
}

TEST_F(MarkerTest, LockFilesOfOthersDoNotPoseAsARunningProgram) {
  const std::string dir = RuntimeDir();
  ASSERT_FALSE(dir.empty());
  const std::string lock = dir + "/VarnokcSemaphore.lock";
  // A link planted in the lock file's place.
  ::symlink(runtime.file("target").c_str(), lock.c_str());
  auto marker = AcquireMarker("VarnokcSemaphore");
  ASSERT_NE(marker, nullptr);
  EXPECT_FALSE(std::filesystem::is_symlink(lock));
  EXPECT_FALSE(std::filesystem::exists(runtime.file("target")));
  marker.reset();
  if (::geteuid() != 0) GTEST_SKIP() << "another user's lock file can only be made by root";

  // Another user's lock file, held by a process of theirs.
  ::unlink(lock.c_str());
  int fd = ::open(lock.c_str(), O_RDWR | O_CREAT, 0666);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::fchown(fd, 65534, 65534), 0);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  if (child == 0) {
    char c = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? '1' : '0';
    (void)!::write(ready[1], &c, 1);
    ::pause();
    ::_exit(0);
  }
  ::close(fd);
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, '1');
  EXPECT_FALSE(IsMarkerHeld("VarnokcSemaphore"));
  EXPECT_NE(AcquireMarker("VarnokcSemaphore"), nullptr);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
}

}  // namespace
}  // namespace varnok::platform
