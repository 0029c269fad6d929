#include "platform/message_bus.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "bus_client.h"
#include "platform/runtime_dir.h"
#include "scoped_env.h"
#include "temp_dir.h"

namespace varnok::platform {
namespace {

using namespace std::chrono_literals;

struct BusTest : ::testing::Test {
  test::TempDir runtime;
  test::ScopedEnv env{"XDG_RUNTIME_DIR", runtime.path()};

  static std::vector<BusMessage> drain(MessageReceiver& r, int waitMs = 200) {
    std::vector<BusMessage> got;
    pollfd p{r.fd(), POLLIN, 0};
    while (::poll(&p, 1, waitMs) > 0) {
      r.dispatch([&](const BusMessage& m) { got.push_back(m); });
      waitMs = 50;
    }
    return got;
  }

  // A receiver in another process that handles messages after `delayMs`
  // (each), forever, until killed. Returns once it listens.
  static pid_t startReceiverProcess(int delayMs) {
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    pid_t child = ::fork();
    if (child == 0) {
      auto r = ListenForMessages();
      char c = r ? '1' : '0';
      (void)!::write(ready[1], &c, 1);
      for (;;) {
        pollfd p{r->fd(), POLLIN, 0};
        if (::poll(&p, 1, -1) > 0) r->dispatch([&](const BusMessage&) { ::usleep(delayMs * 1000); });
      }
    }
    char c = 0;
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    return c == '1' ? child : -1;
  }
};

TEST_F(BusTest, PostedBroadcastReachesEveryReceiverWithSender) {
  auto a = ListenForMessages();
  auto b = ListenForMessages();
  ASSERT_TRUE(a && b);
  EXPECT_NE(a->id(), b->id());
  PostBroadcast("VarnokcMessage", a->id());
  for (auto* r : {a.get(), b.get()}) {
    auto got = drain(*r);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].name, "VarnokcMessage");
    EXPECT_EQ(got[0].sender, a->id());
  }
}

TEST_F(BusTest, SendWaitsForOtherProcessesAndSkipsItself) {
  auto own = ListenForMessages();
  pid_t fast = startReceiverProcess(0);
  pid_t slow = startReceiverProcess(300);
  ASSERT_GT(fast, 0);
  ASSERT_GT(slow, 0);
  auto start = std::chrono::steady_clock::now();
  int reached = SendBroadcast("VarnokRRMessage");
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(reached, 2);
  EXPECT_GE(took, 250ms);  // it waited for the slow one to finish handling
  EXPECT_TRUE(drain(*own, 50).empty());
  for (pid_t p : {fast, slow}) {
    ::kill(p, SIGKILL);
    ::waitpid(p, nullptr, 0);
  }
}

TEST_F(BusTest, HungReceiverCannotFreezeTheSender) {
  pid_t hung = startReceiverProcess(60000);
  pid_t fine = startReceiverProcess(0);
  ASSERT_GT(hung, 0);
  ASSERT_GT(fine, 0);
  auto start = std::chrono::steady_clock::now();
  int reached = SendBroadcast("VarnokRRMessage", 0, 400ms);
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(reached, 1);
  EXPECT_LT(took, 2s);
  for (pid_t p : {hung, fine}) {
    ::kill(p, SIGKILL);
    ::waitpid(p, nullptr, 0);
  }
}

TEST_F(BusTest, SocketsOfDeadProcessesAreRemoved) {
  pid_t gone = startReceiverProcess(0);
  ASSERT_GT(gone, 0);
  ::kill(gone, SIGKILL);
  ::waitpid(gone, nullptr, 0);
  auto count = [&] {
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(RuntimeDir()))
      n += e.path().filename().string().rfind("bus-", 0) == 0;
    return n;
  };
  EXPECT_EQ(count(), 1);
  EXPECT_EQ(SendBroadcast("VarnokRRMessage"), 0);
  EXPECT_EQ(count(), 0);
}

int ConnectRaw() { return test::ConnectToBusSocket(RuntimeDir()); }

bool ClosedByPeer(int fd) {
  char c;
  return ::recv(fd, &c, 1, MSG_DONTWAIT) == 0;
}

