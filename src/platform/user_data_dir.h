#pragma once
#include <string>

namespace varnok::platform {

// The folder of the user's own data files (the companion's run log):
// $XDG_DATA_HOME/Zelmora (default ~/.local/share/Zelmora). Not created here.
std::string UserDataDir();

}  // namespace varnok::platform
