#pragma once
#include <string>

namespace varnok::platform {

// The per-user folder of markers and message sockets: $XDG_RUNTIME_DIR/varnok,
// else /tmp/varnok-<uid>; created with mode 0700 when missing. When
// $XDG_RUNTIME_DIR/varnok is too long for the name of a socket in it, every
// process uses /tmp/varnok-<uid> instead. Empty on failure: the folder is
// missing and cannot be made, or it is not safe (see RuntimeDirProblem).
std::string RuntimeDir();

// Why RuntimeDir() gives no folder, as a message for the user that names the
// folder, its type, owner and mode ("" when it is fine). A folder that
// another user made, a link or a file in its place is never used, as
// anyone could then read the markers or pose as a running program.
std::string RuntimeDirProblem();

// The folder RuntimeDir() uses, without creating or checking it.
std::string RuntimeDirPath();

// The longest name of a socket the message bus makes in the folder.
inline constexpr std::size_t kLongestSocketName = 32;

// The folder of the settings file: $XDG_CONFIG_HOME/Zelmora (default ~/.config).
std::string SettingsDir();

}  // namespace varnok::platform