TEST_F(BusTest, MessageInPiecesIsAssembledAcrossDispatches) {
  auto r = ListenForMessages();
  ASSERT_TRUE(r);
  int client = ConnectRaw();
  ASSERT_GE(client, 0);
  std::vector<BusMessage> got;
  auto take = [&](const BusMessage& m) { got.push_back(m); };
  ASSERT_EQ(::send(client, "VKBUS1 1 7 Varn", 15, MSG_NOSIGNAL), 15);
  // Another sender's message is not held up by the unfinished one.
  PostBroadcast("VarnokcStopMessage");
  for (int i = 0; i < 5 && got.empty(); ++i) {
    pollfd p{r->fd(), POLLIN, 0};
    ::poll(&p, 1, 50);
    r->dispatch(take);
  }
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].name, "VarnokcStopMessage");
  EXPECT_EQ(r->openConnections(), 1u);
  ASSERT_EQ(::send(client, "okcMessage\n", 11, MSG_NOSIGNAL), 11);
  got = drain(*r);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].name, "VarnokcMessage");
  EXPECT_EQ(got[0].sender, 7u);
  char reply[4] = {};
  EXPECT_EQ(::recv(client, reply, 3, 0), 3);  // acknowledged, as asked
  EXPECT_STREQ(reply, "OK\n");
  EXPECT_EQ(r->openConnections(), 0u);
  ::close(client);
}

TEST_F(BusTest, TricklingSenderIsDroppedAtItsDeadlineWhileOthersGetThrough) {
  auto r = ListenForMessages();
  ASSERT_TRUE(r);
  int client = ConnectRaw();
  ASSERT_GE(client, 0);
  // A byte every 50 ms, never a whole line, until the receiver hangs up.
  std::atomic<bool> closed{false};
  std::thread trickle([&] {
    for (int i = 0; i < 80 && !closed; ++i) {
      if (::send(client, "x", 1, MSG_NOSIGNAL) != 1 || ClosedByPeer(client)) closed = true;
      std::this_thread::sleep_for(50ms);
    }
  });
  bool deliveredWhileTrickling = false;
  auto start = std::chrono::steady_clock::now();
  bool posted = false;
  while (!closed && std::chrono::steady_clock::now() - start < 3s) {
    if (!posted && std::chrono::steady_clock::now() - start > 150ms) {
      PostBroadcast("VarnokRRMessage");
      posted = true;
    }
    pollfd p{r->fd(), POLLIN, 0};
    ::poll(&p, 1, 20);
    r->dispatch(
        [&](const BusMessage& m) { deliveredWhileTrickling = m.name == "VarnokRRMessage" && !closed; });
  }
  const auto took = std::chrono::steady_clock::now() - start;
  trickle.join();
  EXPECT_TRUE(deliveredWhileTrickling);
  EXPECT_TRUE(closed) << "the trickling sender was never dropped";
  // Dropped at the deadline counted from its connection, not from its last byte.
  EXPECT_GE(took, MessageReceiver::kMessageDeadline);
  EXPECT_LT(took, 2s);
  EXPECT_EQ(r->openConnections(), 0u);
  ::close(client);
}

TEST_F(BusTest, SilentSendersAreCappedAndExpire) {
  auto r = ListenForMessages();
  ASSERT_TRUE(r);
  std::vector<int> silent;
  for (int i = 0; i < 48; ++i)
    if (int fd = ConnectRaw(); fd >= 0) silent.push_back(fd);
  ASSERT_EQ(silent.size(), 48u);
  PostBroadcast("VarnokcMessage");
  std::vector<BusMessage> got;
  std::size_t most = 0;
  auto start = std::chrono::steady_clock::now();
  while (got.empty() && std::chrono::steady_clock::now() - start < 5s) {
    pollfd p{r->fd(), POLLIN, 0};
    ::poll(&p, 1, 100);
    r->dispatch([&](const BusMessage& m) { got.push_back(m); });
    most = std::max(most, r->openConnections());
  }
  // The message waited in the backlog behind the first silent ones and came through.
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].name, "VarnokcMessage");
  EXPECT_EQ(most, MessageReceiver::kMaxOpenConnections);
  drain(*r, 700);
  for (int fd : silent) {
    EXPECT_TRUE(ClosedByPeer(fd));
    ::close(fd);
  }
  EXPECT_EQ(r->openConnections(), 0u);
}

TEST_F(BusTest, RuntimeFolderIsPrivate) {
  std::string dir = RuntimeDir();
  ASSERT_FALSE(dir.empty());
  auto perms = std::filesystem::status(dir).permissions();
  using P = std::filesystem::perms;
  EXPECT_EQ(perms & (P::group_all | P::others_all), P::none);
}

}  // namespace
}  // namespace varnok::platform
