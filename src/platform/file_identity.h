#pragma once
// Which file a path names, and in which state: enough to tell whether another
// program replaced or rewrote it since we read or wrote it. A replacement
// (a rename over it) changes the inode; a rewrite in place changes the size or
// the modification time. Symbolic links are followed, as the safe writer does.
#include <cstdint>
#include <string>

struct stat;

namespace varnok::platform {

struct FileIdentity {
  bool exists = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedSeconds = 0;
  std::int64_t modifiedNanoseconds = 0;

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The file's identity now. A missing file (or a missing folder on the way)
// gives exists == false. When the file cannot be examined for another reason
// (no permission on a folder), exists is true and the rest is zero, which
// matches no file that was read or written.
FileIdentity IdentifyFile(const std::string& path);

// The identity from an already taken stat of the file (an open descriptor's).
FileIdentity IdentityOf(const struct stat& st);

}  // namespace varnok::platform
