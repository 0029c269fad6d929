#include "platform/message_bus.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <sstream>
#include <vector>

#include "platform/runtime_dir.h"

// Every listening process has a Unix socket "bus-<pid>-<n>.sock" in the
// private runtime folder. A message is one line
//   "VKBUS1 <ack> <sender> <name>\n"
// and a receiver that is asked to acknowledge answers "OK\n" after handling it.

namespace varnok::platform {
namespace {

constexpr const char* kPrefix = "bus-";
constexpr const char* kSuffix = ".sock";

bool MakeAddress(const std::string& path, sockaddr_un& addr) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size());
  return true;
}

bool IsBusSocketName(const std::string& name) {
  return name.rfind(kPrefix, 0) == 0 && name.size() > std::strlen(kSuffix) &&
         name.compare(name.size() - std::strlen(kSuffix), std::string::npos, kSuffix) == 0;
}

pid_t OwnerPid(const std::string& name) {
  return static_cast<pid_t>(std::strtol(name.c_str() + std::strlen(kPrefix), nullptr, 10));
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
  if (!MakeAddress(path, addr)) return -1;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (errno == ECONNREFUSED) ::unlink(path.c_str());
    ::close(fd);
    return -1;
  }
  return fd;
}

std::string Encode(const std::string& name, std::uint64_t sender, bool ack) {
  return "VKBUS1 " + std::string(ack ? "1" : "0") + " " + std::to_string(sender) + " " + name + "\n";
}

bool SendAll(int fd, const std::string& data) {
  return ::send(fd, data.data(), data.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(data.size());
}

// Reads one line, waiting at most `timeoutMs` in all.
bool ReadLine(int fd, std::string& line, int timeoutMs) {
  line.clear();
  char c;
  while (line.size() < 4096) {
    ssize_t n = ::recv(fd, &c, 1, 0);
    if (n == 1) {
      if (c == '\n') return true;
      line.push_back(c);
      continue;
    }
    if (n == 0) return false;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return false;
  }
  return false;
}

class SocketReceiver : public MessageReceiver {
 public:
  SocketReceiver(int fd, std::string path, std::uint64_t id) : fd_(fd), path_(std::move(path)), id_(id) {}
  ~SocketReceiver() override {
    ::close(fd_);
    ::unlink(path_.c_str());
  }
  int fd() const override { return fd_; }
  std::uint64_t id() const override { return id_; }

  void dispatch(const Handler& handler) override {
    for (;;) {
      int conn = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (conn < 0) {
        if (errno == EINTR) continue;
        return;  // nothing pending
      }
      handleConnection(conn, handler);
      ::close(conn);
    }
  }

 private:
  void handleConnection(int conn, const Handler& handler) {
    ucred cred{};
    socklen_t len = sizeof cred;
    if (::getsockopt(conn, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != ::getuid()) return;
    std::string line;
    if (!ReadLine(conn, line, 500)) return;
    std::istringstream in(line);
    std::string magic, name;
    int ack = 0;
    std::uint64_t sender = 0;
    if (!(in >> magic >> ack >> sender) || magic != "VKBUS1") return;
    in.get();  // the blank before the name
    std::getline(in, name);
    if (name.empty()) return;
    handler(BusMessage{name, sender});
    if (ack) SendAll(conn, "OK\n");
  }

  int fd_;
  std::string path_;
  std::uint64_t id_;
};

}  // namespace

std::unique_ptr<MessageReceiver> ListenForMessages() {
  static std::atomic<unsigned> counter{0};
  std::string dir = RuntimeDir();
  if (dir.empty()) return nullptr;
  unsigned n = ++counter;
  std::string path = dir + "/" + kPrefix + std::to_string(::getpid()) + "-" + std::to_string(n) + kSuffix;
  sockaddr_un addr;
  if (!MakeAddress(path, addr)) return nullptr;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  ::unlink(path.c_str());  // left by an earlier process with our pid
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0) {
    ::close(fd);
    return nullptr;
  }
  std::uint64_t id = (static_cast<std::uint64_t>(::getpid()) << 16) | (n & 0xFFFF);
  return std::make_unique<SocketReceiver>(fd, path, id);
}

void PostBroadcast(const std::string& name, std::uint64_t sender) {
  std::string dir = RuntimeDir();
  if (dir.empty()) return;
  std::string data = Encode(name, sender, false);
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
  std::string data = Encode(name, sender, true);
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
        std::string reply;
        if (ReadLine(it->fd, reply, 0) && reply == "OK") ++reached;
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
