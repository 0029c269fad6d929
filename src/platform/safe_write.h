#pragma once
// Replaces a file without ever leaving it half-written: the bytes go to a
// temporary file beside the target, which is flushed to disk and renamed over
// the target; then the folder is flushed. The target's permissions are kept.
// On failure the old file is untouched and no temporary file is left behind.
#include <functional>
#include <string>
#include <string_view>

namespace varnok {

struct WriteResult {
  bool ok = true;
  std::string error;  // "<path>: <the system's reason>" when !ok
  explicit operator bool() const { return ok; }
};

WriteResult SafeWriteFile(const std::string& path, std::string_view bytes);

// The same for large files produced piece by piece: `produce` hands each
// chunk to the sink, which returns false once writing failed; `produce`
// returns false to give up (the old file stays).
using ChunkSink = std::function<bool(std::string_view)>;
WriteResult SafeWriteFile(const std::string& path, const std::function<bool(const ChunkSink&)>& produce);

// Reads a whole file. nullopt-like: ok=false with the path and reason.
WriteResult ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace varnok
