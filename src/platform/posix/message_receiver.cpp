// The listening side of the message bus: one Unix socket per receiver,
// watched through an epoll set that also holds the accepted connections and
// a timer for their deadlines, so that the owner watches a single fd.
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <vector>

#include "platform/message_bus.h"
#include "platform/posix/bus_wire.h"
#include "platform/runtime_dir.h"

namespace varnok::platform {
namespace {

using Clock = std::chrono::steady_clock;

struct Connection {
  int fd = -1;
  std::string buffer;
  Clock::time_point deadline;
};

struct Complete {
  int fd = -1;
  BusLine message;
};

class SocketReceiver : public MessageReceiver {
 public:
  SocketReceiver(int listenFd, int epollFd, int timerFd, std::string path, std::uint64_t id)
      : listen_(listenFd), epoll_(epollFd), timer_(timerFd), path_(std::move(path)), id_(id) {
    watch(timer_);
    watch(listen_);
    listening_ = true;
  }
  ~SocketReceiver() override {
    for (auto& c : open_) ::close(c.fd);
    ::close(listen_);
    ::close(timer_);
    ::close(epoll_);
    ::unlink(path_.c_str());
  }
  int fd() const override { return epoll_; }
  std::uint64_t id() const override { return id_; }
  std::size_t openConnections() const override { return open_.size(); }

  void dispatch(const Handler& handler) override {
    std::uint64_t expirations = 0;
    [[maybe_unused]] ssize_t n = ::read(timer_, &expirations, sizeof expirations);
    acceptPending();
    std::vector<Complete> complete = readOpenConnections();
    updateWatches();
    // The bookkeeping is done before any handler runs: a handler that runs an
    // event loop may come back here.
    for (auto& c : complete) {
      handler(BusMessage{c.message.name, c.message.sender});
      if (c.message.ack) ::send(c.fd, "OK\n", 3, MSG_NOSIGNAL | MSG_DONTWAIT);
      ::close(c.fd);
    }
  }

 private:
  void watch(int fd) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = fd;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev);
  }
  void unwatch(int fd) { ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr); }

  void acceptPending() {
    while (open_.size() < kMaxOpenConnections) {
      int conn = ::accept4(listen_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (conn < 0) {
        if (errno == EINTR || errno == ECONNABORTED) continue;
        return;  // nothing pending
      }
      ucred cred{};
      socklen_t len = sizeof cred;
      if (::getsockopt(conn, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != ::getuid()) {
        ::close(conn);
        continue;
      }
      watch(conn);
      open_.push_back({conn, {}, Clock::now() + kMessageDeadline});
    }
  }

  // Takes what each connection has sent; returns the messages now complete
  // and forgets those connections, like the ones past their deadline or closed.
  std::vector<Complete> readOpenConnections() {
    std::vector<Complete> complete;
    const Clock::time_point now = Clock::now();
    auto finished = [&](Connection& c) {
      bool closed = false;
      char chunk[512];
      for (;;) {
        ssize_t n = ::recv(c.fd, chunk, sizeof chunk, 0);
        if (n > 0) {
          c.buffer.append(chunk, static_cast<std::size_t>(n));
          if (c.buffer.size() > kLongestBusLine) break;
          continue;
        }
        if (n < 0 && errno == EINTR) continue;
        closed = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        break;
      }
      if (std::size_t end = c.buffer.find('\n'); end != std::string::npos) {
        std::optional<BusLine> d = DecodeBusLine(c.buffer.substr(0, end));
        unwatch(c.fd);
        if (d)
          complete.push_back({c.fd, std::move(*d)});
        else
          ::close(c.fd);
        return true;
      }
      if (closed || c.buffer.size() > kLongestBusLine || now >= c.deadline) {
        unwatch(c.fd);
        ::close(c.fd);
        return true;
      }
      return false;
    };
    open_.erase(std::remove_if(open_.begin(), open_.end(), finished), open_.end());
    return complete;
  }

  // The listening socket is watched only while there is room for another
  // connection (else it would stay readable and wake the owner in a loop);
  // the timer is set to the earliest deadline.
  void updateWatches() {
    const bool room = open_.size() < kMaxOpenConnections;
    if (room && !listening_) watch(listen_);
    if (!room && listening_) unwatch(listen_);
    listening_ = room;
    itimerspec spec{};
    if (!open_.empty()) {
      auto earliest = std::min_element(open_.begin(), open_.end(), [](const auto& a, const auto& b) {
                        return a.deadline < b.deadline;
                      })->deadline;
      auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(earliest - Clock::now());
      if (left.count() < 1) left = std::chrono::nanoseconds(1);  // zero would disarm it
      spec.it_value.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
      spec.it_value.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
    }
    ::timerfd_settime(timer_, 0, &spec, nullptr);
  }

  int listen_;
  int epoll_;
  int timer_;
  std::string path_;
  std::uint64_t id_;
  bool listening_ = false;
  std::vector<Connection> open_;
};

}  // namespace

std::unique_ptr<MessageReceiver> ListenForMessages() {
  static std::atomic<unsigned> counter{0};
  std::string dir = RuntimeDir();
  if (dir.empty()) return nullptr;
  unsigned n = ++counter;
  std::string path =
      dir + "/" + kBusSocketPrefix + std::to_string(::getpid()) + "-" + std::to_string(n) + kBusSocketSuffix;
  sockaddr_un addr;
  if (!MakeBusAddress(path, addr)) return nullptr;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  ::unlink(path.c_str());  // left by an earlier process with our pid
  // A deep backlog: a burst of senders waits there instead of being refused.
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, SOMAXCONN) != 0) {
    ::close(fd);
    return nullptr;
  }
  int epollFd = ::epoll_create1(EPOLL_CLOEXEC);
  int timerFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (epollFd < 0 || timerFd < 0) {
    for (int f : {fd, epollFd, timerFd})
      if (f >= 0) ::close(f);
    ::unlink(path.c_str());
    return nullptr;
  }
  std::uint64_t id = (static_cast<std::uint64_t>(::getpid()) << 16) | (n & 0xFFFF);
  return std::make_unique<SocketReceiver>(fd, epollFd, timerFd, path, id);
}

}  // namespace varnok::platform
