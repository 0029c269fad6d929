#include "platform/file_identity.h"

#include <sys/stat.h>

#include <cerrno>

namespace varnok::platform {

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity id;
  id.exists = true;
  id.device = static_cast<std::uint64_t>(st.st_dev);
  id.inode = static_cast<std::uint64_t>(st.st_ino);
  id.size = static_cast<std::int64_t>(st.st_size);
  id.modifiedSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  id.modifiedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
  return id;
}

FileIdentity IdentifyFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return IdentityOf(st);
  FileIdentity unknown;
  unknown.exists = errno != ENOENT && errno != ENOTDIR;
  return unknown;
}

}  // namespace varnok::platform
