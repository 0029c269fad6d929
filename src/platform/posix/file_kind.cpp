#include "platform/posix/file_kind.h"

#include <sys/stat.h>

namespace varnok::platform {
namespace {

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISLNK(mode)) return "a symbolic link";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return nullptr;
}

}  // namespace

std::string NotRegular(const std::string& path, mode_t mode) {
  const char* kind = KindOf(mode);
  if (!kind) return path + ": not a regular file";
  return path + ": is " + kind + ", not a regular file";
}

}  // namespace varnok::platform
