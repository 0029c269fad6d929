#include "platform/process_marker.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/runtime_dir.h"

namespace varnok::platform {
namespace {

// A marker is an exclusive flock on "<name>.lock" in the runtime folder; the
// kernel drops it when the holder's last descriptor closes, also on a crash.
class FlockMarker : public ProcessMarker {
 public:
  explicit FlockMarker(int fd) : fd_(fd) {}
  ~FlockMarker() override { ::close(fd_); }

 private:
  int fd_;
};

int OpenLockFile(const std::string& name) {
  std::string dir = RuntimeDir();
  if (dir.empty()) return -1;
  return ::open((dir + "/" + name + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

}  // namespace

std::unique_ptr<ProcessMarker> AcquireMarker(const std::string& name) {
  int fd = OpenLockFile(name);
  if (fd < 0) return nullptr;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<FlockMarker>(fd);
}

bool IsMarkerHeld(const std::string& name) {
  int fd = OpenLockFile(name);
  if (fd < 0) return false;
  bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
  ::close(fd);  // also releases the probe's own lock
  return held;
}

}  // namespace varnok::platform
