#pragma once
#include <string>

namespace varnok::platform {

// The user's home folder: $HOME, else the password database's entry; "" when
// neither is known.
std::string HomeDirectory();

}  // namespace varnok::platform
