#include "platform/process_marker.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

// Our own lock file. One that is not ours (planted while the folder was open
// to others, or a link) could be held by anyone and would pose as a running
// program: it is replaced.
int OpenLockFile(const std::string& name) {
  std::string dir = RuntimeDir();
  if (dir.empty()) return -1;
  const std::string path = dir + "/" + name + ".lock";
  for (int attempt = 0; attempt < 2; ++attempt) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid()) return fd;
    if (fd >= 0) ::close(fd);
    if (::unlink(path.c_str()) != 0) ::rmdir(path.c_str());  // a link, a FIFO, a folder, another user's file
  }
  return -1;
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
