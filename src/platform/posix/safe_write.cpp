#include "platform/safe_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include "platform/posix/descriptor_path.h"
#include "platform/posix/file_kind.h"

namespace varnok::platform {
namespace {

constexpr std::string_view kTempMark = ".vnk-tmp-";
// Room for the mark, a pid and mkstemp's six characters within NAME_MAX.
constexpr std::size_t kTempNameKept = 200;
constexpr int kMaxLinks = 40;

std::string Reason(int err) { return std::strerror(err); }

WriteResult Failed(const std::string& path, int err) { return {false, path + ": " + Reason(err)}; }

std::string FolderOf(const std::string& path) {
  auto pos = path.find_last_of('/');
  if (pos == std::string::npos) return ".";
  if (pos == 0) return "/";
  return path.substr(0, pos);
}

std::string NameOf(const std::string& path) {
  auto pos = path.find_last_of('/');
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

// The file a path names once symbolic links are followed: the last link's
// target, which need not exist yet. Folders on the way are left as they are:
// a rename works through them. A path on the way that names an open
// descriptor stops the walk with `descriptor` set.
bool ResolveLinks(const std::string& path, std::string& resolved, int& descriptor, int& err) {
  resolved = path;
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    if ((descriptor = DescriptorOfPath(resolved)) >= 0) return true;
    struct stat st {};
    if (::lstat(resolved.c_str(), &st) != 0) {
      if (errno == ENOENT) return true;  // a new file (or a dangling link's target)
      err = errno;
      return false;
    }
    if (!S_ISLNK(st.st_mode)) return true;
    std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    ssize_t n = ::readlink(resolved.c_str(), buf.data(), buf.size());
    if (n < 0) {
      err = errno;
      return false;
    }
    std::string target(buf.data(), static_cast<std::size_t>(n));
    if (target.empty()) {
      err = ENOENT;
      return false;
    }
    resolved = target.front() == '/' ? target : FolderOf(resolved) + "/" + target;
  }
  err = ELOOP;
  return false;
}

std::string TempPrefix(const std::string& targetName) {
  return targetName.substr(0, kTempNameKept) + std::string(kTempMark);
}

bool ProcessGone(pid_t pid) { return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH; }

// Removes the temporary files that killed writes of `targetName` left in
// `folder`: ours by name and owner, and their writer has ended.
void RemoveStaleTemps(const std::string& folder, const std::string& targetName) {
  DIR* d = ::opendir(folder.c_str());
  if (!d) return;
  const std::string prefix = TempPrefix(targetName);
  while (dirent* e = ::readdir(d)) {
    std::string_view name = e->d_name;
    if (!IsSafeWriteTempName(name, targetName)) continue;
    pid_t pid = static_cast<pid_t>(std::strtol(e->d_name + prefix.size(), nullptr, 10));
    if (pid == ::getpid() || !ProcessGone(pid)) continue;
    struct stat st {};
    if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
        st.st_uid != ::geteuid())
      continue;
    ::unlinkat(::dirfd(d), e->d_name, 0);
  }
  ::closedir(d);
}

// Extended attributes (ACLs are among them) of `from` onto the open file;
// what the file system or our rights do not allow is left out.
void CopyAttributes(const std::string& from, int fd) {
  ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
  if (size <= 0) return;
  std::vector<char> names(static_cast<std::size_t>(size));
  size = ::listxattr(from.c_str(), names.data(), names.size());
  if (size <= 0) return;
  std::vector<char> value;
  for (const char* name = names.data(); name < names.data() + size; name += std::strlen(name) + 1) {
    ssize_t n = ::getxattr(from.c_str(), name, nullptr, 0);
    if (n < 0) continue;
    value.resize(static_cast<std::size_t>(n));
    n = ::getxattr(from.c_str(), name, value.data(), value.size());
    if (n < 0) continue;
    ::fsetxattr(fd, name, value.data(), static_cast<std::size_t>(n), 0);
  }
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

// Writes into an open descriptor where it stands (an append stays an append),
// leaving it open: it belongs to whoever opened it.
WriteResult WriteIntoDescriptor(const std::string& path, int fd,
                                const std::function<bool(const ChunkSink&)>& produce) {
  int err = 0;
  const ChunkSink sink = [&](std::string_view chunk) {
    if (!err && !WriteAll(fd, chunk)) err = errno ? errno : EIO;
    return err == 0;
  };
  if (!produce(sink) && !err) err = ECANCELED;
  return err ? Failed(path, err) : WriteResult{};
}

}  // namespace

bool IsSafeWriteTempName(std::string_view name, std::string_view target) {
  const std::string prefix = TempPrefix(std::string(target));
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return false;
  std::string_view rest = name.substr(prefix.size());  // "<pid>-XXXXXX"
  std::size_t digits = 0;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') ++digits;
  return digits > 0 && rest.size() == digits + 7 && rest[digits] == '-';
}

WriteResult SafeWriteFile(const std::string& path, std::string_view bytes, const WriteOptions& options) {
  return SafeWriteFile(
      path, [bytes](const ChunkSink& sink) { return sink(bytes); }, options);
}

WriteResult SafeWriteFile(const std::string& path, const std::function<bool(const ChunkSink&)>& produce,
                          const WriteOptions& options) {
  // A file-size limit must fail the write, not kill the process.
  static const bool ignoreFsize = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
  }();
  (void)ignoreFsize;

