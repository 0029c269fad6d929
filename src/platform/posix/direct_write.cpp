#include "platform/direct_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/file_kind.h"

namespace varnok::platform {
namespace {

WriteResult Failed(const std::string& path, int err) { return {false, path + ": " + std::strerror(err)}; }

// 0 or the errno of the first failed write.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// Why `path` could not be opened: what stands there when that is the cause
// (O_NOFOLLOW gives ELOOP for a link, O_NONBLOCK ENXIO for a FIFO without a
// reader), else the system's reason.
WriteResult OpenFailed(const std::string& path, int err) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return {false, NotRegular(path, st.st_mode)};
  return Failed(path, err);
}

}  // namespace

WriteResult WriteNewPrivateFile(const std::string& path, std::string_view bytes) {
  // A stale file of ours, or a link someone left: removed, never followed.
  if (::unlink(path.c_str()) != 0 && errno != ENOENT && errno != EISDIR && errno != EPERM)
    return Failed(path, errno);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
  if (fd < 0) return OpenFailed(path, errno);
  int err = ::fchmod(fd, 0600) != 0 ? errno : 0;  // whatever the umask
  if (!err) err = WriteAll(fd, bytes);
  if (::close(fd) != 0 && !err) err = errno;
  if (err) {
    ::unlink(path.c_str());
    return Failed(path, err);
  }
  return {};
}

WriteResult AppendToFile(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600);
  if (fd < 0) return OpenFailed(path, errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int err = errno;
    ::close(fd);
    return st.st_mode != 0 ? WriteResult{false, NotRegular(path, st.st_mode)} : Failed(path, err);
  }
  int err = WriteAll(fd, bytes);
  if (::close(fd) != 0 && !err) err = errno;
  return err ? Failed(path, err) : WriteResult{};
}

}  // namespace varnok::platform
