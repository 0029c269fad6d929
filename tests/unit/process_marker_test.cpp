#include "platform/process_marker.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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

}  // namespace
}  // namespace varnok::platform
