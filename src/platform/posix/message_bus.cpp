#include "platform/message_bus.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/posix/bus_wire.h"
#include "platform/runtime_dir.h"

// The sending side: every listening process has a Unix socket
// "bus-<pid>-<n>.sock" in the private runtime folder (message_receiver.cpp).

namespace varnok::platform {
namespace {

pid_t OwnerPid(const std::string& name) {
  return static_cast<pid_t>(std::strtol(name.c_str() + std::strlen(kBusSocketPrefix), nullptr, 10));
}

std::vector<std::string> BusSockets(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string name = e->d_name;
      if (IsBusSocketName(name)) names.push_back(name);
    }
    ::closedir(d);
  }
  return names;
}

// Connects without blocking; removes the socket file of a receiver that is gone.
int ConnectTo(const std::string& path) {
  sockaddr_un addr;
  if (!MakeBusAddress(path, addr)) return -1;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (errno == ECONNREFUSED) ::unlink(path.c_str());
    ::close(fd);
    return -1;
  }
  return fd;
}

bool SendAll(int fd, const std::string& data) {
  return ::send(fd, data.data(), data.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(data.size());
}

// The receiver's answer, read without waiting: it arrives in one piece.
std::string ReadReply(int fd) {
  char reply[8];
  ssize_t n;
  do {
    n = ::recv(fd, reply, sizeof reply, MSG_DONTWAIT);
  } while (n < 0 && errno == EINTR);
  return n > 0 ? std::string(reply, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

void PostBroadcast(const std::string& name, std::uint64_t sender) {
  std::string dir = RuntimeDir();
  if (dir.empty()) return;
  std::string data = EncodeBusLine(name, sender, false);
  for (const auto& socketName : BusSockets(dir)) {
    int fd = ConnectTo(dir + "/" + socketName);
    if (fd < 0) continue;
    SendAll(fd, data);
    ::close(fd);
  }
}

int SendBroadcast(const std::string& name, std::uint64_t sender, std::chrono::milliseconds perReceiver) {
  std::string dir = RuntimeDir();
  if (dir.empty()) return 0;
  std::string data = EncodeBusLine(name, sender, true);
  // Our own receivers are skipped: this thread is the one that would answer them.
  std::vector<pollfd> waiting;
  for (const auto& socketName : BusSockets(dir)) {
    if (OwnerPid(socketName) == ::getpid()) continue;
    int fd = ConnectTo(dir + "/" + socketName);
    if (fd < 0) continue;
    if (SendAll(fd, data))
      waiting.push_back({fd, POLLIN, 0});
    else
      ::close(fd);
  }
  // All receivers work at once, so the whole wait is bounded by one receiver's limit.
  int reached = 0;
  auto deadline = std::chrono::steady_clock::now() + perReceiver;
  while (!waiting.empty()) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    int n = ::poll(waiting.data(), waiting.size(), static_cast<int>(left.count()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    for (auto it = waiting.begin(); it != waiting.end();) {
      if (it->revents) {
        if (ReadReply(it->fd) == "OK\n") ++reached;
        ::close(it->fd);
        it = waiting.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (auto& p : waiting) ::close(p.fd);
  return reached;
}

}  // namespace varnok::platform
