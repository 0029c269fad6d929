#pragma once
// Replaces a file without ever leaving it half-written: the bytes go to a
// temporary file beside the target, which is flushed to disk and renamed over
// the target; then the folder is flushed. On failure the old file is untouched
// and no temporary file is left behind.
//
// The target is what the user means by the path:
// - a symbolic link is followed, and the file it points to is replaced (the
//   link stays a link);
// - a target that exists but is no regular file (a device, a FIFO, a folder)
//   is refused, and so is a read-only one ("<path> is read-only");
// - the replacement keeps the old file's permissions, its owner and group
//   where the system permits, and its extended attributes (ACLs included).
//
// Temporary files are named "<name>.vnk-tmp-<pid>-<random>" beside the target.
// A write that was killed leaves one behind; the next write beside the same
// file removes those whose writer has ended.
#include <functional>
#include <memory_resource>
#include <string>
#include <string_view>

namespace varnok {

struct WriteResult {
  bool ok = true;
  // "<path>: <the system's reason>" when !ok; when the folder is the problem,
  // the folder is named too.
  std::string error;
  explicit operator bool() const { return ok; }
};

struct WriteOptions {
  // Only the user may read or write the file (0600), whatever it had before:
  // for temporary files that may carry user names or passwords.
  bool privateFile = false;
};

WriteResult SafeWriteFile(const std::string& path, std::string_view bytes, const WriteOptions& options = {});

// The same for large files produced piece by piece: `produce` hands each
// chunk to the sink, which returns false once writing failed; `produce`
// returns false to give up (the old file stays).
using ChunkSink = std::function<bool(std::string_view)>;
WriteResult SafeWriteFile(const std::string& path, const std::function<bool(const ChunkSink&)>& produce,
                          const WriteOptions& options = {});

// Reads a whole file. Anything but a regular file (a FIFO, a device, a
// folder) is refused without blocking, and a file that shrinks while it is
// read is an error, not a short read. ok=false with the path and reason.
WriteResult ReadWholeFile(const std::string& path, std::string& bytes);
// The same into a buffer from a memory of the caller's choice (a large file
// read into huge pages costs a handful of page faults, not one per 4 KiB).
WriteResult ReadWholeFile(const std::string& path, std::pmr::string& bytes);

// "" for a regular file or a missing one; otherwise why it cannot be read as
// a file ("<path>: is a FIFO, not a regular file"). Never blocks.
std::string CheckRegularFile(const std::string& path);

// The temporary-file name pattern above, for tests and tools: whether `name`
// is a temporary file of a write of `target` (a file name, not a path).
bool IsSafeWriteTempName(std::string_view name, std::string_view target);

}  // namespace varnok
