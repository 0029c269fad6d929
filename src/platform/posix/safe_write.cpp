#include "platform/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace varnok {
namespace {

WriteResult Failed(const std::string& path, int err) { return {false, path + ": " + std::strerror(err)}; }

std::string FolderOf(const std::string& path) {
  auto pos = path.find_last_of('/');
  if (pos == std::string::npos) return ".";
  if (pos == 0) return "/";
  return path.substr(0, pos);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

WriteResult SafeWriteFile(const std::string& path, std::string_view bytes) {
  return SafeWriteFile(path, [bytes](const ChunkSink& sink) { return sink(bytes); });
}

WriteResult SafeWriteFile(const std::string& path, const std::function<bool(const ChunkSink&)>& produce) {
  // A file-size limit must fail the write, not kill the process.
  static const bool ignoreFsize = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
  }();
  (void)ignoreFsize;

  mode_t mode = 0644;
  struct stat old {};
  bool hadOld = ::stat(path.c_str(), &old) == 0;
  if (hadOld) {
    if (S_ISDIR(old.st_mode)) return Failed(path, EISDIR);
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }

  std::string temp = path + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return Failed(path, errno);

  int err = 0;
  const ChunkSink sink = [&](std::string_view chunk) {
    if (!err && !WriteAll(fd, chunk)) err = errno ? errno : EIO;
    return err == 0;
  };
  if (!produce(sink) && !err) err = ECANCELED;
  if (!err && ::fchmod(fd, mode) != 0) err = errno;
  if (!err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(temp.c_str());
    return Failed(path, err);
  }
  int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

WriteResult ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Failed(path, errno);
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return Failed(path, EISDIR);
  }
  if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      return Failed(path, err);
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return {};
}

}  // namespace varnok
