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
//   where the system permits, and its extended attributes (ACLs included);
// - a path that names one of the process's open files ("/dev/stdout",
//   "/dev/stderr", "/dev/fd/N", "/proc/self/fd/N", also at the end of a
//   link) is written into that open file where it stands, never replaced:
//   `vnk convert a.vnk /dev/stdout >> log` appends to the log. Such a write
//   cannot be undone when it fails halfway.
//
// Temporary files are named "<name>.vnk-tmp-<pid>-<random>" beside the target.
// A write that was killed leaves one behind; the next write beside the same
// file removes those whose writer has ended.
#include <functional>
#include <string>
#include <string_view>

#include "platform/file_identity.h"

namespace varnok::platform {

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
  // A symbolic link at the path is refused instead of followed: for files
  // that are ours alone by design (the companion's run log).
  bool refuseLinks = false;
  // Where to put the identity of the file written, taken from the file itself
  // before it replaces the target, so that no other writer can slip in between.
  FileIdentity* written = nullptr;
  // When set, the write replaces no other file than this one: a target that
  // exists and is not this file just before the rename (another program
  // wrote it meanwhile) is left as it is, and the write fails.
  const FileIdentity* onlyOver = nullptr;
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
// `opened`, when given, receives the identity of the file as it was opened.
WriteResult ReadWholeFile(const std::string& path, std::string& bytes, FileIdentity* opened = nullptr);

// Reads a file front to back through one buffer of about `piece` bytes, for
// readers that need no more of a large file at once: `consume(bytes, atEnd)`
// gets what was read and not yet used, and returns how many of those bytes it
// used (kStopReading to stop); the rest comes again with more behind it. A
// full buffer of which nothing was used grows, up to the file's size. atEnd:
// the bytes reach the end of the file. The same refusals and errors as
// ReadWholeFile.
inline constexpr std::size_t kStopReading = static_cast<std::size_t>(-1);
using PieceConsumer = std::function<std::size_t(std::string_view bytes, bool atEnd)>;
WriteResult ReadFileInPieces(const std::string& path, std::size_t piece, const PieceConsumer& consume,
                             FileIdentity* opened = nullptr);

// "" for a regular file or a missing one; otherwise why it cannot be read as
// a file ("<path>: is a FIFO, not a regular file"). Never blocks.
std::string CheckRegularFile(const std::string& path);

// The temporary-file name pattern above, for tests and tools: whether `name`
// is a temporary file of a write of `target` (a file name, not a path).
bool IsSafeWriteTempName(std::string_view name, std::string_view target);

}  // namespace varnok::platform