  std::string target = path;
  int descriptor = -1;
  if (options.refuseLinks) {
    if (struct stat st{}; ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
      return {false, NotRegular(path, st.st_mode) + "; nothing was written"};
  } else if (int err = 0; !ResolveLinks(path, target, descriptor, err)) {
    return Failed(path, err);
  }
  if (descriptor >= 0) return WriteIntoDescriptor(path, descriptor, produce);
  const std::string folder = FolderOf(target);

  mode_t mode = 0644;
  struct stat old {};
  bool hadOld = ::stat(target.c_str(), &old) == 0;
  if (hadOld) {
    if (S_ISDIR(old.st_mode)) return Failed(path, EISDIR);
    if (!S_ISREG(old.st_mode)) return {false, NotRegular(path, old.st_mode) + "; nothing was written"};
    // Editors refuse these too; as root access() would let them pass.
    if ((old.st_mode & 0222) == 0 || (::access(target.c_str(), W_OK) != 0 && errno == EACCES))
      return {false, path + " is read-only"};
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (options.privateFile) mode = 0600;

  RemoveStaleTemps(folder, NameOf(target));
  std::string temp = folder + "/" + TempPrefix(NameOf(target)) + std::to_string(::getpid()) + "-XXXXXX";
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    int err = errno;
    return {false, path + ": cannot write in the folder " + folder + ": " + Reason(err)};
  }

  int err = 0;
  if (hadOld && !options.privateFile) {
    // Owner and group where permitted: root keeps both, a member of the
    // file's group keeps the group.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  }
  if (::fchmod(fd, mode) != 0) err = errno;
  if (!err && hadOld && !options.privateFile) CopyAttributes(target, fd);
  const ChunkSink sink = [&](std::string_view chunk) {
    if (!err && !WriteAll(fd, chunk)) err = errno ? errno : EIO;
    return err == 0;
  };
  try {
    if (!err && !produce(sink) && !err) err = ECANCELED;
  } catch (...) {
    // Out of memory while producing, say: the old file stays and so does nothing else.
    ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
  if (!err && ::fsync(fd) != 0) err = errno;
  if (!err && options.written) {
    // The rename below keeps the inode, size and modification time.
    struct stat st {};
    if (::fstat(fd, &st) == 0)
      *options.written = IdentityOf(st);
    else
      err = errno;
  }
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && options.onlyOver) {
    // As late as can be: a long write leaves the window no wider than this.
    const FileIdentity now = IdentifyFile(target);
    if (now.exists && now != *options.onlyOver) {
      ::unlink(temp.c_str());
      return {false,
              path + ": another program changed the file while it was being saved; it was left as it is"};
    }
  }
  if (!err && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(temp.c_str());
    return Failed(path, err);
  }
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

std::string CheckRegularFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
  return NotRegular(path, st.st_mode);
}

namespace {

// Opens a file for reading: only a regular file, without blocking.
WriteResult OpenForReading(const std::string& path, int& fd, struct stat& st) {
  // Not blocking: a FIFO without a writer would wait forever in open().
  fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return Failed(path, errno);
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    return Failed(path, err);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    if (S_ISDIR(st.st_mode)) return Failed(path, EISDIR);
    return {false, NotRegular(path, st.st_mode)};
  }
  return {};
}

WriteResult BecameShorter(const std::string& path) {
  return {false, path + ": the file became shorter while it was read"};
}

template <typename Bytes>
WriteResult ReadWholeFileInto(const std::string& path, Bytes& bytes, FileIdentity* identity) {
  bytes.clear();
  int fd = -1;
  struct stat st {};
  if (WriteResult opened = OpenForReading(path, fd, st); !opened) return opened;
  if (identity) *identity = IdentityOf(st);
  // The size at opening is the file; a file that grows meanwhile is read as
  // it was, one that shrinks is an error. Files that report no size (some
  // system files) are read to their end.
  const auto expected = static_cast<std::size_t>(st.st_size);
  bool sized = expected > 0;
  std::size_t have = 0;
  bytes.resize(sized ? expected : 1 << 16);
  for (;;) {
    if (have == bytes.size()) {
      if (sized) break;
      bytes.resize(bytes.size() * 2);
    }
    ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      bytes.clear();
      return Failed(path, err);
    }
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (sized && have < expected) {
    bytes.clear();
    return BecameShorter(path);
  }
  bytes.resize(have);
  return {};
}

}  // namespace

WriteResult ReadWholeFile(const std::string& path, std::string& bytes, FileIdentity* opened) {
  return ReadWholeFileInto(path, bytes, opened);
}

WriteResult ReadFileInPieces(const std::string& path, std::size_t piece, const PieceConsumer& consume,
                             FileIdentity* opened) {
  int fd = -1;
  struct stat st {};
  if (WriteResult result = OpenForReading(path, fd, st); !result) return result;
  if (opened) *opened = IdentityOf(st);
  // As ReadWholeFile: the file as it was at opening; shrinking is an error.
  const auto expected = static_cast<std::size_t>(st.st_size);
  const bool sized = expected > 0;
  std::size_t total = 0;  // bytes read from the file
  std::size_t have = 0;   // bytes in the buffer not yet used
  // No larger than the file: fresh pages of a buffer cost more than reading
  // a small file. Pieces of a few bytes are for tests.
  std::size_t size = std::max<std::size_t>(piece, 1);
  if (sized) size = std::min(size, expected);
  std::string buffer(size, '\0');
  for (;;) {
    if (have == buffer.size()) {
      std::size_t larger = buffer.size() * 2;
      if (sized) larger = std::min(larger, have + (expected - total));
      buffer.resize(larger);
    }
    std::size_t want = buffer.size() - have;
    if (sized) want = std::min(want, expected - total);
    ssize_t n = 0;
    if (want > 0) n = ::read(fd, buffer.data() + have, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      return Failed(path, err);
    }
    if (n == 0 && sized && total < expected) {
      ::close(fd);
      return BecameShorter(path);
    }
    total += static_cast<std::size_t>(n);
    have += static_cast<std::size_t>(n);
    const bool atEnd = n == 0 || (sized && total == expected);
    const std::size_t used = consume(std::string_view(buffer.data(), have), atEnd);
    if (used == kStopReading || atEnd) break;
    std::memmove(buffer.data(), buffer.data() + used, have - used);
    have -= used;
  }
  ::close(fd);
  return {};
}

}  // namespace varnok::platform
