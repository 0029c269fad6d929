#pragma once
#include <string>

namespace varnok::platform {

// The per-user folder of markers and message sockets: $XDG_RUNTIME_DIR/varnok,
// else /tmp/varnok-<uid>; created with mode 0700 when missing. Empty on failure.
std::string RuntimeDir();

// The folder of the settings file: $XDG_CONFIG_HOME/Zelmora (default ~/.config).
std::string SettingsDir();

}  // namespace varnok::platform
