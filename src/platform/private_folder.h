#pragma once
// Folders that hold the user's private files (the macros and settings copies
// of runs, session logs). Such a folder must be ours: a real folder, not a
// link, owned by the user who runs the program, and closed to everybody else.
// A folder that another user made (or a shared one, mode 1777) is refused:
// whoever owns it could plant links where our files go, or swap the files
// between writing and the emulator reading them.
#include <string>

namespace varnok::platform {

struct PrivateFolder {
  std::string path;     // the folder, ready to use; empty when it is not
  std::string reason;   // the system's reason when it could not be created
  std::string refusal;  // the whole message when it exists but is not ours (see below)
  bool ok() const { return !path.empty(); }
};

// Makes `path` (mode 0700 whatever the umask, its parents as usual) when
// missing; a folder of ours that others may enter is closed to 0700. A link,
// or a folder of another owner, is left exactly as it is and refused with
//   "<label> folder '<path>' is not safe to use: owned by uid 65534, mode 1777."
//   "<label> folder '<path>' is not safe to use: a symbolic link, owned by uid 0, mode 0777."
// A file in the folder's place cannot be created over ("Not a directory").
PrivateFolder EnsurePrivateFolder(const std::string& path, const std::string& label);

}  // namespace varnok::platform
