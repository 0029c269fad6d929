#pragma once
// Replaces a file without ever leaving it half-written: the bytes go to a
// temporary file beside the target, which is flushed to disk and renamed over
// the target; then the folder is flushed. The target's permissions are kept.
// On failure the old file is untouched and no temporary file is left behind.
#include <string>
#include <string_view>

namespace varnok {

struct WriteResult {
  bool ok = true;
  std::string error;  // "<path>: <the system's reason>" when !ok
  explicit operator bool() const { return ok; }
};

WriteResult SafeWriteFile(const std::string& path, std::string_view bytes);

// Reads a whole file. nullopt-like: ok=false with the path and reason.
WriteResult ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace varnok
